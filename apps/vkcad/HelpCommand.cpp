// HELP (and ?): every registered command with its one-line summary, group by group as the
// plug-ins registered them; HELP NAME shows one command's prompts.
#include <algorithm>

#include "apps/vkcad/HostCommands.h"
#include "host/ed/AcEd.h"
#include "host/ed/AcEdInput.h"

namespace vkcad {
namespace {

using namespace vked::txt;

// The name a user types: the local name, or the global one without its "_".
CString TypedName(const AcEdCommand* c)
{
    const CString& g = c->globalName();
    if (!c->localName().IsEmpty()) return c->localName();
    return g.GetLength() > 1 && g[0] == u'_' ? g.Mid(1) : g;
}

CString Summary(const AcEdCommand* c)
{
    return c->summary().IsEmpty() ? CString(vked::Text(kHelpNoSummary)) : c->summary();
}

void ListCommands()
{
    Say(vked::Text(kHelpHeader));
    std::vector<const AcEdCommand*> commands = acedRegCmds()->commands();
    // Group by group, in the order the groups were first registered.
    std::vector<CString> groups;
    for (const AcEdCommand* c : commands)
        if (std::none_of(groups.begin(), groups.end(), [&](const CString& g) { return g == c->groupName(); }))
            groups.push_back(c->groupName());
    int width = 0;
    for (const AcEdCommand* c : commands) width = std::max(width, TypedName(c).GetLength());
    for (const CString& group : groups) {
        Say(group);
        for (const AcEdCommand* c : commands) {
            if (c->groupName() != group) continue;
            CString name = TypedName(c);
            while (name.GetLength() < width) name += u' ';
            Say(u"  " + name + u"  " + Summary(c));
        }
    }
}

void ShowCommand(const CString& typed)
{
    const AcEdCommand* c = acedRegCmds()->lookupCmd(typed.GetString());
    if (!c) {
        Fail(vked::FormatText(kHelpNoSuch, typed.GetString()));
        CString names;
        for (const CString& n : vked::NearestCommandNames(typed)) names += (names.IsEmpty() ? u"" : u", ") + n;
        Say(names.IsEmpty() ? CString(vked::Text(kSeeHelp)) : vked::FormatText(kDidYouMean, names.GetString()));
        return;
    }
    Say(vked::FormatText(kHelpPromptsOf, TypedName(c).GetString(), c->groupName().GetString(), Summary(c).GetString()));
    if (c->prompts().IsEmpty()) {
        // A command registered without help may well ask things: say only what is known.
        Say(CString(u"  ") + vked::Text(c->summary().IsEmpty() ? kHelpNotRegistered : kHelpNoPrompts));
        return;
    }
    CString line;
    for (int i = 0; i <= c->prompts().GetLength(); ++i) {
        if (i == c->prompts().GetLength() || c->prompts()[i] == u'\n') {
            Say(u"  " + line);
            line.Empty();
        } else {
            line += c->prompts()[i];
        }
    }
}

// Enter lists every command; a name shows that command's prompts.
void CmdHelp()
{
    char16_t name[256] = {};
    if (acedGetString(0, vked::Text(kHelpPrompt), name, 256) != RTNORM) return;
    CString typed = name;
    typed.Trim();
    if (typed.IsEmpty()) ListCommands();
    else ShowCommand(typed);
}

}  // namespace

void RegisterHelpCommand()
{
    const HostCommandSpec commands[] = {
        {u"HELP", CmdHelp, ACRX_CMD_SESSION,
         u"Lists every command; HELP NAME shows a command's prompts.", u"列出全部命令；HELP 命令名 显示该命令的提示。",
         {kHelpPrompt}},
        {u"?", CmdHelp, ACRX_CMD_SESSION, u"The same as HELP.", u"同 HELP。", {kHelpPrompt}},
    };
    for (const HostCommandSpec& c : commands) AddHostCommand(c);
}

}  // namespace vkcad
