// Plan pictures of what architects' plans hold: filled areas with their holes, pattern lines
// inside their boundary, dashes and line weights, curves drawn as curves, texts hung by their
// alignment.
#include <gtest/gtest.h>

#include "host/db/AcDb.h"
#include "host/gi/GiPicture.h"
#include "tests/support/TestDrawing.h"

namespace {

using vktest::appendToModelSpace;

bool Inked(const std::vector<unsigned>& px, int x, int y) { return px[size_t(y) * 100 + size_t(x)] != 0xFFFFFFu; }

// Inked pixels of row y (world y = 100 - y) between two columns.
int RowInk(const std::vector<unsigned>& px, int y, int x0, int x1)
{
    int n = 0;
    for (int x = x0; x <= x1; ++x) n += Inked(px, x, y);
    return n;
}

// World (0,0)-(100,100) onto 100x100 pixels.
std::vector<unsigned> Plan(AcDbDatabase& db, bool lineWeights = true)
{
    std::vector<vkgi::Primitive> prims;
    EXPECT_EQ(vkgi::CollectModelSpace(&db, prims), Acad::eOk);
    vkgi::View v;
    v.width = v.height = 100;
    v.fit = false;
    v.x1 = 0, v.y1 = 0, v.x2 = 100, v.y2 = 100;
    v.lineWeights = lineWeights;
    std::vector<unsigned> px;
    EXPECT_TRUE(vkgi::RenderPixels(prims, v, px));
    return px;
}

AcDbHatchLoop Square(double x0, double y0, double x1, double y1)
{
    AcDbHatchLoop l;
    l.vertices = {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
    l.bulges.assign(4, 0.0);
    return l;
}

}  // namespace

// A solid fill leaves its hole white; a pattern's lines lie inside its boundary only, in
// dashes, and not in its hole; a solid given in DXF's corner order is a square, not a bow tie.
TEST(PlanPicture, FillsKeepTheirHolesAndPatternsTheirBoundary)
{
    AcDbDatabase db;
    auto* solid = new AcDbHatch;
    solid->appendLoop(Square(5, 5, 45, 45));
    solid->appendLoop(Square(15, 15, 35, 35));
    appendToModelSpace(db, solid);
    auto* pattern = new AcDbHatch;
    pattern->appendLoop(Square(55, 55, 95, 95));
    pattern->appendLoop(Square(68, 68, 82, 82));
    AcDbHatchPatternLine lines;  // horizontal lines 4 apart, dashes of 6 with gaps of 4
    lines.offset = AcGeVector2d(0, 4);
    lines.base = AcGePoint2d(0, 1);
    lines.dashes = {6, -4};
    pattern->setPattern(AcDbHatch::kUserDefined, u"_USER", 0, 1, {lines});
    appendToModelSpace(db, pattern);
    appendToModelSpace(db, new AcDbSolid(AcGePoint3d(58, 8, 0), AcGePoint3d(92, 8, 0), AcGePoint3d(58, 42, 0),
                                         AcGePoint3d(92, 42, 0)));
    const std::vector<unsigned> px = Plan(db);
    EXPECT_TRUE(Inked(px, 62, 75) && Inked(px, 88, 75));  // the square's left and right edges, half way up
    EXPECT_TRUE(Inked(px, 10, 90));   // the ring
    EXPECT_FALSE(Inked(px, 25, 75));  // the hole
    EXPECT_FALSE(Inked(px, 50, 75));  // beside the fill
    // Pattern rows (world y = 57, 61, ...) are dashed within x 55..95; nothing outside.
    int bestRow = 0;
    for (int y = 5; y <= 45; ++y) bestRow = std::max(bestRow, RowInk(px, y, 56, 94));
    EXPECT_GT(bestRow, 20);
    EXPECT_LT(bestRow, 32);  // with gaps
    EXPECT_EQ(RowInk(px, 30, 0, 52) + RowInk(px, 30, 98, 99), 0);
    EXPECT_EQ(RowInk(px, 2, 50, 99), 0);
    for (int y = 20; y <= 30; ++y) EXPECT_EQ(RowInk(px, y, 70, 80), 0) << "row " << y << ", in the hole";
}

// A dashed linetype (from the drawing's table, through the layer) leaves gaps; a heavy line
// is drawn wider than a thin one, unless the picture draws weights off.
TEST(PlanPicture, DashesAndLineWeights)
{
    AcDbDatabase db;
    AcDbLinetypeTable* table = nullptr;
    ASSERT_EQ(db.getLinetypeTable(table, AcDb::kForWrite), Acad::eOk);
    auto* dashed = new AcDbLinetypeTableRecord;
    dashed->setName(u"DASHED");
    dashed->setDashes({10, -10});
    ASSERT_EQ(table->add(dashed), Acad::eOk);
    dashed->close();
    table->close();
    const AcDbObjectId axis = vktest::SetLayer(db, u"轴线", {.color = 1});
    AcDbLayerTableRecord* layer = nullptr;
    ASSERT_EQ(acdbOpenObject(layer, axis, AcDb::kForWrite), Acad::eOk);
    ASSERT_EQ(layer->setLinetype(u"DASHED"), Acad::eOk);
    layer->close();
    auto* centre = new AcDbLine(AcGePoint3d(0, 80, 0), AcGePoint3d(100, 80, 0));
    centre->setLayer(u"轴线");
    appendToModelSpace(db, centre);
    auto* heavy = new AcDbLine(AcGePoint3d(0, 50, 0), AcGePoint3d(100, 50, 0));
    heavy->setLineWeight(AcDb::kLnWt100);
    appendToModelSpace(db, heavy);
    appendToModelSpace(db, new AcDbLine(AcGePoint3d(0, 20, 0), AcGePoint3d(100, 20, 0)));
    const std::vector<unsigned> px = Plan(db);
    EXPECT_GT(RowInk(px, 20, 0, 99), 35);
    EXPECT_LT(RowInk(px, 20, 0, 99), 65);
    auto thickness = [&](const std::vector<unsigned>& p, int y) {
        int n = 0;
        for (int r = y - 5; r <= y + 5; ++r) n += Inked(p, 50, r);
        return n;
    };
    EXPECT_GE(thickness(px, 50), 3);
    EXPECT_LE(thickness(px, 80), 2);
    EXPECT_LE(thickness(Plan(db, false), 50), 2);
}

// A spline is its curve: the quadratic arch on (10,10), (50,90), (90,10) passes (50,50), not
// its frame's corner; an ellipse's half from 0 to pi is the upper half.
TEST(PlanPicture, SplinesAndEllipsesAreTheirCurves)
{
    AcDbDatabase db;
    auto* arch = new AcDbSpline;
    ASSERT_EQ(arch->setNurbsData({2, {0, 0, 0, 1, 1, 1}, {{10, 10, 0}, {50, 90, 0}, {90, 10, 0}}, {}}), Acad::eOk);
    appendToModelSpace(db, arch);
    auto* half = new AcDbEllipse;
    ASSERT_EQ(half->set(AcGePoint3d(50, 20, 0), AcGeVector3d(20, 0, 0), 0.5, 0, 3.141592653589793), Acad::eOk);
    appendToModelSpace(db, half);
    const std::vector<unsigned> px = Plan(db);
    EXPECT_TRUE(Inked(px, 50, 50));
    EXPECT_EQ(RowInk(px, 12, 40, 60), 0);  // the frame's corner at y 88
    EXPECT_TRUE(Inked(px, 50, 70));        // the ellipse's top at y 30
    EXPECT_EQ(RowInk(px, 90, 40, 60), 0);  // no lower half at y 10
}

// A block reference's attributes are drawn with it, but not the invisible ones.
TEST(PlanPicture, InvisibleAttributesAreNotDrawn)
{
    AcDbDatabase db;
    const AcDbObjectId block = vktest::addBlockDefinition(db, u"TAGGED");
    AcDbObjectPointer<AcDbBlockReference> ref(appendToModelSpace(db, new AcDbBlockReference(AcGePoint3d(0, 0, 0), block)),
                                              AcDb::kForWrite);
    ASSERT_TRUE(ref);
    for (int hidden = 0; hidden < 2; ++hidden) {
        auto* a = new AcDbAttribute;
        a->setPosition(AcGePoint3d(10 + 50 * hidden, 50, 0));
        a->setHeight(20);
        a->setTextString(u"HH");
        a->setAttributeFlags(hidden ? AcDbAttributeDefinition::kInvisible : 0);
        AcDbObjectId id;
        ASSERT_EQ(ref->appendAttribute(id, a), Acad::eOk);
        a->close();
    }
    ref.close();
    const std::vector<unsigned> px = Plan(db);
    int visible = 0, invisible = 0;
    for (int y = 25; y <= 50; ++y) visible += RowInk(px, y, 5, 45), invisible += RowInk(px, y, 55, 95);
    EXPECT_GT(visible, 100);
    EXPECT_EQ(invisible, 0);
}

// A block that holds itself twice would be drawn 2^32 times over; a reference draws at most a
// million entities of its nested blocks, so the picture ends, with what was drawn so far.
TEST(PlanPicture, ABlockHoldingItselfTwiceDrawsWithinBounds)
{
    AcDbDatabase db;
    const AcDbObjectId block = vktest::addBlockDefinition(db, u"TWICE");
    vktest::appendTo(block, new AcDbPoint(AcGePoint3d(0, 0, 0)));
    vktest::appendTo(block, new AcDbBlockReference(AcGePoint3d(1, 0, 0), block));
    vktest::appendTo(block, new AcDbBlockReference(AcGePoint3d(0, 1, 0), block));
    appendToModelSpace(db, new AcDbBlockReference(AcGePoint3d(0, 0, 0), block));
    std::vector<vkgi::Primitive> prims;
    ASSERT_EQ(vkgi::CollectModelSpace(&db, prims), Acad::eOk);
    EXPECT_GT(prims.size(), 100'000u);
    EXPECT_LE(prims.size(), 1'000'000u);
}
