// The process-wide current project and the floor queries on it. The project file is read
// afresh for each query, so edits to it are seen at once.
#include <mutex>

#include "host/ed/AcApDocManager.h"
#include "host/ed/HostTexts.h"
#include "host/ed/SystemVariables.h"
#include "host/ed/Transcript.h"
#include "host/win/WinPath.h"
#include "host/win/Windows.h"
#include "siblings/project/CProj.h"
#include "siblings/project/IFloorMng.h"
#include "siblings/project/OpenFloorFile.h"
#include "siblings/project/ProjectFile.h"
#include "siblings/project/VkQsProject.h"

namespace {

std::mutex g_mutex;
std::string g_projectFile;

bool LoadCurrent(VkQsProject::ProjectFile& pf, CString* error = nullptr)
{
    std::string path = VkQsProject::GetCurrentProjectFile();
    if (path.empty()) {
        if (error) *error = u"no project is open";
        return false;
    }
    CString why;
    bool ok = VkQsProject::LoadProjectFile(path, pf, why);
    if (!ok && error) *error = why;
    return ok;
}

const VkQsProject::ProjectFloor* FindFloor(const VkQsProject::ProjectFile& pf, const CString& name)
{
    for (auto& f : pf.floors)
        if (f.name == name) return &f;
    for (auto& f : pf.floors)
        if (f.name.CompareNoCase(name) == 0) return &f;
    return nullptr;
}

bool OpenDrawing(const std::string& hostPath, CString* error)
{
    const CString path = vkwin::FromHostPath(hostPath);
    // A floor not drawn yet opens as a new drawing: said, as for any drawing named that does not exist.
    if (!vked::FindDocument(path) && !PathFileExistsW(path.GetString()))
        vked::transcript().writeLine(vked::FormatText(vked::txt::kNewOnFirstSave, path.GetString()));
    Acad::ErrorStatus es = acDocManager->appContextOpenDocument(path);
    if (es != Acad::eOk && error)
        error->Format(u"cannot open the floor's drawing %s: %s (%s)", vkwin::FromHostPath(hostPath).GetString(),
                      CString::FromUtf8(acadErrorStatusText(es)).GetString(),
                      CString::FromUtf8(acadErrorStatusMeaning(es)).GetString());
    return es == Acad::eOk;
}

}  // namespace

namespace VkQsProject {

bool SetCurrentProjectFile(const std::string& hostPath, CString* error)
{
    if (hostPath.empty()) {
        std::lock_guard lock(g_mutex);
        g_projectFile.clear();
        return true;
    }
    ProjectFile pf;
    CString why;
    if (!LoadProjectFile(hostPath, pf, why)) {
        if (error) *error = why;
        return false;
    }
    std::lock_guard lock(g_mutex);
    g_projectFile = pf.path;
    return true;
}

std::string GetCurrentProjectFile()
{
    std::lock_guard lock(g_mutex);
    return g_projectFile;
}

bool OpenProjectFloor(const CString& floorName, CString* error)
{
    ProjectFile pf;
    if (!LoadCurrent(pf, error)) return false;
    const ProjectFloor* floor = floorName.IsEmpty() ? &pf.floors.front() : FindFloor(pf, floorName);
    if (!floor) {
        if (error) error->Format(u"the project has no floor named \"%s\"", floorName.GetString());
        return false;
    }
    return OpenDrawing(floor->hostPath, error);
}

}  // namespace VkQsProject

namespace VkQsDataMng {

CProj::CProj()
{
    VkQsProject::ProjectFile pf;
    m_valid = LoadCurrent(pf);
}

CString CProj::GetPrjDir() const
{
    VkQsProject::ProjectFile pf;
    if (!LoadCurrent(pf)) return {};
    CString dir = vkwin::FromHostPath(pf.dir);
    while (dir.GetLength() > 1 && dir[dir.GetLength() - 1] == u'\\') dir = dir.Left(dir.GetLength() - 1);
    return dir;
}

CString CProj::GetPrjPath() const
{
    VkQsProject::ProjectFile pf;
    return LoadCurrent(pf) ? vkwin::FromHostPath(pf.path) : CString();
}

CString CProj::GetCurFloorName() const
{
    VkQsProject::ProjectFile pf;
    AcApDocument* doc = acDocManager->curDocument();
    if (!doc || !doc->fileName() || !*doc->fileName() || !LoadCurrent(pf)) return {};
    const vkwin::FileIdentity cur = vkwin::IdentityOf(doc->fileName());
    for (auto& f : pf.floors)
        if (vkwin::IdentityOf(vkwin::FromHostPath(f.hostPath)) == cur) return f.name;
    return {};
}

bool CProj::GetAllFloorData(CArray<FloorRecord>& floors) const
{
    floors.RemoveAll();
    VkQsProject::ProjectFile pf;
    if (!LoadCurrent(pf)) return false;
    int i = 0;
    for (auto& f : pf.floors) {
        FloorRecord r;
        r.strFloorName = f.name;
        r.strDwgName = f.drawing;
        r.strDwgFullName = vkwin::FromHostPath(f.hostPath);
        r.nIndex = i++;
        floors.Add(r);
    }
    return true;
}

CString IFloorMng::GetDwgFullNameByFloorName(const CString& floorName)
{
    VkQsProject::ProjectFile pf;
    if (!LoadCurrent(pf)) return {};
    const VkQsProject::ProjectFloor* f = FindFloor(pf, floorName);
    return f ? vkwin::FromHostPath(f->hostPath) : CString();
}

}  // namespace VkQsDataMng

bool OpenFloorFile(const CString& floorName, bool /*bReadOnly*/)
{
    VkQsProject::ProjectFile pf;
    CString why;
    if (!LoadCurrent(pf, &why)) {
        vked::transcript().writeLine(u"** " + why + u" **");
        return false;
    }
    const VkQsProject::ProjectFloor* floor = FindFloor(pf, floorName);
    if (!floor) {
        why.Format(u"** the project has no floor named \"%s\" **", floorName.GetString());
        vked::transcript().writeLine(why);
        return false;
    }
    if (!OpenDrawing(floor->hostPath, &why)) {
        vked::transcript().writeLine(u"** " + why + u" **");
        return false;
    }
    // The status line names the floor now in front.
    resbuf* macro = acutBuildString(floor->name.GetString());
    acedSetVar(u"MODEMACRO", macro);
    acutRelRb(macro);
    return true;
}
