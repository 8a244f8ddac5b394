// Feeds arbitrary text to the JSON-lines loader, into an empty drawing and into a default one.
// Whatever the input, the loader answers a status and never throws; a refused input leaves
// the drawing as it was (no object added, a message saying why), and an accepted one dumps and loads again into
// a fresh drawing to the same dump.
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "host/db/AcDbDatabase.h"
#include "host/db/AcDbJson.h"

namespace {
std::string Dump(AcDbDatabase& db)
{
    std::ostringstream out;
    if (acdbDumpJson(&db, out) != Acad::eOk) std::abort();
    return out.str();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    for (bool defaults : {false, true}) {
        AcDbDatabase db(defaults);
        const size_t before = db.allObjectIds(true).size();
        std::istringstream in(text);
        CString error;
        const Acad::ErrorStatus es = acdbLoadJson(in, &db, error);
        if (db.numOpenObjects() != 0) std::abort();
        if (es != Acad::eOk) {
            if (error.IsEmpty() || db.allObjectIds(true).size() != before) std::abort();
            continue;
        }
        // What loaded dumps, and the dump loads into a fresh drawing as the same drawing.
        const std::string dumped = Dump(db);
        AcDbDatabase again(false);
        std::istringstream back(dumped);
        if (acdbLoadJson(back, &again, error) != Acad::eOk) std::abort();
        if (Dump(again) != dumped) std::abort();
    }
    return 0;
}
