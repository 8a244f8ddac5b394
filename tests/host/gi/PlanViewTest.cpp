// The window's plan: only what the view shows is collected, and a dense plan (hair lines drawn
// straight into the pixels) puts its lines where the smooth one does.
#include <gtest/gtest.h>

#include "host/db/AcDb.h"
#include "host/gi/GiPicture.h"
#include "tests/support/TestDrawing.h"

namespace {

vkgi::Primitive Line(double x1, double y1, double x2, double y2, int colour)
{
    vkgi::Primitive p;
    p.points = {AcGePoint3d(x1, y1, 0), AcGePoint3d(x2, y2, 0)};
    p.color = colour;
    return p;
}

}  // namespace

TEST(PlanView, OnlyEntitiesInTheWindowAreCollected)
{
    AcDbDatabase db;
    vktest::appendToModelSpace(db, new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(10, 0, 0)));
    vktest::appendToModelSpace(db, new AcDbLine(AcGePoint3d(500, 500, 0), AcGePoint3d(510, 500, 0)));
    std::vector<vkgi::Primitive> prims;
    ASSERT_EQ(vkgi::CollectModelSpaceWindow(&db, -5, -5, 20, 5, prims), Acad::eOk);
    ASSERT_EQ(prims.size(), 1u);
    EXPECT_EQ(prims[0].points.front(), AcGePoint3d(0, 0, 0));
}

TEST(PlanView, ADensePlanDrawsItsHairLinesWhereTheSmoothOneDoes)
{
    vkgi::View view;
    view.width = 120, view.height = 100, view.fit = false;
    view.x1 = 0, view.y1 = 0, view.x2 = 120, view.y2 = 100;
    // A red line along y = 30 and a blue one down x = 90; thousands of lines out of view make it dense.
    std::vector<vkgi::Primitive> prims = {Line(10, 30, 110, 30, 1), Line(90, 5, 90, 95, 5)};
    for (int i = 0; i < 20000; ++i) prims.push_back(Line(1000 + i, 1000, 1001 + i, 1001, 3));
    std::vector<unsigned> px;
    ASSERT_TRUE(vkgi::RenderPixels(prims, view, px));
    EXPECT_EQ(px[size_t(70) * 120 + 50], 0xE50000u) << "the red line, 30 up from the bottom";
    EXPECT_EQ(px[size_t(50) * 120 + 90], 0x0000E5u) << "the blue line";
    EXPECT_EQ(px[size_t(30) * 120 + 50], 0xFFFFFFu) << "nothing mirrored";
    EXPECT_EQ(px[size_t(70) * 120 + 5], 0xFFFFFFu) << "the red line starts at x 10";
}
