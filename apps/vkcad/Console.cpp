#include "apps/vkcad/Console.h"

#include <cstdio>
#include <cstdlib>
#include <optional>

#include <readline/history.h>
#include <readline/readline.h>

#include "host/ed/EditorLoop.h"
#include "host/ed/InputQueue.h"
#include "host/ed/Transcript.h"

namespace vkcad {

namespace {

int g_lineNo = 0;

std::optional<vked::InputLine> ReadConsoleLine()
{
    vked::Transcript& t = vked::transcript();
    // The prompt the transcript already printed becomes readline's own prompt, so that line
    // editing redraws it; at top level the console asks for a command. A modal dialog or a
    // prompt without text waits on an empty line: so does the console.
    std::string prompt = !t.atLineStart()       ? t.currentLine().ToUtf8()
                         : vked::IsPromptActive() ? std::string()
                                                  : std::string("Command: ");
    if (!t.atLineStart()) {
        std::fputs("\r", stdout);
        // The terminal ends the line the user typed; the transcript must know it did.
        vked::Transcript::Sink saved = t.sink();
        t.setSink([](const CString&) {});
        t.endLine();
        t.setSink(saved);
    }
    std::fflush(stdout);
    char* text = readline(prompt.c_str());
    if (!text) return std::nullopt;  // end of input (Ctrl-D)
    if (*text) add_history(text);
    vked::InputLine line{CString::FromUtf8(text), u"console", ++g_lineNo, false};
    std::free(text);
    return line;
}

}  // namespace

void InstallConsole()
{
    vked::transcript().setEchoInput(false);
    vked::inputQueue().setPullSource(ReadConsoleLine);
}

void RemoveConsole()
{
    vked::inputQueue().setPullSource(nullptr);
    vked::transcript().setEchoInput(true);
}

}  // namespace vkcad
