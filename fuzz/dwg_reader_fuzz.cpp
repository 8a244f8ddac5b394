// Feeds arbitrary bytes to the drawing reader. The checksum check is off so that mutations
// reach the class table, the object records and every class's field reading behind it.
// Whatever the input, the reader answers a status; a refused input leaves the database empty,
// and an accepted one can be written again.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "host/db/AcDbDatabase.h"
#include "host/db/DwgFormat.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    for (bool verify : {false, true}) {
        AcDbDatabase db(false);
        Acad::ErrorStatus es = vkdwg::readDrawing(&db, bytes, vkdwg::ReadOptions{verify});
        if (es != Acad::eOk) {
            if (!db.allObjectIds(true).empty()) std::abort();
            continue;
        }
        std::string again;
        if (vkdwg::writeDrawing(&db, again) != Acad::eOk) std::abort();
        if (db.numOpenObjects() != 0) std::abort();
    }
    return 0;
}
