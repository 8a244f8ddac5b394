#pragma once
// `vkcad serve`: the editor session behind a local web page. The page feeds the input queue
// with the lines a script would give (picks as points, windows as W/C boxes, keywords, Enter,
// Esc, dialog actions, message-box answers) and reads the same transcript; besides it sees the
// plan of the current drawing, the prompt's kind and keywords, the dialogs as they stand, the
// jig's outline and the wait line. Only 127.0.0.1 is listened on, and every request must carry
// the session's secret.
#include <iosfwd>
#include <memory>
#include <string>

namespace vkcad::serve {

class Window {
public:
    Window();
    ~Window();
    // Binds 127.0.0.1:port (0: any free port) and starts serving; false with a message on err.
    bool Listen(int port, std::ostream& err);
    std::string Address() const;  // http://127.0.0.1:PORT/?s=SECRET
    // The session's input comes from the page until QUIT, or Ctrl-C twice (the first one asks
    // as QUIT does). Returns when the input has ended; the page is told.
    void Run();

private:
    struct Impl;
    std::unique_ptr<Impl> m;
};

// The page's event for a wait line of the transcript, given the text between "<wait: " and ">":
// {"text", "step", "done", "of"}. waitText carries the wait's text from its first line to its
// steps (empty when no wait is shown).
std::string WaitEvent(const std::string& body, std::string& waitText);

}  // namespace vkcad::serve
