// libFuzzer target for the room list reader: any bytes give a list of proper names, and a
// list that the code page can hold reads back as itself once written.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "host/win/Windows.h"
#include "module/library/RoomListFormat.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::vector<CString> names = vkroom::ParseRoomList(text);
    bool roundTrips = true;
    for (const CString& name : names) {
        if (name.IsEmpty()) std::abort();
        const std::string bytes = WideToAnsi(name);
        if (bytes.size() >= 128 * 4) std::abort();
        roundTrips = roundTrips && AnsiToWide(bytes) == name;
    }
    if (names.size() > size) std::abort();
    if (roundTrips && vkroom::ParseRoomList(vkroom::FormatRoomList(names)) != names) std::abort();
    return 0;
}
