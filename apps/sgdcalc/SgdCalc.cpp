// The command SGDCALC: asks for a section name and lists the construction segments' components
// under it in the settings file.
#include "host/ed/AcEd.h"
#include "host/rx/AcRxDynamicLinker.h"
#include "module/selection/CalConstrucSegment.h"

namespace {
constexpr const char16_t* kGroup = u"VKSGD";

void CmdSgdCalc()
{
    char16_t section[256] = {};
    if (acedGetString(1, u"\n施工段分区名称: ", section, 256) != RTNORM || section[0] == 0) return;
    CalConstrucSegment(CString(section));
}
}  // namespace

extern "C" __attribute__((visibility("default"))) AcRx::AppRetCode acrxEntryPoint(AcRx::AppMsgCode msg, void* appId)
{
    if (msg == AcRx::kInitAppMsg) {
        acrxDynamicLinker()->unlockApplication(appId);
        acrxDynamicLinker()->registerAppMDIAware(appId);
        acedRegCmds()->addCommand(kGroup, u"_SGDCALC", u"SGDCALC", 0, &CmdSgdCalc);
        acedRegCmds()->setCommandHelp(kGroup, u"_SGDCALC", u"列出每个施工段内的构件，写入 c:\\sgd.ini。", u"施工段分区名称:");
    } else if (msg == AcRx::kUnloadAppMsg) {
        acedRegCmds()->removeGroup(kGroup);
    }
    return AcRx::kRetOK;
}
