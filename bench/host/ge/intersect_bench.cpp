// Throughput of the intersections that boundary containment tests run per segment:
// segment/segment, arc/segment and arc/ray, with the drawing-unit tolerance they use.
#include <benchmark/benchmark.h>

#include <cmath>
#include <numbers>
#include <random>
#include <vector>

#include "host/ge/AcGe.h"

namespace {
const AcGeTol kTol(1.0, 1e-12);
const AcGeTol kRayTol(1.0, std::numbers::pi / 180);
constexpr int kCount = 1024;  // distinct inputs, so branches are not trivially predicted

AcGePoint3d randomPoint(std::mt19937& rng) {
    std::uniform_real_distribution<double> d(-1000, 1000);
    return {d(rng), d(rng), 0};
}

std::vector<AcGeLineSeg3d> randomSegments(unsigned seed) {
    std::mt19937 rng(seed);
    std::vector<AcGeLineSeg3d> out;
    for (int i = 0; i < kCount; ++i) out.emplace_back(randomPoint(rng), randomPoint(rng));
    return out;
}

std::vector<AcGeCircArc3d> randomBulgeArcs(unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> bulge(-2, 2);
    std::vector<AcGeCircArc3d> out;
    for (int i = 0; i < kCount; ++i) {
        double b = bulge(rng);
        if (std::fabs(b) < 0.01) b = 0.5;
        out.push_back(AcGeCircArc3d::fromBulge(randomPoint(rng), randomPoint(rng), b));
    }
    return out;
}

void BM_SegmentSegment(benchmark::State& state) {
    const auto a = randomSegments(1), b = randomSegments(2);
    size_t i = 0;
    int hits = 0;
    for (auto _ : state) {
        AcGePoint3d p;
        hits += a[i % kCount].intersectWith(b[(i * 7) % kCount], p, kTol);
        benchmark::DoNotOptimize(p);
        ++i;
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
    state.counters["hit%"] = 100.0 * hits / static_cast<double>(state.iterations());
}
BENCHMARK(BM_SegmentSegment);

void BM_ArcSegment(benchmark::State& state) {
    const auto arcs = randomBulgeArcs(3);
    const auto segs = randomSegments(4);
    size_t i = 0;
    int hits = 0;
    for (auto _ : state) {
        int n = 0;
        AcGePoint3d p1, p2;
        arcs[i % kCount].intersectWith(segs[(i * 7) % kCount], n, p1, p2, kTol);
        hits += n;
        benchmark::DoNotOptimize(p1);
        ++i;
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
    state.counters["points/op"] = static_cast<double>(hits) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_ArcSegment);

void BM_ArcRay(benchmark::State& state) {
    const auto arcs = randomBulgeArcs(5);
    std::mt19937 rng(6);
    std::vector<AcGeRay3d> rays;
    for (int i = 0; i < kCount; ++i) rays.emplace_back(randomPoint(rng), AcGeVector3d(-1, 0, 0));
    size_t i = 0;
    int hits = 0;
    for (auto _ : state) {
        int n = 0;
        AcGePoint3d p1, p2;
        arcs[i % kCount].intersectWith(rays[(i * 7) % kCount], n, p1, p2, kRayTol);
        hits += n;
        benchmark::DoNotOptimize(p1);
        ++i;
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
    state.counters["points/op"] = static_cast<double>(hits) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_ArcRay);
}  // namespace
