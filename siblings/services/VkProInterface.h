#pragma once
// A wait window: the message goes to the transcript as "<wait: TEXT>" and "<wait done>" when
// the object is destroyed. On an interactive console a live line is shown meanwhile.
#include "host/win/CString.h"

class CWnd;

class VkProInterface {
public:
    VkProInterface() = default;
    ~VkProInterface();
    VkProInterface(const VkProInterface&) = delete;
    VkProInterface& operator=(const VkProInterface&) = delete;
    void ShowProgressDialog(const CString& text, CWnd* parent);  // a second call replaces the text
    bool IsShown() const { return m_shown; }

private:
    bool m_shown = false;
    bool m_live = false;
};
