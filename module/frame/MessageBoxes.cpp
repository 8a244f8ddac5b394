#include "module/frame/MessageBoxes.h"

#include "host/ui/WinUser.h"

namespace vkroom {
namespace {
constexpr const char16_t* kCaption = u"Vektasoft";

int Show(const CString& text, UINT icon)
{
    return MessageBoxExW(GetActiveWindow(), text.GetString(), kCaption,
                         MB_OK | icon | MB_TASKMODAL | MB_SETFOREGROUND, 0);
}
}  // namespace

int ShowWarning(const CString& text) { return Show(text, MB_ICONEXCLAMATION); }      // 0x12030
int ShowInformation(const CString& text) { return Show(text, MB_ICONINFORMATION); }  // 0x12040
}  // namespace vkroom
