#pragma once
// Extra dialog actions ("!verb args") registered by libraries above the framework; they are
// tried after the framework's own verbs, on the top dialog.
#include <functional>

#include "host/win/CString.h"

class CDialog;

namespace vkui {
// `args` is the rest of the line after the verb, trimmed. The handler returns false with a
// reason to have the line reported. A verb registered again replaces the handler; a null
// handler removes it. The verb includes the '!' ("!preview") and is matched case-insensitively.
using DialogActionHandler = std::function<bool(CDialog* top, const CString& args, CString& why)>;
void RegisterDialogAction(const char* verb, DialogActionHandler handler);
}  // namespace vkui
