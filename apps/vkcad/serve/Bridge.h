#pragma once
// Between the window's web server (its own threads) and the editor (the main thread, which
// alone touches drawings and dialogs). The page's input lines wait here until the editor asks
// for input; work that needs the drawing (a plan picture, say) is handed to the editor and
// done while it waits for input; what the editor shows goes out to every open page as events.
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace vkcad::serve {

struct PageLine {
    std::string text;     // UTF-8, one input line as a script gives it
    bool silent = false;  // a cursor motion: never echoed
    bool interrupt = false;  // no line: Ctrl-C was pressed (Bridge::takeInterrupts)
};

class Bridge {
public:
    // ---- web server side -------------------------------------------------------------
    void postLines(std::vector<PageLine> lines);
    // Runs `work` on the editor's thread when it next waits for input; false when the editor
    // ended or did not get to it within the timeout.
    bool runOnEditor(const std::function<void()>& work, int timeoutMs);
    // Events after `seq` (an event is "event: NAME\ndata: JSON\n\n"); waits up to timeoutMs
    // for one. The first call (seq 0) also gets the state and transcript tail.
    std::vector<std::string> eventsAfter(std::uint64_t& seq, int timeoutMs);
    bool ended() const;

    // ---- editor side -------------------------------------------------------------------
    // Waits for the next page line, doing handed-over work meanwhile; nothing when the
    // session ends. `idle` runs before each wait (the state goes out then).
    std::optional<PageLine> nextLine(const std::function<void()>& idle);
    void publish(const std::string& name, const std::string& json);
    void setState(const std::string& json);             // published when it differs
    void appendTranscript(const std::string& utf8);      // published as it comes
    void interrupt();                                     // Ctrl-C
    int takeInterrupts();                                 // how many since the last call
    void end();                                           // no more input; pages are told

private:
    struct Work {
        std::function<void()> fn;
        bool done = false;  // finished, or dropped when the session ended
        bool ran = false;
    };
    void pushEvent(const std::string& name, const std::string& json);

    mutable std::mutex m_mutex;
    std::condition_variable m_editorWake, m_eventsWake, m_workDone;
    std::deque<PageLine> m_lines;
    std::deque<Work*> m_work;
    std::deque<std::pair<std::uint64_t, std::string>> m_events;  // recent events, by number
    std::uint64_t m_nextSeq = 1;
    std::string m_state;
    std::string m_transcriptTail;
    int m_interrupts = 0;
    bool m_ended = false;
};

}  // namespace vkcad::serve
