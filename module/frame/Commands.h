#pragma once
// The module's three commands, in the group "VKQSROOM".
namespace vkroom {
constexpr const char16_t* kCommandGroup = u"VKQSROOM";
void RegisterCommands();
void RemoveCommands();
// The command functions.
void CmdPlaceRoom();   // bjbz
void CmdDefineRoom();  // bjcj
void CmdEditRoom();    // bjbj
}  // namespace vkroom
