#include "apps/vkcad/Batch.h"

#include <nlohmann/json.hpp>

#include <cctype>
#include <fstream>
#include <map>
#include <ostream>
#include <sstream>

#include "apps/vkcad/Options.h"
#include "host/db/AcDb.h"
#include "host/db/AcDbJson.h"
#include "host/dxf/DxfInterchange.h"
#include "host/win/Windows.h"

using Json = nlohmann::json;

namespace vkcad {

namespace {

// True when a line of text is an object of the block table class, however it is laid out.
bool BringsItsOwnTables(const std::string& text)
{
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        Json obj = Json::parse(line, nullptr, false);  // a line that does not parse is the loader's to report
        if (obj.is_object()) {
            auto cls = obj.find("class");
            if (cls != obj.end() && *cls == "AcDbBlockTable") return true;
        }
    }
    return false;
}

}  // namespace

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
    // An empty file (a dump that failed, say) is no drawing: it replaces none.
    if (in.str().find_first_not_of(" \t\r\n") == std::string::npos) {
        err << "vkcad: " << jsonlPath << ": holds no objects; no drawing written\n";
        return 1;
    }
    // A whole drawing (a dump) brings its own tables; fixtures bring entities only and go
    // into a new default drawing.
    AcDbDatabase db(!BringsItsOwnTables(in.str()), true);
    CString why;
    if (acdbLoadJson(in, &db, why) != Acad::eOk) {
        err << "vkcad: " << jsonlPath << ": " << why.ToUtf8() << "\n";
        return 1;
    }
    CString out = CString::FromUtf8(drawingPath);
    Acad::ErrorStatus es = db.saveAs(out.GetString(), true, AcDb::kDHL_1027);
    if (es != Acad::eOk) {
        err << "vkcad: cannot write " << drawingPath << ": " << acadErrorStatusText(es) << "\n";
        return 1;
    }
    return 0;
}

namespace {

// "LINE 12, ARC 3" from counts by name.
std::string Counts(const std::map<std::string, int>& counts, int* total = nullptr)
{
    std::string text;
    int sum = 0;
    for (const auto& [name, n] : counts) {
        text += (text.empty() ? "" : ", ") + name + " " + std::to_string(n);
        sum += n;
    }
    if (total) *total = sum;
    return text;
}

}  // namespace

bool ReadDrawing(AcDbDatabase& db, const std::string& drawingPath, std::ostream& err)
{
    const CString path = CString::FromUtf8(drawingPath);
    const Acad::ErrorStatus es = db.readDwgFile(path.GetString(), _SH_DENYNO);
    if (es == Acad::eOk) return true;
    err << "vkcad: cannot read " << drawingPath << ": " << acadErrorStatusText(es) << "\n";
    return false;
}

int ImportDrawing(const std::string& dxfPath, const std::string& drawingPath, std::ostream& out, std::ostream& err)
{
    AcDbDatabase db(true, true);
    vkdxf::ImportReport report;
    std::string why;
    if (!vkdxf::ImportDxfFile(dxfPath, &db, report, why)) {
        err << "vkcad: " << dxfPath << ": " << why << "\n";
        return 1;
    }
    const CString path = CString::FromUtf8(drawingPath);
    const Acad::ErrorStatus es = db.saveAs(path.GetString(), true, AcDb::kDHL_1027);
    if (es != Acad::eOk) {
        err << "vkcad: cannot write " << drawingPath << ": " << acadErrorStatusText(es) << "\n";
        return 1;
    }
    int total = 0;
    const std::string imported = Counts(report.imported, &total);
    out << dxfPath << ": " << total << " entities imported into " << drawingPath;
    if (!imported.empty()) out << " (" << imported << ")";
    out << "; " << report.layers << " layers, " << report.blocks << " blocks\n";
    if (!report.skipped.empty()) err << "vkcad: " << dxfPath << ": not imported: " << report.skippedText() << "\n";
    return 0;
}

int ExportDrawing(const std::string& drawingPath, const std::string& dxfPath, std::ostream& out, std::ostream& err)
{
    AcDbDatabase db(false, true);
    if (!ReadDrawing(db, drawingPath, err)) return 1;
    vkdxf::ExportReport report;
    std::string why;
    if (!vkdxf::ExportDxf(&db, dxfPath, report, why)) {
        err << "vkcad: " << why << "\n";
        return 1;
    }
    int total = 0;
    const std::string written = Counts(report.written, &total);
    out << drawingPath << ": " << total << " entities written to " << dxfPath;
    if (!written.empty()) out << " (" << written << ")";
    if (!report.drawn.empty()) out << "; drawn as graphics: " << Counts(report.drawn);
    out << "\n";
    return 0;
}

}  // namespace vkcad
