// The command stack and the running of commands.
#include "host/ed/AcEdCommandStack.h"

#include <algorithm>

#include "host/db/AcDbUndo.h"
#include "host/ed/AcApDocManager.h"
#include "host/ed/HostTexts.h"
#include "host/ed/InputQueue.h"
#include "host/ed/Transcript.h"
#include "host/ed/detail/PromptReader.h"

namespace {

bool SameName(const CString& a, const char16_t* b) { return b && a.CompareNoCase(b) == 0; }

std::vector<const AcEdCommand*> g_running;

}  // namespace

AcEdCommandStack::~AcEdCommandStack()
{
    for (AcEdCommand* c : m_cmds) delete c;
}

Acad::ErrorStatus AcEdCommandStack::addCommand(const char16_t* groupName, const char16_t* globalName,
                                               const char16_t* localName, Adesk::Int32 flags, AcRxFunctionPtr fn,
                                               AcEdUIContext*, int fcode, HINSTANCE resourceHandle,
                                               AcEdCommand** cmdOut)
{
    if (!groupName || !*groupName || !globalName || !*globalName || !fn) return Acad::eInvalidInput;
    if (!localName || !*localName) localName = globalName;
    for (AcEdCommand* c : m_cmds) {
        if (!SameName(c->m_group, groupName)) continue;
        if (SameName(c->m_global, globalName) || SameName(c->m_local, localName)) return Acad::eDuplicateKey;
    }
    auto* c = new AcEdCommand();
    c->m_group = groupName;
    c->m_global = globalName;
    c->m_local = localName;
    c->m_flags = flags;
    c->m_fn = fn;
    c->m_fcode = fcode;
    c->m_resource = resourceHandle;
    m_cmds.push_back(c);
    if (cmdOut) *cmdOut = c;
    return Acad::eOk;
}

Acad::ErrorStatus AcEdCommandStack::setCommandHelp(const char16_t* groupName, const char16_t* globalName,
                                                  const char16_t* summary, const char16_t* prompts)
{
    for (AcEdCommand* c : m_cmds) {
        if (!SameName(c->m_group, groupName) || !SameName(c->m_global, globalName)) continue;
        c->m_summary = summary ? summary : u"";
        c->m_prompts = prompts ? prompts : u"";
        return Acad::eOk;
    }
    return Acad::eKeyNotFound;
}

Acad::ErrorStatus AcEdCommandStack::removeCmd(const char16_t* groupName, const char16_t* globalName)
{
    for (auto it = m_cmds.begin(); it != m_cmds.end(); ++it) {
        if (SameName((*it)->m_group, groupName) && SameName((*it)->m_global, globalName)) {
            delete *it;
            m_cmds.erase(it);
            return Acad::eOk;
        }
    }
    return Acad::eKeyNotFound;
}

Acad::ErrorStatus AcEdCommandStack::removeGroup(const char16_t* groupName)
{
    bool found = false;
    for (auto it = m_cmds.begin(); it != m_cmds.end();) {
        if (SameName((*it)->m_group, groupName)) {
            delete *it;
            it = m_cmds.erase(it);
            found = true;
        } else {
            ++it;
        }
    }
    return found ? Acad::eOk : Acad::eKeyNotFound;
}

AcEdCommand* AcEdCommandStack::lookupGlobalCmd(const char16_t* name) const
{
    for (auto it = m_cmds.rbegin(); it != m_cmds.rend(); ++it)
        if (SameName((*it)->m_global, name)) return *it;
    return nullptr;
}

AcEdCommand* AcEdCommandStack::lookupLocalCmd(const char16_t* name) const
{
    for (auto it = m_cmds.rbegin(); it != m_cmds.rend(); ++it)
        if (SameName((*it)->m_local, name)) return *it;
    return nullptr;
}

AcEdCommand* AcEdCommandStack::lookupCmd(const char16_t* typedName) const
{
    if (!typedName || !*typedName) return nullptr;
    if (AcEdCommand* c = lookupLocalCmd(typedName)) return c;
    if (AcEdCommand* c = lookupGlobalCmd(typedName)) return c;
    CString typed = typedName;
    if (typed[0] == u'_') {
        if (AcEdCommand* c = lookupGlobalCmd(typed.Mid(1).GetString())) return c;
    }
    for (auto it = m_cmds.rbegin(); it != m_cmds.rend(); ++it) {
        const CString& g = (*it)->m_global;
        if (g.GetLength() > 1 && g[0] == u'_' && g.Mid(1).CompareNoCase(typed) == 0) return *it;
    }
    return nullptr;
}

std::vector<const AcEdCommand*> AcEdCommandStack::commands() const { return {m_cmds.begin(), m_cmds.end()}; }

bool AcEdCommandStack::hasGroup(const char16_t* groupName) const
{
    for (AcEdCommand* c : m_cmds)
        if (SameName(c->m_group, groupName)) return true;
    return false;
}

AcEdCommandStack* acedRegCmds()
{
    static AcEdCommandStack stack;
    return &stack;
}

namespace vked {

int EditDistance(const CString& a, const CString& b)
{
    CString x = a, y = b;
    x.MakeUpper();
    y.MakeUpper();
    const int n = x.GetLength(), m = y.GetLength();
    std::vector<std::vector<int>> d(static_cast<size_t>(n) + 1, std::vector<int>(static_cast<size_t>(m) + 1));
    for (int i = 0; i <= n; ++i) d[i][0] = i;
    for (int j = 0; j <= m; ++j) d[0][j] = j;
    for (int i = 1; i <= n; ++i) {
        for (int j = 1; j <= m; ++j) {
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + (x[i - 1] == y[j - 1] ? 0 : 1)});
            // Two neighbours typed the other way round count as one slip.
            if (i > 1 && j > 1 && x[i - 1] == y[j - 2] && x[i - 2] == y[j - 1]) d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
        }
    }
    return d[n][m];
}

std::vector<CString> NearestCommandNames(const CString& typed, size_t count)
{
    const int limit = std::max(1, typed.GetLength() / 3);
    std::vector<std::pair<int, CString>> near;
    auto consider = [&](const CString& name) {
        if (name.IsEmpty()) return;
        for (const auto& [d, n] : near)
            if (n.CompareNoCase(name) == 0) return;
        const int d = EditDistance(typed, name);
        // A name that shares nothing with the word (every letter changed) is no suggestion.
        if (d <= limit && d < name.GetLength() && d < typed.GetLength()) near.emplace_back(d, name);
    };
    for (const AcEdCommand* c : acedRegCmds()->commands()) {
        consider(c->localName());
        const CString& g = c->globalName();
        consider(g.GetLength() > 1 && g[0] == u'_' ? g.Mid(1) : g);
    }
    std::stable_sort(near.begin(), near.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<CString> names;
    for (size_t i = 0; i < near.size() && i < count; ++i) names.push_back(near[i].second);
    return names;
}

const AcEdCommand* ActiveCommand() { return g_running.empty() ? nullptr : g_running.back(); }

bool RunCommand(const CString& typedName)
{
    AcEdCommand* cmd = acedRegCmds()->lookupCmd(typedName.GetString());
    if (!cmd) return false;
    AcRxFunctionPtr fn = cmd->functionAddr();  // the command may remove its own group
    CString global = cmd->globalName();
    AcApDocument* doc = acDocManager->curDocument();
    // With no drawing at all, only session commands (opening a drawing, loading, quitting) run.
    if (!doc && !acdbHostApplicationServices()->workingDatabase() && !(cmd->commandFlags() & ACRX_CMD_SESSION)) {
        transcript().writeLine(FormatText(txt::kNoDrawingOpen, typedName.GetString()));
        return true;
    }
    if (doc) acDocManager->lockDocument(doc, AcAp::kWrite, cmd->globalName().GetString(), cmd->localName().GetString());
    if (g_running.empty()) {
        detail::ResetInputEndedState();
        vkundo::beginCommand(cmd->localName());  // what it changes, until the next command, is one step
    }
    g_running.push_back(cmd);
    try {
        fn();
    } catch (const InputExhausted&) {
        transcript().writeLine(CString(u"** input ended: command ") + global + u" abandoned **");
    }
    g_running.pop_back();
    // The document may have been closed by the command.
    if (doc) {
        for (AcApDocumentIterator* it = acDocManager->newAcApDocumentIterator(); it; delete it, it = nullptr) {
            for (; !it->done(); it->step())
                if (it->document() == doc) acDocManager->unlockDocument(doc);
        }
    }
    if (g_running.empty()) inputQueue().dropPostedCancels();
    return true;
}

}  // namespace vked
