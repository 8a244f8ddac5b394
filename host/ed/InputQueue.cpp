#include "host/ed/InputQueue.h"

#include <fstream>
#include <sstream>

#include "host/win/WinPath.h"

namespace vked {

void InputQueue::push(const CString& text, const CString& source, int lineNo)
{
    m_lines.push_back(InputLine{text, source, lineNo, false});
}

void InputQueue::pushText(const CString& text, const CString& source, int firstLineNo)
{
    int n = firstLineNo;
    int start = 0;
    const std::u16string& s = text.str();
    while (start <= static_cast<int>(s.size())) {
        size_t end = s.find(u'\n', static_cast<size_t>(start));
        if (end == std::u16string::npos) end = s.size();
        std::u16string line = s.substr(static_cast<size_t>(start), end - static_cast<size_t>(start));
        if (!line.empty() && line.back() == u'\r') line.pop_back();
        if (end == s.size() && line.empty()) break;  // no empty line after the last line end
        push(CString(line), source, n++);
        start = static_cast<int>(end) + 1;
    }
}

bool InputQueue::pushScriptFile(const CString& path)
{
    std::string hostPath = path.ToUtf8();
    std::ifstream in(hostPath, std::ios::binary);
    if (!in) {
        hostPath = vkwin::ToHostPath(path);
        in.open(hostPath, std::ios::binary);
        if (!in) return false;
    }
    std::stringstream ss;
    ss << in.rdbuf();
    std::string bytes = ss.str();
    if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) bytes.erase(0, 3);
    CString name = path;
    int slash = std::max(name.ReverseFind(u'/'), name.ReverseFind(u'\\'));
    if (slash >= 0) name = name.Mid(slash + 1);
    pushText(CString::FromUtf8(bytes), name, 1);
    return true;
}

const InputLine* InputQueue::peek()
{
    if (!m_posted.empty()) return &m_posted.front();
    if (m_lines.empty() && m_pull) {
        if (std::optional<InputLine> l = m_pull()) m_lines.push_back(std::move(*l));
    }
    return m_lines.empty() ? nullptr : &m_lines.front();
}

std::optional<InputLine> InputQueue::take()
{
    if (!peek()) return std::nullopt;
    std::deque<InputLine>& q = m_posted.empty() ? m_lines : m_posted;
    InputLine l = std::move(q.front());
    q.pop_front();
    return l;
}

void InputQueue::unread(InputLine line) { m_lines.push_front(std::move(line)); }

bool InputQueue::exhausted() { return peek() == nullptr; }

void InputQueue::clear()
{
    m_posted.clear();
    m_lines.clear();
}

void InputQueue::post(const CString& text)
{
    std::u16string cur;
    auto flush = [&] {
        if (!cur.empty() && cur.back() == u'\r') cur.pop_back();
        if (!cur.empty()) m_posted.push_back(InputLine{CString(cur), u"command line", 0, false});
        cur.clear();
    };
    for (char16_t ch : text.str()) {
        if (ch == u'\x03') {
            flush();
            m_posted.push_back(InputLine{CString(), u"command line", 0, true});
        } else if (ch == u'\n') {
            flush();
        } else {
            cur += ch;
        }
    }
    flush();
}

void InputQueue::dropPostedCancels()
{
    std::deque<InputLine> kept;
    for (InputLine& l : m_posted)
        if (!l.cancel) kept.push_back(std::move(l));
    m_posted.swap(kept);
}

InputQueue& inputQueue()
{
    static InputQueue q;
    return q;
}

void SendToCommandLine(const CString& text) { inputQueue().post(text); }

}  // namespace vked

void acedPostCommand(const char16_t* text) { vked::SendToCommandLine(CString(text)); }
