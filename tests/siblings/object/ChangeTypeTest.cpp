#include <gtest/gtest.h>

#include "siblings/object/QsGlobalVariable.h"
#include "siblings/object/StandRoomNotifier.h"
#include "siblings/object/VkQsNode.h"
#include "siblings/region/AcDbVkRoom.h"
#include "tests/siblings/object/ObjectTestDb.h"

namespace {

// A placed copy: boundary, one node and a pipe with a valve, linked to a marker the way the
// standard-room tools link them (with the notification off, as those tools run).
struct PlacedCopy {
    AcDbObjectId marker, room, node;
    objtest::PipeWithValves pipe;
};

PlacedCopy placeCopy(AcDbDatabase& db)
{
    TmpSetNotifySRoom off(false);
    PlacedCopy c;
    auto* room = new AcDbVkRoom;
    for (unsigned int i = 0; i < 4; ++i)
        room->addVertexAt(i, AcGePoint2d(i == 2 || i == 3 ? 6000 : 0, i == 1 || i == 2 ? 4000 : 0));
    c.room = objtest::appendToModelSpace(db, room);
    c.node = objtest::appendToModelSpace(db, new VkQsNode(AcGePoint3d(100, 100, 0)));
    c.pipe = objtest::addPipeWithValves(db, {300});
    c.marker = objtest::appendToModelSpace(db, new AcDbQsStandRoom);
    {
        AcDbObjectPointer<AcDbQsStandRoom> m(c.marker, AcDb::kForWrite);
        m->SetRoomName(u"卫生间");
        m->SetAssositRoom(c.room);
        m->SetAssositEnts(objtest::toArray({c.node, c.pipe.pipe, c.pipe.valves[0]}));
    }
    for (AcDbObjectId id : {c.node, c.pipe.pipe, c.pipe.valves[0]}) {
        AcDbObjectPointer<VkQsEntity> e(id, AcDb::kForWrite);
        e->SetAssositSRoom(c.marker);
    }
    AcDbObjectPointer<AcDbVkRoom> r(c.room, AcDb::kForWrite);
    r->SetIfBelongSR(true);
    return c;
}

int chgType(AcDbObjectId marker)
{
    AcDbObjectPointer<AcDbQsStandRoom> m(marker, AcDb::kForRead);
    return m ? m->GetChgType() : -1;
}

void moveNode(AcDbObjectId node)
{
    AcDbObjectPointer<VkQsNode> n(node, AcDb::kForWrite);
    n->SetInsertPoint(AcGePoint3d(200, 200, 0));
}

}  // namespace

TEST(ChangeType, LinkingAPlacedCopyLeavesItUnmodified)
{
    AcDbDatabase db;
    const PlacedCopy c = placeCopy(db);
    EXPECT_EQ(chgType(c.marker), 0);
    // Links and the module's own style bit are no edits, even with the notification on.
    for (AcDbObjectId id : {c.node, c.pipe.valves[0]}) {
        AcDbObjectPointer<VkQsEntity> e(id, AcDb::kForWrite);
        e->SetAssositSRoom(c.marker);
        e->SetStyle(e->GetStyle() | 0x20);
    }
    {
        AcDbObjectPointer<AcDbVkRoom> r(c.room, AcDb::kForWrite);
        r->SetIfBelongSR(true);
    }
    EXPECT_EQ(chgType(c.marker), 0);
}

TEST(ChangeType, AUserEditOfAComponentMarksTheCopy)
{
    AcDbDatabase db;
    const PlacedCopy c = placeCopy(db);
    ASSERT_TRUE(QsGlobalVariable::NotifySRoomEnabled());
    moveNode(c.node);
    EXPECT_EQ(chgType(c.marker), 1);

    AcDbObjectPointer<AcDbQsStandRoom> m(c.marker, AcDb::kForWrite);
    EXPECT_EQ(m->SetUnModifyState(), Acad::eOk);
    EXPECT_EQ(m->GetChgType(), 0);
}

TEST(ChangeType, ErasingAComponentOrEditingTheBoundaryMarksTheCopy)
{
    AcDbDatabase db;
    const PlacedCopy c = placeCopy(db);
    {
        AcDbObjectPointer<VkQsPipe> pipe(c.pipe.pipe, AcDb::kForWrite);
        pipe->erase();
    }
    EXPECT_EQ(chgType(c.marker), 1);

    const PlacedCopy d = placeCopy(db);
    {
        AcDbObjectPointer<AcDbVkRoom> r(d.room, AcDb::kForWrite);
        r->setPointAt(0, AcGePoint2d(-100, -100));
    }
    EXPECT_EQ(chgType(d.marker), 1);
    EXPECT_EQ(chgType(c.marker), 1);
}

TEST(ChangeType, ModuleOperationsWithTheSwitchOffNeverSetIt)
{
    AcDbDatabase db;
    const PlacedCopy c = placeCopy(db);
    {
        TmpSetDeepCone noClone(false);
        TmpSetNotifySRoom off(false);
        moveNode(c.node);
        AcDbObjectPointer<AcDbVkRoom> r(c.room, AcDb::kForWrite);
        r->setPointAt(0, AcGePoint2d(-100, -100));
        r->erase();
    }
    EXPECT_EQ(chgType(c.marker), 0);
    EXPECT_TRUE(QsGlobalVariable::NotifySRoomEnabled());
    EXPECT_TRUE(QsGlobalVariable::DeepCloneEnabled());
}

TEST(ChangeType, AMarkerOpenElsewhereIsMarkedOnceItCanBe)
{
    AcDbDatabase db;
    const PlacedCopy c = placeCopy(db);
    {
        AcDbObjectPointer<AcDbQsStandRoom> reader(c.marker, AcDb::kForRead);
        moveNode(c.node);
        EXPECT_EQ(reader->GetChgType(), 1);  // reported already
        EXPECT_TRUE(StandRoomNotifier::isPending(c.marker));
    }
    EXPECT_EQ(StandRoomNotifier::flush(), 1);
    EXPECT_FALSE(StandRoomNotifier::isPending(c.marker));
    EXPECT_EQ(chgType(c.marker), 1);
    EXPECT_EQ(db.numOpenObjects(), 0);

    // Put back to 0 while still pending: the explicit state wins.
    const PlacedCopy d = placeCopy(db);
    {
        AcDbObjectPointer<AcDbQsStandRoom> reader(d.marker, AcDb::kForRead);
        moveNode(d.node);
    }
    {
        AcDbObjectPointer<AcDbQsStandRoom> m(d.marker, AcDb::kForWrite);
        ASSERT_TRUE(m);
        // Opening for write is itself a database event that may already have written it.
        m->SetUnModifyState();
    }
    EXPECT_EQ(chgType(d.marker), 0);
    StandRoomNotifier::flush();
    EXPECT_EQ(chgType(d.marker), 0);
}
