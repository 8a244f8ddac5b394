#pragma once
// The dialogs' message boxes: owned by the host's active window, caption "Vektasoft",
// task-modal and brought to the foreground. The caller appends the message ending.
#include "host/win/CString.h"

namespace vkroom {
int ShowWarning(const CString& text);      // exclamation icon
int ShowInformation(const CString& text);  // information icon
// Yes and No with the exclamation icon, No the default; answers IDYES or IDNO.
int AskYesNo(const CString& text);
}  // namespace vkroom
