#pragma once
// The one queue of user input. Every prompt, dialog pump and message box reads its events
// from here: lines of a script file, of the interactive console or pushed by a test, all the
// same way. A line means what the waiting reader makes of it (see InputEvent.h); the queue
// itself only stores lines with where they came from.
//
// Order of reading: first the lines posted to the command line (SendToCommandLine), in the
// order posted; then the queued lines; when both are empty, the pull source is asked for
// more (the interactive console); when it has none, input has run out.
#include <deque>
#include <functional>
#include <optional>

#include "host/win/CString.h"

namespace vked {

struct InputLine {
    CString text;        // without the line end
    CString source;      // "script.scr", "console", "test", "command line"
    int lineNo = 0;      // 1-based within its source; 0 for posted text
    bool cancel = false; // the cancel character U+0003 sent to the command line
    bool shown = false;  // the terminal showed it where it was typed (the console's own lines)
    bool silent = false; // a pointing device's cursor motion: read like any line, never echoed
};

class InputQueue {
public:
    using PullSource = std::function<std::optional<InputLine>()>;

    void push(const CString& text, const CString& source = u"test", int lineNo = 0);
    // Splits text into lines and queues them, numbered from 1 (or firstLineNo).
    void pushText(const CString& text, const CString& source, int firstLineNo = 1);
    // Queues every line of a UTF-8 file (a BOM is skipped); false when it cannot be read.
    bool pushScriptFile(const CString& hostOrWinPath);
    // Asked for one more line whenever the queue is empty; nullopt means end of input.
    // `person`: a person types these lines, seeing what the command line shows (the console),
    // so a question can wait for them; a script or a pipe answers only what it holds.
    void setPullSource(PullSource src, bool person = false)
    {
        m_pull = std::move(src);
        m_person = m_pull && person;
    }
    // True when the next line is still to be typed by a person: nothing is queued and the
    // pull source is a person's.
    bool personTypesNext() const { return m_person && m_posted.empty() && m_lines.empty(); }

    // Next line to read, without taking it (pulls when needed); nullopt at end of input.
    const InputLine* peek();
    std::optional<InputLine> take();
    void unread(InputLine line);   // puts a line back in front of the queued lines
    bool exhausted();              // nothing queued and the pull source has nothing more
    void clear();                  // drops queued and posted lines (not the pull source)
    size_t size() const { return m_posted.size() + m_lines.size(); }

    // Text sent to the command line: each U+0003 becomes a cancel event, the rest lines.
    void post(const CString& text);
    // Drops posted cancels nobody read (a command ended before its prompt saw them).
    void dropPostedCancels();

private:
    std::deque<InputLine> m_posted;
    std::deque<InputLine> m_lines;
    PullSource m_pull;
    bool m_person = false;
};

InputQueue& inputQueue();  // the process's one queue

// Text to the command line, as if typed; U+0003 cancels the active prompt (its call returns
// RTCAN once the handler that sent it has returned to the prompt).
void SendToCommandLine(const CString& text);

}  // namespace vked

// The host's call for the same thing.
void acedPostCommand(const char16_t* text);
