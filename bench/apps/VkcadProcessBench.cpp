// Opening and saving a large drawing the way a user meets it: the whole vkcad process, from
// start to exit, on a drawing of 100,000 lines and 100,000 closed four-vertex polylines.
// Each run starts vkcad with a script (empty, or QSAVE) and the drawing, and takes the wall
// time from fork to exit and the peak resident memory and CPU time from wait4.
//
// The baseline: with VK_BASELINE_VKCAD naming another vkcad (built from an earlier commit,
// scripts/build-baseline.sh), the same runs are made with it in the same process, on a file
// that it writes itself from the same JSON lines, so both appear in one report.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/apps/ProcessRun.h"

namespace {

namespace fs = std::filesystem;
using vkbench::Run;
using vkbench::runProcess;

struct Vkcad {
    std::string binary;  // empty: not available
    std::string drawing;
};

const vkbench::ScratchDir scratch("vk-bench-process");

const fs::path& workDir() { return scratch.path(); }

// The drawing's content as vkcad's JSON lines: n/2 lines and n/2 closed polylines of four
// vertices (one bulge each), laid out on a grid 1000 wide.
fs::path drawingLines(int n)
{
    fs::path p = workDir() / "drawing.jsonl";
    if (fs::exists(p)) return p;
    std::ofstream out(p);
    char buf[512];
    for (int i = 0; i < n; ++i) {
        int x = i % 1000, y = i / 1000;
        if (i % 2 == 0)
            std::snprintf(buf, sizeof buf,
                          "{\"class\":\"AcDbLine\",\"layer\":\"0\",\"start\":[%d,%d,0],\"end\":[%d.5,%d.5,0]}\n", x, y,
                          x, y);
        else
            std::snprintf(buf, sizeof buf,
                          "{\"class\":\"AcDbPolyline\",\"layer\":\"0\",\"vertices\":[[%d,%d,0,0,0],[%d,%d,0.3,0,0],"
                          "[%d,%d,0,0,0],[%d,%d,0,0,0]],\"closed\":true}\n",
                          x, y, x + 1, y, x + 1, y + 1, x, y + 1);
        out << buf;
    }
    return p;
}

// The vkcad of this build (0) or the baseline (1), with its own copy of the drawing.
const Vkcad& vkcad(int which)
{
    static const Vkcad builds[2] = {
        [] {
            Vkcad v{VKCAD_BINARY, (workDir() / "current.dwg").string()};
            runProcess({v.binary, "load", drawingLines(200000).string(), v.drawing});
            if (!fs::exists(v.drawing)) v.binary.clear();
            return v;
        }(),
        [] {
            const char* env = std::getenv("VK_BASELINE_VKCAD");
            Vkcad v{env ? env : "", (workDir() / "baseline.dwg").string()};
            if (v.binary.empty()) return v;
            runProcess({v.binary, "load", drawingLines(200000).string(), v.drawing});
            if (!fs::exists(v.drawing)) v.binary.clear();
            return v;
        }(),
    };
    return builds[which];
}

fs::path script(const char* name, const char* text)
{
    fs::path p = workDir() / name;
    std::ofstream(p) << text;
    return p;
}

void report(benchmark::State& state, const std::vector<Run>& runs, const Vkcad& v)
{
    vkbench::reportRuns(state, runs);
    state.counters["file_MB"] = static_cast<double>(fs::file_size(v.drawing)) / 1e6;
}

// vkcad started on the drawing with a script, until it exits.
void runScript(benchmark::State& state, const fs::path& scr)
{
    const Vkcad& v = vkcad(static_cast<int>(state.range(0)));
    if (v.binary.empty()) {
        state.SkipWithError(state.range(0) ? "no baseline: set VK_BASELINE_VKCAD" : "vkcad did not build the drawing");
        return;
    }
    state.SetLabel(state.range(0) ? "baseline" : "this build");
    std::vector<Run> runs;
    for (auto _ : state) {
        Run r = runProcess({v.binary, "--script", scr.string(), v.drawing});
        if (r.status != 0) {
            state.SkipWithError("vkcad failed");
            return;
        }
        state.SetIterationTime(r.wallSeconds);
        runs.push_back(r);
    }
    report(state, runs, v);
}

void BM_VkcadOpenDrawing(benchmark::State& state) { runScript(state, script("empty.scr", "")); }
BENCHMARK(BM_VkcadOpenDrawing)->Arg(0)->Arg(1)->ArgName("baseline")->UseManualTime()->Iterations(9)->Unit(benchmark::kMillisecond);

// Opening, QSAVE (temporary file, fsync, rename, back-up) and exit.
void BM_VkcadOpenAndSaveDrawing(benchmark::State& state) { runScript(state, script("qsave.scr", "QSAVE\n")); }
BENCHMARK(BM_VkcadOpenAndSaveDrawing)->Arg(0)->Arg(1)->ArgName("baseline")->UseManualTime()->Iterations(5)
    ->Unit(benchmark::kMillisecond);

// vkcad render of the drawing (200,000 entities) to a 1600x1200 PNG, to exit.
void BM_VkcadRenderDrawing(benchmark::State& state)
{
    const Vkcad& v = vkcad(static_cast<int>(state.range(0)));
    if (v.binary.empty()) {
        state.SkipWithError(state.range(0) ? "no baseline: set VK_BASELINE_VKCAD" : "vkcad did not build the drawing");
        return;
    }
    state.SetLabel(state.range(0) ? "baseline" : "this build");
    const std::string png = (workDir() / "floor.png").string();
    std::vector<Run> runs;
    for (auto _ : state) {
        Run r = runProcess({v.binary, "render", v.drawing, png, "--size", "1600x1200"});
        if (r.status != 0) {
            state.SkipWithError("vkcad render failed");
            return;
        }
        state.SetIterationTime(r.wallSeconds);
        runs.push_back(r);
    }
    report(state, runs, v);
}
BENCHMARK(BM_VkcadRenderDrawing)->Arg(0)->Arg(1)->ArgName("baseline")->UseManualTime()->Iterations(3)
    ->Unit(benchmark::kMillisecond);

// vkcad import of the largest sheet of the LibreCAD library (Debian librecad-data), to exit.
void BM_VkcadImportLargestSheet(benchmark::State& state)
{
    const char* sheet = "/usr/share/librecad/library/sheets/A0H.dxf";
    const Vkcad& v = vkcad(static_cast<int>(state.range(0)));
    if (v.binary.empty() || !fs::exists(sheet)) {
        state.SkipWithError(v.binary.empty() ? "no vkcad to run (set VK_BASELINE_VKCAD for the baseline)"
                                             : "librecad-data is not installed");
        return;
    }
    state.SetLabel(state.range(0) ? "baseline" : "this build");
    const std::string out = (workDir() / (state.range(0) ? "sheet-baseline.dwg" : "sheet.dwg")).string();
    std::vector<Run> runs;
    for (auto _ : state) {
        Run r = runProcess({v.binary, "import", sheet, out});
        if (r.status != 0) {
            state.SkipWithError("vkcad import failed");
            return;
        }
        state.SetIterationTime(r.wallSeconds);
        runs.push_back(r);
    }
    report(state, runs, v);
}
BENCHMARK(BM_VkcadImportLargestSheet)->Arg(0)->Arg(1)->ArgName("baseline")->UseManualTime()->Iterations(9)
    ->Unit(benchmark::kMillisecond);

}  // namespace
