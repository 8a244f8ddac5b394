// The model-space extents index against a plain walk of model space: the same entities in
// the same order, after edits heard through events and after changes it cannot hear.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "host/db/AcDb.h"
#include "host/db/AcDbSpatialIndex.h"
#include "tests/host/db/core_TestDb.h"

namespace {

using coretest::addLine;
using coretest::appendToModelSpace;

// Model-space entities whose plan extents overlap the window, by walking model space.
std::vector<AcDbObjectId> walk(AcDbDatabase& db, const AcDbExtents& window)
{
    std::vector<AcDbObjectId> out;
    AcDbBlockTableRecord* ms = nullptr;
    if (acdbOpenObject(ms, db.modelSpaceId(), AcDb::kForRead) != Acad::eOk) return out;
    const std::vector<AcDbObjectId> ids = ms->entityIds(false);
    ms->close();
    for (const AcDbObjectId& id : ids) {
        AcDbEntity* ent = nullptr;
        if (acdbOpenAcDbEntity(ent, id, AcDb::kForRead) != Acad::eOk) continue;
        AcDbExtents ext;
        const bool has = ent->getGeomExtents(ext) == Acad::eOk;
        ent->close();
        AcDbExtents plan(AcGePoint3d(ext.minPoint().x, ext.minPoint().y, 0),
                         AcGePoint3d(ext.maxPoint().x, ext.maxPoint().y, 0));
        AcDbExtents flatWindow(AcGePoint3d(window.minPoint().x, window.minPoint().y, 0),
                               AcGePoint3d(window.maxPoint().x, window.maxPoint().y, 0));
        if (has && plan.intersects(flatWindow)) out.push_back(id);
    }
    return out;
}

std::vector<AcDbObjectId> query(AcDbDatabase& db, const AcDbExtents& window)
{
    AcDbObjectIdArray ids;
    EXPECT_EQ(AcDbSpatialIndex::queryModelSpace(&db, window, ids), Acad::eOk);
    return std::vector<AcDbObjectId>(ids.begin(), ids.end());
}

AcDbExtents box(double x0, double y0, double x1, double y1)
{
    return AcDbExtents(AcGePoint3d(x0, y0, -5), AcGePoint3d(x1, y1, 5));
}

class SpatialIndexTest : public ::testing::Test {
protected:
    void TearDown() override { AcDbSpatialIndex::setEnabled(true); }
    std::mt19937 rng{20261205};
    double uniform(double a, double b) { return std::uniform_real_distribution<double>(a, b)(rng); }
    AcDbObjectId randomLine(AcDbDatabase& db)
    {
        const AcGePoint3d a(uniform(0, 1000), uniform(0, 1000), uniform(-3, 3));
        return addLine(db, a, a + AcGeVector3d(uniform(-40, 40), uniform(-40, 40), 0));
    }
    AcDbExtents randomWindow()
    {
        const double x = uniform(-50, 1000), y = uniform(-50, 1000), size = uniform(0, 300);
        return box(x, y, x + size, y + size * uniform(0.2, 2));
    }
    void expectSameAsWalk(AcDbDatabase& db, int windows)
    {
        for (int i = 0; i < windows; ++i) {
            const AcDbExtents w = randomWindow();
            ASSERT_EQ(query(db, w), walk(db, w)) << "window " << i;
        }
    }
};

TEST_F(SpatialIndexTest, EditsHeardThroughEventsKeepResultsExactWithoutRebuilding)
{
    AcDbDatabase db;
    std::vector<AcDbObjectId> lines;
    for (int i = 0; i < 2000; ++i) lines.push_back(randomLine(db));
    expectSameAsWalk(db, 50);
    EXPECT_EQ(AcDbSpatialIndex::rebuildCount(&db), 1);
    EXPECT_EQ(AcDbSpatialIndex::entryCount(&db), 2000u);

    for (int round = 0; round < 20; ++round) {
        for (int k = 0; k < 30; ++k) {
            AcDbEntity* ent = nullptr;
            const AcDbObjectId id = lines[rng() % lines.size()];
            ASSERT_EQ(acdbOpenAcDbEntity(ent, id, AcDb::kForWrite, true), Acad::eOk);
            switch (rng() % 3) {
            case 0:
                ent->transformBy(AcGeMatrix3d::translation(AcGeVector3d(uniform(-300, 300), uniform(-300, 300), 0)));
                break;
            case 1:
                ent->erase(!id.isErased());  // erase, or bring back an erased one
                break;
            default:
                break;  // opened for write, left unchanged
            }
            ent->close();
        }
        lines.push_back(randomLine(db));
        expectSameAsWalk(db, 10);
    }
    EXPECT_EQ(AcDbSpatialIndex::rebuildCount(&db), 1);
}

TEST_F(SpatialIndexTest, AChangedBlockDefinitionMovesItsReferences)
{
    AcDbDatabase db;
    const AcDbObjectId defId = vktest::addBlockDefinition(db, u"B");
    ASSERT_FALSE(defId.isNull());
    const AcDbObjectId lineInDef = vktest::appendTo(defId, new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(1, 1, 0)));
    ASSERT_FALSE(lineInDef.isNull());
    const AcDbObjectId ref = appendToModelSpace(db, new AcDbBlockReference(AcGePoint3d(100, 100, 0), defId));
    EXPECT_EQ(query(db, box(99, 99, 102, 102)), std::vector<AcDbObjectId>{ref});

    AcDbLine* line = nullptr;
    ASSERT_EQ(acdbOpenObject(line, lineInDef, AcDb::kForWrite), Acad::eOk);
    line->setEndPoint(AcGePoint3d(50, 1, 0));
    line->close();
    EXPECT_EQ(query(db, box(140, 99, 160, 102)), std::vector<AcDbObjectId>{ref});
    EXPECT_EQ(query(db, box(140, 99, 160, 102)), walk(db, box(140, 99, 160, 102)));
}

}  // namespace
