#pragma once
// The host's own commands (group "VKCAD"): drawing files, basic edits and plug-in loading.
// They ask through the editor's prompts, so scripts answer them as a user would.

#include <vector>

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

}  // namespace vkcad
