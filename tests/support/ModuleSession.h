#pragma once
// Driving commands as vkcad does: where the built programs and plug-ins are, script lines queued
// for the input loop, and how often the transcript said something.
#include <cstdlib>
#include <string>
#include <vector>

#include "host/ed/EditorLoop.h"
#include "host/ed/InputQueue.h"
#include "host/win/Windows.h"

namespace vktest {

// The folder of the built programs and plug-ins (ctest names it; else the working folder).
inline std::string BinDir()
{
    const char* bin = std::getenv("VK_BIN_DIR");
    return bin ? bin : ".";
}

inline std::string ModulePath() { return BinDir() + "/VkQsRoom.so"; }

// Queues the lines as lines 1, 2, ... of the script t.scr.
inline void QueueLines(const std::vector<CString>& lines)
{
    int n = 1;
    for (const CString& l : lines) vked::inputQueue().push(l, u"t.scr", n++);
}

// Queues the lines, then runs until the input has run out (a waiting prompt then gets Esc).
inline void RunLines(const std::vector<CString>& lines)
{
    QueueLines(lines);
    vked::RunUntilEndOfInput();
}

// How often `what` occurs in `text`.
inline size_t Occurrences(const std::string& text, const std::string& what)
{
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

}  // namespace vktest
