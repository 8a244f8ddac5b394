// The command stack and the running of commands.
#include "host/ed/AcEdCommandStack.h"

#include "host/db/AcDbUndo.h"
#include "host/ed/AcApDocManager.h"
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
        transcript().writeLine(CString(u"No drawing is open: \"") + typedName + u"\" needs one.");
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
