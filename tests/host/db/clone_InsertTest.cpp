#include <gtest/gtest.h>

#include <cmath>

#include "host/ge/AcGePlane.h"
#include "tests/host/db/files_TestDrawing.h"

using namespace filestest;

namespace {

// Records the class names of appended objects, in order.
struct AppendLog : AcDbDatabaseReactor {
    std::vector<CString> classes;
    std::vector<AcDbObjectId> ids;
    void objectAppended(const AcDbDatabase*, const AcDbObject* obj) override
    {
        classes.emplace_back(obj->isA()->name());
        ids.push_back(obj->objectId());
    }
};

std::vector<AcDbObjectId> entitiesOf(AcDbObjectId block)
{
    AcDbObjectPointer<AcDbBlockTableRecord> rec(block, AcDb::kForRead);
    return rec ? rec->entityIds() : std::vector<AcDbObjectId>{};
}

std::pair<AcGePoint3d, AcGePoint3d> ends(AcDbObjectId id)
{
    AcDbObjectPointer<AcDbLine> line(id, AcDb::kForRead);
    return line ? std::make_pair(line->startPoint(), line->endPoint()) : std::make_pair(AcGePoint3d(), AcGePoint3d());
}

void expectNear(const AcGePoint3d& p, double x, double y, double z)
{
    EXPECT_NEAR(p.x, x, 1e-9);
    EXPECT_NEAR(p.y, y, 1e-9);
    EXPECT_NEAR(p.z, z, 1e-9);
}

// A room stored the way the library does it: wblock round a base point, then a block.
std::unique_ptr<AcDbDatabase> wblockRoom(AcDbDatabase& drawing, const AcGePoint3d& base)
{
    AcDbObjectIdArray ids;
    for (AcDbObjectId id : entitiesOf(drawing.modelSpaceId())) ids.append(id);
    AcDbDatabase* out = nullptr;
    EXPECT_EQ(drawing.wblock(out, ids, base), Acad::eOk);
    return std::unique_ptr<AcDbDatabase>(out);
}

}  // namespace

TEST(WblockAndInsert, WblockMovesTheCopiesSoThatTheBasePointIsTheOrigin)
{
    AcDbDatabase drawing;
    addLayer(drawing, u"Pipes", 3);
    addLine(drawing, AcGePoint3d(10, 10, 0), AcGePoint3d(20, 10, 0), u"Pipes");
    addLine(drawing, AcGePoint3d(10, 10, 0), AcGePoint3d(10, 15, 1));
    auto room = wblockRoom(drawing, AcGePoint3d(10, 10, 0));
    ASSERT_TRUE(room);
    std::vector<AcDbObjectId> ents = entitiesOf(room->modelSpaceId());
    ASSERT_EQ(ents.size(), 2u);
    expectNear(ends(ents[0]).first, 0, 0, 0);
    expectNear(ends(ents[0]).second, 10, 0, 0);
    expectNear(ends(ents[1]).second, 0, 5, 1);
    EXPECT_TRUE(acdbEnsureLayer(room.get(), u"Pipes", false));
    // The source drawing is unchanged.
    expectNear(ends(entitiesOf(drawing.modelSpaceId())[0]).first, 10, 10, 0);
    EXPECT_EQ(drawing.numOpenObjects(), 0);
    EXPECT_EQ(room->numOpenObjects(), 0);
    // An erased entity among the ids is left out.
    const AcDbObjectId gone = addLine(drawing, AcGePoint3d(0, 0, 0), AcGePoint3d(1, 0, 0));
    {
        AcDbObjectPointer<AcDbLine> line(gone, AcDb::kForWrite);
        ASSERT_EQ(line->erase(), Acad::eOk);
    }
    AcDbObjectIdArray ids;
    ids.append(gone);
    ids.append(entitiesOf(drawing.modelSpaceId())[0]);
    AcDbDatabase* out = nullptr;
    ASSERT_EQ(drawing.wblock(out, ids, AcGePoint3d::kOrigin), Acad::eOk);
    std::unique_ptr<AcDbDatabase> partial(out);
    AcDbObjectPointer<AcDbBlockTableRecord> space(partial->modelSpaceId(), AcDb::kForRead);
    EXPECT_EQ(space->entityIds(true).size(), 1u) << "not even as an erased copy";
}

TEST(WblockAndInsert, BlockInsertMakesANamedBlockReportedBeginEntitiesEnd)
{
    AcDbDatabase drawing;
    addLine(drawing, AcGePoint3d(1, 0, 0), AcGePoint3d(2, 0, 0));
    addLine(drawing, AcGePoint3d(2, 0, 0), AcGePoint3d(2, 1, 0));
    auto room = wblockRoom(drawing, AcGePoint3d(1, 0, 0));

    AcDbDatabase library;
    AppendLog log;
    library.addReactor(&log);
    AcDbObjectId block;
    ASSERT_EQ(library.insert(block, u"卫生间A", room.get()), Acad::eOk);
    library.removeReactor(&log);

    AcDbObjectPointer<AcDbBlockTableRecord> rec(block, AcDb::kForRead);
    ASSERT_TRUE(rec);
    CString name;
    rec->getName(name);
    EXPECT_EQ(name, CString(u"卫生间A"));
    EXPECT_FALSE(rec->isLayout());
    expectNear(rec->origin(), 0, 0, 0);
    std::vector<AcDbObjectId> ents = rec->entityIds();
    ASSERT_EQ(ents.size(), 2u);
    expectNear(ends(ents[1]).first, 1, 0, 0);

    std::vector<CString> expected = {u"AcDbBlockTableRecord", u"AcDbBlockBegin", u"AcDbLine", u"AcDbLine",
                                     u"AcDbBlockEnd"};
    EXPECT_EQ(log.classes, expected);
    EXPECT_EQ(log.ids[2], ents[0]);
    AcDbObjectPointer<AcDbBlockTable> table(library.blockTableId(), AcDb::kForRead);
    EXPECT_TRUE(table->has(u"卫生间A"));
    EXPECT_TRUE(table->has(ACDB_MODEL_SPACE));  // the library's own model space is still there
    EXPECT_TRUE(entitiesOf(library.modelSpaceId()).empty());
}

TEST(WblockAndInsert, BlockInsertUnderATakenNameChangesNothing)
{
    AcDbDatabase drawing;
    addLine(drawing, AcGePoint3d(0, 0, 0), AcGePoint3d(1, 0, 0));
    auto room = wblockRoom(drawing, AcGePoint3d::kOrigin);
    AcDbDatabase library;
    AcDbObjectId first, second;
    ASSERT_EQ(library.insert(first, u"R1", room.get()), Acad::eOk);
    size_t before = library.allObjectIds(true).size();
    AppendLog log;
    library.addReactor(&log);
    EXPECT_EQ(library.insert(second, u"r1", room.get()), Acad::eDuplicateKey);  // names ignore case
    library.removeReactor(&log);
    EXPECT_TRUE(second.isNull());
    EXPECT_TRUE(log.classes.empty());
    EXPECT_EQ(library.allObjectIds(true).size(), before);
    EXPECT_EQ(entitiesOf(first).size(), 1u);
}

TEST(WblockAndInsert, TransformInsertPlacesRotatedAndMirroredCopiesInModelSpace)
{
    AcDbDatabase source;
    addLine(source, AcGePoint3d(0, 0, 0), AcGePoint3d(2, 0, 0));
    addLine(source, AcGePoint3d(2, 0, 0), AcGePoint3d(2, 1, 0));

    AcDbDatabase drawing;
    addLine(drawing, AcGePoint3d(-5, -5, 0), AcGePoint3d(-6, -6, 0));  // already there
    // Rotated a quarter turn about the origin, then placed at (100, 50).
    AcGeMatrix3d rotate = AcGeMatrix3d::rotation(M_PI / 2, AcGeVector3d::kZAxis);
    rotate.setTranslation(AcGeVector3d(100, 50, 0));
    AppendLog log;
    drawing.addReactor(&log);
    ASSERT_EQ(drawing.insert(rotate, &source), Acad::eOk);
    // Mirrored left-right (in the YZ plane), placed at (10, 0).
    AcGeMatrix3d mirror = AcGeMatrix3d::mirroring(AcGePlane(AcGePoint3d::kOrigin, AcGeVector3d::kXAxis));
    mirror.setTranslation(AcGeVector3d(10, 0, 0));
    ASSERT_EQ(drawing.insert(mirror, &source), Acad::eOk);
    drawing.removeReactor(&log);

    std::vector<AcDbObjectId> ents = entitiesOf(drawing.modelSpaceId());
    ASSERT_EQ(ents.size(), 5u);
    EXPECT_EQ(std::vector<AcDbObjectId>(ents.begin() + 1, ents.end()), log.ids);  // appended, in order
    expectNear(ends(ents[1]).first, 100, 50, 0);
    expectNear(ends(ents[1]).second, 100, 52, 0);
    expectNear(ends(ents[2]).second, 99, 52, 0);
    expectNear(ends(ents[3]).second, 8, 0, 0);
    expectNear(ends(ents[4]).second, 8, 1, 0);
    // The source is unchanged and nothing is open anywhere.
    expectNear(ends(entitiesOf(source.modelSpaceId())[0]).second, 2, 0, 0);
    EXPECT_EQ(drawing.numOpenObjects(), 0);
    EXPECT_EQ(source.numOpenObjects(), 0);
}

TEST(WblockAndInsert, BlockReferencesBringTheirBlockOnceAndReuseABlockOfTheSameName)
{
    AcDbDatabase source;
    AcDbObjectId door = addBlock(source, u"Door");
    appendTo(source.modelSpaceId(), new AcDbBlockReference(AcGePoint3d(1, 1, 0), door));
    appendTo(source.modelSpaceId(), new AcDbBlockReference(AcGePoint3d(2, 2, 0), door));

    AcDbDatabase drawing;
    AppendLog log;
    drawing.addReactor(&log);
    // A turned placement turns the references, not the block they carry along.
    const AcGeMatrix3d turned = AcGeMatrix3d::translation(AcGeVector3d(100, 0, 0)) *
                                AcGeMatrix3d::rotation(M_PI / 2, AcGeVector3d::kZAxis);
    ASSERT_EQ(drawing.insert(turned, &source), Acad::eOk);
    drawing.removeReactor(&log);
    std::vector<CString> expected = {u"AcDbBlockTableRecord", u"AcDbBlockBegin", u"AcDbLine", u"AcDbLine",
                                     u"AcDbBlockEnd", u"AcDbBlockReference", u"AcDbBlockReference"};
    EXPECT_EQ(log.classes, expected);

    AcDbObjectId newDoor;
    {
        AcDbObjectPointer<AcDbBlockTable> table(drawing.blockTableId(), AcDb::kForRead);
        ASSERT_EQ(table->getAt(u"Door", newDoor), Acad::eOk);
    }
    for (AcDbObjectId id : entitiesOf(drawing.modelSpaceId())) {
        AcDbObjectPointer<AcDbBlockReference> ref(id, AcDb::kForRead);
        ASSERT_TRUE(ref);
        EXPECT_EQ(ref->blockTableRecord(), newDoor);
    }
    const std::vector<AcDbObjectId> doorLines = entitiesOf(newDoor);
    ASSERT_EQ(doorLines.size(), 2u);
    expectNear(ends(doorLines[0]).second, 1, 0, 0);
    expectNear(ends(doorLines[1]).second, 1, 1, 0);
    AcDbObjectPointer<AcDbBlockReference> first(entitiesOf(drawing.modelSpaceId())[0], AcDb::kForRead);
    expectNear(first->position(), 99, 1, 0);

    // A second insertion reuses the block that is now there.
    size_t blocks = 0;
    ASSERT_EQ(drawing.insert(AcGeMatrix3d::kIdentity, &source), Acad::eOk);
    AcDbObjectPointer<AcDbBlockTable> table(drawing.blockTableId(), AcDb::kForRead);
    blocks = table->recordIds().size();
    EXPECT_EQ(blocks, 3u);  // model space, paper space, Door
    EXPECT_EQ(entitiesOf(drawing.modelSpaceId()).size(), 4u);
}
