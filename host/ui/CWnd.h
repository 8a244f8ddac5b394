#pragma once
// Windows as objects: run-time class information, the window object and its message map.
//
// A CWnd is a view on a window (HWND) made by the dialog framework: a dialog creates its
// controls' windows from its template; a member object (CComboBox m_combo, a preview
// control...) takes one over with DDX_Control or SubclassDlgItem, after which messages and
// GetDlgItem reach that object. Controls nobody took over get a framework-owned object of
// their kind (CButton, CComboBox, CListBox, CEdit, CStatic).
//
// Message maps are tables built with the framework's macros:
//     BEGIN_MESSAGE_MAP(CMyDlg, CDialog)
//         ON_MESSAGE(WM_ACAD_KEEPFOCUS, &CMyDlg::OnAcadKeepFocus)   // LRESULT (WPARAM, LPARAM)
//         ON_BN_CLICKED(206, &CMyDlg::OnBnClickedPick)               // void ()
//         ON_CBN_SELCHANGE(200, &CMyDlg::OnCbnSelchangeName)
//         ON_WM_CLOSE()                                              // void OnClose()
//         ON_WM_SETFOCUS()                                           // void OnSetFocus(CWnd*)
//         ON_WM_KILLFOCUS()                                          // void OnKillFocus(CWnd*)
//         ON_WM_RBUTTONDOWN()                                        // void OnRButtonDown(UINT, CPoint)
//     END_MESSAGE_MAP()
// Handlers are named as member pointers (&Class::Handler). A message is looked up in the
// class's table, then its base's, up to CWnd; unhandled messages get default processing.
#include <cstddef>

#include "host/ui/WinUser.h"

#ifndef afx_msg
#define afx_msg
#endif

// ---- Run-time class information --------------------------------------------------------
struct CRuntimeClass {
    const char* m_lpszClassName;
    CRuntimeClass* m_pBaseClass;
    bool IsDerivedFrom(const CRuntimeClass* base) const;
};

class CObject {
public:
    virtual ~CObject() = default;
    static CRuntimeClass classCObject;
    virtual CRuntimeClass* GetRuntimeClass() const { return &classCObject; }
    bool IsKindOf(const CRuntimeClass* c) const { return GetRuntimeClass()->IsDerivedFrom(c); }
};

#define RUNTIME_CLASS(cls) (&cls::class##cls)
#define DECLARE_DYNAMIC(cls)                                         \
public:                                                              \
    static CRuntimeClass class##cls;                                 \
    CRuntimeClass* GetRuntimeClass() const override { return &class##cls; }
#define IMPLEMENT_DYNAMIC(cls, base) CRuntimeClass cls::class##cls = {#cls, RUNTIME_CLASS(base)};

// ---- Message maps ----------------------------------------------------------------------
class CWnd;
using AFX_PMSG = LRESULT (*)(CWnd* self, WPARAM wParam, LPARAM lParam);
struct AFX_MSGMAP_ENTRY {
    UINT nMessage;  // WM_COMMAND for control notifications
    UINT nCode;     // notification code (WM_COMMAND) or 0
    UINT nID;       // control id (WM_COMMAND) or 0
    AFX_PMSG pfn;   // null ends the table
};
struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

namespace vkui::detail {
template <class T>
struct MemberOf;
template <class C, class R, class... A>
struct MemberOf<R (C::*)(A...)> { using type = C; };
template <auto F>
using ClassOf = typename MemberOf<decltype(F)>::type;

template <auto F>
LRESULT VoidThunk(CWnd* w, WPARAM, LPARAM) { (static_cast<ClassOf<F>*>(w)->*F)(); return 0; }
template <auto F>
LRESULT LResultThunk(CWnd* w, WPARAM wp, LPARAM lp) { return LRESULT((static_cast<ClassOf<F>*>(w)->*F)(wp, lp)); }
template <auto F>
LRESULT WndThunk(CWnd* w, WPARAM wp, LPARAM);         // void (CWnd* other), defined below
template <auto F>
LRESULT MouseThunk(CWnd* w, WPARAM wp, LPARAM lp)
{
    CPoint pt{LONG(std::int16_t(lp & 0xFFFF)), LONG(std::int16_t((lp >> 16) & 0xFFFF))};
    (static_cast<ClassOf<F>*>(w)->*F)(UINT(wp), pt);
    return 0;
}
}  // namespace vkui::detail

#define DECLARE_MESSAGE_MAP()                                        \
protected:                                                           \
    static const AFX_MSGMAP* GetThisMessageMap();                    \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                       \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const AFX_MSGMAP* theClass::GetThisMessageMap()                  \
    {                                                                \
        using ThisClass = theClass;                                  \
        using TheBaseClass = baseClass;                              \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {

#define END_MESSAGE_MAP()                                            \
            {0, 0, 0, nullptr}};                                     \
        static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &_messageEntries[0]}; \
        (void)sizeof(ThisClass);                                     \
        return &messageMap;                                          \
    }

#define ON_CONTROL(code, id, memberFxn) {WM_COMMAND, UINT(code), UINT(id), &vkui::detail::VoidThunk<memberFxn>},
#define ON_COMMAND(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_BN_DOUBLECLICKED(id, memberFxn) ON_CONTROL(BN_DOUBLECLICKED, id, memberFxn)
#define ON_CBN_SELCHANGE(id, memberFxn) ON_CONTROL(CBN_SELCHANGE, id, memberFxn)
#define ON_CBN_DBLCLK(id, memberFxn) ON_CONTROL(CBN_DBLCLK, id, memberFxn)
#define ON_CBN_SETFOCUS(id, memberFxn) ON_CONTROL(CBN_SETFOCUS, id, memberFxn)
#define ON_CBN_KILLFOCUS(id, memberFxn) ON_CONTROL(CBN_KILLFOCUS, id, memberFxn)
#define ON_CBN_EDITCHANGE(id, memberFxn) ON_CONTROL(CBN_EDITCHANGE, id, memberFxn)
#define ON_CBN_EDITUPDATE(id, memberFxn) ON_CONTROL(CBN_EDITUPDATE, id, memberFxn)
#define ON_CBN_SELENDOK(id, memberFxn) ON_CONTROL(CBN_SELENDOK, id, memberFxn)
#define ON_LBN_SELCHANGE(id, memberFxn) ON_CONTROL(LBN_SELCHANGE, id, memberFxn)
#define ON_LBN_DBLCLK(id, memberFxn) ON_CONTROL(LBN_DBLCLK, id, memberFxn)
#define ON_LBN_SETFOCUS(id, memberFxn) ON_CONTROL(LBN_SETFOCUS, id, memberFxn)
#define ON_LBN_KILLFOCUS(id, memberFxn) ON_CONTROL(LBN_KILLFOCUS, id, memberFxn)
#define ON_EN_CHANGE(id, memberFxn) ON_CONTROL(EN_CHANGE, id, memberFxn)
#define ON_EN_SETFOCUS(id, memberFxn) ON_CONTROL(EN_SETFOCUS, id, memberFxn)
#define ON_EN_KILLFOCUS(id, memberFxn) ON_CONTROL(EN_KILLFOCUS, id, memberFxn)
#define ON_MESSAGE(message, memberFxn) {UINT(message), 0, 0, &vkui::detail::LResultThunk<memberFxn>},
#define ON_WM_CLOSE() {WM_CLOSE, 0, 0, &vkui::detail::VoidThunk<&ThisClass::OnClose>},
#define ON_WM_SETFOCUS() {WM_SETFOCUS, 0, 0, &vkui::detail::WndThunk<&ThisClass::OnSetFocus>},
#define ON_WM_KILLFOCUS() {WM_KILLFOCUS, 0, 0, &vkui::detail::WndThunk<&ThisClass::OnKillFocus>},
#define ON_WM_RBUTTONDOWN() {WM_RBUTTONDOWN, 0, 0, &vkui::detail::MouseThunk<&ThisClass::OnRButtonDown>},

// ---- Windows ---------------------------------------------------------------------------
class CCmdTarget : public CObject {};

class CWnd : public CCmdTarget {
public:
    static CRuntimeClass classCWnd;
    CRuntimeClass* GetRuntimeClass() const override { return &classCWnd; }

    CWnd() = default;
    ~CWnd() override;  // lets go of the window it took over (the window itself stays)
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;
    HWND GetSafeHwnd() const { return m_hWnd; }
    static CWnd* FromHandle(HWND hwnd);       // the object attached to the window
    operator HWND() const { return m_hWnd; }

    CWnd* GetDlgItem(int id) const;           // null when there is no such control
    int GetDlgCtrlID() const;
    CWnd* GetParent() const;
    BOOL ShowWindow(int nCmdShow);            // returns whether it was visible before
    BOOL IsWindowVisible() const;             // visible itself and its dialog
    BOOL EnableWindow(BOOL bEnable = TRUE);   // returns whether it was disabled before
    BOOL IsWindowEnabled() const;
    void SetWindowText(const char16_t* text);
    void GetWindowText(CString& text) const;
    int GetWindowText(char16_t* buf, int maxCount) const;
    int GetWindowTextLength() const;
    CWnd* SetFocus();                         // returns the window that had it
    static CWnd* GetFocus();
    void SetDlgItemText(int id, const char16_t* text);
    int GetDlgItemText(int id, CString& text) const;
    void CheckDlgButton(int id, UINT check);
    UINT IsDlgButtonChecked(int id) const;
    void GetWindowRect(CRect* rect) const;    // pixels: x 1.5 per dialog unit, y 1.625
    void GetClientRect(CRect* rect) const;
    void Invalidate(BOOL erase = TRUE) {}
    void UpdateWindow() {}

    // Takes over control `id` of `parent`: the control's messages reach this object from
    // now on. FALSE when there is no such control or this object already has a window.
    BOOL SubclassDlgItem(UINT id, CWnd* parent);
    BOOL SubclassWindow(HWND hwnd);
    HWND UnsubclassWindow();
    virtual BOOL DestroyWindow();

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);  // sent at once

    // Message routing: the message map first, then the built-in default.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual const AFX_MSGMAP* GetMessageMap() const { return GetThisMessageMap(); }
    static const AFX_MSGMAP* GetThisMessageMap();

protected:
    LRESULT Default();                        // default processing of the current message
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);  // TRUE when a handler ran
    afx_msg void OnClose();                                // default: WM_CLOSE processing
    afx_msg void OnSetFocus(CWnd* oldWnd) { Default(); }
    afx_msg void OnKillFocus(CWnd* newWnd) { Default(); }
    afx_msg void OnRButtonDown(UINT flags, CPoint point) { Default(); }

private:
    UINT m_curMsg = 0;
    WPARAM m_curWParam = 0;
    LPARAM m_curLParam = 0;
};

template <auto F>
LRESULT vkui::detail::WndThunk(CWnd* w, WPARAM wp, LPARAM)
{
    (static_cast<ClassOf<F>*>(w)->*F)(CWnd::FromHandle(reinterpret_cast<HWND>(wp)));
    return 0;
}
