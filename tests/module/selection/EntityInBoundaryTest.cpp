// Which entities count as inside a room boundary, under the discipline filter.
#include "tests/module/selection/SelectionTestDb.h"

namespace {

const std::bitset<6> kAll("111111");
const std::bitset<6> kNone;
constexpr const char16_t* kWallLayer = u"VK_建筑_SYS_墙";

}  // namespace

class EntityInBoundaryTest : public SelectionTest {
protected:
    bool inside(AcDbObjectId entity, std::bitset<6> filter = kAll, bool flag = true)
    {
        const bool result = CManageStdRoom::EntityIsInPolyline(room, entity, filter, flag);
        EXPECT_EQ(CManageStdRoom::EntityIsInPolyline(room, entity, filter, !flag), result);
        return result;
    }
    void SetUp() override
    {
        SelectionTest::SetUp();
        room = appendRoom();
    }
    AcDbObjectId room;
};

TEST_F(EntityInBoundaryTest, ArchitecturalEntitiesNeedBitZero)
{
    const AcDbObjectId wall = append(new AcDbLine(AcGePoint3d(10, 10, 0), AcGePoint3d(90, 10, 0)), kWallLayer);
    const AcDbObjectId outside = append(new AcDbLine(AcGePoint3d(50, 50, 0), AcGePoint3d(150, 50, 0)), kWallLayer);
    const AcDbObjectId plain = append(new AcDbLine(AcGePoint3d(10, 10, 0), AcGePoint3d(90, 10, 0)), u"其他");
    EXPECT_TRUE(inside(wall));
    EXPECT_FALSE(inside(outside));
    EXPECT_FALSE(inside(wall, std::bitset<6>("111110")));  // then judged as a component, and it is none
    EXPECT_FALSE(inside(plain));
}

TEST_F(EntityInBoundaryTest, ArchitecturalEntitiesKeepTheirElevation)
{
    // Lifted above the outline's tolerance, both ends meet nothing.
    const AcDbObjectId high = append(new AcDbLine(AcGePoint3d(10, 10, 0), AcGePoint3d(90, 90, 5)), kWallLayer);
    const AcDbObjectId low = append(new AcDbLine(AcGePoint3d(10, 10, 5), AcGePoint3d(90, 90, 0.5)), kWallLayer);
    EXPECT_FALSE(inside(high));
    EXPECT_TRUE(inside(low));
}

TEST_F(EntityInBoundaryTest, BlockReferenceIsJudgedByItsInsertionPoint)
{
    AcDbBlockTable* bt = nullptr;
    ASSERT_EQ(db->getBlockTable(bt, AcDb::kForWrite), Acad::eOk);
    auto* rec = new AcDbBlockTableRecord;
    rec->setName(u"COLUMN");
    AcDbObjectId block;
    ASSERT_EQ(bt->add(block, rec), Acad::eOk);
    auto* inner = new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(500, 0, 0));
    rec->appendAcDbEntity(inner);
    inner->close();
    rec->close();
    bt->close();
    const AcDbObjectId in = append(new AcDbBlockReference(AcGePoint3d(50, 50, 0), block), kWallLayer);
    const AcDbObjectId out = append(new AcDbBlockReference(AcGePoint3d(-50, 50, 0), block), kWallLayer);
    EXPECT_TRUE(inside(in));
    EXPECT_FALSE(inside(out));
}

TEST_F(EntityInBoundaryTest, DisciplineBitsRejectTheirComponents)
{
    const AcDbObjectId elec = append(pipe(20, 50, 80, 50, u"电气\\线管\\线管"));
    const AcDbObjectId other = append(pipe(20, 50, 80, 50, u"其他\\管\\管"));
    const AcDbObjectId otherOut = append(pipe(120, 50, 180, 50, u"其他\\管\\管"));
    EXPECT_TRUE(inside(elec));
    EXPECT_FALSE(inside(elec, std::bitset<6>("111011")));
    EXPECT_TRUE(inside(elec, std::bitset<6>("000100")));
    EXPECT_TRUE(inside(other, kNone));
    EXPECT_FALSE(inside(otherOut, kNone));
    // A component on an architectural layer with bit 0 clear is still a component.
    const AcDbObjectId onWallLayer = append(pipe(20, 50, 80, 50, u"给排水\\给水管\\给水管"), kWallLayer);
    EXPECT_TRUE(inside(onWallLayer, std::bitset<6>("000010")));
}

TEST_F(EntityInBoundaryTest, KeptOutAndMainLinesAreRejected)
{
    VkQsPipe* kept = pipe(20, 50, 80, 50, u"给排水\\给水管\\给水管");
    kept->SetKPYX(true);
    const AcDbObjectId keptId = append(kept);
    auto* main = new VkQsMainPipe(AcGePoint3d(20, 50, 0), AcGePoint3d(80, 50, 0));
    main->SetSmallTypeNamePath(u"给排水\\给水管\\给水管");
    const AcDbObjectId mainId = append(main);
    auto* con = new VkQsMainLeadCon(AcGePoint3d(20, 50, 0), AcGePoint3d(80, 50, 0));
    con->SetSmallTypeNamePath(u"给排水\\给水管\\给水管");
    const AcDbObjectId conId = append(con);
    EXPECT_FALSE(inside(keptId));
    EXPECT_FALSE(inside(mainId));
    EXPECT_TRUE(inside(conId));
}

TEST_F(EntityInBoundaryTest, PointLikeComponentsByReferencePointOnThePlan)
{
    auto node = [&](double x, double y, double z) {
        auto* n = new VkQsNode(AcGePoint3d(x, y, z));
        n->SetSmallTypeNamePath(u"消防\\喷头\\喷头");
        return append(n);
    };
    EXPECT_TRUE(inside(node(50, 50, 3000)));  // flattened first
    EXPECT_TRUE(inside(node(100, 50, 0)));    // on the outline counts as inside
    EXPECT_TRUE(inside(node(100.5, 50, 0)));
    EXPECT_FALSE(inside(node(110, 50, 0)));
    EXPECT_FALSE(inside(node(50, 50, 0), std::bitset<6>("101111")));

    // Equipment far bigger than the room still counts by its location.
    VkQsCore::Product big{u"水泵", AcGePoint3d(50, 50, 0), 0, 5000, 5000};
    auto* equipment = new VkQsElementComponent(big);
    equipment->SetSmallTypeNamePath(u"暖通\\设备\\水泵");
    EXPECT_TRUE(inside(append(equipment)));
    auto* fitting = new VkQsPipeFitting(AcGePoint3d(150, 50, 0));
    fitting->SetSmallTypeNamePath(u"给排水\\管件\\弯头");
    EXPECT_FALSE(inside(append(fitting)));
}

TEST_F(EntityInBoundaryTest, StraightComponentsAreFlattenedAndZeroLengthOnesLengthened)
{
    EXPECT_TRUE(inside(append(pipe(20, 50, 80, 50, u"暖通\\风管\\风管", 2800))));
    EXPECT_TRUE(inside(append(pipe(0, 20, 0, 80, u"暖通\\风管\\风管"))));     // along the outline
    EXPECT_FALSE(inside(append(pipe(50, 50, 150, 50, u"暖通\\风管\\风管"))));  // out through a later side
    EXPECT_TRUE(inside(append(pipe(50, 50, 50, 50, u"弱电\\线槽\\线槽"))));
    EXPECT_FALSE(inside(append(pipe(150, 50, 150, 50, u"弱电\\线槽\\线槽"))));
    // Crossing the first side for real.
    EXPECT_FALSE(inside(append(pipe(50, 50, 50, -50, u"暖通\\风管\\风管"))));
}

TEST_F(EntityInBoundaryTest, OnlyRoomsAndConstructionSegmentsAreBoundaries)
{
    const AcDbObjectId p = append(pipe(20, 50, 80, 50, u"其他"));
    AcDbObjectId plainOutline = append(square().release());
    AcDbObjectId segment = append(square<AcDbVkConstrucSegment>().release());
    std::bitset<6> all = kAll;
    AcDbObjectId id = p;
    EXPECT_FALSE(CManageStdRoom::EntityIsInPolyline(plainOutline, id, all, true));
    EXPECT_TRUE(CManageStdRoom::EntityIsInPolyline(segment, id, all, true));
    AcDbObjectId nothing;
    EXPECT_FALSE(CManageStdRoom::EntityIsInPolyline(segment, nothing, all, true));
    EXPECT_FALSE(CManageStdRoom::EntityIsInPolyline(nothing, id, all, true));
}
