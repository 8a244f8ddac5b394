#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "host/ge/AcGePlane.h"
#include "tests/host/db/core_TestDb.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

bool near(const AcGePoint3d& a, const AcGePoint3d& b, double tol = 1e-9) { return a.distanceTo(b) < tol; }

// A square 10 x 10 whose right side bulges out as a half circle.
std::unique_ptr<AcDbPolyline> roundedSquare()
{
    auto pl = std::make_unique<AcDbPolyline>();
    pl->addVertexAt(0, {0, 0});
    pl->addVertexAt(1, {10, 0}, 1.0);  // half circle counter-clockwise to (10, 10)
    pl->addVertexAt(2, {10, 10});
    pl->addVertexAt(3, {0, 10});
    pl->setClosed(true);
    return pl;
}

TEST(Polyline, SegmentsFollowVerticesAndBulges)
{
    auto pl = roundedSquare();
    EXPECT_EQ(pl->segType(0), AcDbPolyline::kLine);
    EXPECT_EQ(pl->segType(1), AcDbPolyline::kArc);
    EXPECT_EQ(pl->segType(3), AcDbPolyline::kLine);  // the closing segment
    EXPECT_EQ(pl->segType(4), AcDbPolyline::kEmpty);
    pl->setClosed(false);
    EXPECT_EQ(pl->segType(3), AcDbPolyline::kEmpty);
    pl->addVertexAt(4, {0, 10});
    EXPECT_EQ(pl->segType(3), AcDbPolyline::kCoincident);

    AcGeLineSeg3d seg;
    EXPECT_EQ(pl->getLineSegAt(1, seg), Acad::eNotApplicable);
    ASSERT_EQ(pl->getLineSegAt(0, seg), Acad::eOk);
    EXPECT_TRUE(near(seg.endPoint(), {10, 0, 0}));
    EXPECT_EQ(pl->getLineSegAt(9, seg), Acad::eInvalidIndex);

    AcDbPolyline single;
    single.addVertexAt(0, {1, 1});
    EXPECT_EQ(single.segType(0), AcDbPolyline::kPoint);
    EXPECT_EQ(single.addVertexAt(5, {2, 2}), Acad::eInvalidIndex);
}

TEST(Polyline, MirroringFlipsBulgesAndKeepsTheShape)
{
    auto pl = roundedSquare();
    pl->setElevation(2);
    // Mirror in the plane x = 0.
    AcGeMatrix3d m = AcGeMatrix3d::mirroring(AcGePlane(AcGePoint3d::kOrigin, AcGeVector3d::kXAxis));
    ASSERT_EQ(pl->transformBy(m), Acad::eOk);
    double bulge = 0;
    pl->getBulgeAt(1, bulge);
    EXPECT_DOUBLE_EQ(bulge, -1.0);
    AcGePoint3d p;
    pl->getPointAt(1, p);
    EXPECT_TRUE(near(p, {-10, 0, 2}));
    AcDbExtents ext;
    pl->getGeomExtents(ext);
    EXPECT_TRUE(near(ext.minPoint(), {-15, 0, 2}));  // the arc still bulges outwards

    // Tilting out of the XY plane is not something a polyline can follow.
    EXPECT_EQ(pl->transformBy(AcGeMatrix3d::rotation(0.3, AcGeVector3d::kXAxis)), Acad::eNotApplicable);
}

class Collector : public AcGiWorldGeometry, public AcGiWorldDraw {
public:
    std::vector<AcGeMatrix3d> stack{AcGeMatrix3d()};
    std::vector<AcGePoint3d> points;  // world ends of the lines drawn
    int arcs = 0;
    std::vector<int> colors;
    AcGiWorldGeometry& geometry() override { return *this; }
    bool polyline(int n, const AcGePoint3d* p) override
    {
        for (int i = 0; i < n; ++i) points.push_back(stack.back() * p[i]);
        return true;
    }
    bool circle(const AcGePoint3d&, double, const AcGeVector3d&) override { return true; }
    bool circularArc(const AcGePoint3d&, double, const AcGeVector3d&, const AcGeVector3d&, double) override
    {
        ++arcs;
        return true;
    }
    bool text(const AcGePoint3d&, double, const CString&) override { return true; }
    void setColor(int aci) override { colors.push_back(aci); }
    void pushTransform(const AcGeMatrix3d& m) override { stack.push_back(stack.back() * m); }
    void popTransform() override { stack.pop_back(); }
};

class BlockRef : public ::testing::Test {
protected:
    void SetUp() override
    {
        blockId = vktest::addBlockDefinition(db, u"Room");
        ASSERT_FALSE(blockId.isNull());
        {
            AcDbObjectPointer<AcDbBlockTableRecord> rec(blockId, AcDb::kForWrite);
            rec->setOrigin({1, 0, 0});
        }
        auto* line = new AcDbLine({1, 0, 0}, {3, 0, 0});
        line->setColorIndex(0);
        vktest::appendTo(blockId, line);
        auto* arc = new AcDbPolyline;
        arc->addVertexAt(0, {1, 0}, 1.0);
        arc->addVertexAt(1, {3, 0});
        vktest::appendTo(blockId, arc);
    }
    AcDbDatabase db;
    AcDbObjectId blockId;
};

TEST_F(BlockRef, PiecesAreTheBlocksThroughItsTransform)
{
    AcDbBlockReference ref({10, 10, 0}, blockId);
    ref.setRotation(kPi / 2);
    ref.setColorIndex(5);
    EXPECT_NEAR(ref.rotation(), kPi / 2, 1e-12);
    std::vector<AcDbEntity::GeomPiece> pieces;
    ref.getGeomPieces(pieces);
    ASSERT_EQ(pieces.size(), 2u);
    // The block's origin lands on the position; block +X turns to world +Y.
    EXPECT_TRUE(near(pieces[0].a, {10, 10, 0}));
    EXPECT_TRUE(near(pieces[0].b, {10, 12, 0}));
    EXPECT_TRUE(near(pieces[1].center, {10, 11, 0}));

    Collector draw;
    ASSERT_TRUE(ref.worldDraw(&draw));
    ASSERT_EQ(draw.points.size(), 2u);
    EXPECT_TRUE(near(draw.points[1], {10, 12, 0}));
    EXPECT_EQ(draw.arcs, 1);
    EXPECT_EQ(draw.colors, (std::vector<int>{5, 256}));  // by block takes the reference's colour
    EXPECT_EQ(draw.stack.size(), 1u);

    // The half circle bulges to world +X (out to x = 11); mirrored in x = 10, to -X.
    AcDbExtents ext;
    ASSERT_EQ(ref.getGeomExtents(ext), Acad::eOk);
    EXPECT_NEAR(ext.maxPoint().x, 11, 1e-9);
    ref.transformBy(AcGeMatrix3d::mirroring(AcGePlane({10, 0, 0}, AcGeVector3d::kXAxis)));
    ASSERT_EQ(ref.getGeomExtents(ext), Acad::eOk);
    EXPECT_NEAR(ext.minPoint().x, 9, 1e-9);
    EXPECT_NEAR(ext.maxPoint().x, 10, 1e-9);
    EXPECT_NEAR(ext.maxPoint().y, 12, 1e-9);
}

TEST_F(BlockRef, AReferenceToItselfDoesNotRecurseForever)
{
    AcDbObjectPointer<AcDbBlockTableRecord> rec(blockId, AcDb::kForWrite);
    auto* self = new AcDbBlockReference({0, 0, 0}, blockId);
    ASSERT_EQ(rec->appendAcDbEntity(self), Acad::eOk);
    std::vector<AcDbEntity::GeomPiece> pieces;
    self->getGeomPieces(pieces);
    EXPECT_FALSE(pieces.empty());
    self->close();
}

}  // namespace

TEST(Entities, ATransformThatWouldLeaveANumberNoDoubleHoldsIsRefusedAndChangesNothing)
{
    AcDbLine line(AcGePoint3d(1e308, 0, 0), AcGePoint3d(0, 1, 0));
    EXPECT_EQ(line.transformBy(AcGeMatrix3d::translation(AcGeVector3d(1e308, 0, 0))), Acad::eInvalidInput);
    EXPECT_EQ(line.startPoint(), AcGePoint3d(1e308, 0, 0));
    EXPECT_EQ(line.endPoint(), AcGePoint3d(0, 1, 0));
    AcGeMatrix3d nan = AcGeMatrix3d::kIdentity;
    nan.entry[0][3] = std::nan("");
    EXPECT_EQ(line.transformBy(nan), Acad::eInvalidInput);
    EXPECT_EQ(line.endPoint(), AcGePoint3d(0, 1, 0));
    auto pl = roundedSquare();
    EXPECT_EQ(pl->transformBy(AcGeMatrix3d::scaling(1e308)), Acad::eInvalidInput);
    AcGePoint3d p;
    pl->getPointAt(1, p);
    EXPECT_EQ(p, AcGePoint3d(10, 0, 0));
    EXPECT_EQ(pl->transformBy(AcGeMatrix3d::translation(AcGeVector3d(1, 2, 0))), Acad::eOk);
    pl->getPointAt(1, p);
    EXPECT_EQ(p, AcGePoint3d(11, 2, 0));
}
