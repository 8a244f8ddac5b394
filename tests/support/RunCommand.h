#pragma once
// Running a shell command from a test and reading what it prints.
#include <stdio.h>

#include <string>

namespace vktest {

// What the command writes to its standard output; *status (when given) gets pclose's result,
// -1 when the command could not be started.
inline std::string RunCommand(const std::string& command, int* status = nullptr)
{
    std::string out;
    FILE* p = ::popen(command.c_str(), "r");
    if (!p) {
        if (status) *status = -1;
        return out;
    }
    char buf[4096];
    size_t n;
    while ((n = ::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    const int rc = ::pclose(p);
    if (status) *status = rc;
    return out;
}

}  // namespace vktest
