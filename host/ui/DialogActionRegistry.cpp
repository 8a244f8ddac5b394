#include "host/ui/DialogActionRegistry.h"

#include <map>
#include <mutex>

namespace {
std::mutex& RegistryMutex()
{
    static std::mutex m;
    return m;
}
std::map<std::u16string, vkui::DialogActionHandler>& Registry()
{
    static std::map<std::u16string, vkui::DialogActionHandler> r;  // lower-case verb -> handler
    return r;
}
}  // namespace

namespace vkui {
void RegisterDialogAction(const char* verb, DialogActionHandler handler)
{
    CString key = CString::FromUtf8(verb ? verb : "");
    key.MakeLower();
    std::lock_guard lock(RegistryMutex());
    if (handler) Registry()[key.str()] = std::move(handler);
    else Registry().erase(key.str());
}
}  // namespace vkui

namespace vkui::detail {
// The framework's dispatcher asks here for verbs it does not know; `handled` tells whether
// a registered action took the line.
bool RunRegisteredDialogAction(CDialog* top, const CString& lowerVerb, const CString& args, CString& why,
                               bool& handled)
{
    DialogActionHandler h;
    {
        std::lock_guard lock(RegistryMutex());
        auto it = Registry().find(lowerVerb.str());
        handled = it != Registry().end();
        if (!handled) return false;
        h = it->second;  // a copy: the handler may register actions itself
    }
    return h(top, args, why);
}
}  // namespace vkui::detail
