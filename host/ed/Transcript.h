#pragma once
// The command-line transcript: everything the command line shows, in order.
//
// Line forms (each on a line of its own unless noted):
//   Command: NAME              a command started from the queue
//   PROMPT TEXT                as given to the prompt call (no newline added); the answer
//                              read for it is echoed after it, then a line end
//   *Cancel*                   a prompt ended by Esc or the cancel character
//   ** line N (SOURCE): WHY **  an input line that does not fit the waiting reader
//   ** input ended: WHAT **    the input ran out while something waited (answered Esc)
//   No drawing is open: "NAME" needs one.
//                              a command that needs a drawing, typed when none is open
//   [CAPTION|KIND] TEXT        a message box (host/ui), KIND warning|information|question|
//                              error|message; a line feed in TEXT shows as \n
//   <dialog ID "CAPTION" shown>, <... shown modal>, <... hidden>, <... ended N>,
//   <... closed>               dialogs appearing and disappearing (host/ui)
// Comment lines (; text) are not echoed.
#include <functional>

#include "host/win/CString.h"

namespace vked {

class Transcript {
public:
    using Sink = std::function<void(const CString& text)>;
    // Default sink: UTF-8 to stdout. Tests capture into a string.
    void setSink(Sink sink);
    const Sink& sink() const { return m_sink; }
    void write(const CString& text);          // as is
    void writeLine(const CString& text);      // on a line of its own: a line end first when
                                              // the current line is not empty, one after
    void endLine();                           // a line end unless at the start of a line
    bool atLineStart() const { return m_atLineStart; }
    const CString& currentLine() const { return m_current; }  // the unfinished line so far
    // Echo of consumed input lines (off for the interactive console, whose terminal
    // echoes already).
    void setEchoInput(bool on) { m_echo = on; }
    bool echoInput() const { return m_echo; }

private:
    Sink m_sink;
    bool m_atLineStart = true;
    bool m_echo = true;
    CString m_current;
};

Transcript& transcript();

// Captures the transcript into a string for the life of the object (tests).
class TranscriptCapture {
public:
    TranscriptCapture();
    ~TranscriptCapture();
    const CString& text() const { return m_text; }
    std::string utf8() const { return m_text.ToUtf8(); }
    void clear() { m_text.Empty(); }

private:
    CString m_text;
    Transcript::Sink m_previous;
};

}  // namespace vked
