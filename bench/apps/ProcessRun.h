#pragma once
// Running vkcad as a user does, for the whole-process benchmarks: fork, exec, wait4; the wall
// time from fork to exit and the child's CPU time and peak resident memory.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <cstdio>
#include <string>
#include <vector>

namespace vkbench {

// A benchmark program's scratch folder under the temporary folder, named with the process id,
// removed with everything in it when the program ends.
class ScratchDir {
public:
    explicit ScratchDir(const std::string& name)
        : m_path(std::filesystem::temp_directory_path() / (name + "-" + std::to_string(getpid())))
    {
        std::filesystem::create_directories(m_path);
    }
    ~ScratchDir()
    {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

struct Run {
    double wallSeconds = 0;
    double cpuSeconds = 0;
    double peakMB = 0;
    int status = -1;
};

// Runs the program with its arguments, stdout and stderr thrown away (or into `output`).
inline Run runProcess(const std::vector<std::string>& args, const std::string& output = "/dev/null")
{
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    Run r;
    auto start = std::chrono::steady_clock::now();
    pid_t pid = fork();
    if (pid == 0) {
        if (!freopen(output.c_str(), "w", stdout) || !freopen("/dev/null", "w", stderr)) _exit(126);
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

// Medians of wall and CPU time and the highest peak memory of the runs, as counters. Medians: a
// shared machine slows single runs down, never speeds them up.
inline void reportRuns(benchmark::State& state, const std::vector<Run>& runs)
{
    auto median = [&](double Run::*field) {
        std::vector<double> v;
        for (const Run& r : runs) v.push_back(r.*field);
        std::sort(v.begin(), v.end());
        return v.empty() ? 0.0 : v[v.size() / 2];
    };
    double peak = 0;
    for (const Run& r : runs) peak = std::max(peak, r.peakMB);
    state.counters["median_wall_ms"] = median(&Run::wallSeconds) * 1000;
    state.counters["median_cpu_ms"] = median(&Run::cpuSeconds) * 1000;
    state.counters["peak_RSS_MB"] = peak;
}

}  // namespace vkbench
