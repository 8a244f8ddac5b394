// What `vkcad import` spends on a file it refuses: the whole process, from start to exit, on
// files of 50 and 300 MB made of blank lines, of one endless line, and of comments that run to
// the end without an EOF (refused only there, so the whole file is read). The time and the
// peak resident memory should not grow with the size of the file, but for the last kind,
// whose time does.
//
// With VK_BASELINE_VKCAD naming another vkcad (scripts/build-baseline.sh), the same runs are
// made with it, so that both appear in one report.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/apps/ProcessRun.h"

namespace {

namespace fs = std::filesystem;

const vkbench::ScratchDir scratch("vk-bench-dxf-bounds");

const fs::path& workDir() { return scratch.path(); }

enum Kind { kBlankLines, kOneLine, kComments };

// The file of that kind and size, written once.
fs::path badFile(Kind kind, long megabytes)
{
    static const char* names[] = {"blank", "line", "comments"};
    const fs::path p = workDir() / (std::string(names[kind]) + "-" + std::to_string(megabytes) + ".dxf");
    if (fs::exists(p)) return p;
    static const std::string units[] = {std::string(1 << 20, '\n'), std::string(1 << 20, 'x'),
                                        [] {
                                            std::string s;
                                            while (s.size() + 6 <= (1 << 20)) s += "999\nx\n";
                                            return s;
                                        }()};
    std::ofstream out(p, std::ios::binary);
    for (long i = 0; i < megabytes; ++i) out << units[kind];
    return p;
}

void BM_VkcadImportRefused(benchmark::State& state)
{
    const Kind kind = static_cast<Kind>(state.range(0));
    const long megabytes = state.range(1);
    const char* env = std::getenv("VK_BASELINE_VKCAD");
    const std::string binary = state.range(2) ? (env ? env : "") : VKCAD_BINARY;
    if (binary.empty()) {
        state.SkipWithError("no baseline: set VK_BASELINE_VKCAD");
        return;
    }
    state.SetLabel(state.range(2) ? "baseline" : "this build");
    const fs::path file = badFile(kind, megabytes);
    const std::string drawing = (workDir() / "refused.dwg").string();
    std::vector<vkbench::Run> runs;
    for (auto _ : state) {
        const vkbench::Run r = vkbench::runProcess({binary, "import", file.string(), drawing});
        if (r.status != 1 || fs::exists(drawing)) {
            state.SkipWithError("vkcad did not refuse the file");
            return;
        }
        state.SetIterationTime(r.wallSeconds);
        runs.push_back(r);
    }
    vkbench::reportRuns(state, runs);
    state.counters["file_MB"] = static_cast<double>(megabytes);
}
// kind 0: blank lines, 1: one line, 2: comments. The baseline is not run on 300 MB: before the
// line limit held while reading, that took some 9 GB.
void Cases(benchmark::internal::Benchmark* b)
{
    for (long kind : {kBlankLines, kOneLine, kComments})
        for (long mb : {50, 300})
            for (long baseline : {0, 1})
                if (!(baseline && mb > 50)) b->Args({kind, mb, baseline});
}
BENCHMARK(BM_VkcadImportRefused)
    ->ArgNames({"kind", "MB", "baseline"})
    ->Apply(Cases)
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

}  // namespace
