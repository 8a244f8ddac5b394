#pragma once
// The window record behind an HWND. Not for use outside host/ui.
#include <memory>
#include <vector>

#include "host/ui/CDialog.h"
#include "host/ui/DialogViews.h"

struct HWND__ {
    int id = IDC_STATIC;
    vkui::ControlKind kind = vkui::ControlKind::kStatic;
    bool isDialog = false;
    CString text;
    DWORD style = 0;
    int x = 0, y = 0, w = 0, h = 0;
    bool visible = true;
    bool enabled = true;
    int check = 0;
    std::vector<CString> rows;
    int sel = -1;
    int limit = 0;
    HWND__* parent = nullptr;                  // the dialog of a control
    CWnd* attached = nullptr;                  // the object messages go to
    std::unique_ptr<CWnd> own;                 // the framework's object when nobody took over
    std::vector<std::unique_ptr<HWND__>> children;
    HWND__* focus = nullptr;                   // dialog: its focused control
};

namespace vkui::detail {
HWND__* Rec(HWND h);
bool IsLive(HWND h);
void Register(HWND__* dlg);
void Unregister(HWND__* dlg);
std::vector<CDialog*> LiveDialogs();           // in order of showing, last on top
void Raise(CDialog* dlg);
std::vector<CDialog*>& ModalStack();
void DialogVisibilityChanged(HWND__* dlg);      // transcript line, z-order, focus
void DialogDestroyed(HWND__* dlg);              // forgets its focus
void FocusControl(HWND__* dlg, HWND__* ctrl);   // with the focus notifications
MessageBoxObserver& MessageBoxObserverSlot();
}  // namespace vkui::detail
