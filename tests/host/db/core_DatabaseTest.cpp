#include <gtest/gtest.h>

#include <memory>

#include "host/db/AcDbOpenObjects.h"
#include "tests/host/db/core_TestDb.h"

using coretest::addLine;

namespace {

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

TEST(Database, WorkingDatabaseIsForgottenWhenDeleted)
{
    auto db = std::make_unique<AcDbDatabase>();
    acdbHostApplicationServices()->setWorkingDatabase(db.get());
    EXPECT_EQ(acdbCurDwg(), db.get());
    db.reset();
    EXPECT_EQ(acdbCurDwg(), nullptr);
}

}  // namespace
