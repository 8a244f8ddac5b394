// Windows and their messages; the standard controls.
#include <algorithm>
#include <type_traits>

#include "host/ui/detail/Window.h"

CRuntimeClass CObject::classCObject = {"CObject", nullptr};
CRuntimeClass CWnd::classCWnd = {"CWnd", &CObject::classCObject};
CRuntimeClass CStatic::classCStatic = {"CStatic", &CWnd::classCWnd};
CRuntimeClass CButton::classCButton = {"CButton", &CWnd::classCWnd};
CRuntimeClass CEdit::classCEdit = {"CEdit", &CWnd::classCWnd};
CRuntimeClass CComboBox::classCComboBox = {"CComboBox", &CWnd::classCWnd};
CRuntimeClass CListBox::classCListBox = {"CListBox", &CWnd::classCWnd};

bool CRuntimeClass::IsDerivedFrom(const CRuntimeClass* base) const
{
    for (const CRuntimeClass* c = this; c; c = c->m_pBaseClass)
        if (c == base) return true;
    return false;
}

namespace vkui::detail {
namespace {
std::vector<HWND__*> g_live;
std::vector<CDialog*> g_order;
}  // namespace

HWND__* Rec(HWND h) { return IsLive(h) ? h : nullptr; }

bool IsLive(HWND h)
{
    if (!h) return false;
    for (HWND__* d : g_live) {
        if (d == h) return true;
        for (auto& c : d->children)
            if (c.get() == h) return true;
    }
    return false;
}

void Register(HWND__* dlg) { g_live.push_back(dlg); }

void Unregister(HWND__* dlg)
{
    g_live.erase(std::remove(g_live.begin(), g_live.end(), dlg), g_live.end());
    g_order.erase(std::remove_if(g_order.begin(), g_order.end(), [&](CDialog* d) { return d->m_hWnd == dlg; }),
                  g_order.end());
}

std::vector<CDialog*> LiveDialogs() { return g_order; }

void Raise(CDialog* dlg)
{
    g_order.erase(std::remove(g_order.begin(), g_order.end(), dlg), g_order.end());
    g_order.push_back(dlg);
}

std::vector<CDialog*>& ModalStack()
{
    static std::vector<CDialog*> s;
    return s;
}
}  // namespace vkui::detail

using vkui::ControlKind;
using vkui::detail::Rec;

CWnd::~CWnd()
{
    if (HWND__* r = Rec(m_hWnd))
        if (r->attached == this) r->attached = nullptr;
}

CWnd* CWnd::FromHandle(HWND hwnd)
{
    HWND__* r = Rec(hwnd);
    if (!r) return nullptr;
    if (r->attached) return r->attached;
    if (!r->own) {
        switch (r->kind) {
        case ControlKind::kButton: case ControlKind::kDefButton: case ControlKind::kCheckBox:
        case ControlKind::kRadio: case ControlKind::kGroupBox: r->own = std::make_unique<CButton>(); break;
        case ControlKind::kComboDropDown: case ControlKind::kComboDropList: r->own = std::make_unique<CComboBox>(); break;
        case ControlKind::kListBox: r->own = std::make_unique<CListBox>(); break;
        case ControlKind::kEdit: r->own = std::make_unique<CEdit>(); break;
        default: r->own = std::make_unique<CStatic>(); break;
        }
        r->own->m_hWnd = r;
    }
    return r->own.get();
}

CWnd* CWnd::GetDlgItem(int id) const
{
    HWND__* r = Rec(m_hWnd);
    if (!r) return nullptr;
    for (auto& c : r->children)
        if (c->id == id) return FromHandle(c.get());
    return nullptr;
}

int CWnd::GetDlgCtrlID() const { HWND__* r = Rec(m_hWnd); return r ? r->id : 0; }
CWnd* CWnd::GetParent() const { HWND__* r = Rec(m_hWnd); return r && r->parent ? FromHandle(r->parent) : nullptr; }

BOOL CWnd::ShowWindow(int nCmdShow)
{
    HWND__* r = Rec(m_hWnd);
    if (!r) return FALSE;
    BOOL was = r->visible;
    r->visible = nCmdShow != SW_HIDE;
    if (r->isDialog && bool(was) != r->visible) vkui::detail::DialogVisibilityChanged(r);
    return was;
}

BOOL CWnd::IsWindowVisible() const
{
    HWND__* r = Rec(m_hWnd);
    if (!r || !r->visible) return FALSE;
    return r->parent ? r->parent->visible : TRUE;
}

BOOL CWnd::EnableWindow(BOOL bEnable)
{
    HWND__* r = Rec(m_hWnd);
    if (!r) return FALSE;
    BOOL wasDisabled = !r->enabled;
    r->enabled = bEnable != FALSE;
    return wasDisabled;
}

BOOL CWnd::IsWindowEnabled() const { HWND__* r = Rec(m_hWnd); return r && r->enabled; }

void CWnd::SetWindowText(const char16_t* text)
{
    if (HWND__* r = Rec(m_hWnd)) {
        r->text = text ? CString(text) : CString();  // the text limit binds typing only
    }
}

void CWnd::GetWindowText(CString& text) const { HWND__* r = Rec(m_hWnd); text = r ? r->text : CString(); }

int CWnd::GetWindowText(char16_t* buf, int maxCount) const
{
    CString t;
    GetWindowText(t);
    if (!buf || maxCount <= 0) return 0;
    int n = std::min(t.GetLength(), maxCount - 1);
    for (int i = 0; i < n; ++i) buf[i] = t[i];
    buf[n] = 0;
    return n;
}

int CWnd::GetWindowTextLength() const { HWND__* r = Rec(m_hWnd); return r ? r->text.GetLength() : 0; }

namespace {
UINT FocusCode(ControlKind k, bool set)
{
    switch (k) {
    case ControlKind::kComboDropDown: case ControlKind::kComboDropList: return set ? CBN_SETFOCUS : CBN_KILLFOCUS;
    case ControlKind::kListBox: return set ? LBN_SETFOCUS : LBN_KILLFOCUS;
    case ControlKind::kEdit: return set ? EN_SETFOCUS : EN_KILLFOCUS;
    default: return set ? BN_SETFOCUS : BN_KILLFOCUS;
    }
}
}  // namespace

namespace vkui::detail {
// Moves a dialog's focus to one of its controls, with the notifications focus changes send.
void FocusControl(HWND__* dlg, HWND__* ctrl)
{
    if (dlg->focus == ctrl) return;
    HWND__* old = dlg->focus;
    dlg->focus = ctrl;
    CWnd* d = CWnd::FromHandle(dlg);
    if (old && IsLive(old)) d->SendMessage(WM_COMMAND, MAKEWPARAM(old->id, FocusCode(old->kind, false)), LPARAM(old));
    if (ctrl) d->SendMessage(WM_COMMAND, MAKEWPARAM(ctrl->id, FocusCode(ctrl->kind, true)), LPARAM(ctrl));
}
}  // namespace vkui::detail

CWnd* CWnd::SetFocus()
{
    HWND__* r = Rec(m_hWnd);
    if (!r) return nullptr;
    CWnd* old = GetFocus();
    if (r->parent) vkui::detail::FocusControl(r->parent, r);
    return old;
}

CWnd* CWnd::GetFocus() { return FromHandle(::GetFocus()); }

void CWnd::SetDlgItemText(int id, const char16_t* text) { if (CWnd* c = GetDlgItem(id)) c->SetWindowText(text); }
int CWnd::GetDlgItemText(int id, CString& text) const
{
    text.Empty();
    if (CWnd* c = GetDlgItem(id)) c->GetWindowText(text);
    return text.GetLength();
}
void CWnd::CheckDlgButton(int id, UINT check) { if (CWnd* c = GetDlgItem(id)) if (HWND__* r = Rec(c->m_hWnd)) r->check = int(check); }
UINT CWnd::IsDlgButtonChecked(int id) const
{
    CWnd* c = GetDlgItem(id);
    HWND__* r = c ? Rec(c->m_hWnd) : nullptr;
    return r ? UINT(r->check) : 0;
}

void CWnd::GetWindowRect(CRect* rect) const
{
    HWND__* r = Rec(m_hWnd);
    if (!rect) return;
    *rect = CRect();
    if (!r) return;
    rect->left = r->x * 3 / 2;
    rect->top = r->y * 13 / 8;
    rect->right = (r->x + r->w) * 3 / 2;
    rect->bottom = (r->y + r->h) * 13 / 8;
}

void CWnd::GetClientRect(CRect* rect) const
{
    HWND__* r = Rec(m_hWnd);
    if (!rect) return;
    *rect = CRect();
    if (r) { rect->right = r->w * 3 / 2; rect->bottom = r->h * 13 / 8; }
}

BOOL CWnd::SubclassDlgItem(UINT id, CWnd* parent)
{
    if (m_hWnd || !parent) return FALSE;
    HWND__* p = Rec(parent->m_hWnd);
    if (!p) return FALSE;
    for (auto& c : p->children)
        if (c->id == int(id)) return SubclassWindow(c.get());
    return FALSE;
}

BOOL CWnd::SubclassWindow(HWND hwnd)
{
    HWND__* r = Rec(hwnd);
    if (!r || m_hWnd) return FALSE;
    r->attached = this;
    m_hWnd = r;
    return TRUE;
}

HWND CWnd::UnsubclassWindow()
{
    HWND h = m_hWnd;
    if (HWND__* r = Rec(h)) if (r->attached == this) r->attached = nullptr;
    m_hWnd = nullptr;
    return h;
}

BOOL CWnd::DestroyWindow()
{
    UnsubclassWindow();
    return TRUE;
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    SendMessage(message, wParam, lParam);
    return TRUE;
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!Rec(m_hWnd)) return 0;
    return WindowProc(message, wParam, lParam);
}

const AFX_MSGMAP* CWnd::GetThisMessageMap()
{
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, nullptr}};
    static const AFX_MSGMAP map = {nullptr, entries};
    return &map;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    UINT savedMsg = m_curMsg;
    WPARAM savedW = m_curWParam;
    LPARAM savedL = m_curLParam;
    m_curMsg = message;
    m_curWParam = wParam;
    m_curLParam = lParam;
    LRESULT result = 0;
    bool handled = false;
    if (message == WM_COMMAND) {
        handled = OnCommand(wParam, lParam) != FALSE;
    } else {
        for (const AFX_MSGMAP* map = GetMessageMap(); map && !handled;
             map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
            for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e->pfn; ++e) {
                if (e->nMessage == message) {
                    result = e->pfn(this, wParam, lParam);
                    handled = true;
                    break;
                }
            }
        }
    }
    if (!handled) result = DefWindowProc(message, wParam, lParam);
    m_curMsg = savedMsg;
    m_curWParam = savedW;
    m_curLParam = savedL;
    return result;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM)
{
    UINT id = LOWORD(wParam), code = HIWORD(wParam);
    for (const AFX_MSGMAP* map = GetMessageMap(); map; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e->pfn; ++e) {
            if (e->nMessage == WM_COMMAND && e->nCode == code && (e->nID & 0xFFFF) == id) {
                e->pfn(this, 0, 0);
                return TRUE;
            }
        }
    }
    return FALSE;
}

LRESULT CWnd::Default() { return DefWindowProc(m_curMsg, m_curWParam, m_curLParam); }

void CWnd::OnClose() { Default(); }

// Controls answer the list and combo messages the module sends directly.
LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND__* r = Rec(m_hWnd);
    if (!r) return 0;
    auto* str = reinterpret_cast<const char16_t*>(lParam);
    bool combo = r->kind == ControlKind::kComboDropDown || r->kind == ControlKind::kComboDropList;
    bool sorted = (r->style & (combo ? vkui::CBS_SORT : vkui::LBS_SORT)) != 0;
    auto add = [&](int at) -> LRESULT {
        CString s = str ? CString(str) : CString();
        if (at < 0 || at > int(r->rows.size())) at = int(r->rows.size());
        if (sorted) {
            at = 0;
            while (at < int(r->rows.size()) && r->rows[size_t(at)].Compare(s) <= 0) ++at;
        }
        r->rows.insert(r->rows.begin() + at, s);
        if (r->sel >= at) ++r->sel;
        return at;
    };
    switch (message) {
    case WM_SETTEXT: SetWindowText(str); return TRUE;
    case CB_LIMITTEXT: case EM_LIMITTEXT: r->limit = int(wParam); return TRUE;
    case CB_ADDSTRING: case LB_ADDSTRING: return add(-1);
    case CB_INSERTSTRING: case LB_INSERTSTRING: return add(int(wParam));
    case CB_DELETESTRING: case LB_DELETESTRING:
        if (wParam >= r->rows.size()) return -1;
        r->rows.erase(r->rows.begin() + long(wParam));
        if (r->sel == int(wParam)) r->sel = -1;
        else if (r->sel > int(wParam)) --r->sel;
        return LRESULT(r->rows.size());
    case CB_RESETCONTENT: case LB_RESETCONTENT: r->rows.clear(); r->sel = -1; return 0;
    case CB_GETCOUNT: case LB_GETCOUNT: return LRESULT(r->rows.size());
    case CB_GETCURSEL: case LB_GETCURSEL: return r->sel;
    case CB_SETCURSEL: case LB_SETCURSEL:
        if (int(wParam) < 0 || wParam >= r->rows.size()) {
            r->sel = -1;
            return int(wParam) == -1 && message == LB_SETCURSEL ? 0 : -1;
        }
        r->sel = int(wParam);
        if (combo) r->text = r->rows[wParam];
        return r->sel;
    case CB_GETLBTEXTLEN: case LB_GETTEXTLEN:
        return wParam < r->rows.size() ? r->rows[wParam].GetLength() : -1;
    case CB_GETLBTEXT: case LB_GETTEXT: {
        if (wParam >= r->rows.size()) return -1;
        auto* buf = reinterpret_cast<char16_t*>(lParam);
        const CString& s = r->rows[wParam];
        if (buf) { for (int i = 0; i < s.GetLength(); ++i) buf[i] = s[i]; buf[s.GetLength()] = 0; }
        return s.GetLength();
    }
    case CB_FINDSTRINGEXACT: case LB_FINDSTRINGEXACT: case CB_SELECTSTRING: case LB_SELECTSTRING: {
        bool exact = message == CB_FINDSTRINGEXACT || message == LB_FINDSTRINGEXACT;
        CString s = str ? CString(str) : CString();
        int n = int(r->rows.size());
        for (int k = 0; k < n; ++k) {
            int i = (int(wParam) + 1 + k) % n;
            if (int(wParam) < 0) i = k;
            const CString& row = r->rows[size_t(i)];
            bool hit = exact ? row.CompareNoCase(s) == 0 : row.Left(s.GetLength()).CompareNoCase(s) == 0;
            if (hit) {
                if (!exact) { r->sel = i; if (combo) r->text = row; }
                return i;
            }
        }
        return -1;
    }
    case BM_GETCHECK: return r->check;
    case BM_SETCHECK: r->check = int(wParam); return 0;
    default: return 0;
    }
}

// ---- Controls -----------------------------------------------------------------------
int CButton::GetCheck() const { return int(const_cast<CButton*>(this)->SendMessage(BM_GETCHECK)); }
void CButton::SetCheck(int check) { SendMessage(BM_SETCHECK, WPARAM(check)); }
void CEdit::SetLimitText(UINT max) { SendMessage(EM_LIMITTEXT, max); }
UINT CEdit::GetLimitText() const { HWND__* r = Rec(m_hWnd); return r ? UINT(r->limit) : 0; }

#define VK_SEND(msg, w, l) int(const_cast<std::remove_const_t<std::remove_pointer_t<decltype(this)>>*>(this)->SendMessage(msg, WPARAM(w), LPARAM(l)))
int CComboBox::AddString(const char16_t* t) { return m_hWnd ? VK_SEND(CB_ADDSTRING, 0, t) : CB_ERR; }
int CComboBox::InsertString(int i, const char16_t* t) { return m_hWnd ? VK_SEND(CB_INSERTSTRING, i, t) : CB_ERR; }
int CComboBox::DeleteString(UINT i) { return m_hWnd ? VK_SEND(CB_DELETESTRING, i, 0) : CB_ERR; }
void CComboBox::ResetContent() { SendMessage(CB_RESETCONTENT); }
int CComboBox::GetCount() const { return m_hWnd ? VK_SEND(CB_GETCOUNT, 0, 0) : 0; }
int CComboBox::GetCurSel() const { return m_hWnd ? VK_SEND(CB_GETCURSEL, 0, 0) : CB_ERR; }
int CComboBox::SetCurSel(int i) { return m_hWnd ? VK_SEND(CB_SETCURSEL, i, 0) : CB_ERR; }
int CComboBox::GetLBTextLen(int i) const { return m_hWnd ? VK_SEND(CB_GETLBTEXTLEN, i, 0) : CB_ERR; }
int CComboBox::GetLBText(int i, char16_t* buf) const { return m_hWnd ? VK_SEND(CB_GETLBTEXT, i, buf) : CB_ERR; }
int CComboBox::GetLBText(int i, CString& text) const
{
    HWND__* r = Rec(m_hWnd);
    if (!r || i < 0 || i >= int(r->rows.size())) { text.Empty(); return CB_ERR; }
    text = r->rows[size_t(i)];
    return text.GetLength();
}
int CComboBox::FindStringExact(int s, const char16_t* t) const { return m_hWnd ? VK_SEND(CB_FINDSTRINGEXACT, s, t) : CB_ERR; }
int CComboBox::FindString(int s, const char16_t* t) const
{
    HWND__* r = Rec(m_hWnd);
    if (!r) return CB_ERR;
    CString p = t ? CString(t) : CString();
    for (int i = s + 1; i < int(r->rows.size()); ++i)
        if (r->rows[size_t(i)].Left(p.GetLength()).CompareNoCase(p) == 0) return i;
    return CB_ERR;
}
int CComboBox::SelectString(int s, const char16_t* t) { return m_hWnd ? VK_SEND(CB_SELECTSTRING, s, t) : CB_ERR; }
BOOL CComboBox::LimitText(int max) { return m_hWnd ? VK_SEND(CB_LIMITTEXT, max, 0) : FALSE; }

int CListBox::AddString(const char16_t* t) { return m_hWnd ? VK_SEND(LB_ADDSTRING, 0, t) : LB_ERR; }
int CListBox::InsertString(int i, const char16_t* t) { return m_hWnd ? VK_SEND(LB_INSERTSTRING, i, t) : LB_ERR; }
int CListBox::DeleteString(UINT i) { return m_hWnd ? VK_SEND(LB_DELETESTRING, i, 0) : LB_ERR; }
void CListBox::ResetContent() { SendMessage(LB_RESETCONTENT); }
int CListBox::GetCount() const { return m_hWnd ? VK_SEND(LB_GETCOUNT, 0, 0) : 0; }
int CListBox::GetCurSel() const { return m_hWnd ? VK_SEND(LB_GETCURSEL, 0, 0) : LB_ERR; }
int CListBox::SetCurSel(int i) { return m_hWnd ? VK_SEND(LB_SETCURSEL, i, 0) : LB_ERR; }
int CListBox::GetTextLen(int i) const { return m_hWnd ? VK_SEND(LB_GETTEXTLEN, i, 0) : LB_ERR; }
int CListBox::GetText(int i, char16_t* buf) const { return m_hWnd ? VK_SEND(LB_GETTEXT, i, buf) : LB_ERR; }
int CListBox::GetText(int i, CString& text) const
{
    HWND__* r = Rec(m_hWnd);
    if (!r || i < 0 || i >= int(r->rows.size())) { text.Empty(); return LB_ERR; }
    text = r->rows[size_t(i)];
    return text.GetLength();
}
int CListBox::FindStringExact(int s, const char16_t* t) const { return m_hWnd ? VK_SEND(LB_FINDSTRINGEXACT, s, t) : LB_ERR; }
int CListBox::FindString(int s, const char16_t* t) const
{
    HWND__* r = Rec(m_hWnd);
    if (!r) return LB_ERR;
    CString p = t ? CString(t) : CString();
    for (int i = s + 1; i < int(r->rows.size()); ++i)
        if (r->rows[size_t(i)].Left(p.GetLength()).CompareNoCase(p) == 0) return i;
    return LB_ERR;
}
int CListBox::SelectString(int s, const char16_t* t) { return m_hWnd ? VK_SEND(LB_SELECTSTRING, s, t) : LB_ERR; }
