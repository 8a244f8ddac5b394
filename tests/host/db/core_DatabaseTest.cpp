#include <gtest/gtest.h>

#include <memory>

#include "host/db/AcDbOpenObjects.h"
#include "tests/host/db/core_TestDb.h"

using coretest::addLine;

namespace {

TEST(Database, DefaultDrawingHasModelSpacePaperSpaceAndLayerZero)
{
    AcDbDatabase db;
    AcDbBlockTable* bt = nullptr;
    ASSERT_EQ(db.getBlockTable(bt, AcDb::kForRead), Acad::eOk);
    EXPECT_TRUE(bt->has(u"*model_space"));  // names ignore case
    EXPECT_TRUE(bt->has(ACDB_PAPER_SPACE));
    AcDbBlockTableRecord* ms = nullptr;
    ASSERT_EQ(bt->getAt(ACDB_MODEL_SPACE, ms, AcDb::kForRead), Acad::eOk);
    EXPECT_EQ(ms->objectId(), db.modelSpaceId());
    EXPECT_TRUE(ms->isLayout());
    EXPECT_EQ(ms->ownerId(), db.blockTableId());
    // Every block gets its begin and end, owned by it.
    AcDbObjectPointer<AcDbBlockBegin> begin(ms->blockBeginId(), AcDb::kForRead);
    AcDbObjectPointer<AcDbBlockEnd> end(ms->blockEndId(), AcDb::kForRead);
    ASSERT_TRUE(begin && end);
    EXPECT_EQ(begin->ownerId(), ms->objectId());
    ms->close();
    bt->close();
    EXPECT_TRUE(acdbEnsureLayer(&db, u"0", false));

    AcDbDatabase empty(false);
    EXPECT_TRUE(empty.allObjectIds().empty());
    EXPECT_TRUE(empty.modelSpaceId().isNull());
    EXPECT_EQ(empty.getBlockTable(bt, AcDb::kForRead), Acad::eNullObjectId);
}

TEST(Database, HandlesAreUniqueAndFindTheirObjects)
{
    AcDbDatabase db;
    AcDbObjectId a = addLine(db, {0, 0, 0}, {1, 0, 0});
    AcDbObjectId b = addLine(db, {0, 0, 0}, {2, 0, 0});
    EXPECT_LT(a.handle(), b.handle());
    EXPECT_LT(b.handle(), db.handseed());
    AcDbObjectId found;
    ASSERT_EQ(acdbGetObjectId(found, &db, b.handle()), Acad::eOk);
    EXPECT_EQ(found, b);
    EXPECT_EQ(acdbGetObjectId(found, &db, AcDbHandle(0x7777)), Acad::eUnknownHandle);
    EXPECT_EQ(acdbGetObjectId(found, &db, AcDbHandle()), Acad::eNullHandle);

    // A reserved handle has an id but nothing to open, and is never handed out again.
    AcDbObjectId reserved;
    ASSERT_EQ(db.getAcDbObjectId(reserved, true, AcDbHandle(0x500)), Acad::eOk);
    EXPECT_EQ(reserved.handle(), AcDbHandle(0x500));
    AcDbObject* obj = nullptr;
    EXPECT_EQ(acdbOpenObject(obj, reserved, AcDb::kForRead), Acad::eNullObjectPointer);
    EXPECT_GT(db.handseed(), AcDbHandle(0x500));
    std::vector<AcDbObjectId> all = db.allObjectIds();
    EXPECT_EQ(std::count(all.begin(), all.end(), reserved), 0);
    EXPECT_TRUE(std::is_sorted(all.begin(), all.end(),
                               [](AcDbObjectId x, AcDbObjectId y) { return x.handle() < y.handle(); }));
}

TEST(Database, HandleText)
{
    EXPECT_EQ(AcDbHandle(0x1A0).text(), CString(u"1A0"));
    EXPECT_EQ(AcDbHandle(u"1a0").value(), 0x1A0u);
    EXPECT_TRUE(AcDbHandle(u"12G").isNull());
    EXPECT_TRUE(AcDbHandle(u"11112222333344445").isNull());  // more than 64 bits
    char16_t buf[4];
    AcDbHandle(0xABCDE).getIntoAsciiBuffer(buf, 4);
    EXPECT_EQ(CString(buf), CString(u"ABC"));
    EXPECT_STREQ(acadErrorStatusText(Acad::eFileNotFound), "eFileNotFound");
}

TEST(Database, IdsOfADeletedDatabaseAnswerWithoutHarmAndWhatWasLeftOpenIsReported)
{
    auto db = std::make_unique<AcDbDatabase>();
    AcDbObjectId id = addLine(*db, {0, 0, 0}, {1, 0, 0});
    AcDbObjectId ms = db->modelSpaceId();
    ASSERT_TRUE(id.isValid());
    EXPECT_EQ(id.database(), db.get());
    AcDbObject* open = nullptr;
    ASSERT_EQ(acdbOpenObject(open, ms, AcDb::kForRead), Acad::eOk);  // even if left open
    AcDbLine* line = nullptr;
    ASSERT_EQ(acdbOpenObject(line, id, AcDb::kForRead), Acad::eOk);
    const std::string handle = id.handle().text().ToUtf8();
    acdbTakeOpenObjectReports();
    db.reset();
    // The host says what was left open, by class and handle.
    const std::vector<CString> reports = acdbTakeOpenObjectReports();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_NE(reports[0].ToUtf8().find("AcDbLine #" + handle), std::string::npos) << reports[0].ToUtf8();
    EXPECT_FALSE(id.isValid());
    EXPECT_FALSE(id.isNull());
    EXPECT_EQ(id.database(), nullptr);
    EXPECT_TRUE(id.handle().isNull());
    EXPECT_FALSE(id.isErased());
    AcDbObject* obj = nullptr;
    EXPECT_EQ(acdbOpenObject(obj, id, AcDb::kForRead), Acad::eNullObjectId);
    EXPECT_EQ(acdbOpenObject(obj, ms, AcDb::kForWrite), Acad::eNullObjectId);
    // What was left open outlives its drawing for its holder, who may still read it and ends its
    // use; it is no longer in any drawing.
    EXPECT_EQ(line->endPoint(), AcGePoint3d(1, 0, 0));
    EXPECT_EQ(line->database(), nullptr);
    for (AcDbObject* o : {open, static_cast<AcDbObject*>(line)}) {
        EXPECT_EQ(o->close(), Acad::eOk);
        delete o;
    }
    EXPECT_TRUE(acdbTakeOpenObjectReports().empty());
}

TEST(Database, SymbolTablesRefuseBadAndDuplicateNames)
{
    AcDbDatabase db;
    AcDbLayerTable* lt = nullptr;
    ASSERT_EQ(db.getLayerTable(lt, AcDb::kForRead), Acad::eOk);
    auto* rec = new AcDbLayerTableRecord;
    ASSERT_EQ(rec->setName(u"墙体"), Acad::eOk);
    EXPECT_EQ(lt->add(rec), Acad::eNotOpenForWrite);
    ASSERT_EQ(lt->upgradeOpen(), Acad::eOk);
    AcDbObjectId wallId;
    ASSERT_EQ(lt->add(wallId, rec), Acad::eOk);
    rec->close();

    auto* dup = new AcDbLayerTableRecord;
    dup->setName(u"墙体");
    EXPECT_EQ(lt->add(dup), Acad::eDuplicateKey);
    EXPECT_EQ(dup->setName(u"a|b"), Acad::eInvalidSymbolTableName);
    EXPECT_EQ(dup->setName(u""), Acad::eInvalidSymbolTableName);
    auto* block = new AcDbBlockTableRecord;
    EXPECT_EQ(lt->add(block), Acad::eInvalidSymbolTableName);  // no name
    block->setName(u"B");
    EXPECT_EQ(lt->add(block), Acad::eWrongObjectType);
    delete block;
    delete dup;
    lt->close();

    AcDbObjectId id;
    EXPECT_TRUE(acdbEnsureLayer(&db, u"墙体", false, &id));
    EXPECT_EQ(id, wallId);
    EXPECT_FALSE(acdbEnsureLayer(&db, u"Doors", false));
    EXPECT_TRUE(acdbEnsureLayer(&db, u"Doors", true, &id));
    EXPECT_TRUE(acdbEnsureLayer(&db, u"DOORS", false));
    // Renaming onto another record of the table is refused.
    AcDbObjectPointer<AcDbLayerTableRecord> doors(id, AcDb::kForWrite);
    EXPECT_EQ(doors->setName(u"墙体"), Acad::eDuplicateKey);
    EXPECT_EQ(doors->setName(u"Doors2"), Acad::eOk);
}

TEST(Database, EntitiesTakeOnlyExistingLayers)
{
    AcDbDatabase db;
    acdbEnsureLayer(&db, u"Room", true);
    auto* line = new AcDbLine({0, 0, 0}, {1, 0, 0});
    EXPECT_EQ(line->setLayer(u"Nowhere"), Acad::eOk);  // not in a database yet
    AcDbObjectId id = coretest::appendToModelSpace(db, line);
    AcDbObjectPointer<AcDbLine> open(id, AcDb::kForWrite);
    EXPECT_TRUE(open->layerId().isNull());
    EXPECT_EQ(open->setLayer(u"Missing"), Acad::eKeyNotFound);
    EXPECT_EQ(open->setLayer(u"ROOM"), Acad::eOk);
    EXPECT_EQ(open->layer(), CString(u"Room"));
    EXPECT_FALSE(open->layerId().isNull());
}

TEST(Database, BlockIteratorsSkipErasedEntitiesUnlessAsked)
{
    AcDbDatabase db;
    AcDbObjectId a = addLine(db, {0, 0, 0}, {1, 0, 0});
    AcDbObjectId b = addLine(db, {0, 0, 0}, {2, 0, 0});
    AcDbObjectId c = addLine(db, {0, 0, 0}, {3, 0, 0});
    {
        AcDbObjectPointer<AcDbLine> line(b, AcDb::kForWrite);
        line->erase();
    }
    AcDbObjectPointer<AcDbBlockTableRecord> ms(db.modelSpaceId(), AcDb::kForRead);
    auto collect = [&](bool skip, bool forward) {
        std::vector<AcDbObjectId> ids;
        AcDbBlockTableRecordIterator* it = nullptr;
        ms->newIterator(it, forward, skip);
        std::unique_ptr<AcDbBlockTableRecordIterator> owner(it);
        for (; !it->done(); it->step(forward, skip)) {
            AcDbObjectId id;
            it->getEntityId(id);
            ids.push_back(id);
        }
        return ids;
    };
    EXPECT_EQ(collect(true, true), (std::vector<AcDbObjectId>{a, c}));
    EXPECT_EQ(collect(false, true), (std::vector<AcDbObjectId>{a, b, c}));
    EXPECT_EQ(collect(true, false), (std::vector<AcDbObjectId>{c, a}));
    EXPECT_EQ(ms->entityIds(), (std::vector<AcDbObjectId>{a, c}));
    EXPECT_EQ(db.allObjectIds().size() + 1, db.allObjectIds(true).size());

    AcDbBlockTableRecordIterator* it = nullptr;
    ms->newIterator(it);
    AcDbEntity* ent = nullptr;
    ASSERT_EQ(it->getEntity(ent, AcDb::kForRead), Acad::eOk);
    EXPECT_EQ(ent->objectId(), a);
    ent->close();
    delete it;
}

TEST(Database, AppendingNeedsAWriteOpenRecordInADatabase)
{
    AcDbDatabase db;
    AcDbBlockTableRecord loose;
    AcDbLine line;
    EXPECT_EQ(loose.appendAcDbEntity(&line), Acad::eNoDatabase);
    {
        AcDbObjectPointer<AcDbBlockTableRecord> ms(db.modelSpaceId(), AcDb::kForRead);
        auto* l2 = new AcDbLine;
        EXPECT_EQ(ms->appendAcDbEntity(l2), Acad::eNotOpenForWrite);
        delete l2;
    }
    AcDbObjectId id = addLine(db, {0, 0, 0}, {1, 0, 0});
    AcDbObject* resident = nullptr;
    ASSERT_EQ(acdbOpenObject(resident, id, AcDb::kForRead), Acad::eOk);
    AcDbObjectId again;
    EXPECT_EQ(db.addAcDbObject(again, resident), Acad::eAlreadyInDb);
    resident->close();
}

TEST(Database, CloneCopiesFieldsOutsideTheDatabase)
{
    AcDbDatabase db;
    acdbEnsureLayer(&db, u"Pipe", true);
    auto* pl = new AcDbPolyline;
    pl->addVertexAt(0, {0, 0}, 0.5);
    pl->addVertexAt(1, {10, 0});
    pl->setLayer(u"Pipe");
    pl->setColorIndex(3);
    pl->setClosed(true);
    AcDbObjectId id = coretest::appendToModelSpace(db, pl);
    AcDbObjectPointer<AcDbPolyline> open(id, AcDb::kForRead);
    std::unique_ptr<AcDbPolyline> copy(AcDbPolyline::cast(open->clone()));
    ASSERT_NE(copy, nullptr);
    EXPECT_TRUE(copy->objectId().isNull());
    EXPECT_TRUE(copy->ownerId().isNull());
    EXPECT_EQ(copy->layer(), CString(u"Pipe"));
    EXPECT_EQ(copy->colorIndex(), 3);
    EXPECT_TRUE(copy->isClosed());
    double bulge = 0;
    copy->getBulgeAt(0, bulge);
    EXPECT_DOUBLE_EQ(bulge, 0.5);
    EXPECT_EQ(copy->numVerts(), 2u);
}

TEST(Database, WorkingDatabaseIsForgottenWhenDeleted)
{
    auto db = std::make_unique<AcDbDatabase>();
    acdbHostApplicationServices()->setWorkingDatabase(db.get());
    EXPECT_EQ(acdbCurDwg(), db.get());
    db.reset();
    EXPECT_EQ(acdbCurDwg(), nullptr);
}

}  // namespace
