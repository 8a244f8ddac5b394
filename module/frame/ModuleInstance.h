#pragma once
// The module's instance handle: where its dialog templates are registered.
#include "host/ed/ResourceHandle.h"

namespace vkroom {
HINSTANCE ModuleInstance();
void SetModuleInstance(HINSTANCE h);
}  // namespace vkroom
