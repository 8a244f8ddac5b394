// Load and unload of the module.
#include <memory>

#include "host/rx/AcRxDynamicLinker.h"
#include "module/frame/CManageStdRoom.h"
#include "module/frame/Commands.h"
#include "module/frame/DocData.h"
#include "module/frame/ModuleInstance.h"
#include "module/resources/DialogTemplates.h"

namespace vkroom {
namespace {
HINSTANCE g_instance = nullptr;
}  // namespace
std::unique_ptr<AsdkDataManager<CDocData>> g_docData;  // built with the module, gone with it

HINSTANCE ModuleInstance() { return g_instance; }
void SetModuleInstance(HINSTANCE h) { g_instance = h; }
}  // namespace vkroom

extern "C" VKQSROOM_API AcRx::AppRetCode acrxEntryPoint(AcRx::AppMsgCode msg, void* appId)
{
    switch (msg) {
    case AcRx::kInitAppMsg:
        vkroom::SetModuleInstance(vked::ResourceHandleOf(appId));
        vkroom::RegisterDialogTemplates(vkroom::ModuleInstance());
        vkroom::g_docData = std::make_unique<AsdkDataManager<CDocData>>();
        acrxDynamicLinker()->unlockApplication(appId);
        acrxDynamicLinker()->registerAppMDIAware(appId);
        vkroom::RegisterCommands();
        break;
    case AcRx::kUnloadAppMsg:
        vkroom::RemoveCommands();
        CManageStdRoom::DelIntance();
        vkroom::g_docData.reset();
        vkroom::UnregisterDialogTemplates(vkroom::ModuleInstance());
        vkroom::SetModuleInstance(nullptr);
        break;
    default:
        break;
    }
    return AcRx::kRetOK;
}
