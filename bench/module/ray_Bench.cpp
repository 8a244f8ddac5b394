// The module's ray test beside the reference it replaced (every segment judged through the
// host's 3-D geometry for every point), on the same outlines and points in the same run.
// The ray test is internal to the plug-in, so this program builds its own copy.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <random>
#include <vector>

#include "module/selection/PtInPolylineByRay.h"
#include "bench/module/PtInPolylineByRayReference.h"

namespace {

constexpr int kOutlines = 64;
constexpr int kPoints = 4096;

// 64 twelve-sided outlines about the origin (radius 60 to 100), straight or with every third
// side an arc, and 4096 points: spread over the outlines' square, or within 2 units of a side
// (as the ends of pipes that stop at a wall are, where the full test of that side must run).
struct RaySet {
    std::vector<std::unique_ptr<AcDbPolyline>> plines;
    std::vector<AcGePoint3d> points;
};

const RaySet& raySet(bool arcs, bool nearSides)
{
    static std::unique_ptr<RaySet> sets[2][2];
    std::unique_ptr<RaySet>& set = sets[arcs][nearSides];
    if (set) return *set;
    set = std::make_unique<RaySet>();
    std::mt19937 rng(5);
    std::uniform_real_distribution<double> radius(60, 100), coord(-110, 110), bulge(0.1, 0.5), unit(0, 1), off(-2, 2);
    for (int k = 0; k < kOutlines; ++k) {
        auto pl = std::make_unique<AcDbPolyline>();
        for (int i = 0; i < 12; ++i) {
            const double a = 2 * M_PI * i / 12, r = radius(rng);
            pl->addVertexAt(i, AcGePoint2d(r * std::cos(a), r * std::sin(a)), arcs && i % 3 == 0 ? bulge(rng) : 0.0);
        }
        pl->setClosed(true);
        set->plines.push_back(std::move(pl));
    }
    for (int i = 0; i < kPoints; ++i) {
        if (!nearSides) {
            set->points.emplace_back(coord(rng), coord(rng), 0);
            continue;
        }
        // The point is used with outline i % 64: put it near one of that outline's sides.
        const AcDbPolyline* pl = set->plines[i % kOutlines].get();
        AcGePoint3d a, b;
        const unsigned side = rng() % 12;
        pl->getPointAt(side, a);
        pl->getPointAt((side + 1) % 12, b);
        const AcGePoint3d p = a + (b - a) * unit(rng);
        set->points.emplace_back(p.x + off(rng), p.y + off(rng), 0);
    }
    return *set;
}

void label(benchmark::State& state)
{
    state.SetLabel(std::string(state.range(0) ? "arcs" : "straight") + (state.range(1) ? ", near a side" : ", anywhere"));
}

void BM_RayTestReference(benchmark::State& state)
{
    const RaySet& s = raySet(state.range(0), state.range(1));
    size_t i = 0, inside = 0;
    for (auto _ : state) {
        inside += vkref::IsPtInPolylineByRay(s.plines[i % kOutlines].get(), s.points[i % kPoints], 1.0) > 0;
        ++i;
    }
    benchmark::DoNotOptimize(inside);
    state.SetItemsProcessed(state.iterations());
    label(state);
}

// One call per point, the boundary read afresh each time (as the exported operations call it).
void BM_RayTest(benchmark::State& state)
{
    const RaySet& s = raySet(state.range(0), state.range(1));
    size_t i = 0, inside = 0;
    for (auto _ : state) {
        inside += IsPtInPolylineByRay(s.plines[i % kOutlines].get(), s.points[i % kPoints], 1.0) > 0;
        ++i;
    }
    benchmark::DoNotOptimize(inside);
    state.SetItemsProcessed(state.iterations());
    label(state);
}

// The boundary read once and then asked about many points.
void BM_RayTestPrepared(benchmark::State& state)
{
    const RaySet& s = raySet(state.range(0), state.range(1));
    std::vector<std::unique_ptr<CRayBoundary>> prepared;
    for (const auto& pl : s.plines) prepared.push_back(std::make_unique<CRayBoundary>(pl.get()));
    size_t i = 0, inside = 0;
    for (auto _ : state) {
        inside += prepared[i % kOutlines]->Classify(s.points[i % kPoints], 1.0) > 0;
        ++i;
    }
    benchmark::DoNotOptimize(inside);
    state.SetItemsProcessed(state.iterations());
    label(state);
}

#define RAY_ARGS ArgNames({"arcs", "near"})->Args({0, 0})->Args({1, 0})->Args({0, 1})->Args({1, 1})
BENCHMARK(BM_RayTestReference)->RAY_ARGS;
BENCHMARK(BM_RayTest)->RAY_ARGS;
BENCHMARK(BM_RayTestPrepared)->RAY_ARGS;

}  // namespace
