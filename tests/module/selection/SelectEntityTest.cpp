// Gathering candidates by extents and keeping what lies inside a boundary.
#include "siblings/object/VkQsPipeValve.h"
#include "tests/module/selection/SelectionTestDb.h"

namespace {
class SelectEntityTest : public SelectionTest {
protected:
    AcArray<AcDbObjectId> select(AcGePoint3d lo, AcGePoint3d hi)
    {
        AcDbExtents window(lo, hi);
        AcArray<AcDbObjectId> out;
        CManageStdRoom::SelectEntity(window, out);
        return out;
    }
    void setLayer(const char16_t* name, bool off, bool frozen)
    {
        ASSERT_FALSE(vktest::SetLayer(*db, name, {.off = off, .frozen = frozen}).isNull());
    }
};
}  // namespace

TEST_F(SelectEntityTest, OverlappingEntitiesComeInModelSpaceOrderWithoutMarkersAndRooms)
{
    const AcDbObjectId b = append(pipe(50, 50, 60, 50, u"给排水\\管道"));
    appendRoom();
    const AcDbObjectId a = append(pipe(-10, 10, 10, 10, u"电气\\桥架"));
    append(pipe(500, 500, 600, 500, u"给排水\\管道"));
    append(square<AcDbQsStandRoom>().release());
    AcArray<AcDbObjectId> got = select({0, 0, 0}, {100, 100, 0});
    ASSERT_EQ(got.length(), 2);
    EXPECT_EQ(got[0], b);
    EXPECT_EQ(got[1], a);
}

TEST_F(SelectEntityTest, AnOffLayerExcludesAndMarksValvesWhileAFrozenOneDoesNot)
{
    setLayer(u"OFF", true, false);
    setLayer(u"FROZEN", false, true);
    const AcDbObjectId valve = append(new VkQsPipeValve(AcGePoint3d(50, 50, 0), 0), u"OFF");
    const AcDbObjectId frozen = append(pipe(10, 10, 20, 10, u"给排水\\管道"), u"FROZEN");
    AcArray<AcDbObjectId> got = select({0, 0, 0}, {100, 100, 0});
    ASSERT_EQ(got.length(), 1);
    EXPECT_EQ(got[0], frozen);
    AcDbObjectPointer<VkQsPipeValve> v(valve, AcDb::kForRead);
    ASSERT_TRUE(v);
    EXPECT_EQ(v->GetStyle() & 0x20, 0x20);
}

TEST_F(SelectEntityTest, FilterKeepsInsideCandidatesInOrderWhateverTheFlag)
{
    const AcDbObjectId room = appendRoom();
    const AcDbObjectId in1 = append(pipe(10, 10, 90, 10, u"给排水\\管道"));
    const AcDbObjectId out = append(pipe(-50, 50, -10, 50, u"给排水\\管道"));
    const AcDbObjectId in2 = append(pipe(20, 80, 30, 80, u"暖通\\风管"));
    AcArray<AcDbObjectId> candidates;
    for (AcDbObjectId id : {in2, out, in1}) candidates.append(id);
    std::bitset<6> all;
    all.set();
    for (bool flag : {true, false}) {
        AcArray<AcDbObjectId> kept;
        kept.append(room);  // the output is appended to, not cleared
        CManageStdRoom::FilterEntity(candidates, kept, room, all, flag);
        ASSERT_EQ(kept.length(), 3);
        EXPECT_EQ(kept[1], in2);
        EXPECT_EQ(kept[2], in1);
    }
}
