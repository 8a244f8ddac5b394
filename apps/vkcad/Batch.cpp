#include "apps/vkcad/Batch.h"

#include <fstream>
#include <ostream>
#include <sstream>

#include "host/db/AcDb.h"
#include "host/db/AcDbJson.h"
#include "host/win/Windows.h"

namespace vkcad {

int DumpDrawing(const std::string& drawingPath, std::ostream& out, std::ostream& err)
{
    AcDbDatabase db(false, true);
    CString path = CString::FromUtf8(drawingPath);
    Acad::ErrorStatus es = db.readDwgFile(path.GetString(), _SH_DENYNO);
    if (es != Acad::eOk) {
        err << "vkcad: cannot read " << drawingPath << ": " << acadErrorStatusText(es) << "\n";
        return 1;
    }
    es = acdbDumpJson(&db, out);
    if (es != Acad::eOk) {
        err << "vkcad: cannot dump " << drawingPath << ": " << acadErrorStatusText(es) << "\n";
        return 1;
    }
    out.flush();
    return 0;
}

int LoadDrawing(const std::string& jsonlPath, const std::string& drawingPath, std::ostream& err)
{
    std::ifstream file(jsonlPath, std::ios::binary);
    if (!file) {
        err << "vkcad: cannot read " << jsonlPath << "\n";
        return 1;
    }
    std::stringstream in;
    in << file.rdbuf();
    // A whole drawing (a dump) brings its own tables; fixtures bring entities only and go
    // into a new default drawing.
    bool whole = in.str().find("\"class\":\"AcDbBlockTable\"") != std::string::npos;
    AcDbDatabase db(!whole, true);
    CString why;
    if (acdbLoadJson(in, &db, why) != Acad::eOk) {
        err << "vkcad: " << jsonlPath << ": " << why.ToUtf8() << "\n";
        return 1;
    }
    CString out = CString::FromUtf8(drawingPath);
    Acad::ErrorStatus es = db.saveAs(out.GetString(), false, AcDb::kDHL_1027);
    if (es != Acad::eOk) {
        err << "vkcad: cannot write " << drawingPath << ": " << acadErrorStatusText(es) << "\n";
        return 1;
    }
    return 0;
}

}  // namespace vkcad
