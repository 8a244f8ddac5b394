// Spatial selection on large floors: the host's extents index beside the walk of model space,
// and point classification beside Boost.Geometry's within.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <boost/geometry.hpp>
#include <cmath>
#include <filesystem>
#include <memory>
#include <random>
#include <vector>

#include "host/db/AcDb.h"
#include "host/db/AcDbSpatialIndex.h"
#include "host/win/WinPath.h"
#include "module/frame/CManageStdRoom.h"
#include "module/interfaces/SelectionInterfaces.h"
#include "module/selection/CalConstrucSegment.h"
#include "bench/module/EntityIsInPolylineReference.h"

namespace {

constexpr int kEntities = 200000;
constexpr int kSegments = 200;
constexpr double kFloor = 4000;  // the floor is kFloor by kFloor drawing units

AcDbObjectId append(AcDbBlockTableRecord* ms, AcDbEntity* ent, const char16_t* layer)
{
    ent->setLayer(layer);
    AcDbObjectId id;
    ms->appendAcDbEntity(id, ent);
    ent->close();
    return id;
}

// 200,000 entities: pipes of the five disciplines, architectural lines and room boundaries,
// and (with segments) 200 construction segments tiling the floor in a 20 by 10 grid.
std::unique_ptr<AcDbDatabase> makeFloor(bool withSegments)
{
    auto db = std::make_unique<AcDbDatabase>();
    acdbEnsureLayer(db.get(), u"VK_建筑_SYS_墙", true);
    acdbEnsureLayer(db.get(), u"VK_建筑_SYS_施工段", true);
    acdbEnsureLayer(db.get(), u"给排水", true);
    static const char16_t* paths[] = {u"给排水\\管道", u"电气\\桥架", u"暖通\\风管", u"消防\\喷淋", u"弱电\\线槽"};
    std::mt19937 rng(42);
    std::uniform_real_distribution<double> pos(0, kFloor), len(-6, 6);
    AcDbBlockTableRecord* ms = nullptr;
    acdbOpenObject(ms, db->modelSpaceId(), AcDb::kForWrite);
    const int segments = withSegments ? kSegments : 0;
    for (int i = 0; i < segments; ++i) {
        const double w = kFloor / 20, h = kFloor / 10, x = (i % 20) * w, y = (i / 20) * h;
        auto* seg = new AcDbVkConstrucSegment;
        seg->addVertexAt(0, AcGePoint2d(x, y));
        seg->addVertexAt(1, AcGePoint2d(x + w, y));
        seg->addVertexAt(2, AcGePoint2d(x + w, y + h));
        seg->addVertexAt(3, AcGePoint2d(x, y + h));
        seg->setClosed(true);
        seg->SetAttname(CString(u"S") + CString::FromUtf8(std::to_string(i)));
        append(ms, seg, u"VK_建筑_SYS_施工段");
    }
    for (int i = segments; i < kEntities; ++i) {
        const double x = pos(rng), y = pos(rng);
        if (i % 10 == 0) {
            append(ms, new AcDbLine(AcGePoint3d(x, y, 0), AcGePoint3d(x + len(rng), y + len(rng), 0)), u"VK_建筑_SYS_墙");
        } else {
            auto* p = new VkQsPipe(AcGePoint3d(x, y, 0), AcGePoint3d(x + len(rng), y + len(rng), 0));
            p->SetSmallTypeNamePath(paths[i % 5]);
            append(ms, p, u"给排水");
        }
    }
    ms->close();
    return db;
}

AcDbDatabase* floorDb(bool withSegments)
{
    static std::unique_ptr<AcDbDatabase> plain, segmented;
    std::unique_ptr<AcDbDatabase>& db = withSegments ? segmented : plain;
    if (!db) db = makeFloor(withSegments);
    acdbHostApplicationServices()->setWorkingDatabase(db.get());
    return db.get();
}

// A room-sized window (about 40 by 40 units) somewhere on the floor.
void BM_SelectEntityWindow(benchmark::State& state)
{
    const bool indexed = state.range(0) != 0;
    floorDb(false);
    AcDbSpatialIndex::setEnabled(indexed);
    std::mt19937 rng(1);
    std::uniform_real_distribution<double> pos(0, kFloor - 40);
    AcArray<AcDbObjectId> warm;
    AcDbExtents first(AcGePoint3d(0, 0, 0), AcGePoint3d(40, 40, 0));
    CManageStdRoom::SelectEntity(first, warm);  // the index is built here, outside the timing
    size_t found = 0;
    for (auto _ : state) {
        const double x = pos(rng), y = pos(rng);
        AcDbExtents window(AcGePoint3d(x, y, 0), AcGePoint3d(x + 40, y + 40, 0));
        AcArray<AcDbObjectId> ids;
        CManageStdRoom::SelectEntity(window, ids);
        found += ids.length();
        benchmark::DoNotOptimize(ids);
    }
    state.counters["found/query"] = benchmark::Counter(double(found) / state.iterations());
    state.counters["rebuilds"] = AcDbSpatialIndex::rebuildCount(acdbCurDwg());
    AcDbSpatialIndex::setEnabled(true);
}
BENCHMARK(BM_SelectEntityWindow)->ArgName("indexed")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

void BM_CalConstrucSegment(benchmark::State& state)
{
    const bool indexed = state.range(0) != 0;
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("vkroom-bench-sgd-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    vkwin::SetDriveMap({{'C', dir.string()}});
    floorDb(true);
    AcDbSpatialIndex::setEnabled(indexed);
    CalConstrucSegment(u"warm");
    for (auto _ : state) CalConstrucSegment(u"bench");
    AcDbSpatialIndex::setEnabled(true);
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_CalConstrucSegment)->ArgName("indexed")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->Iterations(1);

// ---- point classification: the same 12-sided outlines (one side an arc for the toolkit's
// polyline, chords for Boost.Geometry) and the same points ----

namespace bg = boost::geometry;
using BPoint = bg::model::d2::point_xy<double>;
using BPolygon = bg::model::polygon<BPoint>;

struct Outlines {
    std::vector<std::unique_ptr<AcDbPolyline>> plines;
    std::vector<BPolygon> polygons;
    std::vector<AcGePoint3d> points;
};

const Outlines& outlines()
{
    static Outlines o = [] {
        Outlines r;
        std::mt19937 rng(3);
        std::uniform_real_distribution<double> radius(60, 100), coord(-110, 110);
        for (int k = 0; k < 64; ++k) {
            auto pl = std::make_unique<AcDbPolyline>();
            BPolygon poly;
            for (int i = 0; i < 12; ++i) {
                const double a = -2 * M_PI * i / 12, rr = radius(rng);
                pl->addVertexAt(i, AcGePoint2d(rr * std::cos(a), rr * std::sin(a)));
                bg::append(poly.outer(), BPoint(rr * std::cos(a), rr * std::sin(a)));
            }
            pl->setClosed(true);
            bg::append(poly.outer(), poly.outer().front());
            bg::correct(poly);
            r.plines.push_back(std::move(pl));
            r.polygons.push_back(std::move(poly));
        }
        for (int i = 0; i < 4096; ++i) r.points.emplace_back(coord(rng), coord(rng), 0);
        return r;
    }();
    return o;
}

// Points a run: 1, a new outline every call; 64, as a selection asks, where the toolkit reads
// each outline once for its run of points.
void BM_PointToolkitIsPtInPolyline(benchmark::State& state)
{
    const Outlines& o = outlines();
    const size_t run = static_cast<size_t>(state.range(0));
    size_t i = 0, inside = 0;
    for (auto _ : state) {
        inside += VKToolKit::IsPtInPolyline(o.plines[(i / run) % 64].get(), o.points[i % 4096], 1.0) >= 0;
        ++i;
    }
    benchmark::DoNotOptimize(inside);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PointToolkitIsPtInPolyline)->ArgName("run")->Arg(1)->Arg(64);

// The toolkit's point test as it was (the angle every segment sweeps), kept as the reference.
void BM_PointToolkitReference(benchmark::State& state)
{
    const Outlines& o = outlines();
    size_t i = 0, inside = 0;
    for (auto _ : state) {
        inside += vkref::ToolkitPtInPolyline(o.plines[i % 64].get(), o.points[i % 4096], 1.0) >= 0;
        ++i;
    }
    benchmark::DoNotOptimize(inside);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PointToolkitReference);

// The module's ray test, reached through the exported relation of a curve: a 0.0001-long
// line never meets the first side, so both of its ends go through the ray test.
void BM_PointRayTestViaCurveRelation(benchmark::State& state)
{
    const Outlines& o = outlines();
    size_t i = 0, inside = 0;
    for (auto _ : state) {
        const AcGePoint3d& p = o.points[i % 4096];
        AcDbLine line(p, p + AcGeVector3d(0.0001, 0, 0));
        inside += CManageStdRoom::IsCurveInPolyline(o.plines[i % 64].get(), &line, 1.0) == 1;
        ++i;
    }
    benchmark::DoNotOptimize(inside);
    state.SetItemsProcessed(2 * state.iterations());  // two points per relation
}
BENCHMARK(BM_PointRayTestViaCurveRelation);

void BM_PointBoostWithin(benchmark::State& state)
{
    const Outlines& o = outlines();
    size_t i = 0, inside = 0;
    for (auto _ : state) {
        const AcGePoint3d& p = o.points[i % 4096];
        inside += bg::within(BPoint(p.x, p.y), o.polygons[i % 64]);
        ++i;
    }
    benchmark::DoNotOptimize(inside);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PointBoostWithin);

}  // namespace

namespace {
// The index alone, without judging the candidates.
void BM_IndexQueryOnly(benchmark::State& state)
{
    AcDbDatabase* db = floorDb(false);
    std::mt19937 rng(1);
    std::uniform_real_distribution<double> pos(0, kFloor - 40);
    for (auto _ : state) {
        const double x = pos(rng), y = pos(rng);
        AcDbObjectIdArray ids;
        AcDbSpatialIndex::queryModelSpace(db, AcDbExtents(AcGePoint3d(x, y, 0), AcGePoint3d(x + 40, y + 40, 0)), ids);
        benchmark::DoNotOptimize(ids);
    }
}
BENCHMARK(BM_IndexQueryOnly)->Unit(benchmark::kMicrosecond);
}  // namespace
