// The host's message pump for scripts: dialog action lines, focus, message boxes.
//
// Actions go to vkui::TopDialog() and send what the real control would:
//   !click ID          focus to the control; a check box toggles, a radio is checked (the
//                      other radios of its group cleared); then BN_CLICKED. IDOK / IDCANCEL
//                      may be named. A disabled or hidden control is an error.
//   !dblclick ID ROW   list box: selects the row (LBN_SELCHANGE when it changed), LBN_DBLCLK
//   !select ID ROW     list box: LBN_SELCHANGE; combo box: the text follows, CBN_SELCHANGE.
//   !select ID "text"  the row with exactly that text
// In quoted text a doubled quote ("") stands for one quote character.
//   !text ID "text"    edit: EN_UPDATE, EN_CHANGE; drop-down combo: CBN_EDITUPDATE,
//                      CBN_EDITCHANGE (the text is cut to the limit set by CB_LIMITTEXT)
//   !check ID 0|1      sets the check, then BN_CLICKED
//   !ok / !cancel      WM_COMMAND IDOK / IDCANCEL (BN_CLICKED), as Enter and Esc do
//   !close             WM_CLOSE (the close box)
//   !show              prints vkui::DescribeDialog of the top dialog
// Focus: an action on a dialog that does not have the focus first sends WM_KILLFOCUS to the
// dialog that had it and WM_SETFOCUS to this one; an action on a control moves the dialog's
// focus to it (xxN_KILLFOCUS to the old control, xxN_SETFOCUS to the new). When a prompt takes
// drawing input, the focused dialog is asked WM_ACAD_KEEPFOCUS; answering FALSE makes it lose
// the focus (the control's KILLFOCUS, then WM_KILLFOCUS).
#include "host/ed/EditorLoop.h"
#include "host/ed/Transcript.h"
#include "host/ui/detail/Window.h"

using vkui::ControlKind;
using vkui::detail::Rec;

namespace vkui::detail {
CString DialogTag(HWND__* r);
bool RunRegisteredDialogAction(CDialog* top, const CString& lowerVerb, const CString& args, CString& why,
                               bool& handled);
}

namespace {

HWND__* g_focusDialog = nullptr;
HWND__ g_mainWindow;

CDialog* DialogOf(HWND__* r) { return dynamic_cast<CDialog*>(CWnd::FromHandle(r)); }

void FocusDialog(HWND__* dlg)
{
    if (g_focusDialog == dlg) return;
    HWND__* old = g_focusDialog;
    g_focusDialog = dlg;
    if (old && Rec(old)) CWnd::FromHandle(old)->SendMessage(WM_KILLFOCUS, WPARAM(dlg));
    if (dlg) CWnd::FromHandle(dlg)->SendMessage(WM_SETFOCUS, WPARAM(old));
}

// Quoted text from the quote at s[i] (i moves past its closing quote), marked as quoted; a
// doubled quote inside stands for one quote character. False when it is not closed.
bool ReadQuoted(const std::u16string& s, size_t& i, std::u16string& tok)
{
    tok.assign(1, u'\x01');
    for (size_t j = i + 1;;) {
        const size_t end = s.find(u'"', j);
        if (end == std::u16string::npos) return false;
        tok.append(s, j, end - j);
        if (end + 1 < s.size() && s[end + 1] == u'"') {
            tok += u'"';
            j = end + 2;
            continue;
        }
        i = end + 1;
        return true;
    }
}

std::vector<CString> Tokens(const CString& text, bool& ok)
{
    std::vector<CString> out;
    ok = true;
    const std::u16string& s = text.str();
    size_t i = 0;
    while (i < s.size()) {
        if (s[i] == u' ' || s[i] == u'\t') { ++i; continue; }
        std::u16string tok;
        if (s[i] == u'"') {
            if (!ReadQuoted(s, i, tok)) { ok = false; return out; }
            out.emplace_back(tok);
            continue;
        }
        while (i < s.size() && s[i] != u' ' && s[i] != u'\t') tok += s[i++];
        out.emplace_back(tok);
    }
    return out;
}

bool IsQuoted(const CString& t) { return t.GetLength() > 0 && t[0] == u'\x01'; }
CString Unquote(const CString& t) { return IsQuoted(t) ? t.Mid(1) : t; }

bool ParseInt(const CString& t, int& v)
{
    if (t.CompareNoCase(u"IDOK") == 0) { v = IDOK; return true; }
    if (t.CompareNoCase(u"IDCANCEL") == 0) { v = IDCANCEL; return true; }
    std::string s = t.ToUtf8();
    if (s.empty() || IsQuoted(t)) return false;
    char* end = nullptr;
    long x = std::strtol(s.c_str(), &end, 10);
    if (*end) return false;
    v = int(x);
    return true;
}

void Notify(CDialog* dlg, HWND__* ctrl, UINT code)
{
    if (Rec(ctrl)) dlg->SendMessage(WM_COMMAND, MAKEWPARAM(ctrl->id, code), LPARAM(ctrl));
}

bool IsCombo(HWND__* c) { return c->kind == ControlKind::kComboDropDown || c->kind == ControlKind::kComboDropList; }

int FindRow(HWND__* c, const CString& arg)
{
    if (IsQuoted(arg)) {
        CString text = Unquote(arg);
        for (size_t i = 0; i < c->rows.size(); ++i)
            if (c->rows[i] == text) return int(i);
        return -1;
    }
    int row;
    if (!ParseInt(arg, row) || row < 0 || row >= int(c->rows.size())) return -1;
    return row;
}

bool DialogAction(const CString& line, CString& why)
{
    bool ok;
    std::vector<CString> t = Tokens(line, ok);
    if (!ok || t.empty()) { why = u"unbalanced quotes"; return false; }
    CString verb = t[0];
    verb.MakeLower();
    CDialog* dlg = vkui::TopDialog();
    if (!dlg) { why = u"no dialog is shown"; return false; }
    HWND__* d = Rec(dlg->m_hWnd);
    if (verb == u"!show") {
        vked::transcript().write(vkui::DescribeDialog(dlg));
        return true;
    }
    bool handled = false;
    CString args = line.Mid(line.Find(t[0].GetString()) + t[0].GetLength()).Trim();
    bool done = vkui::detail::RunRegisteredDialogAction(dlg, verb, args, why, handled);
    if (handled) return done;
    FocusDialog(d);
    if (!Rec(dlg->m_hWnd)) return true;  // the focus handler closed it
    if (verb == u"!ok" || verb == u"!cancel") {
        int id = verb == u"!ok" ? IDOK : IDCANCEL;
        CWnd* b = dlg->GetDlgItem(id);
        dlg->SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), LPARAM(b ? b->m_hWnd : nullptr));
        return true;
    }
    if (verb == u"!close") {
        dlg->SendMessage(WM_CLOSE);
        return true;
    }
    int id;
    if (t.size() < 2 || !ParseInt(t[1], id)) { why = u"expected a control id"; return false; }
    CWnd* w = dlg->GetDlgItem(id);
    HWND__* c = w ? Rec(w->m_hWnd) : nullptr;
    if (!c) { why.Format(u"the dialog has no control %d", id); return false; }
    if (!c->visible || !c->enabled) { why.Format(u"control %d is %s", id, c->visible ? u"disabled" : u"hidden"); return false; }
    if (verb == u"!click" || verb == u"!check") {
        bool isCheck = c->kind == ControlKind::kCheckBox || c->kind == ControlKind::kRadio;
        if (verb == u"!check") {
            int v;
            if (!isCheck || t.size() != 3 || !ParseInt(t[2], v) || (v != 0 && v != 1)) {
                why = u"expected !check ID 0|1 on a check box";
                return false;
            }
            vkui::detail::FocusControl(d, c);
            c->check = v;
        } else {
            if (t.size() != 2) { why = u"expected !click ID"; return false; }
            vkui::detail::FocusControl(d, c);
            if (c->kind == ControlKind::kCheckBox) c->check = c->check ? 0 : 1;
            if (c->kind == ControlKind::kRadio) {
                // The group: the radios next to it, up to one that starts a new group.
                auto& ch = d->children;
                size_t i = 0;
                while (ch[i].get() != c) ++i;
                size_t lo = i, hi = i;
                while (lo > 0 && !(ch[lo]->style & vkui::WS_GROUP) && ch[lo - 1]->kind == ControlKind::kRadio) --lo;
                while (hi + 1 < ch.size() && ch[hi + 1]->kind == ControlKind::kRadio && !(ch[hi + 1]->style & vkui::WS_GROUP)) ++hi;
                for (size_t k = lo; k <= hi; ++k) ch[k]->check = 0;
                c->check = 1;
            }
        }
        Notify(dlg, c, BN_CLICKED);
        return true;
    }
    if (verb == u"!select" || verb == u"!dblclick") {
        if (c->kind != ControlKind::kListBox && !(verb == u"!select" && IsCombo(c))) {
            why.Format(u"control %d is not a list%s", id, verb == u"!select" ? u" or combo box" : u" box");
            return false;
        }
        int row = t.size() == 3 ? FindRow(c, t[2]) : -1;
        if (row < 0) { why = u"no such row"; return false; }
        vkui::detail::FocusControl(d, c);
        if (!Rec(c)) return true;
        bool changed = c->sel != row;
        c->sel = row;
        if (IsCombo(c)) c->text = c->rows[size_t(row)];
        if (verb == u"!select" || changed) Notify(dlg, c, IsCombo(c) ? CBN_SELCHANGE : LBN_SELCHANGE);
        if (verb == u"!dblclick") Notify(dlg, c, LBN_DBLCLK);
        return true;
    }
    if (verb == u"!text") {
        if (t.size() != 3 || !(c->kind == ControlKind::kEdit || c->kind == ControlKind::kComboDropDown)) {
            why = u"expected !text ID \"text\" on an edit or drop-down combo box";
            return false;
        }
        vkui::detail::FocusControl(d, c);
        if (!Rec(c)) return true;
        CString text = Unquote(t[2]);
        if (c->limit > 0 && text.GetLength() > c->limit) text = text.Left(c->limit);
        c->text = text;
        if (c->kind == ControlKind::kEdit) {
            Notify(dlg, c, EN_UPDATE);
            Notify(dlg, c, EN_CHANGE);
        } else {
            c->sel = -1;
            Notify(dlg, c, CBN_EDITUPDATE);
            Notify(dlg, c, CBN_EDITCHANGE);
        }
        return true;
    }
    why = u"unknown dialog action";
    return false;
}

void DrawingInput()
{
    HWND__* d = g_focusDialog;
    if (!d || !Rec(d)) return;
    CWnd* w = CWnd::FromHandle(d);
    if (w->SendMessage(WM_ACAD_KEEPFOCUS)) return;
    if (!Rec(d)) return;
    vkui::detail::FocusControl(d, nullptr);
    g_focusDialog = nullptr;
    if (Rec(d)) w->SendMessage(WM_KILLFOCUS, 0);
}

struct InstallHooks {
    InstallHooks()
    {
        vked::SetDialogActionHook([](const vked::InputLine& l, CString& why) { return DialogAction(l.text, why); });
        vked::SetDrawingInputHook(&DrawingInput);
    }
    ~InstallHooks()
    {
        vked::SetDialogActionHook(nullptr);
        vked::SetDrawingInputHook(nullptr);
    }
} g_installHooks;

}  // namespace

namespace vkui::detail {
void DialogVisibilityChanged(HWND__* r)
{
    CDialog* dlg = DialogOf(r);
    if (r->visible) {
        if (dlg) Raise(dlg);
        bool modal = dlg && std::find(ModalStack().begin(), ModalStack().end(), dlg) != ModalStack().end();
        vked::transcript().writeLine(DialogTag(r) + (modal ? u" shown modal>" : u" shown>"));
        // A person at the console sees no window: the controls are listed, as !show lists them,
        // so that they can tell what to !click. (Scripts ask with !show when they want it.)
        if (dlg && !vked::transcript().echoInput()) vked::transcript().write(DescribeDialog(dlg));
    } else {
        if (g_focusDialog == r) g_focusDialog = nullptr;
        bool modal = dlg && std::find(ModalStack().begin(), ModalStack().end(), dlg) != ModalStack().end();
        if (!modal) vked::transcript().writeLine(DialogTag(r) + u" hidden>");
    }
}

void DialogDestroyed(HWND__* r)
{
    if (g_focusDialog == r) g_focusDialog = nullptr;
}
}  // namespace vkui::detail

namespace vkui {

CDialog* TopDialog()
{
    auto& modal = detail::ModalStack();
    if (!modal.empty() && Rec(modal.back()->m_hWnd)) return modal.back();
    std::vector<CDialog*> order = detail::LiveDialogs();
    for (auto it = order.rbegin(); it != order.rend(); ++it)
        if (Rec((*it)->m_hWnd) && (*it)->IsWindowVisible()) return *it;
    return nullptr;
}

CString DescribeDialog(CDialog* dlg)
{
    HWND__* r = dlg ? Rec(dlg->m_hWnd) : nullptr;
    if (!r) return u"<no dialog>\n";
    bool modal = std::find(detail::ModalStack().begin(), detail::ModalStack().end(), dlg) != detail::ModalStack().end();
    CString s = detail::DialogTag(r);
    s += r->visible ? u" visible" : u" hidden";
    s += modal ? u" modal>\n" : u" modeless>\n";
    for (auto& c : r->children) {
        s.AppendFormat(u"  %d %s", c->id, ControlKindName(c->kind));
        s.AppendFormat(u" \"%s\"", c->text.GetString());
        bool list = c->kind == ControlKind::kListBox || IsCombo(c.get());
        if (list) {
            s.AppendFormat(u" rows=%d [", int(c->rows.size()));
            for (size_t i = 0; i < c->rows.size(); ++i) s.AppendFormat(i ? u", \"%s\"" : u"\"%s\"", c->rows[i].GetString());
            s.AppendFormat(u"] sel=%d", c->sel);
        }
        if (c->kind == ControlKind::kCheckBox || c->kind == ControlKind::kRadio) s.AppendFormat(u" check=%d", c->check);
        if (!c->enabled) s += u" disabled";
        if (!c->visible) s += u" hidden";
        if (r->focus == c.get() && g_focusDialog == r) s += u" focus";
        s += u"\n";
    }
    return s;
}

bool RunDialogAction(const CString& action, CString& why) { return DialogAction(action, why); }

}  // namespace vkui

// ---- Windows functions ----------------------------------------------------------------------
HWND adsw_acadMainWnd() { return &g_mainWindow; }

HWND GetActiveWindow()
{
    if (g_focusDialog && Rec(g_focusDialog)) return g_focusDialog;
    if (CDialog* d = vkui::TopDialog()) return d->m_hWnd;
    return adsw_acadMainWnd();
}

HWND GetFocus()
{
    if (!g_focusDialog || !Rec(g_focusDialog)) return nullptr;
    return g_focusDialog->focus && Rec(g_focusDialog->focus) ? g_focusDialog->focus : g_focusDialog;
}

LRESULT SendMessageW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    CWnd* w = CWnd::FromHandle(hwnd);
    return w ? w->SendMessage(msg, wParam, lParam) : 0;
}

BOOL IsWindow(HWND hwnd) { return hwnd == &g_mainWindow || Rec(hwnd) != nullptr; }

namespace vkui {

int MessageBoxAnswered(const char16_t* text, const char16_t* caption, UINT flags, bool* answered)
{
    const char16_t* kind = u"message";
    switch (flags & 0xF0) {
    case MB_ICONEXCLAMATION: kind = u"warning"; break;
    case MB_ICONINFORMATION: kind = u"information"; break;
    case MB_ICONQUESTION: kind = u"question"; break;
    case MB_ICONHAND: kind = u"error"; break;
    }
    CString body = text ? CString(text) : CString();
    body.Replace(u"\r", u"\\r");
    body.Replace(u"\n", u"\\n");
    CString line;
    line.Format(u"[%s|%s] %s", caption ? caption : u"Error", kind, body.GetString());
    vked::transcript().writeLine(line);

    std::vector<std::pair<const char16_t*, int>> buttons;
    switch (flags & 0x0F) {
    case MB_OKCANCEL: buttons = {{u"ok", IDOK}, {u"cancel", IDCANCEL}}; break;
    case MB_ABORTRETRYIGNORE: buttons = {{u"abort", IDABORT}, {u"retry", IDRETRY}, {u"ignore", IDIGNORE}}; break;
    case MB_YESNOCANCEL: buttons = {{u"yes", IDYES}, {u"no", IDNO}, {u"cancel", IDCANCEL}}; break;
    case MB_YESNO: buttons = {{u"yes", IDYES}, {u"no", IDNO}}; break;
    case MB_RETRYCANCEL: buttons = {{u"retry", IDRETRY}, {u"cancel", IDCANCEL}}; break;
    default: buttons = {{u"ok", IDOK}}; break;
    }
    int def = static_cast<int>((flags >> 8) & 0x3);
    if (def >= static_cast<int>(buttons.size())) def = 0;
    std::vector<CString> names;
    for (auto& b : buttons) names.emplace_back(b.first);
    if (const MessageBoxObserver& observer = detail::MessageBoxObserverSlot())
        observer(MessageBoxView{caption ? CString(caption) : CString(u"Error"), text ? CString(text) : CString(), kind, names, def});
    const std::optional<int> answer = vked::TakeMessageBoxAnswer(names, def);
    if (answered) *answered = answer.has_value();
    return buttons[static_cast<size_t>(answer.value_or(def))].second;
}

}  // namespace vkui

int MessageBoxExW(HWND, const char16_t* text, const char16_t* caption, UINT flags, LANGID)
{
    return vkui::MessageBoxAnswered(text, caption, flags, nullptr);
}

int MessageBoxW(HWND owner, const char16_t* text, const char16_t* caption, UINT flags)
{
    return MessageBoxExW(owner, text, caption, flags, 0);
}
