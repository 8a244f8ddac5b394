#include <gtest/gtest.h>

#include <sstream>

#include "host/db/AcDbJson.h"
#include "siblings/object/QsGlobalVariable.h"
#include "siblings/object/VkQsDlpEnt.h"
#include "siblings/object/VkQsDuctFitting.h"
#include "siblings/object/VkQsElementComponent.h"
#include "siblings/object/VkQsMainLine.h"
#include "siblings/object/VkQsNode.h"
#include "siblings/object/VkQsNodeEntPrototype.h"
#include "siblings/region/AcDbVkRoom.h"
#include "tests/support/ProjectFiles.h"
#include "tests/siblings/object/ObjectTestDb.h"

namespace {

using IdMap = std::vector<std::pair<AcDbObjectId, AcDbObjectId>>;

AcDbObjectId mapped(const IdMap& map, AcDbObjectId from)
{
    for (const auto& [a, b] : map)
        if (a == from) return b;
    return AcDbObjectId();
}

}  // namespace

TEST(CloneAndFiling, APipeClonedIntoAnotherDrawingTakesItsValvesAlong)
{
    AcDbDatabase src, dst;
    const auto pv = objtest::addPipeWithValves(src, {200, 700});
    IdMap map;
    {
        TmpSetDeepCone off(false);
        ASSERT_EQ(src.deepCloneObjects(objtest::toArray({pv.pipe}), dst.modelSpaceId(), map), Acad::eOk);
    }
    const AcDbObjectId pipeCopy = mapped(map, pv.pipe);
    ASSERT_FALSE(pipeCopy.isNull());
    EXPECT_EQ(pipeCopy.database(), &dst);
    AcDbObjectPointer<VkQsPipe> pipe(pipeCopy, AcDb::kForRead);
    ASSERT_TRUE(pipe);
    const AcDbObjectIdArray valves = pipe->GetRefValves();
    ASSERT_EQ(valves.length(), 2);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(valves[i], mapped(map, pv.valves[static_cast<size_t>(i)]));
        AcDbObjectPointer<VkQsPipeValve> valve(valves[i], AcDb::kForRead);
        ASSERT_TRUE(valve);
        EXPECT_EQ(valve->GetPipeId(), pipeCopy);  // the soft pointer follows into the copy
        EXPECT_EQ(valve->database(), &dst);
    }
    EXPECT_EQ(src.numOpenObjects() + dst.numOpenObjects(), 1);  // the pipe pointer above
}

TEST(CloneAndFiling, AUserCopyOfAComponentLeavesTheRoomWhileAModuleCopyKeepsIt)
{
    AcDbDatabase db;
    const AcDbObjectId marker = objtest::appendToModelSpace(db, new AcDbQsStandRoom);
    auto* node = new VkQsNode(AcGePoint3d(1, 1, 0));
    node->SetAssositSRoom(marker);
    const AcDbObjectId nodeId = objtest::appendToModelSpace(db, node);

    auto sroomOfCopy = [&] {
        IdMap map;
        EXPECT_EQ(db.deepCloneObjects(objtest::toArray({nodeId}), db.modelSpaceId(), map), Acad::eOk);
        AcDbObjectPointer<VkQsNode> copy(mapped(map, nodeId), AcDb::kForRead);
        return copy ? copy->GetAssositSRoom() : AcDbObjectId();
    };
    EXPECT_TRUE(sroomOfCopy().isNull());
    TmpSetDeepCone off(false);
    EXPECT_EQ(sroomOfCopy(), marker);
}

TEST(CloneAndFiling, AMarkerClonedDuringAStandardRoomInsertStartsUnmodified)
{
    AcDbDatabase db;
    auto* m = new AcDbQsStandRoom;
    m->SetChgType(1);
    const AcDbObjectId id = objtest::appendToModelSpace(db, m);
    auto chgTypeOfCopy = [&] {
        IdMap map;
        EXPECT_EQ(db.deepCloneObjects(objtest::toArray({id}), db.modelSpaceId(), map), Acad::eOk);
        AcDbObjectPointer<AcDbQsStandRoom> copy(mapped(map, id), AcDb::kForRead);
        return copy ? copy->GetChgType() : -1;
    };
    TmpSetNotifySRoom quiet(false);
    EXPECT_EQ(chgTypeOfCopy(), 1);
    TmpSetSRoomInsert insert(true);
    EXPECT_EQ(chgTypeOfCopy(), 0);
}


// A sprinkler's direction is made a unit vector when it is read, once: read again as written, it
// is the same to the last bit, so a drawing loaded from its own dump dumps the same.
TEST(CloneAndFiling, ASprinklersDirectionComesBackAsItWasWritten)
{
    auto dump = [](AcDbDatabase& db) {
        std::ostringstream out;
        EXPECT_EQ(acdbDumpJson(&db, out), Acad::eOk);
        return out.str();
    };
    auto load = [](const std::string& text, AcDbDatabase& db) {
        std::istringstream in(text);
        CString why;
        EXPECT_EQ(acdbLoadJson(in, &db, why), Acad::eOk) << why.ToUtf8();
    };
    AcDbDatabase first;
    load(R"({"class":"VkQsSprinkler","layer":"0","location":[3000,3000,0],"refDir":[1,1,0]})", first);
    const std::string once = dump(first);
    AcDbDatabase second(false);
    load(once, second);
    EXPECT_EQ(dump(second), once);
}
