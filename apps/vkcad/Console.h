#pragma once
// The interactive console: lines typed with GNU readline (editing and history), pulled by the
// input queue when it runs dry; and standard input read line by line when it is no terminal.

namespace vkcad {

// Sets the queue's pull source. On a terminal: readline, and the terminal echoes, so the
// transcript doesn't. Otherwise standard input is read as InstallStdinScript does.
void InstallConsole();
void RemoveConsole();

// Standard input as a script ("stdin"): one line read each time the queue runs dry, so that a
// line runs before the next one is even written; its end is the end of input.
void InstallStdinScript();
void RemoveStdinScript();

}  // namespace vkcad
