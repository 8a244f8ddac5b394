// The prepared ray test against the reference (the full host-geometry test of every segment
// for every point) on seeded random outlines and points chosen where the answer is delicate:
// on vertices and edges, at vertex heights, on and around arcs, at the edge of the tolerance
// band, off the boundary's elevation, on degenerate outlines. Both must agree on every case.
// This program's copy of the ray test is compiled in by BoundaryRelationTest.cpp.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "module/selection/PtInPolylineByRay.h"
#include "tests/support/PtInPolylineByRayReference.h"
#include "tests/support/RandomCases.h"

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr int kCasesPerFamily = 60000;  // the sanitizers make both some ten times slower
#else
constexpr int kCasesPerFamily = 250000;  // four families: a million cases
#endif
constexpr int kPointsPerOutline = 40;

enum class Family { Polygons, GridAndSlopes, Arcs, Degenerate };

struct Vertex {
    double x, y, bulge;
};

struct Outline {
    std::vector<Vertex> verts;
    bool closed = true;
    double elevation = 0;
};

std::unique_ptr<AcDbPolyline> build(const Outline& o)
{
    auto p = std::make_unique<AcDbPolyline>();
    for (unsigned i = 0; i < o.verts.size(); ++i)
        p->addVertexAt(i, AcGePoint2d(o.verts[i].x, o.verts[i].y), o.verts[i].bulge);
    p->setClosed(o.closed);
    p->setElevation(o.elevation);
    return p;
}

std::string describe(const Outline& o, const AcGePoint3d& pt, double tol)
{
    std::string s = o.closed ? "closed" : "open";
    char buf[160];
    std::snprintf(buf, sizeof buf, " elevation %.17g tol %.17g point (%.17g, %.17g, %.17g) vertices", o.elevation,
                  tol, pt.x, pt.y, pt.z);
    s += buf;
    for (const Vertex& v : o.verts) {
        std::snprintf(buf, sizeof buf, " (%.17g, %.17g, %.17g)", v.x, v.y, v.bulge);
        s += buf;
    }
    return s;
}

class Generator : public vktest::RandomCases {
public:
    using RandomCases::RandomCases;

    double bulge(Family f)
    {
        if (f != Family::Arcs && chance(0.8)) return 0;
        static const double special[] = {1.0, -1.0, 1e-12, -1e-12, 1.0000001e-12, 9.999999e-13, 1e-4, -1e-4,
                                         1e-6, 5.0, -3.0, 0.9999, 1e-9};
        if (chance(0.25)) return special[pick(std::size(special))];
        return uniform(-2.0, 2.0);
    }

    Outline outline(Family f)
    {
        Outline o;
        o.closed = !chance(0.1);
        o.elevation = chance(0.7) ? 0.0 : uniform(-20, 20);
        // Where the outline sits: near the origin, or far out as in drawings in millimetres.
        const double scale = f == Family::Degenerate && chance(0.3) ? 0.01 : chance(0.5) ? 100 : 3000;
        const double ox = chance(0.6) ? 0 : uniform(-2e6, 2e6), oy = chance(0.6) ? 0 : uniform(-2e6, 2e6);
        const int n = f == Family::Degenerate ? 1 + pick(6) : 3 + pick(12);
        if (f == Family::GridAndSlopes) {
            // Integer coordinates (shared heights, axis-parallel edges) and edges whose slope
            // lies at the one-degree limit of the parallel test.
            const double step = chance(0.5) ? 1 : 10;
            for (int i = 0; i < n; ++i) {
                double x = ox + step * pick(21), y = oy + step * pick(21);
                if (i > 0 && chance(0.3)) {
                    const Vertex& prev = o.verts.back();
                    const double len = uniform(5, 200);
                    const double slope = std::tan(0.017453292519943295) * (1 + uniform(-1e-6, 1e-6) * pick(3));
                    x = prev.x + (chance(0.5) ? len : -len);
                    y = prev.y + (chance(0.5) ? slope : -slope) * len;
                }
                o.verts.push_back({x, y, bulge(f)});
            }
            return o;
        }
        for (int i = 0; i < n; ++i) {
            // A star around the centre, sometimes with its order shuffled (self-crossing).
            const double a = 2 * M_PI * (i + uniform(0, 0.8)) / n, r = scale * uniform(0.3, 1.0);
            o.verts.push_back({ox + r * std::cos(a), oy + r * std::sin(a), bulge(f)});
        }
        if (chance(0.15)) std::shuffle(o.verts.begin(), o.verts.end(), rng());
        if (f == Family::Degenerate) {
            // Repeated vertices, vertices a hair apart, collinear runs, zero-area outlines.
            for (int k = 0; k < 3; ++k) {
                if (o.verts.empty() || !chance(0.5)) continue;
                Vertex v = o.verts[pick(int(o.verts.size()))];
                static const double hair[] = {0, 1e-11, 1e-10, 1.0000001e-10, 5e-10, 1e-6};
                v.x += hair[pick(std::size(hair))];
                o.verts.insert(o.verts.begin() + pick(int(o.verts.size()) + 1), v);
            }
            if (o.verts.size() >= 2 && chance(0.3)) {
                const Vertex a = o.verts[0], b = o.verts[1];
                o.verts.insert(o.verts.begin() + 1, {(a.x + b.x) / 2, (a.y + b.y) / 2, 0});
            }
            if (chance(0.2)) {
                for (Vertex& v : o.verts) v.y = oy;
            }
        }
        return o;
    }

    // A point where the answer is delicate, or anywhere near the outline.
    AcGePoint3d point(const Outline& o, AcDbPolyline* pl, double tol)
    {
        const double t = std::fabs(tol) > 0 ? std::fabs(tol) : 1.0;
        const Vertex& v = o.verts[pick(int(o.verts.size()))];
        AcGePoint3d p(v.x, v.y, o.elevation);
        switch (pick(8)) {
        case 0:  // on a vertex, or within about the tolerance of it
            p += direction() * band(t);
            break;
        case 1: {  // on a segment, or across the tolerance band from it
            const unsigned i = pick(int(pl->numVerts()));
            if (pl->segType(i) == AcDbPolyline::kLine) {
                AcGeLineSeg3d seg;
                pl->getLineSegAt(i, seg);
                p = seg.startPoint() + (seg.endPoint() - seg.startPoint()) * uniform(-0.05, 1.05);
                const AcGeVector3d d = seg.direction();
                p += AcGeVector3d(-d.y, d.x, 0) * band(t);
            } else if (pl->segType(i) == AcDbPolyline::kArc) {
                p = onArc(pl, i, t);
            }
            break;
        }
        case 2: {  // on an arc, at its top or bottom, or across its band
            for (int tries = 0; tries < 4; ++tries) {
                const unsigned i = pick(int(pl->numVerts()));
                if (pl->segType(i) == AcDbPolyline::kArc) {
                    p = onArc(pl, i, t);
                    break;
                }
            }
            break;
        }
        case 3:  // level with a vertex, anywhere along the ray's line
        case 4:
            p.x += uniform(-1.5, 1.5) * extent(o);
            p.y += chance(0.5) ? 0.0 : (chance(0.5) ? 1 : -1) * band(t);
            break;
        default: {  // anywhere around the outline
            double xlo = v.x, xhi = v.x, ylo = v.y, yhi = v.y;
            for (const Vertex& w : o.verts) {
                xlo = std::min(xlo, w.x), xhi = std::max(xhi, w.x);
                ylo = std::min(ylo, w.y), yhi = std::max(yhi, w.y);
            }
            const double pad = 0.2 * (xhi - xlo + yhi - ylo) + 2 * t;
            p.x = uniform(xlo - pad, xhi + pad);
            p.y = uniform(ylo - pad, yhi + pad);
            if (chance(0.1)) p.y = std::round(p.y);
        }
        }
        // Off the boundary's elevation: well off, or at the edge of the band.
        if (chance(0.15)) p.z = o.elevation + (chance(0.5) ? 1 : -1) * (chance(0.5) ? band(t) : uniform(0, 3 * t));
        return p;
    }

private:
    AcGeVector3d direction()
    {
        const double a = uniform(0, 2 * M_PI);
        return chance(0.3) ? AcGeVector3d(pick(3) - 1.0, pick(3) - 1.0, 0) : AcGeVector3d(std::cos(a), std::sin(a), 0);
    }

    // Zero, or a distance at, just inside or just outside the tolerance, or within a few of it.
    double band(double t)
    {
        switch (pick(7)) {
        case 0: return 0;
        case 1: return t;
        case 2: return t * (1 - 1e-12);
        case 3: return t * (1 + 1e-12);
        case 4: return std::nextafter(t, 0.0);
        case 5: return 2 * t;
        default: return uniform(0, 3 * t);
        }
    }

    static double extent(const Outline& o)
    {
        double lo = o.verts[0].x, hi = lo;
        for (const Vertex& w : o.verts) lo = std::min(lo, w.x), hi = std::max(hi, w.x);
        return std::max(hi - lo, 1.0);
    }

    AcGePoint3d onArc(AcDbPolyline* pl, unsigned i, double t)
    {
        AcGeCircArc3d arc;
        pl->getArcSegAt(i, arc);
        const AcGePoint3d c = arc.center();
        AcGePoint3d p;
        switch (pick(4)) {
        case 0: p = arc.evalPoint(uniform(arc.startAng(), arc.endAng())); break;
        case 1: p = arc.midPoint(); break;
        case 2: p = c + AcGeVector3d(0, chance(0.5) ? arc.radius() : -arc.radius(), 0); break;  // top or bottom
        default: p = arc.evalPoint(arc.startAng() - uniform(0, 0.2)); break;                   // just past its start
        }
        const AcGeVector3d radial = (p - c).normal();
        if (chance(0.5)) p += radial * ((chance(0.5) ? 1 : -1) * band(t));
        else if (chance(0.5)) p.y += (chance(0.5) ? 1 : -1) * band(t);
        return p;
    }
};

struct Tally {
    long cases = 0, inside = 0, on = 0, outside = 0, mismatches = 0;
    std::string first;
};

Tally run(Family family, unsigned seed)
{
    Generator g(seed);
    Tally tally;
    while (tally.cases < kCasesPerFamily) {
        const Outline o = g.outline(family);
        auto pl = build(o);
        const double tol = g.tolerance();
        const CRayBoundary prepared(pl.get());
        for (int k = 0; k < kPointsPerOutline && tally.cases < kCasesPerFamily; ++k, ++tally.cases) {
            const double pointTol = g.chance(0.9) ? tol : g.tolerance();
            const AcGePoint3d pt = g.point(o, pl.get(), pointTol);
            const int expected = vkref::IsPtInPolylineByRay(pl.get(), pt, pointTol);
            const int single = IsPtInPolylineByRay(pl.get(), pt, pointTol);
            const int many = prepared.Classify(pt, pointTol);
            (expected > 0 ? tally.inside : expected == 0 ? tally.on : tally.outside)++;
            if (single != expected || many != expected) {
                if (tally.mismatches++ == 0)
                    tally.first = "reference " + std::to_string(expected) + ", single " + std::to_string(single) +
                                  ", prepared " + std::to_string(many) + ": " + describe(o, pt, pointTol);
            }
        }
    }
    return tally;
}

// Every answer agrees, and the cases are spread over all three answers so that none of them
// is left untried.
void check(Family family, unsigned seed)
{
    const Tally t = run(family, seed);
    EXPECT_EQ(t.mismatches, 0) << t.first;
    EXPECT_GT(t.inside, t.cases / 20);
    EXPECT_GT(t.on, t.cases / 20);
    EXPECT_GT(t.outside, t.cases / 20);
}

}  // namespace

TEST(RayDifferentialTest, StarPolygons) { check(Family::Polygons, 11); }

TEST(RayDifferentialTest, GridCoordinatesAndOneDegreeSlopes) { check(Family::GridAndSlopes, 12); }

TEST(RayDifferentialTest, ArcsOfEveryBulge) { check(Family::Arcs, 13); }

TEST(RayDifferentialTest, DegenerateOutlines) { check(Family::Degenerate, 14); }

TEST(RayDifferentialTest, ANullPolylineAndCopiedOutlines)
{
    // A null polyline is outside for both; the prepared boundary keeps the outline as read.
    EXPECT_EQ(IsPtInPolylineByRay(nullptr, AcGePoint3d(0, 0, 0), 1.0), -1);
    EXPECT_EQ(CRayBoundary(nullptr).Classify(AcGePoint3d(0, 0, 0), 1.0), -1);
    auto pl = build({{{0, 0, 0}, {100, 0, 0}, {100, 100, 0}, {0, 100, 0}}, true, 0});
    const CRayBoundary prepared(pl.get());
    pl->setPointAt(2, AcGePoint2d(300, 300));
    EXPECT_EQ(prepared.Classify(AcGePoint3d(150, 150, 0), 1.0), -1);
    EXPECT_EQ(IsPtInPolylineByRay(pl.get(), AcGePoint3d(150, 150, 0), 1.0), 1);
}

TEST(RayDifferentialTest, ValuesBeyondTheQuickRangeAgree)
{
    // Huge or non-finite values take the full test throughout.
    const double huge = 1e150, nan = std::nan("");
    auto pl = build({{{0, 0, 0}, {huge, 0, 0}, {huge, huge, 0.5}, {0, huge, 0}}, true, 0});
    for (const AcGePoint3d& pt : {AcGePoint3d(huge / 2, huge / 2, 0), AcGePoint3d(nan, 0, 0), AcGePoint3d(-1, 5, 0),
                                  AcGePoint3d(1e120, 1e120, 0), AcGePoint3d(5, 5, HUGE_VAL)})
        for (double tol : {1.0, nan, HUGE_VAL, -0.0})
            EXPECT_EQ(IsPtInPolylineByRay(pl.get(), pt, tol), vkref::IsPtInPolylineByRay(pl.get(), pt, tol))
                << pt.x << " " << pt.y << " " << pt.z << " tol " << tol;
}

TEST(RayDifferentialTest, EveryToleranceSignOnAGridOfPoints)
{
    // A negative tolerance finds no arc crossing and no point on the outline, a zero one no
    // crossing at all; a grid over an outline with both kinds of side, at every height.
    auto pl = build({{{0, 0, 0}, {100, 0, 1}, {100, 100, 0}, {0, 100, -0.5}}, true, 0});
    long checked = 0;
    for (double tol : {-1.0, 0.0, 1.0, 3.0})
        for (double y = -60; y <= 160; y += 0.5)
            for (double x = -60; x <= 200; x += 7.25) {
                const AcGePoint3d pt(x, y, 0);
                ASSERT_EQ(IsPtInPolylineByRay(pl.get(), pt, tol), vkref::IsPtInPolylineByRay(pl.get(), pt, tol))
                    << x << " " << y << " tol " << tol;
                ++checked;
            }
    EXPECT_EQ(checked, 4 * 441 * 36);
}

TEST(RayDifferentialTest, AFlatArcMetNearItsTopIsATouch)
{
    // A circle of radius 1e7 whose top is the origin; the arc runs counter-clockwise over the
    // top from 0.5 below it on the right to 8 below it on the left. The ray 3 below the top
    // meets it 0.00077 radians from the top, which the test takes for a tangential touch.
    const double R = 1e7, phiA = std::acos(1 - 0.5 / R), phiB = std::acos(1 - 8 / R);
    const double bulge = std::tan((phiA + phiB) / 4);
    const Vertex a{R * std::sin(phiA), R * std::cos(phiA) - R, bulge}, b{-R * std::sin(phiB), R * std::cos(phiB) - R, 0};
    auto pl = build({{a, b, {0, -100, 0}}, true, 0});
    for (double x : {0.0, -3000.0, 3000.0, 6000.0}) {
        const AcGePoint3d pt(x, -3, 0);
        EXPECT_EQ(IsPtInPolylineByRay(pl.get(), pt, 1.0), vkref::IsPtInPolylineByRay(pl.get(), pt, 1.0)) << x;
    }
}
