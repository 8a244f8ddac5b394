#include "siblings/services/VkProInterface.h"

#include <unistd.h>

#include <cstdio>

#include "host/ed/Transcript.h"

void VkProInterface::ShowProgressDialog(const CString& text, CWnd*)
{
    vked::transcript().writeLine(u"<wait: " + text + u">");
    m_text = text;
    m_shown = true;
    // A live line only on a terminal; scripts and tests read the transcript.
    m_live = isatty(STDERR_FILENO) != 0;
    ShowLive(text);
}

void VkProInterface::SetStep(const CString& step)
{
    if (!m_shown) return;
    vked::transcript().writeLine(u"<wait: " + m_text + u" " + step + u">");
    ShowLive(m_text + u" " + step);
}

void VkProInterface::ShowLive(const CString& line)
{
    if (!m_live) return;
    std::fprintf(stderr, "\r\033[K[%s ...]", line.ToUtf8().c_str());
    std::fflush(stderr);
}

VkProInterface::~VkProInterface()
{
    if (!m_shown) return;
    if (m_live) {
        std::fprintf(stderr, "\r\033[K");
        std::fflush(stderr);
    }
    vked::transcript().writeLine(u"<wait done>");
}
