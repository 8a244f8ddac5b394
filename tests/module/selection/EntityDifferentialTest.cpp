// The per-entity decision and its parts against the reference (the code before the chord and
// the toolkit's point test were reworked) on seeded random boundaries, points, chords and
// entities, chosen where the answer is delicate: on vertices, edges, arcs and their circles,
// across the tolerance band, level with vertices, on the chords of arcs, on the first side.
// Both must agree on every case.
#include <gtest/gtest.h>

#include <algorithm>
#include <bitset>
#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "tests/module/selection/SelectionTestDb.h"
#include "tests/support/EntityIsInPolylineReference.h"
#include "tests/support/RandomCases.h"

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr int kRuns = 1;  // the sanitizers make both some ten times slower
#else
constexpr int kRuns = 6;
#endif

class Gen : public vktest::RandomCases {
public:
    using RandomCases::RandomCases;

    double bulge()
    {
        if (chance(0.6)) return 0;
        static const double special[] = {1.0, -1.0, 1e-12, -2e-12, 1e-4, -1e-4, 1.0001e-4, 1e-6, 5.0, -3.0, 1e-9, 1e7};
        if (chance(0.25)) return special[pick(std::size(special))];
        return uniform(-2.0, 2.0);
    }

    // A star around a centre, sometimes shuffled (self-crossing), far out, open or raised.
    void fill(AcDbPolyline& p)
    {
        const double scale = chance(0.5) ? 100 : 3000;
        const double ox = chance(0.6) ? 0 : uniform(-2e6, 2e6), oy = chance(0.6) ? 0 : uniform(-2e6, 2e6);
        const int n = 2 + pick(13);
        std::vector<AcGePoint2d> pts;
        for (int i = 0; i < n; ++i) {
            const double a = 2 * M_PI * (i + uniform(0, 0.8)) / n, r = scale * uniform(0.3, 1.0);
            AcGePoint2d q(ox + r * std::cos(a), oy + r * std::sin(a));
            if (chance(0.1)) q = AcGePoint2d(std::round(q.x / 10) * 10, std::round(q.y / 10) * 10);  // shared heights
            pts.push_back(q);
        }
        if (chance(0.15)) std::shuffle(pts.begin(), pts.end(), rng());
        if (chance(0.1)) pts.insert(pts.begin() + pick(n), pts[pick(n)]);  // a repeated vertex
        for (unsigned i = 0; i < pts.size(); ++i) p.addVertexAt(i, pts[i], bulge());
        p.setClosed(!chance(0.1));
        if (chance(0.2)) p.setElevation(uniform(-20, 20));
    }

    // A point where the answer is delicate, or anywhere around the outline.
    AcGePoint3d point(const AcDbPolyline& p, double tol)
    {
        const unsigned n = p.numVerts();
        const double z = chance(0.7) ? p.elevation() : uniform(-30, 30);
        AcGePoint2d a, b;
        const unsigned i = pick(n);
        p.getPointAt(i, a);
        p.getPointAt((i + 1) % n, b);
        const double t = std::fabs(tol);
        const double dir = uniform(0, 2 * M_PI);
        switch (pick(9)) {
        case 0: return AcGePoint3d(a.x, a.y, z);  // on a vertex
        case 1: {                                // on the chord of a side (the side itself when straight)
            const double u = uniform(0, 1);
            return AcGePoint3d(a.x + u * (b.x - a.x), a.y + u * (b.y - a.y), z);
        }
        case 2: {  // across the tolerance band of a vertex
            const double d = t * (1 + uniform(-1, 1) * (chance(0.5) ? 1e-12 : 1e-3));
            return AcGePoint3d(a.x + d * std::cos(dir), a.y + d * std::sin(dir), z);
        }
        case 3: {  // on or near the circle of an arc side
            AcGeCircArc3d arc;
            if (p.getArcSegAt(i, arc) != Acad::eOk) break;
            const double r = arc.radius() + (chance(0.5) ? 0 : t * uniform(-1.5, 1.5));
            return AcGePoint3d(arc.center().x + r * std::cos(dir), arc.center().y + r * std::sin(dir), z);
        }
        case 4: {  // level with a vertex
            double lo = 0, hi = 0;
            bounds(p, lo, hi);
            return AcGePoint3d(uniform(lo, hi), a.y, z);
        }
        case 5: {  // off a side by about the tolerance
            const double u = uniform(0, 1), len = std::hypot(b.x - a.x, b.y - a.y);
            if (len == 0) break;
            const double off = t * (chance(0.5) ? 1.0 : uniform(0, 3)) * (chance(0.5) ? 1 : -1);
            return AcGePoint3d(a.x + u * (b.x - a.x) - off * (b.y - a.y) / len,
                               a.y + u * (b.y - a.y) + off * (b.x - a.x) / len, z);
        }
        default: break;
        }
        double lo = 0, hi = 0;
        bounds(p, lo, hi);
        AcGePoint2d c;
        p.getPointAt(0, c);
        const double span = std::max(hi - lo, 1.0);
        return AcGePoint3d(c.x + uniform(-span, span), c.y + uniform(-span, span), z);
    }

private:
    static void bounds(const AcDbPolyline& p, double& lo, double& hi)
    {
        lo = HUGE_VAL, hi = -HUGE_VAL;
        for (unsigned k = 0; k < p.numVerts(); ++k) {
            AcGePoint2d v;
            p.getPointAt(k, v);
            lo = std::min(lo, v.x), hi = std::max(hi, v.x);
        }
    }
};

std::string describe(const AcDbPolyline& p, const AcGePoint3d& a, const AcGePoint3d& b, double tol)
{
    char buf[320];
    std::snprintf(buf, sizeof buf, "%s elevation %.17g tol %.17g points (%.17g, %.17g, %.17g) (%.17g, %.17g, %.17g):",
                  p.isClosed() ? "closed" : "open", p.elevation(), tol, a.x, a.y, a.z, b.x, b.y, b.z);
    std::string s = buf;
    for (unsigned i = 0; i < p.numVerts(); ++i) {
        AcGePoint2d v;
        double bulge = 0;
        p.getPointAt(i, v);
        p.getBulgeAt(i, bulge);
        std::snprintf(buf, sizeof buf, " (%.17g, %.17g, %.17g)", v.x, v.y, bulge);
        s += buf;
    }
    return s;
}

TEST(EntityDifferentialTest, ToolkitPointTest)
{
    Gen g(21);
    std::map<int, int> answers;
    int failures = 0;
    for (int k = 0; k < 4000 * kRuns && failures < 5; ++k) {
        AcDbPolyline p;
        g.fill(p);
        for (int j = 0; j < 40; ++j) {
            // The toolkit keeps the outline it read for the next point: an outline changed in
            // place must be read again.
            if (j == 20 && g.chance(0.5)) {
                AcGePoint2d v;
                const unsigned i = g.pick(p.numVerts());
                p.getPointAt(i, v);
                if (g.chance(0.5))
                    p.setPointAt(i, AcGePoint2d(v.x + g.uniform(-50, 50), v.y + g.uniform(-50, 50)));
                else
                    p.setBulgeAt(i, g.bulge());
                if (g.chance(0.2)) p.setClosed(!p.isClosed());
            }
            const double tol = g.tolerance();
            const AcGePoint3d pt = g.point(p, tol);
            const int want = vkref::ToolkitPtInPolyline(&p, pt, tol), got = VKToolKit::IsPtInPolyline(&p, pt, tol);
            ++answers[want];
            if (got != want && ++failures <= 5) ADD_FAILURE() << got << " != " << want << " for " << describe(p, pt, pt, tol);
        }
    }
    // Every answer is reached often: the cases are not all of one kind.
    for (int a : {-1, 0, 1}) EXPECT_GT(answers[a], 4000 * kRuns) << "answer " << a;
}

TEST(EntityDifferentialTest, IntersectionsOfFirstSegments)
{
    Gen g(22);
    int failures = 0, found = 0;
    for (int k = 0; k < 20000 * kRuns && failures < 5; ++k) {
        AcDbPolyline first, second;
        g.fill(first);
        const double tol = g.tolerance();
        const AcGePoint3d a = g.point(first, tol), b = g.chance(0.3) ? a : g.point(first, tol);
        if (g.chance(0.8)) {  // a chord, as the curve test builds it
            second.addVertexAt(0, a.convert2d(AcGePlane::kXYPlane), 0.0, -1.0, -1.0);
            second.addVertexAt(1, b.convert2d(AcGePlane::kXYPlane), 0.0, -1.0, -1.0);
        } else {
            g.fill(second);
        }
        AcArray<AcGePoint3d> want, got;
        want.append(AcGePoint3d(1, 2, 3));  // earlier contents stay
        got.append(AcGePoint3d(1, 2, 3));
        vkref::GetPolylineInterePoint(&first, &second, want);
        CManageStdRoom::GetPolylineInterePoint(&first, &second, got);
        found += want.length() > 1;
        bool same = want.length() == got.length();
        for (int i = 0; same && i < want.length(); ++i) same = want[i] == got[i] && want[i].z == got[i].z;
        if (!same && ++failures <= 5) ADD_FAILURE() << "points differ for " << describe(first, a, b, tol);
    }
    EXPECT_GT(found, 2000 * kRuns);
}

// The curve relation code, for lines, arcs and polylines whose ends fall where it is delicate.
TEST(EntityDifferentialTest, CurveRelationCodes)
{
    Gen g(23);
    std::map<int, int> codes;
    int failures = 0;
    for (int k = 0; k < 2500 * kRuns && failures < 5; ++k) {
        AcDbPolyline boundary;
        g.fill(boundary);
        for (int j = 0; j < 12; ++j) {
            const double tol = g.chance(0.9) ? 1.0 : g.tolerance();
            const AcGePoint3d a = g.point(boundary, tol);
            AcGePoint3d b = g.chance(0.1) ? a : g.point(boundary, tol);
            if (g.chance(0.2)) b = a + AcGeVector3d(g.uniform(-3, 3), g.uniform(-3, 3), 0);  // short
            std::unique_ptr<AcDbCurve> curve;
            const int kind = g.pick(10);
            if (kind == 0) {  // an arc whose ends are near a and b
                const double r = g.uniform(1, 200), from = g.uniform(0, 2 * M_PI);
                const AcGePoint3d c(a.x - r * std::cos(from), a.y - r * std::sin(from), a.z);
                curve = std::make_unique<AcDbArc>(c, r, from, from + g.uniform(0.01, 6));
            } else if (kind == 1) {
                auto pl = std::make_unique<AcDbPolyline>();
                pl->addVertexAt(0, a.convert2d(AcGePlane::kXYPlane), g.bulge());
                pl->addVertexAt(1, b.convert2d(AcGePlane::kXYPlane), 0);
                curve = std::move(pl);
            } else {
                curve = std::make_unique<AcDbLine>(a, b);
            }
            const int want = vkref::IsCurveInPolyline(&boundary, curve.get(), tol);
            const int got = CManageStdRoom::IsCurveInPolyline(&boundary, curve.get(), tol);
            ++codes[want];
            if (got != want && ++failures <= 5)
                ADD_FAILURE() << got << " != " << want << " (curve kind " << kind << ") for " << describe(boundary, a, b, tol);
        }
    }
    for (int c : {-1, 0, 1, 2, 3, 4, 5}) EXPECT_GT(codes[c], 20 * kRuns) << "code " << c;
}

class EntityDifferential : public SelectionTest {};

// Entities of every kind the decision tells apart, around rooms and construction segments,
// under random discipline filters.
TEST_F(EntityDifferential, EveryEntityKind)
{
    Gen g(24);
    static const char16_t* paths[] = {u"给排水\\管道", u"电气\\线", u"暖通\\风管", u"消防\\喷淋", u"弱电\\线",
                                      u"其他\\设备", u""};
    static const char16_t* layers[] = {u"VK_建筑_SYS_墙", u"给排水", u"0"};
    const AcDbObjectId block = vktest::addBlockDefinition(*db, u"COLUMN");
    ASSERT_FALSE(block.isNull());
    vktest::appendTo(block, new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(500, 0, 0)));

    int failures = 0, inside = 0, cases = 0;
    for (int r = 0; r < 12 * kRuns && failures < 5; ++r) {
        std::unique_ptr<AcDbPolyline> outline;
        const int boundaryKind = g.pick(8);
        if (boundaryKind == 0)
            outline = std::make_unique<AcDbVkConstrucSegment>();
        else if (boundaryKind == 1)
            outline = std::make_unique<AcDbPolyline>();  // not a boundary: always outside
        else
            outline = std::make_unique<AcDbVkRoom>();
        g.fill(*outline);
        AcDbPolyline copy;  // for drawing the points
        for (unsigned i = 0; i < outline->numVerts(); ++i) {
            AcGePoint2d v;
            double bulge = 0;
            outline->getPointAt(i, v);
            outline->getBulgeAt(i, bulge);
            copy.addVertexAt(i, v, bulge);
        }
        copy.setClosed(outline->isClosed());
        copy.setElevation(outline->elevation());
        AcDbObjectId boundary = append(outline.release(), u"VK_建筑_SYS_房间");
        for (int j = 0; j < 400; ++j) {
            const AcGePoint3d a = g.point(copy, 1.0);
            AcGePoint3d b = g.chance(0.1) ? a : g.point(copy, 1.0);
            if (g.chance(0.3)) b = a + AcGeVector3d(g.uniform(-3, 3), g.uniform(-3, 3), g.uniform(-1, 1));
            const char16_t* path = paths[g.pick(std::size(paths))];
            AcDbEntity* ent = nullptr;
            VkQsEntity* comp = nullptr;
            const int kind = g.pick(11);
            switch (kind) {
            case 0: comp = new VkQsPipe(a, b); break;
            case 1: comp = new VkQsNode(a); break;
            case 2: comp = new VkQsPipeFitting(a); break;
            case 3: comp = new VkQsElementComponent(VkQsCore::Product{u"泵", a, 0, 600, 400}); break;
            case 4: comp = new VkQsSprinkler(VkQsCommon::Placement3D(a, AcGeVector3d::kXAxis)); break;
            case 5: comp = new VkQsDlpEnt(a, b, g.uniform(0, 5)); break;
            case 6: comp = g.chance(0.5) ? static_cast<VkQsEntity*>(new VkQsMainPipe(a, b)) : new VkQsMainLeadCon(a, b); break;
            case 7: ent = new AcDbLine(a, b); break;
            case 8: ent = new AcDbBlockReference(a, block); break;
            case 9: ent = new AcDbCircle(a, g.uniform(0.1, 50)); break;
            default: comp = new VkQsPipe(a, a); break;  // coincident ends
            }
            if (comp) {
                comp->SetSmallTypeNamePath(path);
                if (g.chance(0.05)) comp->SetKPYX(true);
                ent = comp;
            }
            AcDbObjectId id = append(ent, layers[g.pick(std::size(layers))]);
            for (int f = 0; f < 2; ++f) {
                std::bitset<6> filter(g.chance(0.5) ? 0x3f : g.pick(64));
                const bool want = vkref::EntityIsInPolyline(boundary, id, filter, true);
                const bool got = CManageStdRoom::EntityIsInPolyline(boundary, id, filter, f == 0);
                ++cases;
                inside += want;
                if (got != want && ++failures <= 5)
                    ADD_FAILURE() << got << " != " << want << " for entity kind " << kind << " filter "
                                  << filter.to_string() << " on " << describe(copy, a, b, 1.0);
            }
        }
    }
    EXPECT_GT(inside, cases / 20);
    EXPECT_LT(inside, cases - cases / 20);
}

}  // namespace
