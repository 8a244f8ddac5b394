#include "apps/vkcad/Console.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <poll.h>
#include <signal.h>
#include <string>
#include <unistd.h>

#include <readline/history.h>
#include <readline/readline.h>

#include "host/ed/EditorLoop.h"
#include "host/ed/InputQueue.h"
#include "host/ed/HostTexts.h"
#include "host/ed/Transcript.h"

namespace vkcad {

namespace {

int g_lineNo = 0;
volatile std::sig_atomic_t g_interrupted = 0;
bool g_ended = false;        // the input has ended: it is not read again
bool g_terminal = false;     // the console reads a terminal through readline
bool g_quitPending = false;  // Ctrl-D at a prompt: QUIT once the command has unwound
int g_endsInARow = 0;        // Ctrl-D (end of file) answers with nothing typed between them
constexpr int kMaxEndsInARow = 20;

// Ctrl-C at the console is Esc: it cancels the waiting prompt, not vkcad.
void OnInterrupt(int) { g_interrupted = 1; }

// Esc on its own (no key of a sequence after it within readline's key timeout) cancels as
// Ctrl-C does: it ends the line being typed.
int OnEscape(int, int)
{
    g_interrupted = 1;
    rl_replace_line("", 0);
    rl_done = 1;
    return 0;
}

// Readline calls this while it waits for keys; an interrupt ends the line being typed.
int CheckInterrupt()
{
    if (g_interrupted) {
        rl_replace_line("", 0);
        rl_done = 1;
    }
    return 0;
}

// Standard input that is no terminal, one line each time the queue runs dry, as a script's
// lines are read (a UTF-8 byte order mark skipped, a CR before the line feed dropped).
std::optional<vked::InputLine> ReadStdinLine()
{
    std::string text;
    if (g_ended || !std::getline(std::cin, text)) {
        g_ended = true;
        return std::nullopt;
    }
    if (g_lineNo == 0 && text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);
    if (!text.empty() && text.back() == '\r') text.pop_back();
    return vked::InputLine{CString::FromUtf8(text), u"stdin", ++g_lineNo, false};
}

// True when the terminal is gone (hung up or unreadable), not merely sent Ctrl-D.
bool TerminalGone()
{
    pollfd p{STDIN_FILENO, POLLIN, 0};
    return ::poll(&p, 1, 0) < 0 || (p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0 || ::isatty(STDIN_FILENO) != 1;
}

// A line typed at the terminal, which has shown it.
vked::InputLine ConsoleLine(const CString& text) { return vked::InputLine{text, u"console", ++g_lineNo, false, true}; }

// The line QUIT stands for when Ctrl-D ends vkcad: shown after the Command: prompt as if typed.
vked::InputLine TypedQuit()
{
    std::fputs("QUIT\n", stdout);
    std::fflush(stdout);
    return ConsoleLine(u"QUIT");
}

std::optional<vked::InputLine> ReadConsoleLine()
{
    if (g_ended) return std::nullopt;
    vked::Transcript& t = vked::transcript();
    const bool waiting = vked::IsPromptActive();
    // At top level the console asks for a command on a line of its own, whatever a command
    // printed last without ending its line.
    if (!waiting) t.endLine();
    if (!waiting && g_quitPending) {
        g_quitPending = false;
        std::fputs(CString(vked::Text(vked::txt::kCommandPrompt)).ToUtf8().c_str(), stdout);
        return TypedQuit();
    }
    // The prompt the transcript already printed becomes readline's own prompt, so that line
    // editing redraws it; at top level the console asks for a command. A prompt whose text
    // ended its line, or a modal dialog, waits on an empty line: so does the console.
    const bool promptShown = waiting && !t.atLineStart();
    std::string prompt = promptShown ? t.currentLine().ToUtf8() : waiting ? std::string() : CString(vked::Text(vked::txt::kCommandPrompt)).ToUtf8();
    if (promptShown) {
        std::fputs("\r", stdout);
        // The terminal ends the line the user typed; the transcript must know it did.
        vked::Transcript::Sink saved = t.sink();
        t.setSink([](const CString&) {});
        t.endLine();
        t.setSink(saved);
    }
    std::fflush(stdout);
    g_interrupted = 0;
    char* text = readline(prompt.c_str());
    if (g_interrupted) {
        std::free(text);
        std::fputs("\n", stdout);   // the terminal has shown ^C
        return ConsoleLine(u"<esc>");
    }
    if (!text) {
        // Ctrl-D ends vkcad as QUIT does, which asks about unsaved drawings: at a prompt it
        // cancels the command first, at a question it answers Cancel. A terminal that is gone
        // (or keeps answering end of file) ends the input.
        if (++g_endsInARow > kMaxEndsInARow || TerminalGone()) {
            g_ended = true;
            return std::nullopt;
        }
        if (!waiting) return TypedQuit();
        std::fputs("\n", stdout);
        if (vked::InnermostReader() != vked::WaitingReader::kQuestion) g_quitPending = true;
        return ConsoleLine(u"<esc>");
    }
    g_endsInARow = 0;
    if (*text) add_history(text);
    // Enter on its own answers whatever waits for an answer: a prompt (it ends a selection,
    // takes a default), a question; a modal dialog waits for dialog actions, and at top level
    // an empty line is nothing, as a blank script line is.
    const bool enter = !*text && waiting && vked::InnermostReader() != vked::WaitingReader::kDialog;
    vked::InputLine line = ConsoleLine(enter ? CString(u"<enter>") : CString::FromUtf8(text));
    std::free(text);
    return line;
}

}  // namespace

void InstallStdinScript()
{
    g_lineNo = 0;
    g_ended = false;
    vked::inputQueue().setPullSource(ReadStdinLine);
}

void RemoveStdinScript() { vked::inputQueue().setPullSource(nullptr); }

void InstallConsole()
{
    g_terminal = ::isatty(STDIN_FILENO) == 1;
    if (!g_terminal) {
        // Nobody types here and no terminal echoes: the lines are read, and shown, as a script's.
        InstallStdinScript();
        return;
    }
    g_lineNo = 0;
    g_ended = false;
    g_quitPending = false;
    g_endsInARow = 0;
    vked::transcript().setEchoInput(false);
    vked::inputQueue().setPullSource(ReadConsoleLine, true);
    struct sigaction sa {};
    sa.sa_handler = OnInterrupt;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGINT, &sa, nullptr);
    rl_event_hook = CheckInterrupt;
    // Lines pasted into the console run one by one, as typed (and the end of input is shown
    // the same way on every terminal).
    rl_variable_bind("enable-bracketed-paste", "off");
    rl_bind_keyseq("\\e", OnEscape);
}

void RemoveConsole()
{
    if (!g_terminal) {
        RemoveStdinScript();
        return;
    }
    rl_event_hook = nullptr;
    signal(SIGINT, SIG_DFL);
    vked::inputQueue().setPullSource(nullptr);
    vked::transcript().setEchoInput(true);
}

}  // namespace vkcad
