#pragma once
// A program run to its end, as the whole-process benchmarks measure it: the wall time from fork
// to exit, and the CPU time and peak resident memory that wait4 reports.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace benchproc {

struct Run {
    double wallSeconds = 0;
    double cpuSeconds = 0;
    double peakMB = 0;
    int status = -1;
};

// Runs args[0] with args, its output thrown away.
inline Run runProcess(const std::vector<std::string>& args)
{
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    Run r;
    auto start = std::chrono::steady_clock::now();
    pid_t pid = fork();
    if (pid == 0) {
        if (!freopen("/dev/null", "w", stdout) || !freopen("/dev/null", "w", stderr)) _exit(126);
        execv(argv[0], argv.data());
        _exit(127);
    }
    if (pid < 0) return r;
    int status = 0;
    rusage ru{};
    if (wait4(pid, &status, 0, &ru) != pid) return r;
    r.wallSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    r.cpuSeconds = static_cast<double>(ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) +
                   static_cast<double>(ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1e6;
    r.peakMB = static_cast<double>(ru.ru_maxrss) / 1024.0;  // ru_maxrss is in KiB
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

}  // namespace benchproc
