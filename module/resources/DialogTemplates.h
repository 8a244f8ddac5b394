#pragma once
// The module's dialog templates, registered under its resource handle while it is loaded.
#include "host/ui/DialogTemplate.h"

namespace vkroom {
vkui::DialogTemplate DefineRoomTemplate();    // 200
vkui::DialogTemplate SelectRoomTemplate();    // 201
vkui::DialogTemplate EntityOptionTemplate();  // 202
vkui::DialogTemplate ModifyRoomTemplate();    // 211
void RegisterDialogTemplates(HINSTANCE module);
void UnregisterDialogTemplates(HINSTANCE module);
}  // namespace vkroom
