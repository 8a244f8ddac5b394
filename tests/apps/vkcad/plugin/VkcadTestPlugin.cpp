// A plug-in for vkcad's tests. Its command TDLG is the editor tests' dialog command: a point
// prompt under a modeless dialog whose buttons open nested prompts and a modal dialog and send
// the cancel character; what it learns goes to the transcript, so scripts and the console can
// check it.
#include "host/rx/AcRxDynamicLinker.h"
#include "tests/support/FrameDialogCommand.h"

namespace {

constexpr const char16_t* kGroup = u"VKTEST";
constexpr UINT kFrameDialog = 400;
HINSTANCE g_resources = nullptr;

void CmdTdlg() { vktest::RunFrameDialogCommand(g_resources, kFrameDialog); }

}  // namespace

extern "C" __attribute__((visibility("default"))) AcRx::AppRetCode acrxEntryPoint(AcRx::AppMsgCode msg, void* appId)
{
    if (msg == AcRx::kInitAppMsg) {
        acrxDynamicLinker()->unlockApplication(appId);
        acrxDynamicLinker()->registerAppMDIAware(appId);
        g_resources = vked::ResourceHandleOf(appId);
        vktest::RegisterFrameDialogTemplates(g_resources, kFrameDialog);
        acedRegCmds()->addCommand(kGroup, u"_TDLG", u"TDLG", ACRX_CMD_MODAL, &CmdTdlg);
    } else if (msg == AcRx::kUnloadAppMsg) {
        acedRegCmds()->removeGroup(kGroup);
        vkui::UnregisterDialogTemplates(g_resources);
    }
    return AcRx::kRetOK;
}
