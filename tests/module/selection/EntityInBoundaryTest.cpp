// Which entities count as inside a room boundary, under the discipline filter.
#include "tests/module/selection/SelectionTestDb.h"

namespace {

const std::bitset<6> kAll("111111");
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

// One entity at a time against the square room 0..100: the per-entity rules with their
// expected answers.
TEST_F(EntityInBoundaryTest, EachKindIsJudgedByItsOwnRule)
{
    const AcDbObjectId column = vktest::addBlockDefinition(*db, u"COLUMN");
    ASSERT_FALSE(column.isNull());
    vktest::appendTo(column, new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(500, 0, 0)));
    auto line = [](double x1, double y1, double z1, double x2, double y2, double z2) {
        return new AcDbLine(AcGePoint3d(x1, y1, z1), AcGePoint3d(x2, y2, z2));
    };
    auto component = [](VkQsEntity* e, const char16_t* path, bool keptOut = false) {
        e->SetSmallTypeNamePath(path);
        e->SetKPYX(keptOut);
        return e;
    };
    const char16_t* water = u"给排水\\给水管\\给水管";
    struct Case {
        const char* what;
        AcDbEntity* ent;
        const char16_t* layer;
        const char* filter;
        bool inside;
    };
    const Case cases[] = {
        // Architectural entities need bit 0 and are judged where they lie, elevation included.
        {"wall line inside", line(10, 10, 0, 90, 10, 0), kWallLayer, "111111", true},
        {"wall line out through a side", line(50, 50, 0, 150, 50, 0), kWallLayer, "111111", false},
        {"wall line without bit 0 is judged as a component, and is none", line(10, 10, 0, 90, 10, 0), kWallLayer, "111110", false},
        {"plain line", line(10, 10, 0, 90, 10, 0), u"其他", "111111", false},
        {"wall line lifted above the tolerance at one end", line(10, 10, 0, 90, 90, 5), kWallLayer, "111111", false},
        {"wall line within the tolerance at its start", line(10, 10, 5, 90, 90, 0.5), kWallLayer, "111111", true},
        {"block reference by its insertion point", new AcDbBlockReference(AcGePoint3d(50, 50, 0), column), kWallLayer, "111111", true},
        {"block reference outside", new AcDbBlockReference(AcGePoint3d(-50, 50, 0), column), kWallLayer, "111111", false},
        // Discipline bits reject their components; "other" components need no bit.
        {"electrical", pipe(20, 50, 80, 50, u"电气\\线管\\线管"), u"0", "111111", true},
        {"electrical without its bit", pipe(20, 50, 80, 50, u"电气\\线管\\线管"), u"0", "111011", false},
        {"electrical with its bit alone", pipe(20, 50, 80, 50, u"电气\\线管\\线管"), u"0", "000100", true},
        {"other component, no bits", pipe(20, 50, 80, 50, u"其他\\管\\管"), u"0", "000000", true},
        {"other component outside, no bits", pipe(120, 50, 180, 50, u"其他\\管\\管"), u"0", "000000", false},
        {"component on a wall layer without bit 0", pipe(20, 50, 80, 50, water), kWallLayer, "000010", true},
        // Kept-out components and main pipes are rejected; a main lead connection is not.
        {"kept out", component(pipe(20, 50, 80, 50, water), water, true), u"0", "111111", false},
        {"main pipe", component(new VkQsMainPipe(AcGePoint3d(20, 50, 0), AcGePoint3d(80, 50, 0)), water), u"0", "111111", false},
        {"main lead connection", component(new VkQsMainLeadCon(AcGePoint3d(20, 50, 0), AcGePoint3d(80, 50, 0)), water), u"0", "111111", true},
        // Point-like components by their reference point on the plan; on the outline is inside.
        {"node high above", component(new VkQsNode(AcGePoint3d(50, 50, 3000)), u"消防\\喷头\\喷头"), u"0", "111111", true},
        {"node on the outline", component(new VkQsNode(AcGePoint3d(100, 50, 0)), u"消防\\喷头\\喷头"), u"0", "111111", true},
        {"node within the tolerance", component(new VkQsNode(AcGePoint3d(100.5, 50, 0)), u"消防\\喷头\\喷头"), u"0", "111111", true},
        {"node outside", component(new VkQsNode(AcGePoint3d(110, 50, 0)), u"消防\\喷头\\喷头"), u"0", "111111", false},
        {"node without its bit", component(new VkQsNode(AcGePoint3d(50, 50, 0)), u"消防\\喷头\\喷头"), u"0", "101111", false},
        {"equipment far bigger than the room", component(new VkQsElementComponent(VkQsCore::Product{u"水泵", AcGePoint3d(50, 50, 0), 0, 5000, 5000}), u"暖通\\设备\\水泵"), u"0", "111111", true},
        {"fitting outside", component(new VkQsPipeFitting(AcGePoint3d(150, 50, 0)), u"给排水\\管件\\弯头"), u"0", "111111", false},
        // Straight components are flattened; zero-length ones lengthened.
        {"duct high above", pipe(20, 50, 80, 50, u"暖通\\风管\\风管", 2800), u"0", "111111", true},
        {"duct along the outline", pipe(0, 20, 0, 80, u"暖通\\风管\\风管"), u"0", "111111", true},
        {"duct out through a later side", pipe(50, 50, 150, 50, u"暖通\\风管\\风管"), u"0", "111111", false},
        {"duct crossing the first side", pipe(50, 50, 50, -50, u"暖通\\风管\\风管"), u"0", "111111", false},
        {"zero-length tray inside", pipe(50, 50, 50, 50, u"弱电\\线槽\\线槽"), u"0", "111111", true},
        {"zero-length tray outside", pipe(150, 50, 150, 50, u"弱电\\线槽\\线槽"), u"0", "111111", false},
    };
    for (const Case& c : cases) EXPECT_EQ(inside(append(c.ent, c.layer), std::bitset<6>(c.filter)), c.inside) << c.what;
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
