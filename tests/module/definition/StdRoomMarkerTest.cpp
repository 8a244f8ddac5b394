// The marker a defined room leaves in the drawing: its outline round the boundary, what it
// records, the links it sets, and the boundaries it refuses.
#include "module/definition/CStdRoomTool.h"
#include "siblings/object/AcDbQsStandRoom.h"
#include "siblings/object/VkQsPipe.h"
#include "siblings/region/AcDbVkRoom.h"
#include "tests/support/WorkingDrawingTest.h"

namespace {

struct V {
    double x, y, bulge = 0;
};

class StdRoomMarkerTest : public vktest::WorkingDrawingTest {
protected:
    template <class P = AcDbVkRoom>
    AcDbObjectId boundary(std::initializer_list<V> vs, double elevation = 0)
    {
        auto* p = new P;
        unsigned int i = 0;
        for (const V& v : vs) p->addVertexAt(i++, AcGePoint2d(v.x, v.y), v.bulge);
        p->setClosed(true);
        p->setElevation(elevation);
        return append(p);
    }
    // The marker round roomId with the base point (100, 200); null when none is made.
    static AcDbObjectId create(AcDbObjectId roomId, AcDbObjectIdArray ids = AcDbObjectIdArray())
    {
        AcDbObjectId markerId;
        AcGePoint3d base(100, 200, 0);
        return CStdRoomTool().CreateStdRoomMarker(markerId, u"卫生间", roomId, ids, base) ? markerId : AcDbObjectId();
    }
};

TEST_F(StdRoomMarkerTest, TheOutlineLiesFortyOffEachCornerClosedByItsFirstVertexFlatAndStraight)
{
    const struct {
        const char* what;
        std::vector<V> room, marker;
        double elevation = 0;
    } cases[] = {
        {"clockwise: inside", {{0, 0}, {0, 4000}, {6000, 4000}, {6000, 0}}, {{40, 40}, {40, 3960}, {5960, 3960}, {5960, 40}, {40, 40}}},
        {"counter-clockwise: outside", {{0, 0}, {6000, 0}, {6000, 4000}, {0, 4000}},
         {{-40, -40}, {6040, -40}, {6040, 4040}, {-40, 4040}, {-40, -40}}},
        {"a vertex on a straight run stays", {{0, 0}, {0, 2000}, {0, 4000}, {6000, 4000}, {6000, 0}},
         {{40, 40}, {0, 2000}, {40, 3960}, {5960, 3960}, {5960, 40}, {40, 40}}},
        {"the reflex corner of an L moves away from its neighbours",
         {{0, 0}, {0, 4000}, {3000, 4000}, {3000, 2000}, {6000, 2000}, {6000, 0}},
         {{40, 40}, {40, 3960}, {2960, 3960}, {2960, 1960}, {5960, 1960}, {5960, 40}, {40, 40}}},
        {"arcs become straight, the elevation 0", {{0, 0}, {0, 4000, -0.3}, {6000, 4000}, {6000, 0, -0.3}},
         {{40, 40}, {40, 3960}, {5960, 3960}, {5960, 40}, {40, 40}}, 3000},
    };
    for (const auto& c : cases) {
        auto* p = new AcDbVkRoom;
        for (unsigned i = 0; i < c.room.size(); ++i) p->addVertexAt(i, AcGePoint2d(c.room[i].x, c.room[i].y), c.room[i].bulge);
        p->setClosed(true);
        p->setElevation(c.elevation);
        const AcDbObjectId marker = create(append(p));
        AcDbObjectPointer<AcDbQsStandRoom> m(marker, AcDb::kForRead);
        ASSERT_TRUE(m) << c.what;
        ASSERT_EQ(m->numVerts(), c.marker.size()) << c.what;
        for (unsigned i = 0; i < m->numVerts(); ++i) {
            AcGePoint2d got;
            double bulge = 1;
            m->getPointAt(i, got);
            m->getBulgeAt(i, bulge);
            EXPECT_TRUE(got.isEqualTo(AcGePoint2d(c.marker[i].x, c.marker[i].y))) << c.what << ", vertex " << i;
            EXPECT_EQ(bulge, 0.0) << c.what;
        }
        EXPECT_EQ(m->elevation(), 0.0) << c.what;
        EXPECT_FALSE(m->isClosed()) << c.what;
    }
}

TEST_F(StdRoomMarkerTest, ABoundaryThatIsNoRoomOrHasNoVertexGetsNoMarker)
{
    const AcDbObjectId empty = boundary({});
    const AcDbObjectId plain = boundary<AcDbPolyline>({{0, 0}, {0, 4000}, {6000, 4000}, {6000, 0}});
    const size_t before = vktest::EntityIds(db.get()).size();
    for (AcDbObjectId id : {plain, empty, AcDbObjectId()}) EXPECT_TRUE(create(id).isNull());
    EXPECT_EQ(vktest::EntityIds(db.get()).size(), before);
    AcDbObjectPointer<AcDbVkRoom> r(empty, AcDb::kForRead);
    EXPECT_FALSE(r->GetIfBelongSR());
}

}  // namespace
