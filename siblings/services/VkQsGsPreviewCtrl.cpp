#include "siblings/services/VkQsGsPreviewCtrl.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>
#include <vector>

#include "host/db/AcDb.h"
#include "host/ed/Transcript.h"
#include "host/ui/DialogActionRegistry.h"
#include "host/win/WinPath.h"

namespace {

// Controls alive, in order of creation; the preview action picks the one of the top dialog.
std::vector<VkQsGsPreviewCtrl*>& Controls()
{
    static std::vector<VkQsGsPreviewCtrl*> all;
    return all;
}

}  // namespace


VkQsGsPreviewCtrl::VkQsGsPreviewCtrl(const CString& libraryCopyPath) : m_libPath(libraryCopyPath)
{
    Controls().push_back(this);
}

VkQsGsPreviewCtrl::~VkQsGsPreviewCtrl()
{
    std::erase(Controls(), this);
}

BOOL VkQsGsPreviewCtrl::SubclassDlgItem(UINT id, CWnd* parent)
{
    if (!parent || !CStatic::SubclassDlgItem(id, parent)) return FALSE;
    m_dialog = parent;
    return TRUE;
}

BOOL VkQsGsPreviewCtrl::InitDrawingControl(HINSTANCE, const CString& blockName, const CString&)
{
    m_prims.clear();
    if (blockName.IsEmpty() || m_libPath.IsEmpty()) return FALSE;
    // Read afresh and let go at once: the library copy is rewritten while dialogs are open.
    auto db = std::make_unique<AcDbDatabase>(false, true);
    if (db->readDwgFile(m_libPath, _SH_DENYNO) != Acad::eOk) return FALSE;
    AcDbBlockTable* table = nullptr;
    if (db->getBlockTable(table, AcDb::kForRead) != Acad::eOk) return FALSE;
    AcDbObjectId blockId;
    Acad::ErrorStatus es = table->getAt(blockName, blockId);
    table->close();
    if (es != Acad::eOk) return FALSE;
    AcDbBlockTableRecord* block = nullptr;
    if (acdbOpenObject(block, blockId, AcDb::kForRead) != Acad::eOk) return FALSE;
    std::vector<AcDbObjectId> ents = block->entityIds();
    block->close();
    AcDbObjectIdArray ids;
    for (AcDbObjectId id : ents) ids.append(id);
    Collect(ids);
    return TRUE;
}

void VkQsGsPreviewCtrl::AddEntsToView(AcDbDatabase*, const AcDbObjectIdArray& ids)
{
    m_prims.clear();
    Collect(ids);
}

void VkQsGsPreviewCtrl::UpdatePreviewDwg(HINSTANCE, const CString&, const AcDbObjectIdArray& ids)
{
    m_prims.clear();
    Collect(ids);
}

void VkQsGsPreviewCtrl::Collect(const AcDbObjectIdArray& ids)
{
    vkgi::CollectEntities(ids, m_prims);
}

namespace {
vkgi::View FittedView(int width, int height)
{
    vkgi::View v;
    v.width = width;
    v.height = height;
    return v;
}
}  // namespace

bool VkQsGsPreviewCtrl::RenderPng(const std::string& hostPath, int width, int height) const
{
    if (width <= 0 || height <= 0) return false;
    return vkgi::RenderPng(m_prims, FittedView(width, height), hostPath);
}

bool VkQsGsPreviewCtrl::RenderImage(int width, int height, std::vector<unsigned>& pixels) const
{
    return vkgi::RenderPixels(m_prims, FittedView(width, height), pixels);
}

namespace {

bool PreviewAction(CDialog* top, const CString& args, CString& why)
{
    CString file = args;
    file.Trim();
    if (file.GetLength() >= 2 && file[0] == u'"' && file[file.GetLength() - 1] == u'"')
        file = file.Mid(1, file.GetLength() - 2);
    if (file.IsEmpty()) {
        why = u"expected !preview FILE.png";
        return false;
    }
    VkQsGsPreviewCtrl* ctrl = nullptr;
    for (VkQsGsPreviewCtrl* c : Controls())
        if (c->GetSafeHwnd() && c->GetParent() == top) ctrl = c;
    if (!ctrl) {
        why = u"the dialog has no preview";
        return false;
    }
    CRect rc;
    ctrl->GetClientRect(&rc);
    int w = rc.right - rc.left > 0 ? int(rc.right - rc.left) : 320;
    int h = rc.bottom - rc.top > 0 ? int(rc.bottom - rc.top) : 240;
    std::string path = vkwin::ToHostPath(file);
    if (!ctrl->RenderPng(path, w, h)) {
        why.Format(u"cannot write %s", file.GetString());
        return false;
    }
    vked::transcript().writeLine(u"<preview " + file + u">");
    return true;
}

struct RegisterPreviewAction {
    RegisterPreviewAction() { vkui::RegisterDialogAction("!preview", &PreviewAction); }
    ~RegisterPreviewAction() { vkui::RegisterDialogAction("!preview", nullptr); }
} g_registerPreviewAction;

}  // namespace
