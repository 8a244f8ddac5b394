#pragma once
// A wait window: the message goes to the transcript as "<wait: TEXT>" and "<wait done>" when
// the object is destroyed. On an interactive console a live line is shown meanwhile. A step
// shown beside the message (what is being done, how far along) goes to the transcript as
// "<wait: TEXT STEP>" and replaces the step on the live line.
#include "host/win/CString.h"

class CWnd;

class VkProInterface {
public:
    VkProInterface() = default;
    ~VkProInterface();
    VkProInterface(const VkProInterface&) = delete;
    VkProInterface& operator=(const VkProInterface&) = delete;
    void ShowProgressDialog(const CString& text, CWnd* parent);  // a second call replaces the text
    void SetStep(const CString& step);  // shown beside the text until the next step
    bool IsShown() const { return m_shown; }

private:
    void ShowLive(const CString& line);
    CString m_text;
    bool m_shown = false;
    bool m_live = false;
};
