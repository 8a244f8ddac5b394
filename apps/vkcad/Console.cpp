#include "apps/vkcad/Console.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <signal.h>
#include <string>
#include <unistd.h>

#include <readline/history.h>
#include <readline/readline.h>

#include "host/ed/EditorLoop.h"
#include "host/ed/InputQueue.h"
#include "host/ed/Transcript.h"

namespace vkcad {

namespace {

int g_lineNo = 0;
volatile std::sig_atomic_t g_interrupted = 0;
bool g_ended = false;        // the input has ended: it is not read again
bool g_terminal = false;     // the console reads a terminal through readline

// Ctrl-C at the console is Esc: it cancels the waiting prompt, not vkcad.
void OnInterrupt(int) { g_interrupted = 1; }

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

std::optional<vked::InputLine> ReadConsoleLine()
{
    if (g_ended) return std::nullopt;
    vked::Transcript& t = vked::transcript();
    // The prompt the transcript already printed becomes readline's own prompt, so that line
    // editing redraws it; at top level the console asks for a command. A modal dialog or a
    // prompt without text waits on an empty line: so does the console.
    const bool promptShown = !t.atLineStart();
    std::string prompt = promptShown            ? t.currentLine().ToUtf8()
                         : vked::IsPromptActive() ? std::string()
                                                  : std::string("Command: ");
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
        return vked::InputLine{u"<esc>", u"console", ++g_lineNo, false};
    }
    if (!text) {  // end of input (Ctrl-D): it ends vkcad as QUIT does
        g_ended = true;
        return std::nullopt;
    }
    if (*text) add_history(text);
    // Enter on its own answers a prompt that asks something (it ends a selection, takes a
    // default); elsewhere an empty line is nothing, as a blank script line is.
    vked::InputLine line{promptShown && !*text ? CString(u"<enter>") : CString::FromUtf8(text), u"console",
                         ++g_lineNo, false};
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
    vked::transcript().setEchoInput(false);
    vked::inputQueue().setPullSource(ReadConsoleLine);
    struct sigaction sa {};
    sa.sa_handler = OnInterrupt;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGINT, &sa, nullptr);
    rl_event_hook = CheckInterrupt;
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
