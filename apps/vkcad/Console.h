#pragma once
// The interactive console: lines typed with GNU readline (editing and history), pulled by the
// input queue when it runs dry.

namespace vkcad {

void InstallConsole();    // sets the queue's pull source; the terminal echoes, so the transcript doesn't
void RemoveConsole();

}  // namespace vkcad
