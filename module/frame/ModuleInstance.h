#pragma once
// The module's instance handle: where its dialog templates are registered.
#include "host/ed/AcApDocManager.h"
#include "host/ed/ResourceHandle.h"

namespace vkroom {
HINSTANCE ModuleInstance();
void SetModuleInstance(HINSTANCE h);

// Makes the module's resources current for a scope (dialogs are created from its templates).
class ModuleResourceScope {
public:
    ModuleResourceScope() { acDocManager->pushResourceHandle(ModuleInstance()); }
    ~ModuleResourceScope() { acDocManager->popResourceHandle(); }
    ModuleResourceScope(const ModuleResourceScope&) = delete;
    ModuleResourceScope& operator=(const ModuleResourceScope&) = delete;
};
}  // namespace vkroom
