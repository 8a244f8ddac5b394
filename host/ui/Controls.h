#pragma once
// The standard controls. Each works on the window it is attached to (DDX_Control,
// SubclassDlgItem, or the framework's own object behind GetDlgItem); a call on an object
// without a window does nothing and answers the error value (CB_ERR / LB_ERR / 0).
#include "host/ui/CWnd.h"

class CStatic : public CWnd {
public:
    static CRuntimeClass classCStatic;
    CRuntimeClass* GetRuntimeClass() const override { return &classCStatic; }
};

class CButton : public CWnd {
public:
    static CRuntimeClass classCButton;
    CRuntimeClass* GetRuntimeClass() const override { return &classCButton; }
    int GetCheck() const;             // BST_UNCHECKED / BST_CHECKED
    void SetCheck(int check);         // no notification, as on the original platform
};

class CEdit : public CWnd {
public:
    static CRuntimeClass classCEdit;
    CRuntimeClass* GetRuntimeClass() const override { return &classCEdit; }
    void SetLimitText(UINT max);      // 0: no limit
    UINT GetLimitText() const;
};

// Rows are kept in order of insertion unless the template asks for sorting (CBS_SORT).
// SetCurSel/SelectString send no notification (only user actions do).
class CComboBox : public CWnd {
public:
    static CRuntimeClass classCComboBox;
    CRuntimeClass* GetRuntimeClass() const override { return &classCComboBox; }
    int AddString(const char16_t* text);              // index of the new row
    int InsertString(int index, const char16_t* text);  // -1 appends
    int DeleteString(UINT index);                     // rows left, or CB_ERR
    void ResetContent();
    int GetCount() const;
    int GetCurSel() const;                            // CB_ERR when none
    int SetCurSel(int index);                         // -1 clears; the edit text follows
    int GetLBText(int index, CString& text) const;    // CB_ERR for a bad index
    int GetLBText(int index, char16_t* buf) const;
    int GetLBTextLen(int index) const;
    int FindStringExact(int startAfter, const char16_t* text) const;  // case-insensitive
    int FindString(int startAfter, const char16_t* prefix) const;     // case-insensitive prefix
    int SelectString(int startAfter, const char16_t* prefix);         // selects the match
    BOOL LimitText(int max);                          // the edit part; 0: no limit
};

class CListBox : public CWnd {
public:
    static CRuntimeClass classCListBox;
    CRuntimeClass* GetRuntimeClass() const override { return &classCListBox; }
    int AddString(const char16_t* text);
    int InsertString(int index, const char16_t* text);
    int DeleteString(UINT index);
    void ResetContent();
    int GetCount() const;
    int GetCurSel() const;                            // LB_ERR when none
    int SetCurSel(int index);                         // -1 clears; LB_ERR for a bad index
    int GetText(int index, CString& text) const;
    int GetText(int index, char16_t* buf) const;
    int GetTextLen(int index) const;
    int FindStringExact(int startAfter, const char16_t* text) const;
    int FindString(int startAfter, const char16_t* prefix) const;
    int SelectString(int startAfter, const char16_t* prefix);
};
