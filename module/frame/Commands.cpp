// The command table and the frame that the three commands share: probe the library drawing,
// show the command's dialog modeless, keep a point prompt running underneath until the dialog
// ends it with the cancel character, then destroy the dialog.
#include "module/frame/Commands.h"

#include <memory>

#include "host/ed/AcEd.h"
#include "host/win/Windows.h"
#include "module/definition/CDefineRoomDlg.h"
#include "module/editing/CModifySRoom.h"
#include "module/frame/CManageStdRoom.h"
#include "module/frame/ModuleInstance.h"
#include "module/interfaces/FrameInterfaces.h"
#include "module/interfaces/LibraryInterfaces.h"
#include "module/library/LibraryFile.h"
#include "module/placement/CSelectRoomDlg.h"

namespace vkroom {
namespace {

// Holds m_bLeadContainer true for a command's whole run.
class LeadContainerGuard {
public:
    LeadContainerGuard() { m_bLeadContainer = true; }
    ~LeadContainerGuard() { m_bLeadContainer = false; }
    LeadContainerGuard(const LeadContainerGuard&) = delete;
    LeadContainerGuard& operator=(const LeadContainerGuard&) = delete;
};

// True when the library drawing exists (it is created empty when missing) and can be read.
// The library lives in the project's folders: with no project open there is none, and the
// user is asked to open a project first. A library held by another program is said to be
// open; any other cause (damaged, no drawing, no permission) is named as it is.
bool ProbeLibrary()
{
    if (!VkQsDataMng::CProj().IsValid()) {
        acutPrintf(u"\n未打开工程，请先打开工程");
        return false;
    }
    auto probe = std::make_unique<AcDbDatabase>(false, true);
    const CString path = CManageStdRoom::GetStdRoomPath();
    Acad::ErrorStatus es = probe->readDwgFile(path, _SH_DENYWR, false, nullptr);
    if (es == Acad::eFileNotFound) {
        auto fresh = std::make_unique<AcDbDatabase>(true, true);
        if (const Acad::ErrorStatus saved = fresh->saveAs(path, true, AcDb::kDHL_1027, nullptr); saved != Acad::eOk)
            vkroom::TellLibraryWriteFailure(path, saved);
        fresh.reset();
        probe->readDwgFile(path, _SH_DENYWR, false, nullptr);
        return true;
    }
    if (es == Acad::eFileSharingViolation) {
        acutPrintf(u"\n标准房间文件已经打开，请先关闭");
        return false;
    }
    if (es != Acad::eOk) {
        vkroom::TellLibraryReadFailure(path, es);
        return false;
    }
    return true;
}

// Repeats an unused point prompt while the host answers "normal".
void PointLoop()
{
    ads_point pt;
    while (acedGetPoint(nullptr, u"", pt) == RTNORM) {
    }
}

template <class Dialog>
std::unique_ptr<Dialog> ShowDialog()
{
    auto dlg = std::make_unique<Dialog>(nullptr);
    dlg->CreateModeless();
    dlg->ShowWindow(SW_SHOW);
    return dlg;
}
}  // namespace

void CmdPlaceRoom()
{
    LeadContainerGuard lead;
    if (!ProbeLibrary()) return;
    auto dlg = ShowDialog<CSelectRoomDlg>();
    dlg->ShowRoomPreview(0, u"*Model_Space");
    PointLoop();
    dlg->DestroyWindow();
}

void CmdDefineRoom()
{
    LeadContainerGuard lead;
    if (!ProbeLibrary()) return;
    auto dlg = ShowDialog<CDefineRoomDlg>();
    PointLoop();
    dlg->DestroyWindow();
}

void CmdEditRoom()
{
    ModuleResourceScope resources;
    LeadContainerGuard lead;
    if (!ProbeLibrary()) return;
    auto dlg = std::make_unique<CModifySRoom>(nullptr);
    dlg->Create(IDD_MODIFY_ROOM, nullptr);
    dlg->ShowWindow(SW_SHOW);
    PointLoop();
    dlg->ProcessModify();
    dlg->DestroyWindow();
}

void RegisterCommands()
{
    AcEdCommandStack* stack = acedRegCmds();
    stack->addCommand(kCommandGroup, u"_bjbz", u"bjbz", 0, &CmdPlaceRoom);
    stack->addCommand(kCommandGroup, u"_bjcj", u"bjcj", 0, &CmdDefineRoom);
    stack->addCommand(kCommandGroup, u"_bjbj", u"bjbj", 0, &CmdEditRoom);
    // What HELP shows of each: the commands lead through their dialogs, whose controls !show lists.
    const char16_t* kDialogNote = u"对话框：!show 列出控件，!click 编号 按下按钮";
    stack->setCommandHelp(kCommandGroup, u"_bjbz", u"布置标准房间：选择房间，在图中指定插入点（可旋转、翻转）。", kDialogNote);
    stack->setCommandHelp(kCommandGroup, u"_bjcj", u"定义标准房间：提取房间边界与构件，存入标准房间库。", kDialogNote);
    stack->setCommandHelp(kCommandGroup, u"_bjbj", u"编辑标准房间：从一个已布置的房间重新提取，更新各楼层的全部副本。", kDialogNote);
}

void RemoveCommands()
{
    acedRegCmds()->removeGroup(kCommandGroup);
}
}  // namespace vkroom
