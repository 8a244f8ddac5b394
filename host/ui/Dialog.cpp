// Dialogs: templates, creation, modal loops, data exchange.
#include <cstdlib>

#include "host/ed/EditorLoop.h"
#include "host/ed/Transcript.h"
#include "host/ui/detail/Window.h"

CRuntimeClass CDialog::classCDialog = {"CDialog", &CWnd::classCWnd};
CRuntimeClass CAcUiDialog::classCAcUiDialog = {"CAcUiDialog", &CDialog::classCDialog};

using vkui::ControlKind;
using vkui::detail::Rec;

namespace vkui {
namespace {
std::vector<std::pair<HINSTANCE, DialogTemplate>>& Templates()
{
    static std::vector<std::pair<HINSTANCE, DialogTemplate>> t;
    return t;
}
}  // namespace

void RegisterDialogTemplate(HINSTANCE handle, const DialogTemplate& t)
{
    for (auto& e : Templates())
        if (e.first == handle && e.second.id == t.id) { e.second = t; return; }
    Templates().emplace_back(handle, t);
}

void UnregisterDialogTemplates(HINSTANCE handle)
{
    auto& v = Templates();
    v.erase(std::remove_if(v.begin(), v.end(), [&](auto& e) { return e.first == handle; }), v.end());
}

const DialogTemplate* FindDialogTemplate(int id, HINSTANCE preferred)
{
    for (auto& e : Templates())
        if (e.first == preferred && e.second.id == id) return &e.second;
    for (auto& e : Templates())
        if (e.second.id == id) return &e.second;
    return nullptr;
}

const char16_t* ControlKindName(ControlKind k)
{
    switch (k) {
    case ControlKind::kButton: return u"button";
    case ControlKind::kDefButton: return u"default-button";
    case ControlKind::kCheckBox: return u"check-box";
    case ControlKind::kRadio: return u"radio";
    case ControlKind::kComboDropDown: return u"combo-dropdown";
    case ControlKind::kComboDropList: return u"combo-droplist";
    case ControlKind::kListBox: return u"list-box";
    case ControlKind::kEdit: return u"edit";
    case ControlKind::kStatic: return u"static";
    case ControlKind::kGroupBox: return u"group-box";
    case ControlKind::kPicture: return u"picture";
    }
    return u"?";
}

namespace detail {
CString DialogTag(HWND__* r)
{
    CString s;
    s.Format(u"<dialog %d \"%s\"", r->id, r->text.GetString());
    return s;
}
}  // namespace detail
}  // namespace vkui

// ---- Data exchange -------------------------------------------------------------------------
namespace {
struct DdxFailure {};
}  // namespace

void CDataExchange::Fail() { throw DdxFailure(); }

HWND CDataExchange::PrepareCtrl(int id)
{
    CWnd* c = m_pDlgWnd ? m_pDlgWnd->GetDlgItem(id) : nullptr;
    if (!c) Fail();
    return c->m_hWnd;
}

void DDX_Control(CDataExchange* pDX, int id, CWnd& control)
{
    if (control.m_hWnd) return;
    if (!control.SubclassDlgItem(UINT(id), pDX->m_pDlgWnd)) pDX->Fail();
}

void DDX_Text(CDataExchange* pDX, int id, CString& value)
{
    HWND__* r = Rec(pDX->PrepareCtrl(id));
    if (pDX->m_bSaveAndValidate) value = r->text;
    else CWnd::FromHandle(r)->SetWindowText(value.GetString());
}

void DDX_Text(CDataExchange* pDX, int id, int& value)
{
    HWND__* r = Rec(pDX->PrepareCtrl(id));
    if (!pDX->m_bSaveAndValidate) {
        CString s;
        s.Format(u"%d", value);
        r->text = s;
        return;
    }
    std::string t = r->text.ToUtf8();
    char* end = nullptr;
    long v = std::strtol(t.c_str(), &end, 10);
    if (t.empty() || *end) pDX->Fail();
    value = int(v);
}

void DDX_Text(CDataExchange* pDX, int id, double& value)
{
    HWND__* r = Rec(pDX->PrepareCtrl(id));
    if (!pDX->m_bSaveAndValidate) {
        CString s;
        s.Format(u"%g", value);
        r->text = s;
        return;
    }
    std::string t = r->text.ToUtf8();
    char* end = nullptr;
    double v = std::strtod(t.c_str(), &end);
    if (t.empty() || *end) pDX->Fail();
    value = v;
}

void DDX_CBString(CDataExchange* pDX, int id, CString& value)
{
    HWND__* r = Rec(pDX->PrepareCtrl(id));
    if (pDX->m_bSaveAndValidate) {
        value = r->text;
        return;
    }
    // Loading selects the first row that starts with the value; a drop-down shows the value
    // itself when no row does.
    for (size_t i = 0; i < r->rows.size(); ++i) {
        if (r->rows[i].Left(value.GetLength()).CompareNoCase(value) == 0) {
            r->sel = int(i);
            r->text = r->rows[i];
            return;
        }
    }
    if (r->kind == ControlKind::kComboDropDown) CWnd::FromHandle(r)->SetWindowText(value.GetString());
}

void DDX_CBIndex(CDataExchange* pDX, int id, int& index)
{
    HWND__* r = Rec(pDX->PrepareCtrl(id));
    if (pDX->m_bSaveAndValidate) index = r->sel;
    else CWnd::FromHandle(r)->SendMessage(CB_SETCURSEL, WPARAM(index));
}

void DDX_LBString(CDataExchange* pDX, int id, CString& value)
{
    HWND__* r = Rec(pDX->PrepareCtrl(id));
    if (pDX->m_bSaveAndValidate) {
        value = r->sel >= 0 ? r->rows[size_t(r->sel)] : CString();
        return;
    }
    CWnd::FromHandle(r)->SendMessage(LB_SELECTSTRING, WPARAM(-1), LPARAM(value.GetString()));
}

void DDX_LBIndex(CDataExchange* pDX, int id, int& index)
{
    HWND__* r = Rec(pDX->PrepareCtrl(id));
    if (pDX->m_bSaveAndValidate) index = r->sel;
    else CWnd::FromHandle(r)->SendMessage(LB_SETCURSEL, WPARAM(index));
}

void DDX_Check(CDataExchange* pDX, int id, int& value)
{
    HWND__* r = Rec(pDX->PrepareCtrl(id));
    if (pDX->m_bSaveAndValidate) value = r->check;
    else r->check = value;
}

void DDV_MaxChars(CDataExchange* pDX, const CString& value, int maxChars)
{
    if (pDX->m_bSaveAndValidate && value.GetLength() > maxChars) pDX->Fail();
}

// ---- Dialogs -------------------------------------------------------------------------------
CDialog::~CDialog()
{
    if (Rec(m_hWnd)) DestroyWindow();
}

BOOL CDialog::Create(UINT templateId, CWnd* parent)
{
    if (m_hWnd) return FALSE;
    const vkui::DialogTemplate* t = vkui::FindDialogTemplate(int(templateId), AfxGetResourceHandle());
    if (!t) {
        CString msg;
        msg.Format(u"** dialog template %d is not registered **", int(templateId));
        vked::transcript().writeLine(msg);
        return FALSE;
    }
    m_nIDHelp = templateId;
    m_pParentWnd = parent;
    m_ended = false;
    m_result = 0;
    auto* r = new HWND__();
    r->isDialog = true;
    r->id = t->id;
    r->text = t->caption;
    r->style = t->style;
    r->w = t->w;
    r->h = t->h;
    r->visible = false;
    for (const vkui::ControlTemplate& c : t->controls) {
        auto child = std::make_unique<HWND__>();
        child->id = c.id;
        child->kind = c.kind;
        child->text = c.kind == ControlKind::kComboDropDown || c.kind == ControlKind::kComboDropList ||
                              c.kind == ControlKind::kListBox || c.kind == ControlKind::kEdit
                          ? CString() : c.text;
        child->style = c.style;
        child->x = c.x;
        child->y = c.y;
        child->w = c.w;
        child->h = c.h;
        child->enabled = !(c.style & vkui::WS_DISABLED);
        child->parent = r;
        r->children.push_back(std::move(child));
    }
    r->attached = this;
    m_hWnd = r;
    vkui::detail::Register(r);
    OnInitDialog();
    if ((t->style & vkui::WS_VISIBLE) && Rec(m_hWnd)) ShowWindow(SW_SHOW);
    return TRUE;
}

INT_PTR CDialog::DoModal()
{
    m_modal = true;
    if (!Create(m_nIDHelp, m_pParentWnd)) {
        m_modal = false;
        return -1;
    }
    auto& stack = vkui::detail::ModalStack();
    stack.push_back(this);
    if (!IsWindowVisible() && !m_ended) ShowWindow(SW_SHOW);
    struct Cleanup {
        CDialog* d;
        ~Cleanup()
        {
            auto& s = vkui::detail::ModalStack();
            s.erase(std::remove(s.begin(), s.end(), d), s.end());
            if (Rec(d->m_hWnd)) {
                HWND__* r = Rec(d->m_hWnd);
                CString line = vkui::detail::DialogTag(r);
                line.AppendFormat(u" ended %d>", d->m_result);
                r->visible = false;
                vked::transcript().writeLine(line);
                d->CDialog::DestroyWindow();
            }
            d->m_modal = false;
        }
    } cleanup{this};
    vked::RunModalLoop([this] { return m_ended || !Rec(m_hWnd); },
                       [this] { SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED)); if (!m_ended) EndDialog(IDCANCEL); });
    return m_result;
}

void CDialog::EndDialog(int result)
{
    m_result = result;
    m_ended = true;
    if (!m_modal) ShowWindow(SW_HIDE);
}

BOOL CDialog::UpdateData(BOOL saveAndValidate)
{
    if (!Rec(m_hWnd)) return FALSE;
    CDataExchange dx(this, saveAndValidate);
    try {
        DoDataExchange(&dx);
    } catch (const DdxFailure&) {
        return FALSE;
    }
    return TRUE;
}

BOOL CDialog::DestroyWindow()
{
    HWND__* r = Rec(m_hWnd);
    if (!r) return FALSE;
    if (r->visible && !m_modal) {
        vked::transcript().writeLine(vkui::detail::DialogTag(r) + u" closed>");
    }
    r->visible = false;
    vkui::detail::DialogDestroyed(r);
    for (auto& c : r->children)
        if (c->attached) c->attached->m_hWnd = nullptr;
    vkui::detail::Unregister(r);
    m_hWnd = nullptr;
    delete r;
    return TRUE;
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK()
{
    if (!UpdateData(TRUE)) return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

BOOL CDialog::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (CWnd::OnCommand(wParam, lParam)) return TRUE;
    if (HIWORD(wParam) != BN_CLICKED) return FALSE;
    if (LOWORD(wParam) == IDOK) { OnOK(); return TRUE; }
    if (LOWORD(wParam) == IDCANCEL) { OnCancel(); return TRUE; }
    return FALSE;
}

LRESULT CDialog::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CLOSE) {
        SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED));
        return 0;
    }
    if (message == WM_ACAD_KEEPFOCUS) return FALSE;
    return CWnd::DefWindowProc(message, wParam, lParam);
}

// ---- Wait cursor ---------------------------------------------------------------------------
namespace {
int g_waitDepth = 0;
}
CWaitCursor::CWaitCursor() { ++g_waitDepth; }
CWaitCursor::~CWaitCursor() { --g_waitDepth; }
int vkui::WaitCursorDepth() { return g_waitDepth; }
