// Each construction segment's components written to c:\sgd.ini (mapped to a temporary folder).
#include <filesystem>
#include <fstream>

#include "host/win/WinPath.h"
#include "host/win/Windows.h"
#include "module/selection/CalConstrucSegment.h"
#include "tests/module/selection/SelectionTestDb.h"
#include "tests/support/ProjectFiles.h"

namespace fs = std::filesystem;

namespace {
constexpr const char16_t* kSegmentLayer = u"VK_建筑_SYS_施工段";

class ConstrucSegmentTest : public SelectionTest {
protected:
    void SetUp() override
    {
        SelectionTest::SetUp();
        dir = vktest::FreshTestDir("vkroom-sgd");
        vkwin::SetDriveMap({{'C', dir.string()}});
    }
    void TearDown() override
    {
        fs::remove_all(dir);
        SelectionTest::TearDown();
    }
    // A rectangular segment x0..x1 by 0..100 whose first side runs along the X axis.
    AcDbObjectId segment(const char16_t* name, double x0, double x1)
    {
        auto seg = pline<AcDbVkConstrucSegment>({{x0, 0}, {x1, 0}, {x1, 100}, {x0, 100}});
        seg->SetAttname(name);
        return append(seg.release(), kSegmentLayer);
    }
    std::string ini() const { return vktest::FileBytes(dir / "sgd.ini"); }
    static std::string entry(const char16_t* key, std::initializer_list<AcDbObjectId> ids)
    {
        std::string line = WideToAnsi(key) + "=";
        for (AcDbObjectId id : ids) line += "+" + WideToAnsi(id.handle().text());
        return line + "\r\n";
    }

    fs::path dir;
};
}  // namespace

TEST_F(ConstrucSegmentTest, CreatesTheFileWithEveryDisciplineButNoArchitecturalEntities)
{
    segment(u"一区", 0, 100);
    const AcDbObjectId water = append(pipe(10, 50, 90, 50, u"给排水\\管道"));
    append(new AcDbLine(AcGePoint3d(20, 20, 0), AcGePoint3d(30, 20, 0)), u"VK_建筑_SYS_墙");
    const AcDbObjectId elec = append(pipe(10, 60, 90, 60, u"电气\\桥架"));
    const AcDbObjectId hvac = append(pipe(10, 70, 90, 70, u"暖通\\风管"));
    const AcDbObjectId fire = append(pipe(10, 80, 90, 80, u"消防\\管道"));
    const AcDbObjectId weak = append(pipe(10, 90, 90, 90, u"弱电\\桥架"));
    append(pipe(150, 50, 190, 50, u"给排水\\管道"));  // outside the segment
    CalConstrucSegment(u"S1");
    EXPECT_EQ(ini(), "[S1]\r\n" + entry(u"一区", {water, elec, hvac, fire, weak})) << ini();
}

TEST_F(ConstrucSegmentTest, TheLaterOfTwoSameNamedSegmentsWins)
{
    segment(u"一区", 0, 100);
    append(pipe(10, 50, 90, 50, u"给排水\\管道"));
    segment(u"一区", 200, 300);
    const AcDbObjectId p2 = append(pipe(210, 50, 220, 50, u"消防\\管道"));
    CalConstrucSegment(u"S1");
    EXPECT_EQ(ini(), "[S1]\r\n" + entry(u"一区", {p2})) << ini();
}

TEST_F(ConstrucSegmentTest, SomethingElseOnTheSegmentLayerEndsTheRunKeepingEarlierEntries)
{
    segment(u"一区", 0, 100);
    append(pline({{200, 0}, {300, 0}, {300, 100}}).release(), kSegmentLayer);
    segment(u"二区", 400, 500);
    CalConstrucSegment(u"S1");
    EXPECT_EQ(ini(), "[S1]\r\n" + entry(u"一区", {})) << ini();
}

TEST_F(ConstrucSegmentTest, SegmentsOnALockedLayerAreNotListed)
{
    segment(u"一区", 0, 100);
    append(pipe(10, 50, 90, 50, u"给排水\\管道"));
    segment(u"二区", 200, 300);
    ASSERT_FALSE(vktest::SetLayer(*db, kSegmentLayer, {.locked = true}).isNull());
    CalConstrucSegment(u"S1");
    EXPECT_FALSE(fs::exists(dir / "sgd.ini")) << ini();
}
