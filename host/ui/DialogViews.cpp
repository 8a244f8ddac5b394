// The dialogs as a face that draws them sees them.
#include "host/ui/DialogViews.h"

#include <algorithm>

#include "host/ui/detail/Window.h"

namespace vkui {

std::vector<DialogView> VisibleDialogs()
{
    std::vector<DialogView> out;
    CDialog* top = TopDialog();
    const std::vector<CDialog*>& modal = detail::ModalStack();
    const HWND focus = ::GetFocus();
    for (CDialog* dlg : detail::LiveDialogs()) {
        HWND__* r = detail::Rec(dlg->m_hWnd);
        if (!r || !r->visible) continue;
        DialogView v;
        v.id = r->id;
        v.caption = r->text;
        dlg->GetClientRect(&v.rect);
        v.modal = std::find(modal.begin(), modal.end(), dlg) != modal.end();
        v.top = dlg == top;
        for (const auto& c : r->children) {
            ControlView cv;
            cv.id = c->id;
            cv.kind = c->kind;
            cv.text = c->text;
            cv.style = c->style;
            cv.window = CWnd::FromHandle(c.get());
            cv.window->GetWindowRect(&cv.rect);
            cv.visible = c->visible;
            cv.enabled = c->enabled;
            cv.focus = focus == c.get();
            cv.check = c->check;
            cv.rows = c->rows;
            cv.sel = c->sel;
            v.controls.push_back(std::move(cv));
        }
        out.push_back(std::move(v));
    }
    return out;
}

namespace detail {
MessageBoxObserver& MessageBoxObserverSlot()
{
    static MessageBoxObserver observer;
    return observer;
}
}  // namespace detail

MessageBoxObserver SetMessageBoxObserver(MessageBoxObserver observer)
{
    MessageBoxObserver old = std::move(detail::MessageBoxObserverSlot());
    detail::MessageBoxObserverSlot() = std::move(observer);
    return old;
}

}  // namespace vkui
