#include "module/frame/MessageBoxes.h"

#include "host/ui/WinUser.h"

namespace vkroom {
namespace {
constexpr const char16_t* kCaption = u"Vektasoft";

int Show(const CString& text, UINT buttonsAndIcon)
{
    return MessageBoxExW(GetActiveWindow(), text.GetString(), kCaption,
                         buttonsAndIcon | MB_TASKMODAL | MB_SETFOREGROUND, 0);
}
}  // namespace

int ShowWarning(const CString& text) { return Show(text, MB_OK | MB_ICONEXCLAMATION); }      // 0x12030
int ShowInformation(const CString& text) { return Show(text, MB_OK | MB_ICONINFORMATION); }  // 0x12040
int AskYesNo(const CString& text) { return Show(text, MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2); }  // 0x12134
}  // namespace vkroom
