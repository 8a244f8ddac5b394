#include <gtest/gtest.h>

#include <memory>
#include <numbers>

#include "host/db/AcDb.h"
#include "siblings/services/CalMethod.h"
#include "siblings/services/VKToolKit.h"

namespace {

struct V { double x, y, bulge; };

std::unique_ptr<AcDbPolyline> Poly(std::initializer_list<V> verts, bool closed = true, double elevation = 0)
{
    auto pl = std::make_unique<AcDbPolyline>();
    unsigned i = 0;
    for (const V& v : verts) pl->addVertexAt(i++, AcGePoint2d(v.x, v.y), v.bulge);
    pl->setClosed(closed);
    pl->setElevation(elevation);
    return pl;
}

int Classify(const std::unique_ptr<AcDbPolyline>& pl, double x, double y, double tol = 0.01)
{
    return VKToolKit::IsPtInPolyline(pl.get(), AcGePoint3d(x, y, 0), tol);
}

// A 10 x 10 square whose top edge bulges out into a half circle up to y = 15.
TEST(PointInPolyline, AnOutwardArcEdgeCountsItsWholeBulgeAsInside)
{
    auto pl = Poly({{0, 0, 0}, {10, 0, 0}, {10, 10, 1}, {0, 10, 0}});
    EXPECT_GT(Classify(pl, 5, 5), 0);
    EXPECT_GT(Classify(pl, 5, 14), 0);     // in the bulge, above the chord
    EXPECT_GT(Classify(pl, 1.5, 12), 0);   // near the arc's side
    EXPECT_EQ(Classify(pl, 5, 15), 0);     // the arc's top
    EXPECT_EQ(Classify(pl, 10, 10), 0);    // a vertex
    EXPECT_LT(Classify(pl, 5, 16), 0);
    EXPECT_LT(Classify(pl, 0.5, 14.5), 0);  // inside the arc's bounding box, outside the circle
    EXPECT_LT(Classify(pl, -5, 10), 0);    // level with the chord's ends
    EXPECT_LT(Classify(pl, 15, 10), 0);
    EXPECT_GT(Classify(pl, 5, 10), 0);     // on the chord, which is not outline
}

TEST(PointInPolyline, AnInwardArcBitesOutOfTheArea)
{
    // The bottom edge bulges up into the square, to y = 5.
    auto pl = Poly({{0, 0, -1}, {10, 0, 0}, {10, 10, 0}, {0, 10, 0}});
    EXPECT_LT(Classify(pl, 5, 1), 0);
    EXPECT_LT(Classify(pl, 5, 4.9), 0);
    EXPECT_EQ(Classify(pl, 5, 5), 0);
    EXPECT_GT(Classify(pl, 5, 5.1), 0);
    EXPECT_GT(Classify(pl, 0.2, 4), 0);     // the corner left beside the bite
    EXPECT_LT(Classify(pl, 0.5, 0.5), 0);   // still in the bite, near its end
    EXPECT_LT(Classify(pl, 5, -1), 0);
}

TEST(PointInPolyline, TheResultDoesNotDependOnTheDirectionOfTheOutline)
{
    auto ccw = Poly({{0, 0, 0}, {10, 0, 0}, {10, 10, 1}, {0, 10, -0.4}, {-3, 5, 0}});
    // The same outline run backwards: vertices reversed, each bulge moved and negated.
    auto cw = Poly({{-3, 5, 0.4}, {0, 10, -1}, {10, 10, 0}, {10, 0, 0}, {0, 0, 0}});
    for (double x = -4; x <= 11; x += 0.5)
        for (double y = -1; y <= 16; y += 0.5) {
            int a = Classify(ccw, x, y), b = Classify(cw, x, y);
            EXPECT_EQ((a > 0) - (a < 0), (b > 0) - (b < 0)) << x << "," << y;
        }
}

TEST(PointInPolyline, TheToleranceWidensTheOutlineOnBothSides)
{
    auto pl = Poly({{0, 0, 0}, {10, 0, 0}, {10, 10, 1}, {0, 10, 0}});
    EXPECT_EQ(Classify(pl, 5, 15.5, 1.0), 0);
    EXPECT_EQ(Classify(pl, 5, 14.5, 1.0), 0);
    EXPECT_LT(Classify(pl, 5, 15.5, 0.1), 0);
    EXPECT_GT(Classify(pl, 5, 14.5, 0.1), 0);
    EXPECT_EQ(Classify(pl, 10.5, 5, -1.0), 0);  // a negative tolerance counts by its size
    EXPECT_EQ(Classify(pl, 0, 5, 0), 0);        // exactly on, no tolerance
}

TEST(PointInPolyline, OnlyThePlanMatters)
{
    auto pl = Poly({{0, 0, 0}, {10, 0, 0}, {10, 10, 0}, {0, 10, 0}}, true, 300);
    EXPECT_GT(VKToolKit::IsPtInPolyline(pl.get(), AcGePoint3d(5, 5, 0), 1.0), 0);
    EXPECT_EQ(VKToolKit::IsPtInPolyline(pl.get(), AcGePoint3d(10, 5, -40), 1.0), 0);
    EXPECT_LT(VKToolKit::IsPtInPolyline(pl.get(), AcGePoint3d(12, 5, 300), 1.0), 0);
}

TEST(PointInPolyline, AnOpenPolylineIsClosedByAStraightSegmentAndDegenerateOnesAreOutside)
{
    auto open = Poly({{0, 0, 0}, {10, 0, 0}, {10, 10, 1}, {0, 10, 5}}, false);
    EXPECT_EQ(Classify(open, 0, 5), 0);    // the closing segment, straight whatever the last bulge
    EXPECT_GT(Classify(open, 5, 14), 0);
    EXPECT_LT(Classify(open, -1, 5), 0);
    EXPECT_EQ(VKToolKit::IsPtInPolyline(nullptr, AcGePoint3d(), 1.0), -1);
    auto one = Poly({{0, 0, 0}});
    EXPECT_EQ(Classify(one, 0, 0), -1);
    // A figure eight: both loops are inside.
    auto eight = Poly({{0, 0, 0}, {10, 10, 0}, {10, 0, 0}, {0, 10, 0}});
    EXPECT_GT(Classify(eight, 8, 5), 0);
    EXPECT_GT(Classify(eight, 2, 5), 0);
    EXPECT_LT(Classify(eight, 5, 8), 0);
}

TEST(CalMethodTest, MidPointIsHalfwayAlongAndAnglesAreUnsigned)
{
    AcGeCircArc3d arc = AcGeCircArc3d::fromBulge(AcGePoint3d(10, 10, 0), AcGePoint3d(0, 10, 0), 1);
    AcGePoint3d m = CalMethod::GetMidPoint(arc);
    EXPECT_NEAR(m.x, 5, 1e-9);
    EXPECT_NEAR(m.y, 15, 1e-9);
    m = CalMethod::GetMidPoint(AcGeLineSeg3d(AcGePoint3d(0, 0, 0), AcGePoint3d(4, 2, 6)));
    EXPECT_NEAR(m.distanceTo(AcGePoint3d(2, 1, 3)), 0, 1e-12);
    EXPECT_NEAR(CalMethod::GetInterAngle(AcGeVector3d(1, 0, 0), AcGeVector3d(0, -1, 0)), std::numbers::pi / 2, 1e-12);
    EXPECT_NEAR(CalMethod::GetInterAngle(AcGeVector3d(0, -1, 0), AcGeVector3d(1, 0, 0)), std::numbers::pi / 2, 1e-12);
    EXPECT_NEAR(CalMethod::GetInterAngle(AcGeVector3d(1, 0, 0), AcGeVector3d(-3, 0, 0)), std::numbers::pi, 1e-12);
    EXPECT_NEAR(CalMethod::GetInterAngle(AcGeVector3d(1, 1, 0), AcGeVector3d(5, 0, 0)), std::numbers::pi / 4, 1e-12);
    EXPECT_NEAR(CalMethod::GetInterAngle(AcGeVector3d(1e-9, 0, 0), AcGeVector3d(1e-9, 1e-18, 0)), 0, 1e-6);
    EXPECT_EQ(CalMethod::GetInterAngle(AcGeVector3d(0, 0, 0), AcGeVector3d(1, 0, 0)), 0);
}

}  // namespace
