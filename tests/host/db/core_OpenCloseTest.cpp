#include <gtest/gtest.h>

#include <vector>

#include "tests/host/db/core_TestDb.h"

using coretest::addLine;

namespace {

class OpenClose : public ::testing::Test {
protected:
    AcDbDatabase db;
    AcDbObjectId lineId = addLine(db, {0, 0, 0}, {10, 0, 0});
};

TEST_F(OpenClose, ReadersShareAndKeepWritersOut)
{
    AcDbObject *r1 = nullptr, *r2 = nullptr, *w = nullptr;
    ASSERT_EQ(acdbOpenObject(r1, lineId, AcDb::kForRead), Acad::eOk);
    ASSERT_EQ(acdbOpenObject(r2, lineId, AcDb::kForRead), Acad::eOk);
    EXPECT_EQ(r1, r2);
    EXPECT_EQ(acdbOpenObject(w, lineId, AcDb::kForWrite), Acad::eWasOpenForRead);
    EXPECT_EQ(w, nullptr);
    EXPECT_EQ(r1->upgradeOpen(), Acad::eWasOpenForRead);  // another reader holds it
    EXPECT_EQ(db.numOpenObjects(), 1);
    r2->close();
    EXPECT_EQ(r1->upgradeOpen(), Acad::eOk);
    EXPECT_TRUE(r1->isWriteEnabled());
    EXPECT_EQ(r1->close(), Acad::eOk);
    EXPECT_EQ(db.numOpenObjects(), 0);
}

TEST_F(OpenClose, OneWriterAtATime)
{
    AcDbObject *w = nullptr, *other = nullptr;
    ASSERT_EQ(acdbOpenObject(w, lineId, AcDb::kForWrite), Acad::eOk);
    EXPECT_EQ(acdbOpenObject(other, lineId, AcDb::kForWrite), Acad::eWasOpenForWrite);
    EXPECT_EQ(acdbOpenObject(other, lineId, AcDb::kForRead), Acad::eWasOpenForWrite);
    EXPECT_EQ(db.openObjectIds(), std::vector<AcDbObjectId>{lineId});
    EXPECT_EQ(w->close(), Acad::eOk);
    EXPECT_EQ(w->close(), Acad::eNotOpenForRead);  // closing twice
    EXPECT_TRUE(db.openObjectIds().empty());
}

// The list of open objects stays exact whatever order objects are opened and closed in, and
// in every mode (a closed object gives its place in the list to another).
TEST_F(OpenClose, OpenListFollowsEveryOrderOfClosing)
{
    std::vector<AcDbObjectId> ids{lineId};
    for (int i = 1; i < 6; ++i) ids.push_back(addLine(db, {0, double(i), 0}, {10, double(i), 0}));
    std::vector<AcDbObject*> objs(ids.size());
    const AcDb::OpenMode modes[] = {AcDb::kForRead, AcDb::kForWrite, AcDb::kForNotify};
    for (size_t i = 0; i < ids.size(); ++i) ASSERT_EQ(acdbOpenObject(objs[i], ids[i], modes[i % 3]), Acad::eOk);
    AcDbObject* again = nullptr;
    ASSERT_EQ(acdbOpenObject(again, ids[3], AcDb::kForRead), Acad::eOk);  // a second reader
    std::vector<AcDbObjectId> want = ids;
    for (size_t k : {2u, 0u, 3u, 5u, 1u, 4u}) {
        ASSERT_EQ(objs[k]->close(), Acad::eOk);
        if (k != 3) std::erase(want, ids[k]);  // the second reader still holds #3
        EXPECT_EQ(db.openObjectIds(), want) << "after closing " << k;
        EXPECT_EQ(db.numOpenObjects(), int(want.size()));
    }
    ASSERT_EQ(again->close(), Acad::eOk);
    EXPECT_TRUE(db.openObjectIds().empty());
    EXPECT_EQ(db.numOpenObjects(), 0);
}

TEST_F(OpenClose, ErasedObjectsOpenOnlyWhenAsked)
{
    {
        AcDbObjectPointer<AcDbLine> line(lineId, AcDb::kForWrite);
        ASSERT_EQ(line.openStatus(), Acad::eOk);
        EXPECT_EQ(line->erase(), Acad::eOk);
        EXPECT_EQ(line->erase(), Acad::eWasErased);
    }
    EXPECT_TRUE(lineId.isErased());
    AcDbObject* obj = nullptr;
    EXPECT_EQ(acdbOpenObject(obj, lineId, AcDb::kForRead), Acad::eWasErased);
    ASSERT_EQ(acdbOpenObject(obj, lineId, AcDb::kForWrite, true), Acad::eOk);
    EXPECT_TRUE(obj->isErased());
    EXPECT_EQ(obj->erase(false), Acad::eOk);
    obj->close();
    EXPECT_FALSE(lineId.isErased());
    EXPECT_EQ(db.numOpenObjects(), 0);
}

class Undeletable : public AcDbLine {
public:
    ACRX_DECLARE_MEMBERS(Undeletable);
    bool refuse = true;

protected:
    Acad::ErrorStatus subErase(bool erasing) override
    {
        return erasing && refuse ? Acad::eCannotBeErasedByCaller : Acad::eOk;
    }
};
ACRX_DEFINE_MEMBERS(Undeletable, AcDbLine)

struct Event {
    char kind;  // 'a'ppended, 'm'odified, 'e'rased, 'u'nerased, 'd'estroyed
    AcDbObjectId id;
    bool operator==(const Event&) const = default;
};

class Recorder : public AcDbDatabaseReactor {
public:
    std::vector<Event> events;
    void objectAppended(const AcDbDatabase*, const AcDbObject* o) override { events.push_back({'a', o->objectId()}); }
    void objectModified(const AcDbDatabase*, const AcDbObject* o) override { events.push_back({'m', o->objectId()}); }
    void objectErased(const AcDbDatabase*, const AcDbObject* o, bool e) override
    {
        events.push_back({e ? 'e' : 'u', o->objectId()});
    }
    void databaseToBeDestroyed(AcDbDatabase*) override { events.push_back({'d', AcDbObjectId()}); }
};

TEST(Reactors, HearAppendModifyEraseInOrder)
{
    Recorder local, global;
    auto db = std::make_unique<AcDbDatabase>();
    db->addReactor(&local);
    AcDbDatabase::addGlobalReactor(&global);

    AcDbObjectId id = addLine(*db, {0, 0, 0}, {1, 0, 0});
    {
        AcDbObjectPointer<AcDbLine> line(id, AcDb::kForWrite);
        line->setEndPoint({2, 0, 0});
    }
    {
        AcDbObjectPointer<AcDbLine> line(id, AcDb::kForWrite);  // no change: no event
    }
    {
        AcDbObjectPointer<AcDbLine> line(id, AcDb::kForRead);
    }
    {
        AcDbObjectPointer<AcDbLine> line(id, AcDb::kForWrite);
        line->erase();
    }
    // Appending the line changes model space (its entity list) too.
    AcDbObjectId ms = db->modelSpaceId();
    std::vector<Event> expected{{'a', id}, {'m', ms}, {'m', id}, {'e', id}, {'m', id}};
    EXPECT_EQ(local.events, expected);
    db->removeReactor(&local);
    db.reset();
    AcDbDatabase::removeGlobalReactor(&global);
    expected.push_back({'d', AcDbObjectId()});
    EXPECT_EQ(global.events, expected);
    EXPECT_EQ(local.events.size(), expected.size() - 1);
}

}  // namespace
