#include "apps/vkcad/serve/Bridge.h"

#include <chrono>

#include <nlohmann/json.hpp>

namespace vkcad::serve {

namespace {
constexpr size_t kKeptEvents = 2000;        // a page that falls further behind starts afresh
constexpr size_t kTranscriptTail = 64 * 1024;  // what a page opened later is shown first

std::string Event(const std::string& name, const std::string& json) { return "event: " + name + "\ndata: " + json + "\n\n"; }
}  // namespace

void Bridge::postLines(std::vector<PageLine> lines)
{
    {
        std::lock_guard lock(m_mutex);
        if (m_ended) return;
        for (PageLine& l : lines) m_lines.push_back(std::move(l));
    }
    m_editorWake.notify_all();
}

bool Bridge::runOnEditor(const std::function<void()>& work, int timeoutMs)
{
    Work w{work};
    std::unique_lock lock(m_mutex);
    if (m_ended) return false;
    m_work.push_back(&w);
    m_editorWake.notify_all();
    m_workDone.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return w.done; });
    if (!w.done) {
        // Not started (the editor is busy or gone): take it back; started work is waited for.
        for (auto it = m_work.begin(); it != m_work.end(); ++it)
            if (*it == &w) {
                m_work.erase(it);
                return false;
            }
        m_workDone.wait(lock, [&] { return w.done; });
    }
    return w.ran;
}

std::vector<std::string> Bridge::eventsAfter(std::uint64_t& seq, int timeoutMs)
{
    std::unique_lock lock(m_mutex);
    std::vector<std::string> out;
    const bool fresh = seq == 0 || (!m_events.empty() && m_events.front().first > seq + 1);
    if (fresh) {
        out.push_back(Event("transcript", nlohmann::json{{"text", m_transcriptTail}, {"reset", true}}.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace)));
        if (!m_state.empty()) out.push_back(Event("state", m_state));
        seq = m_nextSeq - 1;
        if (m_ended) out.push_back(Event("ended", "{}"));
        return out;
    }
    m_eventsWake.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return m_nextSeq - 1 > seq || m_ended; });
    for (const auto& [n, text] : m_events)
        if (n > seq) out.push_back(text);
    seq = m_nextSeq - 1;
    if (m_ended && out.empty()) out.push_back(Event("ended", "{}"));
    return out;
}

bool Bridge::ended() const
{
    std::lock_guard lock(m_mutex);
    return m_ended;
}

std::optional<PageLine> Bridge::nextLine(const std::function<void()>& idle)
{
    for (;;) {
        if (idle) idle();
        std::unique_lock lock(m_mutex);
        m_editorWake.wait(lock, [&] { return !m_lines.empty() || !m_work.empty() || m_interrupts > 0 || m_ended; });
        if (!m_work.empty()) {
            Work* w = m_work.front();
            m_work.pop_front();
            lock.unlock();
            w->fn();
            lock.lock();
            w->done = w->ran = true;
            m_workDone.notify_all();
            continue;
        }
        if (m_interrupts > 0) return PageLine{{}, false, true};
        if (!m_lines.empty()) {
            PageLine l = std::move(m_lines.front());
            m_lines.pop_front();
            return l;
        }
        return std::nullopt;
    }
}

void Bridge::pushEvent(const std::string& name, const std::string& json)
{
    m_events.emplace_back(m_nextSeq++, Event(name, json));
    while (m_events.size() > kKeptEvents) m_events.pop_front();
}

void Bridge::publish(const std::string& name, const std::string& json)
{
    {
        std::lock_guard lock(m_mutex);
        pushEvent(name, json);
    }
    m_eventsWake.notify_all();
}

void Bridge::setState(const std::string& json)
{
    {
        std::lock_guard lock(m_mutex);
        if (json == m_state) return;
        m_state = json;
        pushEvent("state", json);
    }
    m_eventsWake.notify_all();
}

void Bridge::appendTranscript(const std::string& utf8)
{
    {
        std::lock_guard lock(m_mutex);
        m_transcriptTail += utf8;
        if (m_transcriptTail.size() > kTranscriptTail) {
            size_t cut = m_transcriptTail.find('\n', m_transcriptTail.size() - kTranscriptTail);
            m_transcriptTail.erase(0, cut == std::string::npos ? m_transcriptTail.size() - kTranscriptTail : cut + 1);
        }
        pushEvent("transcript", nlohmann::json{{"text", utf8}}.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace));
    }
    m_eventsWake.notify_all();
}

void Bridge::interrupt()
{
    {
        std::lock_guard lock(m_mutex);
        ++m_interrupts;
    }
    m_editorWake.notify_all();
}

int Bridge::takeInterrupts()
{
    std::lock_guard lock(m_mutex);
    const int n = m_interrupts;
    m_interrupts = 0;
    return n;
}

void Bridge::end()
{
    {
        std::lock_guard lock(m_mutex);
        if (m_ended) return;
        m_ended = true;
        pushEvent("ended", "{}");
        for (Work* w : m_work) w->done = true;  // never run: their callers see false
        m_work.clear();
    }
    m_editorWake.notify_all();
    m_eventsWake.notify_all();
    m_workDone.notify_all();
}

}  // namespace vkcad::serve
