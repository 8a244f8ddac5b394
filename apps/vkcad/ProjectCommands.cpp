// Projects and plans from inside vkcad: PROJECT opens a project file or makes a new project
// with its floors; FLOOR lists the floors and switches to one; IMPORT brings a DXF plan into the
// current drawing; EXPORT writes the current drawing as DXF.
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "apps/vkcad/HostCommands.h"
#include "host/db/AcDb.h"
#include "host/dxf/DxfInterchange.h"
#include "host/ed/AcApDocManager.h"
#include "host/ed/AcEd.h"
#include "host/ed/AcEdInput.h"
#include "host/win/WinPath.h"
#include "siblings/project/CProj.h"
#include "siblings/project/ProjectFile.h"
#include "siblings/project/VkQsProject.h"

namespace vkcad {
namespace {

using namespace vked::txt;
namespace fs = std::filesystem;

// Text typed at a prompt, trimmed; false on Esc. Enter gives `fallback`.
bool AskLine(const CString& prompt, CString& out, const CString& fallback = CString())
{
    char16_t buf[1024] = {};
    if (acedGetString(1, prompt.GetString(), buf, 1024) != RTNORM) return false;
    out = buf;
    out.Trim();
    if (out.IsEmpty()) out = fallback;
    return true;
}

std::string HostPath(const CString& typed) { return vkwin::ToHostPath(typed); }

// "Floor 2F is current: 2F.dwg", once a floor's drawing is the current document.
void SayCurrentFloor()
{
    const AcApDocument* doc = acDocManager->curDocument();
    Say(vked::FormatText(kFloorOpened, VkQsDataMng::CProj().GetCurFloorName().GetString(),
                         doc ? CString(doc->docTitle()).GetString() : u""));
}

// Makes the project file current and opens its first floor.
bool OpenProject(const CString& file)
{
    CString why;
    if (!VkQsProject::SetCurrentProjectFile(HostPath(file), &why) || !VkQsProject::OpenProjectFloor(CString(), &why)) {
        Fail(vked::FormatText(kCannotOpenProject, file.GetString(), why.GetString()));
        return false;
    }
    SayCurrentFloor();
    return true;
}

std::vector<CString> SplitFloors(const CString& text)
{
    std::vector<CString> floors;
    int start = 0;
    for (;;) {
        const int comma = text.Find(u',', start);
        CString name = comma < 0 ? text.Mid(start) : text.Mid(start, comma - start);
        name.Trim();
        floors.push_back(name);
        if (comma < 0) break;
        start = comma + 1;
    }
    return floors;
}

// A new project in a folder (made when missing): NAME.prj there, one drawing a floor.
void NewProject()
{
    CString folder;
    if (!AskLine(vked::Text(kProjectFolder), folder) || folder.IsEmpty()) return;
    const fs::path dir = fs::absolute(HostPath(folder)).lexically_normal();
    const CString defaultName = CString::FromUtf8(dir.filename().empty() ? std::string("project") : dir.filename().string());
    CString name, floorList;
    if (!AskLine(vked::FormatText(kProjectName, defaultName.GetString()), name, defaultName)) return;
    if (!AskLine(vked::Text(kProjectFloors), floorList, u"1F")) return;
    const std::vector<CString> floors = SplitFloors(floorList);
    const std::string file = (dir / (name.ToUtf8() + ".prj")).string();
    // Said as the designer named it: the folder as typed, the file in it.
    CString shown = folder;
    while (shown.GetLength() > 1 && (shown.Right(1) == u"/" || shown.Right(1) == u"\\")) shown = shown.Left(shown.GetLength() - 1);
    shown += (folder.Find(u'\\') >= 0 ? u"\\" : u"/") + name + u".prj";
    std::error_code ec;
    if (fs::exists(file, ec)) {
        Fail(vked::FormatText(kProjectExists, shown.GetString()));
        return;
    }
    fs::create_directories(dir, ec);
    CString why;
    if (ec) {
        Fail(vked::FormatText(kProjectCannotWrite, shown.GetString(), CString::FromUtf8(ec.message()).GetString()));
        return;
    }
    if (!VkQsProject::WriteNewProjectFile(file, name, floors, why)) {
        Fail(vked::FormatText(kProjectCannotWrite, shown.GetString(), why.GetString()));
        return;
    }
    CString list;
    for (const CString& f : floors) list += (list.IsEmpty() ? u"" : u", ") + f;
    Say(vked::FormatText(kProjectMade, shown.GetString(), static_cast<int>(floors.size()), list.GetString()));
    OpenProject(CString::FromUtf8(file));
}

void CmdProject()
{
    acedInitGet(0, u"Open New");
    char16_t option[16] = {};
    const int rc = acedGetKword(vked::Text(kProjectOption), option, 16);
    if (rc == RTCAN) return;
    if (rc == RTNORM && CString(option) == u"New") {
        NewProject();
        return;
    }
    CString file;
    if (AskLine(vked::Text(kProjectFile), file) && !file.IsEmpty()) OpenProject(file);
}

// FLOOR: the floors of the current project, the current one marked; another one is opened
// in place of the current drawing, which is closed as CLOSE closes it (asking first about
// changes no file holds; Cancel keeps it and the floor is not switched).
void CmdFloor()
{
    const std::string projectFile = VkQsProject::GetCurrentProjectFile();
    VkQsProject::ProjectFile pf;
    CString why;
    if (projectFile.empty() || !VkQsProject::LoadProjectFile(projectFile, pf, why)) {
        Fail(projectFile.empty() ? CString(vked::Text(kNoProject))
                                 : vked::FormatText(kCannotOpenProject, CString::FromUtf8(projectFile).GetString(),
                                                    why.GetString()));
        return;
    }
    const CString current = VkQsDataMng::CProj().GetCurFloorName();
    Say(vked::FormatText(kFloorListHeader, CString::FromUtf8(fs::path(pf.path).filename().string()).GetString()));
    for (const VkQsProject::ProjectFloor& f : pf.floors)
        Say(u"  " + f.name + u" " + f.drawing + (f.name == current ? CString(vked::Text(kFloorCurrentMark)) : CString()));
    CString name;
    if (!AskLine(vked::FormatText(kFloorPrompt, current.GetString()), name, current) || name.IsEmpty()) return;
    const VkQsProject::ProjectFloor* floor = nullptr;
    for (const VkQsProject::ProjectFloor& f : pf.floors)
        if (f.name.CompareNoCase(name) == 0) floor = &f;
    if (!floor) {
        Fail(vked::FormatText(kFloorNoSuch, name.GetString()));
        return;
    }
    if (floor->name == current) {
        SayCurrentFloor();
        return;
    }
    if (acDocManager->curDocument() && !CloseCurrentDrawing()) return;
    if (!VkQsProject::OpenProjectFloor(floor->name, &why))
        Fail(vked::FormatText(kCannotOpenFloor, floor->name.GetString(), why.GetString()));
    else
        SayCurrentFloor();
}

// "LINE 12, ARC 3" from counts by name.
CString Counts(const std::map<std::string, int>& counts, int& total)
{
    std::string text;
    total = 0;
    for (const auto& [name, n] : counts) {
        text += (text.empty() ? "" : ", ") + name + " " + std::to_string(n);
        total += n;
    }
    return CString::FromUtf8(text);
}

// IMPORT: the plan's layers (with their states), entities and blocks join the current drawing
// where they lie; nothing joins when the file cannot be read whole.
void CmdImport()
{
    CString file;
    if (!AskLine(vked::Text(kImportPrompt), file) || file.IsEmpty()) return;
    AcDbDatabase plan(true, true);
    vkdxf::ImportReport report;
    std::string why;
    if (!vkdxf::ImportDxfFile(HostPath(file), &plan, report, why)) {
        Fail(vked::FormatText(kCannotImport, file.GetString(), CString::FromUtf8(why).GetString()));
        return;
    }
    AcDbDatabase* db = acdbCurDwg();
    const Acad::ErrorStatus es = db->insert(AcGeMatrix3d::kIdentity, &plan);
    if (es != Acad::eOk) {
        Fail(vked::FormatText(kCannotImport, file.GetString(), acadErrorStatusDescription(es).GetString()));
        return;
    }
    int total = 0;
    const CString counts = Counts(report.imported, total);
    AcApDocument* doc = acDocManager->curDocument();
    Say(vked::FormatText(kImported, file.GetString(), total, doc ? CString(doc->docTitle()).GetString() : u"",
                         counts.IsEmpty() ? u"" : (u" (" + counts + u")").GetString(), report.layers, report.blocks));
    if (!report.skipped.empty())
        Say(vked::FormatText(kNotImported, file.GetString(), CString::FromUtf8(report.skippedText()).GetString()));
}

// EXPORT: the current drawing as it is now (saved or not) into a DXF file; Enter writes
// NAME.dxf beside the drawing.
void CmdExport()
{
    AcApDocument* doc = acDocManager->curDocument();
    const std::string drawing = doc ? HostPath(CString(doc->fileName())) : std::string("drawing.dwg");
    const fs::path beside = fs::path(drawing).replace_extension(".dxf");
    const CString suggested = CString::FromUtf8(beside.filename().string());
    CString file;
    if (!AskLine(vked::FormatText(kExportPrompt, suggested.GetString()), file)) return;
    const std::string target = file.IsEmpty() ? beside.string() : HostPath(file);
    if (file.IsEmpty()) file = suggested;
    vkdxf::ExportReport report;
    std::string why;
    if (!vkdxf::ExportDxf(acdbCurDwg(), target, report, why)) {
        Fail(vked::FormatText(kCannotExport, file.GetString(), CString::FromUtf8(why).GetString()));
        return;
    }
    int total = 0, drawn = 0;
    CString counts = Counts(report.written, total);
    const CString graphics = Counts(report.drawn, drawn);
    if (!graphics.IsEmpty()) counts += (counts.IsEmpty() ? u"" : u"; ") + graphics;
    Say(vked::FormatText(kExported, doc ? CString(doc->docTitle()).GetString() : u"", total + drawn, file.GetString(),
                         counts.IsEmpty() ? u"" : (u" (" + counts + u")").GetString()));
}

}  // namespace

void RegisterProjectCommands()
{
    const HostCommandSpec commands[] = {
        {u"PROJECT", CmdProject, ACRX_CMD_SESSION,
         u"Opens a project file, or makes a new project in a folder with its floors.",
         u"打开项目文件，或在文件夹中新建带楼层的项目。", {kProjectOption, kProjectFile, kProjectFolder, kProjectName, kProjectFloors}},
        {u"FLOOR", CmdFloor, ACRX_CMD_SESSION, u"Lists the project's floors and switches to one.",
         u"列出项目的楼层并切换到其中一层。", {kFloorPrompt}},
        {u"IMPORT", CmdImport, ACRX_CMD_MODAL, u"Brings a DXF plan into the current drawing, on its own layers.",
         u"将 DXF 平面图输入到当前图形，保留其图层。", {kImportPrompt}},
        {u"EXPORT", CmdExport, ACRX_CMD_MODAL, u"Writes the current drawing as a DXF file.", u"将当前图形写为 DXF 文件。",
         {kExportPrompt}},
    };
    for (const HostCommandSpec& c : commands) AddHostCommand(c);
}

}  // namespace vkcad
