#pragma once
// What the dialogs show, for a face that draws them itself (the window in a browser): the
// visible dialogs with their controls as they stand, and the message boxes as they come.
// Nothing here changes a dialog: the face answers through dialog action lines, as a script does.
#include <functional>
#include <vector>

#include "host/ui/DialogTemplate.h"

class CDialog;
class CWnd;

namespace vkui {

struct ControlView {
    int id = 0;
    ControlKind kind = ControlKind::kStatic;
    CString text;
    DWORD style = 0;
    CRect rect;                   // pixels within the dialog (CWnd::GetWindowRect)
    bool visible = true, enabled = true, focus = false;
    int check = 0;
    std::vector<CString> rows;    // list and combo boxes
    int sel = -1;
    CWnd* window = nullptr;       // the object behind the control (a preview control, say)
};

struct DialogView {
    int id = 0;
    CString caption;
    CRect rect;                   // pixels: the client area the template gives
    bool modal = false;
    bool top = false;             // the one dialog actions go to
    std::vector<ControlView> controls;
};

// Visible dialogs in order of showing, the topmost last.
std::vector<DialogView> VisibleDialogs();

// A message box as it is shown: its texts, its buttons by name ("yes", "no", ...) and the
// default one.
struct MessageBoxView {
    CString caption, text, kind;  // kind: warning, information, question, error, message
    std::vector<CString> buttons;
    int defaultButton = 0;
};
using MessageBoxObserver = std::function<void(const MessageBoxView&)>;
// Told of every message box before it is answered; returns the previous observer.
MessageBoxObserver SetMessageBoxObserver(MessageBoxObserver observer);

}  // namespace vkui
