// Saving, reading and cloning large drawings.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <memory>

#include "host/db/AcDb.h"
#include "host/win/Windows.h"

namespace {

// n/2 lines and n/2 polylines of four vertices in model space.
std::unique_ptr<AcDbDatabase> makeDrawing(int n)
{
    auto db = std::make_unique<AcDbDatabase>();
    AcDbBlockTableRecord* ms = nullptr;
    acdbOpenObject(ms, db->modelSpaceId(), AcDb::kForWrite);
    for (int i = 0; i < n; ++i) {
        double x = i % 1000, y = i / 1000;
        AcDbEntity* ent = nullptr;
        if (i % 2 == 0) {
            ent = new AcDbLine(AcGePoint3d(x, y, 0), AcGePoint3d(x + 0.5, y + 0.5, 0));
        } else {
            auto* pl = new AcDbPolyline;
            pl->addVertexAt(0, AcGePoint2d(x, y));
            pl->addVertexAt(1, AcGePoint2d(x + 1, y), 0.3);
            pl->addVertexAt(2, AcGePoint2d(x + 1, y + 1));
            pl->addVertexAt(3, AcGePoint2d(x, y + 1));
            pl->setClosed(true);
            ent = pl;
        }
        if (ms->appendAcDbEntity(ent) == Acad::eOk) ent->close();
    }
    ms->close();
    return db;
}

std::string scratchFile(const char* name)
{
    return (std::filesystem::temp_directory_path() / (std::string(name) + "-" + std::to_string(getpid()) + ".dwg")).string();
}

void reportRates(benchmark::State& state, size_t objects, size_t bytes)
{
    state.counters["objects/s"] = benchmark::Counter(static_cast<double>(objects) * state.iterations(),
                                                     benchmark::Counter::kIsRate);
    state.counters["bytes/s"] = benchmark::Counter(static_cast<double>(bytes) * state.iterations(),
                                                   benchmark::Counter::kIsRate, benchmark::Counter::kIs1024);
    state.counters["file_MB"] = static_cast<double>(bytes) / (1024.0 * 1024.0);
}

void BM_SaveDrawing(benchmark::State& state)
{
    auto db = makeDrawing(static_cast<int>(state.range(0)));
    const std::string path = scratchFile("vk-bench-save");
    CString name = CString::FromUtf8(path);
    for (auto _ : state) {
        if (db->saveAs(name, false) != Acad::eOk) state.SkipWithError("saveAs failed");
    }
    reportRates(state, db->allObjectIds(true).size(), std::filesystem::file_size(path));
    std::filesystem::remove(path);
}
BENCHMARK(BM_SaveDrawing)->Arg(200000)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// A drawing of n objects saved to path, for the read benchmarks; how many objects it holds.
size_t savedDrawing(int n, const CString& path)
{
    auto db = makeDrawing(n);
    db->saveAs(path, false);
    return db->allObjectIds(true).size();
}

// A new time stamp: the process then reads the file as one it has not checked yet.
void touch(benchmark::State& state, const std::string& path)
{
    state.PauseTiming();
    std::filesystem::last_write_time(path, std::filesystem::last_write_time(path) + std::chrono::seconds(1));
    state.ResumeTiming();
}

// again:0, the file as a stranger, checked whole (checksum, every record); again:1, the same
// file read again unchanged, which the process does not check a second time.
void BM_ReadDrawing(benchmark::State& state)
{
    const std::string path = scratchFile("vk-bench-read");
    CString name = CString::FromUtf8(path);
    const size_t objects = savedDrawing(static_cast<int>(state.range(0)), name);
    const bool again = state.range(1) != 0;
    for (auto _ : state) {
        if (!again) touch(state, path);
        AcDbDatabase db(false);
        if (db.readDwgFile(name, _SH_DENYNO) != Acad::eOk) state.SkipWithError("readDwgFile failed");
    }
    reportRates(state, objects, std::filesystem::file_size(path));
    std::filesystem::remove(path);
}
BENCHMARK(BM_ReadDrawing)->ArgsProduct({{200000}, {0, 1}})->ArgNames({"", "again"})->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The read, then every object opened and closed once (objects are made on first open): what a
// command that looks at the whole floor pays.
void BM_ReadDrawingAndOpenEveryObject(benchmark::State& state)
{
    const std::string path = scratchFile("vk-bench-readall");
    CString name = CString::FromUtf8(path);
    const size_t objects = savedDrawing(static_cast<int>(state.range(0)), name);
    for (auto _ : state) {
        touch(state, path);
        AcDbDatabase db(false);
        if (db.readDwgFile(name, _SH_DENYNO) != Acad::eOk) state.SkipWithError("readDwgFile failed");
        for (AcDbObjectId id : db.allObjectIds(true)) {
            AcDbObject* obj = nullptr;
            if (acdbOpenObject(obj, id, AcDb::kForRead) != Acad::eOk) {
                state.SkipWithError("an object did not open");
                break;
            }
            obj->close();
        }
    }
    reportRates(state, objects, std::filesystem::file_size(path));
    std::filesystem::remove(path);
}
BENCHMARK(BM_ReadDrawingAndOpenEveryObject)->Arg(200000)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_WblockEntities(benchmark::State& state)
{
    auto db = makeDrawing(static_cast<int>(state.range(0)));
    AcDbObjectIdArray ids;
    {
        AcDbObjectPointer<AcDbBlockTableRecord> ms(db->modelSpaceId(), AcDb::kForRead);
        for (AcDbObjectId id : ms->entityIds()) ids.append(id);
    }
    for (auto _ : state) {
        AcDbDatabase* out = nullptr;
        if (db->wblock(out, ids, AcGePoint3d(10, 10, 0)) != Acad::eOk) state.SkipWithError("wblock failed");
        delete out;
    }
    state.counters["entities/s"] = benchmark::Counter(static_cast<double>(ids.length()) * state.iterations(),
                                                      benchmark::Counter::kIsRate);
}
BENCHMARK(BM_WblockEntities)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace
