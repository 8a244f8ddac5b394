// The marker a defined room leaves in the drawing: its outline round the boundary, what it
// records, the links it sets, and the boundaries it refuses.
#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <vector>

#include "host/db/AcDb.h"
#include "module/definition/CStdRoomTool.cpp"
#include "tests/support/TestDrawing.h"
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
        return vktest::appendToModelSpace(*db, p);
    }

    // Creates the marker round roomId with the base point (100, 200); its id, null on failure.
    AcDbObjectId create(AcDbObjectId roomId, const AcDbObjectIdArray& components = AcDbObjectIdArray(),
                        bool* ok = nullptr)
    {
        AcDbObjectIdArray ids = components;
        AcDbObjectId markerId;
        AcGePoint3d base(100, 200, 0);
        const bool made = CStdRoomTool().CreateStdRoomMarker(markerId, u"卫生间", roomId, ids, base);
        if (ok) *ok = made;
        return made ? markerId : AcDbObjectId();
    }

    // The marker's vertices as [x, y, bulge].
    static std::vector<V> vertices(AcDbObjectId markerId)
    {
        std::vector<V> out;
        AcDbQsStandRoom* m = nullptr;
        if (acdbOpenObject(m, markerId, AcDb::kForRead) != Acad::eOk) return out;
        for (unsigned int i = 0; i < m->numVerts(); ++i) {
            AcGePoint2d p;
            double b = 0;
            m->getPointAt(i, p);
            m->getBulgeAt(i, b);
            out.push_back({p.x, p.y, b});
        }
        m->close();
        return out;
    }

    static void expectOutline(AcDbObjectId markerId, std::initializer_list<V> want)
    {
        const std::vector<V> got = vertices(markerId);
        ASSERT_EQ(got.size(), want.size());
        size_t i = 0;
        for (const V& w : want) {
            EXPECT_NEAR(got[i].x, w.x, 1e-9) << "vertex " << i;
            EXPECT_NEAR(got[i].y, w.y, 1e-9) << "vertex " << i;
            EXPECT_EQ(got[i].bulge, 0.0) << "vertex " << i;
            ++i;
        }
    }

    size_t modelSpaceCount() const { return vktest::EntityIds(db.get()).size(); }

};

TEST_F(StdRoomMarkerTest, AClockwiseRectangleGivesAnOutlineFortyInsideClosedByItsFirstVertex)
{
    const AcDbObjectId room = boundary({{0, 0}, {0, 4000}, {6000, 4000}, {6000, 0}});
    const AcDbObjectId marker = create(room);
    ASSERT_FALSE(marker.isNull());
    expectOutline(marker, {{40, 40}, {40, 3960}, {5960, 3960}, {5960, 40}, {40, 40}});
}

TEST_F(StdRoomMarkerTest, ACounterClockwiseRectangleGivesAnOutlineFortyOutside)
{
    const AcDbObjectId room = boundary({{0, 0}, {6000, 0}, {6000, 4000}, {0, 4000}});
    expectOutline(create(room), {{-40, -40}, {6040, -40}, {6040, 4040}, {-40, 4040}, {-40, -40}});
}

TEST_F(StdRoomMarkerTest, AVertexOnAStraightRunStaysWhereItIs)
{
    const AcDbObjectId room = boundary({{0, 0}, {0, 2000}, {0, 4000}, {6000, 4000}, {6000, 0}});
    expectOutline(create(room), {{40, 40}, {0, 2000}, {40, 3960}, {5960, 3960}, {5960, 40}, {40, 40}});
}

TEST_F(StdRoomMarkerTest, TheReflexCornerOfAnLShapedRoomMovesAwayFromItsNeighbours)
{
    // Clockwise; the corner at (3000, 2000) turns the other way (more than a half turn).
    const AcDbObjectId room =
        boundary({{0, 0}, {0, 4000}, {3000, 4000}, {3000, 2000}, {6000, 2000}, {6000, 0}});
    expectOutline(create(room), {{40, 40},
                                 {40, 3960},
                                 {2960, 3960},
                                 {2960, 1960},
                                 {5960, 1960},
                                 {5960, 40},
                                 {40, 40}});
}

TEST_F(StdRoomMarkerTest, ArcSegmentsBecomeStraightAndTheMarkerLiesAtElevationZero)
{
    // The clockwise rectangle with its top and bottom edges bulging outwards, lifted to 3000.
    const AcDbObjectId room = boundary({{0, 0}, {0, 4000, -0.3}, {6000, 4000}, {6000, 0, -0.3}}, 3000);
    const AcDbObjectId marker = create(room);
    expectOutline(marker, {{40, 40}, {40, 3960}, {5960, 3960}, {5960, 40}, {40, 40}});
    AcDbQsStandRoom* m = nullptr;
    ASSERT_EQ(acdbOpenObject(m, marker, AcDb::kForRead), Acad::eOk);
    EXPECT_EQ(m->elevation(), 0.0);
    EXPECT_FALSE(m->isClosed());
    m->close();
}

TEST_F(StdRoomMarkerTest, TheMarkerRecordsTheRoomAndLinksBoundaryAndComponents)
{
    const AcDbObjectId room = boundary({{0, 0}, {0, 4000}, {6000, 4000}, {6000, 0}});
    auto* p = new VkQsPipe(AcGePoint3d(500, 2000, 0), AcGePoint3d(5500, 2000, 0));
    const AcDbObjectId pipe = vktest::appendToModelSpace(*db, p);
    const AcDbObjectId line = vktest::appendToModelSpace(*db, new AcDbLine(AcGePoint3d(1, 1, 0), AcGePoint3d(9, 9, 0)));
    AcDbObjectIdArray ids;
    ids.append(pipe);
    ids.append(line);
    const AcDbObjectId marker = create(room, ids);
    ASSERT_FALSE(marker.isNull());

    AcDbQsStandRoom* m = nullptr;
    ASSERT_EQ(acdbOpenObject(m, marker, AcDb::kForRead), Acad::eOk);
    EXPECT_EQ(m->GetRoomName(), u"卫生间");
    EXPECT_EQ(m->layer(), u"VK_标准房间");
    EXPECT_FALSE(m->layerId().isNull());  // the layer exists in the drawing
    EXPECT_EQ(m->GetBasePt(), AcGePoint3d(100, 200, 0));
    EXPECT_EQ(m->GetInsertPt(), AcGePoint3d(100, 200, 0));
    EXPECT_TRUE(m->GetMatrix().isEqualTo(AcGeMatrix3d::kIdentity));
    EXPECT_EQ(m->GetAssositEnts(), ids);
    EXPECT_EQ(m->GetAssositRoom(), room);
    m->close();

    VkQsPipe* opened = nullptr;
    ASSERT_EQ(acdbOpenObject(opened, pipe, AcDb::kForRead), Acad::eOk);
    EXPECT_EQ(opened->GetAssositSRoom(), marker);
    opened->close();
    AcDbVkRoom* r = nullptr;
    ASSERT_EQ(acdbOpenObject(r, room, AcDb::kForRead), Acad::eOk);
    EXPECT_TRUE(r->GetIfBelongSR());
    r->close();
}

TEST_F(StdRoomMarkerTest, ABoundaryThatIsNoRoomOrHasNoVertexGetsNoMarker)
{
    const AcDbObjectId plain =
        boundary<AcDbPolyline>({{0, 0}, {0, 4000}, {6000, 4000}, {6000, 0}});  // not a room boundary
    const AcDbObjectId empty = boundary({});
    const size_t before = modelSpaceCount();
    for (AcDbObjectId id : {plain, empty, AcDbObjectId()}) {
        bool ok = true;
        create(id, AcDbObjectIdArray(), &ok);
        EXPECT_FALSE(ok);
    }
    EXPECT_EQ(modelSpaceCount(), before);
    AcDbVkRoom* r = nullptr;
    ASSERT_EQ(acdbOpenObject(r, empty, AcDb::kForRead), Acad::eOk);
    EXPECT_FALSE(r->GetIfBelongSR());
    r->close();
}

}  // namespace
