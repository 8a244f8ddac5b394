// Point and curve relations to a boundary on hand-made outlines.
#include <cmath>

#include "module/selection/PtInPolylineByRay.h"
#include "tests/module/selection/SelectionTestDb.h"

namespace {

int code(AcDbPolyline* boundary, double x1, double y1, double x2, double y2, double z = 0)
{
    AcDbLine line(AcGePoint3d(x1, y1, z), AcGePoint3d(x2, y2, z));
    return CManageStdRoom::IsCurveInPolyline(boundary, &line, 1.0);
}

int ray(AcDbPolyline* p, double x, double y, double z = 0)
{
    return IsPtInPolylineByRay(p, AcGePoint3d(x, y, z), 1.0);
}

}  // namespace

TEST(RayTest, InsideOnAndOutsideASquare)
{
    auto sq = SelectionTest::square();
    EXPECT_EQ(ray(sq.get(), 50, 50), 1);
    EXPECT_EQ(ray(sq.get(), 100, 50), 0);
    EXPECT_EQ(ray(sq.get(), 100.6, 50), 0);   // within the tolerance
    EXPECT_EQ(ray(sq.get(), 150, 50), -1);
    EXPECT_EQ(ray(sq.get(), -50, 50), -1);
    EXPECT_EQ(ray(sq.get(), 50, 100), 0);     // on a horizontal edge
    EXPECT_EQ(ray(sq.get(), 150, 100), -1);   // level with it, outside
    EXPECT_EQ(ray(sq.get(), 50, 99), 0);
    EXPECT_EQ(ray(nullptr, 50, 50), -1);
    AcDbPolyline empty;
    EXPECT_EQ(ray(&empty, 0, 0), -1);
}

TEST(RayTest, VerticesCountAtTheUpperEndOfAnEdge)
{
    // A peak met by the ray counts twice, so a point beside it stays outside.
    auto tri = SelectionTest::pline({{0, 0}, {100, 0}, {50, 100}});
    EXPECT_EQ(ray(tri.get(), 200, 100), -1);
    EXPECT_EQ(ray(tri.get(), 60, 50), 1);
    // A notch the outline passes straight through counts once.
    auto notch = SelectionTest::pline({{0, 0}, {100, 0}, {100, 100}, {0, 100}, {50, 50}});
    EXPECT_EQ(ray(notch.get(), 80, 50), 1);
    EXPECT_EQ(ray(notch.get(), 20, 50), -1);
}

TEST(RayTest, AVertexPassedAtExactlyTheToleranceIsNotMet)
{
    // From (0, 6), one tolerance above the ray from (5, 5), the outline runs three quarters of
    // a circle about (-5, 6) upward and round; the ray crosses that arc once, far left.
    // A vertex met counts the arc by its midpoint (above it) as no crossing: that happens only
    // closer than the tolerance.
    auto p = SelectionTest::pline({{0, 6, 1 + std::sqrt(2.0)}, {-5, 1}, {20, 1}, {20, 20}, {0, 20}});
    EXPECT_EQ(ray(p.get(), 5, 5), 1);
    EXPECT_EQ(ray(p.get(), 5, 5.5), -1);
}

TEST(RayTest, ArcsBulgingOutward)
{
    // The right side is a half circle through (150, 50).
    auto p = SelectionTest::pline({{0, 0}, {100, 0, 1}, {100, 100}, {0, 100}});
    EXPECT_EQ(ray(p.get(), 120, 50), 1);
    EXPECT_EQ(ray(p.get(), 149.5, 50), 0);
    EXPECT_EQ(ray(p.get(), 160, 50), -1);
    EXPECT_EQ(ray(p.get(), 130, 80), 1);
}

TEST(RayTest, ArcThroughBothEndsIsSkippedAndATangentAddsNothing)
{
    // A half circle on top from (100, 50) to (0, 50) through (50, 100).
    auto p = SelectionTest::pline({{0, 0}, {100, 0}, {100, 50, 1}, {0, 50}});
    EXPECT_EQ(ray(p.get(), 150, 50), -1);  // through both ends of the arc
    EXPECT_EQ(ray(p.get(), 50, 50), 1);
    EXPECT_EQ(ray(p.get(), 50, 80), 1);
    EXPECT_EQ(ray(p.get(), 150, 100), -1);  // grazes the top of the arc
}

TEST(RayTest, WorksInThreeDimensions)
{
    auto sq = SelectionTest::pline({{0, 0}, {100, 0}, {100, 100}, {0, 100}}, 10);
    EXPECT_EQ(ray(sq.get(), 50, 50, 10), 1);
    EXPECT_EQ(ray(sq.get(), 100, 50, 10), 0);
    EXPECT_EQ(ray(sq.get(), 50, 50, 0), -1);
    EXPECT_EQ(ray(sq.get(), 100, 50, 0), -1);
}

TEST(CurveRelationTest, EndsWithoutIntersection)
{
    auto sq = SelectionTest::square();
    EXPECT_EQ(code(sq.get(), 20, 20, 80, 80), 1);
    EXPECT_EQ(code(sq.get(), 0, 20, 0, 80), 0);
    EXPECT_EQ(code(sq.get(), 0, 50, 50, 50), 4);
    EXPECT_EQ(code(sq.get(), 50, 50, 100, 50), 4);
    EXPECT_EQ(code(sq.get(), 0, 50, -50, 50), 3);
    EXPECT_EQ(code(sq.get(), -50, 50, -20, 50), -1);
    // Crossing a side other than the first is left to the ends: -1.
    EXPECT_EQ(code(sq.get(), 50, 50, 150, 50), -1);
    EXPECT_EQ(code(sq.get(), 50, 50, 50, 150), -1);
    EXPECT_EQ(code(nullptr, 0, 0, 1, 1), -1);
    EXPECT_EQ(CManageStdRoom::IsCurveInPolyline(sq.get(), nullptr, 1.0), -1);
}

TEST(CurveRelationTest, ChordIsTakenOnThePlan)
{
    auto sq = SelectionTest::square();
    // The chord is flat, but the ends are classified where they are.
    EXPECT_EQ(code(sq.get(), 20, 20, 80, 80, 50), -1);
    EXPECT_EQ(code(sq.get(), 20, 20, 80, 80, 0.5), 1);
}

TEST(CurveRelationTest, CrossingTheFirstSide)
{
    auto sq = SelectionTest::square();
    EXPECT_EQ(code(sq.get(), 50, 50, 50, -50), 2);
    EXPECT_EQ(code(sq.get(), 30, -50, 30, 150), 2);
    // The meeting point next to an end: that end decides.
    EXPECT_EQ(code(sq.get(), 50, 0.5, 50, 50), 4);
    EXPECT_EQ(code(sq.get(), 50, 50, 50, -0.5), 4);
}

TEST(CurveRelationTest, GrazingTheFirstSideCountsAsInside)
{
    auto sq = SelectionTest::square();
    // Just beyond the right side: one offset misses the outline.
    EXPECT_EQ(code(sq.get(), 100.5, -50, 100.5, 50), 5);
}

TEST(CurveRelationTest, TwoPointsOnAnArcFirstSide)
{
    // A circle of radius 50 about (50, 0) whose first segment is the lower half.
    auto circle = SelectionTest::pline({{0, 0, 1}, {100, 0, 1}});
    EXPECT_EQ(code(circle.get(), -20, 0, 120, 0), 5);
    EXPECT_EQ(code(circle.get(), 50, -10, 50, 10), 1);
    EXPECT_EQ(code(circle.get(), 50, -20, 50, -80), 2);
}

TEST(RayTest, APreparedBoundaryKeepsTheOutlineAsReadWhileTheToolkitRereadsAChangedOne)
{
    EXPECT_EQ(CRayBoundary(nullptr).Classify(AcGePoint3d(0, 0, 0), 1.0), -1);
    auto sq = SelectionTest::square();
    const CRayBoundary prepared(sq.get());
    const AcGePoint3d p(150, 150, 0);
    EXPECT_EQ(VKToolKit::IsPtInPolyline(sq.get(), p, 1.0), -1);
    sq->setPointAt(2, AcGePoint2d(300, 300));
    EXPECT_EQ(prepared.Classify(p, 1.0), -1);
    EXPECT_EQ(ray(sq.get(), 150, 150), 1);
    EXPECT_EQ(VKToolKit::IsPtInPolyline(sq.get(), p, 1.0), 1) << "an outline changed in place is read again";
}

TEST(RayTest, AFlatArcMetNearItsTopIsATouchAndHugeValuesTakeTheFullTest)
{
    // A circle of radius 1e7 whose top is the origin; the arc runs counter-clockwise over the
    // top from 0.5 below it on the right to 8 below it on the left. The ray 3 below the top
    // meets it 0.00077 radians from the top, which the test takes for a tangential touch.
    const double R = 1e7, phiA = std::acos(1 - 0.5 / R), phiB = std::acos(1 - 8 / R);
    auto flat = SelectionTest::pline({{R * std::sin(phiA), R * std::cos(phiA) - R, std::tan((phiA + phiB) / 4)},
                                      {-R * std::sin(phiB), R * std::cos(phiB) - R},
                                      {0, -100}});
    const int want[] = {-1, -1, -1, 1};
    int k = 0;
    for (double x : {0.0, -3000.0, 3000.0, 6000.0}) EXPECT_EQ(IsPtInPolylineByRay(flat.get(), AcGePoint3d(x, -3, 0), 1.0), want[k++]) << x;
    // Beyond the range of the quick decisions, as the full computation answers.
    const double huge = 1e150, nan = std::nan("");
    auto big = SelectionTest::pline({{0, 0}, {huge, 0}, {huge, huge, 0.5}, {0, huge}});
    const struct {
        AcGePoint3d pt;
        double tol;
        int want;
    } cases[] = {{{huge / 2, huge / 2, 0}, 1.0, -1}, {{huge / 2, huge / 2, 0}, HUGE_VAL, 0}, {{nan, 0, 0}, HUGE_VAL, -1},
                 {{-1, 5, 0}, HUGE_VAL, 0},         {{-1, 5, 0}, nan, -1},                  {{5, 5, HUGE_VAL}, -0.0, -1},
                 {{1e120, 1e120, 0}, 1.0, -1}};
    for (const auto& c : cases)
        EXPECT_EQ(IsPtInPolylineByRay(big.get(), c.pt, c.tol), c.want) << c.pt.x << " " << c.pt.y << " " << c.pt.z << " tol " << c.tol;
}
