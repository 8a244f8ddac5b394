// A plug-in for the dynamic linker's tests. It reports every message it receives to the
// test program (which exports vkRxTestRecord), stays locked when the test asks, refuses its
// initialisation when asked, and brings a run-time class of its own.
#include <dlfcn.h>

#include <cstdlib>

#include "host/rx/AcRxDynamicLinker.h"
#include "host/rx/AcRxObject.h"

class RxTestPluginThing : public AcRxObject {
public:
    ACRX_DECLARE_MEMBERS(RxTestPluginThing);
};
ACRX_DEFINE_MEMBERS(RxTestPluginThing, AcRxObject)

namespace {
void record(AcRx::AppMsgCode msg, void* appId)
{
    using Recorder = void (*)(int, void*);
    if (auto fn = reinterpret_cast<Recorder>(dlsym(RTLD_DEFAULT, "vkRxTestRecord"))) fn(msg, appId);
}
}  // namespace

extern "C" AcRx::AppRetCode acrxEntryPoint(AcRx::AppMsgCode msg, void* appId)
{
    record(msg, appId);
    if (msg == AcRx::kInitAppMsg) {
        if (std::getenv("VK_RXTEST_FAIL_INIT")) return AcRx::kRetError;
        if (!std::getenv("VK_RXTEST_STAY_LOCKED")) acrxDynamicLinker()->unlockApplication(appId);
        acrxDynamicLinker()->registerAppMDIAware(appId);
    }
    return AcRx::kRetOK;
}
