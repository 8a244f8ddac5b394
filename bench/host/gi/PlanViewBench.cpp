// The window's plan of a large floor: the first picture of a floor just read from its file
// (every entity made and drawn), and the redraw after a pan or zoom, drawing only what the
// view shows through the spatial index.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <random>

#include "host/db/AcDb.h"
#include "host/db/AcDbSpatialIndex.h"
#include "host/gi/GiPicture.h"
#include "host/win/Windows.h"

namespace {

constexpr int kEntities = 200000;
constexpr double kWidth = 80000, kHeight = 40000;  // a hotel floor in millimetres

// Walls and pipes as short lines, fixtures as closed four-vertex polylines, spread over the
// floor.
std::unique_ptr<AcDbDatabase> makeFloor()
{
    auto db = std::make_unique<AcDbDatabase>();
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> x(0, kWidth), y(0, kHeight), len(-900, 900);
    AcDbBlockTableRecord* ms = nullptr;
    acdbOpenObject(ms, db->modelSpaceId(), AcDb::kForWrite);
    for (int i = 0; i < kEntities; ++i) {
        const double px = x(rng), py = y(rng);
        AcDbEntity* ent = nullptr;
        if (i % 2 == 0) {
            ent = new AcDbLine(AcGePoint3d(px, py, 0), AcGePoint3d(px + len(rng), py + len(rng), 0));
        } else {
            auto* pl = new AcDbPolyline;
            pl->addVertexAt(0, AcGePoint2d(px, py));
            pl->addVertexAt(1, AcGePoint2d(px + 400, py));
            pl->addVertexAt(2, AcGePoint2d(px + 400, py + 300));
            pl->addVertexAt(3, AcGePoint2d(px, py + 300));
            pl->setClosed(true);
            ent = pl;
        }
        ent->setColorIndex(1 + i % 7);
        if (ms->appendAcDbEntity(ent) == Acad::eOk) ent->close();
    }
    ms->close();
    return db;
}

const std::string& floorFile()
{
    static const std::string path = [] {
        const std::string p =
            (std::filesystem::temp_directory_path() / ("vk-bench-plan-" + std::to_string(getpid()) + ".dwg")).string();
        makeFloor()->saveAs(CString::FromUtf8(p), false);
        return p;
    }();
    return path;
}

// One picture of the world window centred on cx, cy, `across` units wide, at 1200x900.
size_t drawView(AcDbDatabase* db, double cx, double cy, double across, benchmark::State& state)
{
    vkgi::View view;
    view.fit = false;
    const double down = across * view.height / view.width;
    view.x1 = cx - across / 2, view.x2 = cx + across / 2, view.y1 = cy - down / 2, view.y2 = cy + down / 2;
    std::vector<vkgi::Primitive> prims;
    std::string png;
    if (vkgi::CollectModelSpaceWindow(db, view.x1, view.y1, view.x2, view.y2, prims) != Acad::eOk ||
        !vkgi::RenderPngBytes(prims, view, png))
        state.SkipWithError("the plan could not be drawn");
    return prims.size();
}

// The floor read from its file, then its first plan: the whole floor.
void BM_FirstPlanOfFloorJustRead(benchmark::State& state)
{
    const CString path = CString::FromUtf8(floorFile());
    size_t drawn = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto db = std::make_unique<AcDbDatabase>(false, true);
        if (db->readDwgFile(path.GetString(), _SH_DENYNO) != Acad::eOk) state.SkipWithError("cannot read the floor");
        state.ResumeTiming();
        AcDbExtents ext;
        AcDbSpatialIndex::modelSpaceExtents(db.get(), ext);
        const double across = (ext.maxPoint().x - ext.minPoint().x) * 1.1;
        drawn = drawView(db.get(), (ext.minPoint().x + ext.maxPoint().x) / 2, (ext.minPoint().y + ext.maxPoint().y) / 2,
                         across, state);
        state.PauseTiming();
        db.reset();
        state.ResumeTiming();
    }
    state.counters["primitives"] = static_cast<double>(drawn);
}
BENCHMARK(BM_FirstPlanOfFloorJustRead)->Unit(benchmark::kMillisecond)->Iterations(3);

// After a pan or zoom: a view `range(0)` millimetres across, moved each time.
void BM_RedrawAfterPanOrZoom(benchmark::State& state)
{
    static std::unique_ptr<AcDbDatabase> db = makeFloor();
    const double across = static_cast<double>(state.range(0));
    drawView(db.get(), kWidth / 2, kHeight / 2, across, state);  // the index is built once
    std::mt19937 rng(3);
    std::uniform_real_distribution<double> cx(across / 2, kWidth - across / 2), cy(0, kHeight);
    size_t drawn = 0;
    for (auto _ : state) drawn = drawView(db.get(), cx(rng), cy(rng), across, state);
    state.counters["primitives"] = static_cast<double>(drawn);
}
BENCHMARK(BM_RedrawAfterPanOrZoom)->Arg(5000)->Arg(20000)->Arg(40000)->Unit(benchmark::kMillisecond);

}  // namespace
