// A plan picture of a floor with the report's states on it: each placed copy takes the colour
// of the state the report's builder gave it, on the floor whose drawing is pictured.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "apps/srreport/RoomReport.h"
#include "apps/vkcad/Options.h"
#include "apps/vkcad/PlanPicture.h"
#include "tests/apps/srreport/ReportProject.h"

namespace reporttest {
namespace {

class ReportPicture : public ReportProjectTest {};

TEST_F(ReportPicture, EachCopyIsTintedByItsStateOnTheFloorPictured)
{
    writeLibrary();
    // 2F, west to east: in step, excluded, broken, drifted, and a marker of a room the library
    // does not hold. 1F, after it in the project: a broken copy whose objects have the handles
    // of 2F's first copy.
    writeDrawing("2F.dwg", CopyLines(0x300, {0, false, 0, 0}) +
                               CopyLines(0x310, {0, false, 5000, 0}, CopyOptions().changeType(1)) +
                               CopyLines(0x320, {0, false, 10000, 0}, CopyOptions().noBoundary()) +
                               CopyLines(0x330, {0, false, 15000, 0}, CopyOptions().lineMoved(150, 0)) +
                               CopyLines(0x340, {0, false, 20000, 0}, CopyOptions().room("Gone")));
    writeDrawing("1F.dwg", CopyLines(0x300, {90, false, 0, 0}, CopyOptions().noBoundary()));
    useProject({{"2F", "2F.dwg"}, {"1F", "1F.dwg"}});
    srreport::ReportSource source;
    source.currentFloor = u"1F";
    srreport::Report report;
    CString why;
    ASSERT_TRUE(srreport::BuildReport(source, report, why)) << why.ToUtf8();
    AcDbDatabase db(false, true);
    ASSERT_EQ(db.readDwgFile(hostPath("2F.dwg")), Acad::eOk);

    vkcad::Options o;
    o.reportStates = true;
    o.project = (dir / "p.prj").string();
    o.drawing = (dir / "2F.dwg").string();
    vkcad::PlanPicture picture;
    std::ostringstream err;
    ASSERT_TRUE(vkcad::BuildPlanPicture(o, db, &report, picture, err)) << err.str();
    // One tint a copy of a stored room, over the copy, in the colour of its state: green, blue,
    // red, orange (as the key says).
    const std::vector<std::pair<double, int>> expected{{0, 3}, {5000, 5}, {10000, 1}, {15000, 30}};
    ASSERT_EQ(picture.overlay.tints.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        const vkgi::Tint& t = picture.overlay.tints[i];
        EXPECT_EQ(t.color, expected[i].second) << i;
        ASSERT_GE(t.outline.size(), 4u);
        EXPECT_NEAR(t.outline[0].x, expected[i].first + 40, 1e-6) << i;  // the marker's outline, 40 inside
    }
    // The copies' boundaries (drawn with their names) and their other members that are no
    // building-services components (the drifted copy's line, moved by hand to start at
    // 15150,1500) take the colour too; the boundary by the marker of a room the library does not
    // hold keeps its own.
    std::vector<std::pair<double, int>> names;
    int movedLine = 0;
    for (const vkgi::Primitive& p : picture.prims) {
        if (p.kind == vkgi::Primitive::kText && p.text == u"卫生间") names.emplace_back(std::floor(p.points[0].x / 5000) * 5000, p.color);
        if (p.kind == vkgi::Primitive::kPath && p.points[0].isEqualTo(AcGePoint3d(15150, 1500, 0))) movedLine = p.color;
    }
    EXPECT_EQ(names, (std::vector<std::pair<double, int>>{{0, 3}, {5000, 5}, {15000, 30}, {20000, 7}}));
    EXPECT_EQ(movedLine, 30);
    ASSERT_EQ(picture.overlay.legend.size(), 2u);
    std::vector<std::pair<std::string, int>> key;
    for (const vkgi::LegendItem& item : picture.overlay.legend[1].items) key.emplace_back(item.label.ToUtf8(), item.color);
    EXPECT_EQ(key, (std::vector<std::pair<std::string, int>>{
                       {"in step (1)", 3}, {"excluded (1)", 5}, {"drifted (1)", 30}, {"broken (1)", 1}}));

    // The floor named must be the one pictured; a drawing of no floor has no states.
    o.floor = "1F";
    EXPECT_FALSE(vkcad::BuildPlanPicture(o, db, &report, picture, err));
    EXPECT_NE(err.str().find("floor 1F of " + o.project + " is drawn in "), std::string::npos) << err.str();
    o.floor.clear();
    o.drawing = (dir / "StardardRoom.dwg").string();
    err.str("");
    EXPECT_FALSE(vkcad::BuildPlanPicture(o, db, &report, picture, err));
    EXPECT_EQ(err.str(), "vkcad: " + o.drawing + " is the drawing of no floor of " + o.project + "\n");
}

}  // namespace
}  // namespace reporttest
