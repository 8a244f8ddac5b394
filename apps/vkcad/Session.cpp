#include "apps/vkcad/Session.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <sstream>
#include <unistd.h>

#include "apps/vkcad/Console.h"
#include "apps/vkcad/HostCommands.h"
#include "apps/vkcad/serve/Window.h"
#include "host/ed/AcApDocManager.h"
#include "host/ed/EditorLoop.h"
#include "host/ed/HostTexts.h"
#include "host/ed/InputQueue.h"
#include "host/ed/Transcript.h"
#include "host/rx/AcRxDynamicLinker.h"
#include "host/win/Windows.h"
#include "siblings/project/VkQsProject.h"

namespace vkcad {

namespace {

// A line that does not fit its reader, or a word that names no command: in a script either
// is a mistake the exit code must show.
bool StartsLike(const CString& line, vked::txt::Id text)
{
    const CString t = vked::Text(text);
    const int cut = t.Find(u'%');
    const CString prefix = cut < 0 ? t : t.Left(cut);
    return line.Left(prefix.GetLength()) == prefix;
}

bool IsBadLineReport(const CString& line)
{
    return (line.Left(8) == u"** line " && line.Right(3) == u" **") || StartsLike(line, vked::txt::kUnknownCommand) ||
           StartsLike(line, vked::txt::kNoDrawingOpen);
}

// Counts the transcript's reports of bad lines while passing everything on.
class BadLineCounter {
public:
    BadLineCounter()
    {
        vked::Transcript& t = vked::transcript();
        m_next = t.sink();
        t.setSink([this](const CString& text) {
            for (int i = 0; i < text.GetLength(); ++i) {
                if (text[i] == u'\n') {
                    if (IsBadLineReport(m_line)) ++m_count;
                    m_line.Empty();
                } else {
                    m_line += text[i];
                }
            }
            if (m_next) {
                m_next(text);
            } else {
                std::string u = text.ToUtf8();
                std::fwrite(u.data(), 1, u.size(), stdout);
                std::fflush(stdout);
            }
        });
    }
    ~BadLineCounter() { vked::transcript().setSink(m_next); }
    int count() const { return m_count; }

private:
    vked::Transcript::Sink m_next;
    CString m_line;
    int m_count = 0;
};

bool LoadPlugin(const std::string& path, std::ostream& err)
{
    if (acrxDynamicLinker()->loadModule(path)) return true;
    err << "vkcad: cannot load " << path << ": " << acrxDynamicLinker()->lastError() << "\n";
    return false;
}

}  // namespace

std::string ExecutableDir()
{
    char buf[4096];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return ".";
    std::string p(buf, static_cast<size_t>(n));
    size_t slash = p.rfind('/');
    return slash == std::string::npos ? "." : p.substr(0, slash);
}

std::vector<std::string> DefaultPlugins(const std::string& exeDir)
{
    std::vector<std::string> out;
    std::ifstream list(exeDir + "/vkcad.plugins");
    std::string line;
    while (std::getline(list, line)) {
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) line.pop_back();
        size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line[start] == '#') continue;
        line = line.substr(start);
        out.push_back(line[0] == '/' ? line : exeDir + "/" + line);
    }
    return out;
}

int RunInput()
{
    BadLineCounter counter;
    ClearQuitRequest();
    ClearCommandFailures();
    while (!QuitRequested() && vked::RunNextTopLevelLine()) {
    }
    return counter.count() + CommandFailures();
}

int RunSession(const Options& o, std::ostream& err)
{
    // The window's address is the first line of output, before anything the session says.
    std::unique_ptr<serve::Window> window;
    if (o.mode == Options::kServe) {
        window = std::make_unique<serve::Window>();
        if (!window->Listen(o.port, err)) return 1;
        std::cout << window->Address() << std::endl;
    }
    RegisterHostCommands();
    if (!o.noDefaultPlugins) {
        for (const std::string& p : DefaultPlugins(ExecutableDir())) {
            // A listed plug-in that is missing is worth a warning, not a refusal to start.
            if (access(p.c_str(), F_OK) != 0) {
                err << "vkcad: warning: default plug-in " << p << " not found\n";
                continue;
            }
            LoadPlugin(p, err);
        }
    }
    for (const std::string& p : o.plugins)
        if (!LoadPlugin(p, err)) return 1;

    if (!o.project.empty()) {
        CString why;
        if (!VkQsProject::SetCurrentProjectFile(o.project, &why)) {
            err << "vkcad: project " << o.project << ": " << why.ToUtf8() << "\n";
            return 1;
        }
        if (!VkQsProject::OpenProjectFloor(CString::FromUtf8(o.floor), &why)) {
            err << "vkcad: floor " << (o.floor.empty() ? std::string("(first)") : o.floor) << ": "
                << why.ToUtf8() << "\n";
            return 1;
        }
    }
    Acad::ErrorStatus es = Acad::eOk;
    if (!o.drawing.empty()) {
        const CString drawing = CString::FromUtf8(o.drawing);
        // A drawing named at the start that does not exist yet is made, and said so.
        if (!PathFileExistsW(drawing.GetString()))
            vked::transcript().writeLine(vked::FormatText(vked::txt::kNewOnFirstSave, drawing.GetString()));
        es = acDocManager->openDocument(drawing.GetString());
    } else if (!acDocManager->curDocument())
        es = acDocManager->appContextNewDocument();
    if (es != Acad::eOk) {
        err << "vkcad: cannot open " << (o.drawing.empty() ? std::string("a new drawing") : o.drawing) << ": "
            << acadErrorStatusText(es) << "\n";
        return 1;
    }

    int bad = 0;
    if (!o.script.empty()) {
        if (o.script == "-") {
            InstallStdinScript();
        } else if (!vked::inputQueue().pushScriptFile(CString::FromUtf8(o.script))) {
            err << "vkcad: cannot read script " << o.script << "\n";
            return 1;
        }
        bad = RunInput();
        if (o.script == "-") RemoveStdinScript();
    } else if (window) {
        SetAskBeforeQuit(true);  // a person answers in the page
        window->Run();
        SetAskBeforeQuit(false);
    } else {
        InstallConsole();
        SetAskBeforeQuit(true);
        RunInput();
        SetAskBeforeQuit(false);
        RemoveConsole();
    }
    vked::transcript().endLine();
    // Changes that are about to go are never dropped without a word.
    if (const std::vector<AcApDocument*> docs = ModifiedDocuments(); !docs.empty() && !DiscardConfirmed())
        vked::transcript().writeLine(vked::FormatText(vked::txt::kNotSaved, DocumentTitles(docs).GetString()));
    std::cout.flush();
    acDocManager->closeAll();
    acrxDynamicLinker()->unloadAll();
    return bad ? 1 : 0;
}

}  // namespace vkcad
