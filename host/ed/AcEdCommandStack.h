#pragma once
// The command stack: commands registered by group, found by name.
//
// Lookup of a typed word (case-insensitive): local names first, then global names; a word
// starting with "_" also matches a global name without that underscore, and a global name
// starting with "_" matches the word without it ("_bjbz" and "bjbz" both find global
// "_bjbz"). A command runs with the current document locked (kWrite) and sets CMDACTIVE.
// When no drawing is open (no current document and no working database) only commands
// registered with ACRX_CMD_SESSION run; any other is refused with a transcript line.
#include <vector>

#include "host/db/AcDbCore.h"
#include "host/ed/ResourceHandle.h"

using AcRxFunctionPtr = void (*)();

constexpr Adesk::Int32 ACRX_CMD_MODAL = 0x00000000;
constexpr Adesk::Int32 ACRX_CMD_TRANSPARENT = 0x00000001;
constexpr Adesk::Int32 ACRX_CMD_USEPICKSET = 0x00000002;
constexpr Adesk::Int32 ACRX_CMD_REDRAW = 0x00000004;
constexpr Adesk::Int32 ACRX_CMD_NOPERSPECTIVE = 0x00000008;
constexpr Adesk::Int32 ACRX_CMD_NOTILEMODE = 0x00000010;
constexpr Adesk::Int32 ACRX_CMD_NOPAPERSPACE = 0x00000020;
constexpr Adesk::Int32 ACRX_CMD_SESSION = 0x00200000;

class AcEdUIContext;

class AcEdCommand {
public:
    const CString& groupName() const { return m_group; }
    const CString& globalName() const { return m_global; }
    const CString& localName() const { return m_local; }
    Adesk::Int32 commandFlags() const { return m_flags; }
    AcRxFunctionPtr functionAddr() const { return m_fn; }
    HINSTANCE resourceHandle() const { return m_resource; }
    int functionCode() const { return m_fcode; }
    // What HELP shows: one line saying what the command does, and its prompts (one a line).
    const CString& summary() const { return m_summary; }
    const CString& prompts() const { return m_prompts; }

private:
    friend class AcEdCommandStack;
    CString m_group, m_global, m_local;
    Adesk::Int32 m_flags = 0;
    AcRxFunctionPtr m_fn = nullptr;
    HINSTANCE m_resource = nullptr;
    int m_fcode = -1;
    CString m_summary, m_prompts;
};

class AcEdCommandStack {
public:
    // eDuplicateKey when the group already has a command of that global or local name;
    // eInvalidInput for empty names or no function. A command of the same name in another
    // group is hidden by the newer one until that is removed.
    Acad::ErrorStatus addCommand(const char16_t* groupName, const char16_t* globalName,
                                 const char16_t* localName, Adesk::Int32 flags, AcRxFunctionPtr fn,
                                 AcEdUIContext* uiContext = nullptr, int fcode = -1,
                                 HINSTANCE resourceHandle = nullptr, AcEdCommand** cmdOut = nullptr);
    // Registers what HELP shows of a command of the group: a one-line summary and its prompts
    // (lines separated by \n). eKeyNotFound when the group has no command of that global name.
    Acad::ErrorStatus setCommandHelp(const char16_t* groupName, const char16_t* globalName, const char16_t* summary,
                                     const char16_t* prompts = nullptr);
    Acad::ErrorStatus removeCmd(const char16_t* groupName, const char16_t* globalName);
    Acad::ErrorStatus removeGroup(const char16_t* groupName);  // eKeyNotFound when absent
    AcEdCommand* lookupGlobalCmd(const char16_t* name) const;
    AcEdCommand* lookupLocalCmd(const char16_t* name) const;
    AcEdCommand* lookupCmd(const char16_t* typedName) const;   // the rule above
    std::vector<const AcEdCommand*> commands() const;         // in order of registration
    bool hasGroup(const char16_t* groupName) const;

    ~AcEdCommandStack();

private:
    std::vector<AcEdCommand*> m_cmds;
};

AcEdCommandStack* acedRegCmds();

namespace vked {
// Runs a command by typed name: prints nothing itself (the caller echoes "Command: ...").
// False when no command has that name. The command's function runs with the current
// document locked; cancels posted but not read by the time it returns are dropped.
bool RunCommand(const CString& typedName);
const AcEdCommand* ActiveCommand();  // the innermost running command, or null
// The names a user can type (local names, and global names without a leading "_" where they
// differ), nearest to a mistyped word by edit distance (case aside), at most `count`, nearest
// first; none when no name is within a third of the word's length (one edit at least).
std::vector<CString> NearestCommandNames(const CString& typed, size_t count = 3);
// Edit distance, case aside: letters added, dropped or changed, and neighbours swapped, one each.
int EditDistance(const CString& a, const CString& b);
}  // namespace vked
