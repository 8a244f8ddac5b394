#include "apps/vkcad/Console.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <signal.h>

#include <readline/history.h>
#include <readline/readline.h>

#include "host/ed/EditorLoop.h"
#include "host/ed/InputQueue.h"
#include "host/ed/Transcript.h"

namespace vkcad {

namespace {

int g_lineNo = 0;
volatile std::sig_atomic_t g_interrupted = 0;

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

std::optional<vked::InputLine> ReadConsoleLine()
{
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
    if (!text) return std::nullopt;  // end of input (Ctrl-D)
    if (*text) add_history(text);
    // Enter on its own answers a prompt that asks something (it ends a selection, takes a
    // default); elsewhere an empty line is nothing, as a blank script line is.
    vked::InputLine line{promptShown && !*text ? CString(u"<enter>") : CString::FromUtf8(text), u"console",
                         ++g_lineNo, false};
    std::free(text);
    return line;
}

}  // namespace

void InstallConsole()
{
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
    rl_event_hook = nullptr;
    signal(SIGINT, SIG_DFL);
    vked::inputQueue().setPullSource(nullptr);
    vked::transcript().setEchoInput(true);
}

}  // namespace vkcad
