#pragma once
// The host's own commands (group "VKCAD"): drawing files, basic edits and plug-in loading.
// They ask through the editor's prompts, so scripts answer them as a user would.

#include <vector>

#include "host/db/AcDbCore.h"
#include "host/ed/AcEdCommandStack.h"
#include "host/ed/HostTexts.h"
#include "host/win/CString.h"

class AcApDocument;

namespace vkcad {

void RegisterHostCommands();   // idempotent
void RemoveHostCommands();
bool QuitRequested();          // QUIT (or EXIT) ran
void ClearQuitRequest();
int CommandFailures();         // host commands that failed (cannot open, save, load, ...)
void ClearCommandFailures();
// Open drawings with changes their files do not hold, in order of opening; their file names.
std::vector<AcApDocument*> ModifiedDocuments();
CString DocumentTitles(const std::vector<AcApDocument*>& docs);
// At the console QUIT and EXIT ask whether to save modified drawings (Yes, No, Cancel).
void SetAskBeforeQuit(bool ask);
bool DiscardConfirmed();       // the user answered No to that question

// ---- For the host's command files (drafting, layers, projects, help) ----------------------
// A host command, with what HELP shows of it: a one-line summary in each language and its
// prompts, in the order it asks them (texts of the host catalogue).
struct HostCommandSpec {
    const char16_t* name;
    AcRxFunctionPtr fn;
    Adesk::Int32 flags;
    const char16_t* summaryEnglish;
    const char16_t* summaryChinese;
    std::vector<vked::txt::Id> prompts;
};
void AddHostCommand(const HostCommandSpec& spec);
void RegisterDraftingCommands();
void RegisterLayerCommand();
void RegisterProjectCommands();
void RegisterHelpCommand();

void Say(const CString& text);
void Fail(const CString& text);  // said, and counted as a failure of the run
// The selection of a command that changes entities: those on locked layers are dropped (said).
std::vector<AcDbObjectId> AskSelectionToChange();
// CLOSE of the current drawing, asking first about changes no file holds; true when closed.
bool CloseCurrentDrawing();

}  // namespace vkcad
