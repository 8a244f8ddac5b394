// Feeds arbitrary bytes to the drawing reader. The checksum check is off so that mutations
// reach the class table, the object records and every class's field reading behind it.
// Whatever the input, the reader answers a status; a refused input leaves the database empty,
// and an accepted one can be written again (but for a live reference to an erased object,
// which the writer refuses) into bytes that the reader takes.
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
        // Written again unless a live object needs one that is erased (the writer refuses to
        // leave that reference dangling); what is written, the reader takes.
        std::string again;
        es = vkdwg::writeDrawing(&db, again);
        if (es != Acad::eOk && es != Acad::eWasErased) std::abort();
        if (db.numOpenObjects() != 0) std::abort();
        if (es != Acad::eOk) continue;
        AcDbDatabase back(false);
        if (vkdwg::readDrawing(&back, again) != Acad::eOk) std::abort();
    }
    return 0;
}
