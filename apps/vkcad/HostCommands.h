#pragma once
// The host's own commands (group "VKCAD"): drawing files, basic edits and plug-in loading.
// They ask through the editor's prompts, so scripts answer them as a user would.

namespace vkcad {

void RegisterHostCommands();   // idempotent
void RemoveHostCommands();
bool QuitRequested();          // QUIT (or EXIT) ran
void ClearQuitRequest();
int CommandFailures();         // host commands that failed (cannot open, save, load, ...)
void ClearCommandFailures();

}  // namespace vkcad
