// Feeds arbitrary bytes to the DXF reader (the structural scan, then dxflib and the import
// behind it). Whatever the input, it is refused with a line number or read into a drawing
// that leaves nothing open and whose every entity draws.
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "host/db/AcDb.h"
#include "host/dxf/DxfInterchange.h"
#include "host/gi/GiPicture.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    AcDbDatabase db(true, true);
    vkdxf::ImportReport report;
    std::string why;
    if (!vkdxf::ImportDxf(in, &db, report, why)) {
        if (why.rfind("line ", 0) != 0) std::abort();
        return 0;
    }
    if (db.numOpenObjects() != 0) std::abort();
    std::vector<vkgi::Primitive> prims;
    if (vkgi::CollectModelSpace(&db, prims) != Acad::eOk) std::abort();
    return 0;
}
