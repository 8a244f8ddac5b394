#include "host/ed/Transcript.h"

#include <cstdio>

namespace vked {

void Transcript::setSink(Sink sink) { m_sink = std::move(sink); }

void Transcript::write(const CString& text)
{
    if (text.IsEmpty()) return;
    if (m_sink) {
        m_sink(text);
    } else {
        std::string u = text.ToUtf8();
        std::fwrite(u.data(), 1, u.size(), stdout);
        std::fflush(stdout);
    }
    int nl = text.ReverseFind(u'\n');
    if (nl < 0) {
        m_current += text;
    } else {
        m_current = text.Mid(nl + 1);
    }
    m_atLineStart = m_current.IsEmpty();
}

void Transcript::endLine()
{
    if (!m_atLineStart) write(u"\n");
}

void Transcript::writeLine(const CString& text)
{
    endLine();
    write(text + u"\n");
}

Transcript& transcript()
{
    static Transcript t;
    return t;
}

TranscriptCapture::TranscriptCapture() : m_previous(transcript().sink())
{
    transcript().endLine();
    transcript().setSink([this](const CString& s) { m_text += s; });
}

TranscriptCapture::~TranscriptCapture() { transcript().setSink(m_previous); }

}  // namespace vked
