// Plan pictures: what is drawn where, in which colour and width; texts in a Chinese font.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "host/db/AcDb.h"
#include "host/gi/GiPicture.h"
#include "tests/support/TestDrawing.h"

namespace {

using vktest::appendToModelSpace;

// Pixels that are not white, within a box of the picture.
int Ink(const std::vector<unsigned>& px, int w, int x0, int y0, int x1, int y1, unsigned only = 0)
{
    int n = 0;
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            unsigned c = px[size_t(y) * size_t(w) + size_t(x)];
            if (c != 0xFFFFFFu && (only == 0 || c == only)) ++n;
        }
    return n;
}

AcDbObjectId AddLayer(AcDbDatabase& db, const char16_t* name, int color, bool off, bool frozen)
{
    const AcDbObjectId id = vktest::SetLayer(db, name, {.color = color, .off = off, .frozen = frozen});
    EXPECT_FALSE(id.isNull());
    return id;
}

AcDbLine* LineOn(const char16_t* layer, double x0, double y0, double x1, double y1)
{
    auto* l = new AcDbLine(AcGePoint3d(x0, y0, 0), AcGePoint3d(x1, y1, 0));
    l->setLayer(layer);
    return l;
}

// The plan as pixels through a fixed window: world (0,0)-(100,100) onto 100x100 pixels.
std::vector<unsigned> Plan(AcDbDatabase& db)
{
    std::vector<vkgi::Primitive> prims;
    EXPECT_EQ(vkgi::CollectModelSpace(&db, prims), Acad::eOk);
    vkgi::View v;
    v.width = v.height = 100;
    v.fit = false;
    v.x1 = 0, v.y1 = 0, v.x2 = 100, v.y2 = 100;
    std::vector<unsigned> px;
    EXPECT_TRUE(vkgi::RenderPixels(prims, v, px));
    return px;
}

}  // namespace

TEST(Picture, LayersThatAreOffOrFrozenAreNotDrawnAndColoursComeFromTheLayer)
{
    AcDbDatabase db;
    AddLayer(db, u"红", 1, false, false);
    AddLayer(db, u"关", 3, true, false);
    AddLayer(db, u"冻", 3, false, true);
    appendToModelSpace(db, LineOn(u"红", 10, 20, 90, 20));  // y 20: picture row 80
    appendToModelSpace(db, LineOn(u"关", 10, 50, 90, 50));
    appendToModelSpace(db, LineOn(u"冻", 10, 70, 90, 70));
    const std::vector<unsigned> px = Plan(db);
    // Red where the line is, edges in lighter reds; nothing green of the hidden layers.
    auto count = [](const std::vector<unsigned>& pixels, bool green) {
        return std::count_if(pixels.begin(), pixels.end(), [&](unsigned c) {
            const int r = (c >> 16) & 0xFF, g = (c >> 8) & 0xFF, b = c & 0xFF;
            return green ? g > r : r > g + 0x40 && r > b + 0x40;
        });
    };
    const auto red = count(px, false);
    EXPECT_GT(red, 70);
    EXPECT_EQ(count(px, true), 0);
    EXPECT_GT(Ink(px, 100, 10, 78, 90, 81), 70);
    EXPECT_EQ(Ink(px, 100, 0, 0, 99, 70), 0);  // nothing of the other two

    // Inside a block, layer "0" is the reference's layer: off there, off here; colour by block
    // is the reference's colour.
    const AcDbObjectId blockId = vktest::addBlockDefinition(db, u"B");
    ASSERT_FALSE(blockId.isNull());
    AcDbLine* byBlock = LineOn(u"0", 0, 0, 80, 0);
    byBlock->setColorIndex(0);
    vktest::appendTo(blockId, byBlock);
    auto* ref = new AcDbBlockReference(AcGePoint3d(10, 40, 0), blockId);
    ref->setLayer(u"关");
    appendToModelSpace(db, ref);
    auto* shown = new AcDbBlockReference(AcGePoint3d(10, 60, 0), blockId);
    shown->setColorIndex(1);
    appendToModelSpace(db, shown);
    const std::vector<unsigned> px2 = Plan(db);
    EXPECT_EQ(Ink(px2, 100, 0, 55, 99, 65), 0);     // y 40 -> row 60: the hidden one
    EXPECT_GT(Ink(px2, 100, 0, 35, 99, 45), 70);    // y 60 -> row 40: on layer 0
    EXPECT_GT(count(px2, false), red + 60) << "drawn in the reference's red";
}

TEST(Picture, PolylineWidthsAndTextsAreDrawnToScale)
{
    AcDbDatabase db;
    auto* wide = new AcDbPolyline;
    wide->addVertexAt(0, AcGePoint2d(10, 30), 0, 6, 6);
    wide->addVertexAt(1, AcGePoint2d(90, 30), 0, 6, 6);
    appendToModelSpace(db, wide);
    appendToModelSpace(db, new AcDbText(AcGePoint3d(10, 60, 0), u"卫生间", 10));
    const std::vector<unsigned> px = Plan(db);
    // Six units wide at a pixel a unit: rows 67 to 73 are inked across.
    EXPECT_GT(Ink(px, 100, 20, 68, 80, 72), 5 * 55);
    EXPECT_EQ(Ink(px, 100, 20, 60, 80, 65), 0);
    // The text fills its cells above the baseline (row 40); three wide characters of height 10
    // end 41 units to the right.
    const int inText = Ink(px, 100, 10, 30, 50, 40);
    EXPECT_GT(inText, 40);
    EXPECT_EQ(Ink(px, 100, 53, 25, 99, 45), 0);
}

// A wall drawn as a wide polyline ends square at its vertices, and its corners are whole: a
// closed square band of width 10 round 20,20 - 80,80 inks its corner boxes fully and nothing
// beyond the band's outer edge.
TEST(Picture, WidePolylinesEndSquareAndJoinAtTheirCorners)
{
    AcDbDatabase db;
    auto* open = new AcDbPolyline;  // 10 wide from x 20 to 50 at y 90
    open->addVertexAt(0, AcGePoint2d(20, 90), 0, 10, 10);
    open->addVertexAt(1, AcGePoint2d(50, 90), 0, 10, 10);
    appendToModelSpace(db, open);
    auto* ring = new AcDbPolyline;
    const double corners[4][2] = {{20, 20}, {80, 20}, {80, 70}, {20, 70}};
    for (int i = 0; i < 4; ++i) ring->addVertexAt(i, AcGePoint2d(corners[i][0], corners[i][1]), 0, 10, 10);
    ring->setClosed(true);
    appendToModelSpace(db, ring);
    const std::vector<unsigned> px = Plan(db);  // row = 100 - y
    // Square ends: nothing left of x 20 or right of x 50 along the open band.
    EXPECT_EQ(Ink(px, 100, 12, 7, 18, 13), 0);
    EXPECT_EQ(Ink(px, 100, 52, 7, 58, 13), 0);
    EXPECT_GT(Ink(px, 100, 21, 6, 49, 14), 28 * 8);
    // Every outer corner box (15..25 each way round a corner) is filled, the first one too.
    for (auto [cx, cy] : {std::pair{20, 20}, {80, 20}, {80, 70}, {20, 70}}) {
        const int x0 = cx - 4, y0 = 100 - cy - 4;
        EXPECT_EQ(Ink(px, 100, x0, y0, x0 + 8, y0 + 8), 81) << cx << "," << cy;
    }
}

TEST(Picture, PngAndSvgFilesAreWrittenAndBadTargetsRefused)
{
    AcDbDatabase db;
    appendToModelSpace(db, new AcDbCircle(AcGePoint3d(0, 0, 0), 5));
    appendToModelSpace(db, new AcDbText(AcGePoint3d(-4, 0, 0), u"房间", 1));
    std::vector<vkgi::Primitive> prims;
    ASSERT_EQ(vkgi::CollectModelSpace(&db, prims), Acad::eOk);
    const std::filesystem::path dir = ::testing::TempDir();
    vkgi::View v;
    v.width = 64, v.height = 48;
    std::string why;
    ASSERT_TRUE(vkgi::RenderSvg(prims, v, (dir / "plan.svg").string(), &why)) << why;
    std::ifstream svg(dir / "plan.svg");
    std::string text((std::istreambuf_iterator<char>(svg)), {});
    EXPECT_NE(text.find("<svg"), std::string::npos);
    EXPECT_NE(text.find("width=\"64"), std::string::npos);
    ASSERT_TRUE(vkgi::RenderPng(prims, v, (dir / "plan.png").string(), &why)) << why;
    EXPECT_GT(std::filesystem::file_size(dir / "plan.png"), 100u);
    EXPECT_FALSE(vkgi::RenderPng(prims, v, (dir / "no" / "such" / "plan.png").string(), &why));
    EXPECT_NE(why.find("cannot write"), std::string::npos);
    v.width = 0;
    EXPECT_FALSE(vkgi::RenderPng(prims, v, (dir / "plan.png").string(), &why));
}
