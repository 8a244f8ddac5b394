#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <map>
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

std::string dump(AcDbDatabase& db) { return vktest::DumpJson(db); }

std::map<std::string, nlohmann::json> linesByClass(const std::string& text)
{
    std::map<std::string, nlohmann::json> r;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        if (!line.empty()) {
            nlohmann::json j = nlohmann::json::parse(line);
            r[j.value("class", "")] = j;
        }
    return r;
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

TEST(CloneAndFiling, EveryClassFilesItsDocumentedFieldsAndRoundTrips)
{
    AcDbDatabase db;
    TmpSetNotifySRoom quiet(false);
    const auto pv = objtest::addPipeWithValves(db, {250});
    auto* marker = new AcDbQsStandRoom;
    marker->addVertexAt(0, AcGePoint2d(40, 40));
    marker->addVertexAt(1, AcGePoint2d(40, 3960));
    marker->SetRoomName(u"卫生间");
    marker->SetBasePt(AcGePoint3d(1, 2, 0));
    marker->SetInsertPt(AcGePoint3d(3, 4, 5));
    AcGeMatrix3d m = AcGeMatrix3d::translation(AcGeVector3d(3, 4, 0));
    marker->SetMatrix(m);
    marker->SetAssositEnts(objtest::toArray({pv.pipe, pv.valves[0]}));
    marker->SetChgType(1);
    const AcDbObjectId markerId = objtest::appendToModelSpace(db, marker);
    auto* room = new AcDbVkRoom;
    room->addVertexAt(0, AcGePoint2d(0, 0));
    const AcDbObjectId roomId = objtest::appendToModelSpace(db, room);
    {
        AcDbObjectPointer<AcDbQsStandRoom> mk(markerId, AcDb::kForWrite);
        mk->SetAssositRoom(roomId);
        AcDbObjectPointer<VkQsPipe> pipe(pv.pipe, AcDb::kForWrite);
        pipe->SetAssositSRoom(markerId);
        pipe->SetStyle(5);
        pipe->SetKPYX(true);
    }
    auto* fitting = new VkQsPipeFitting(AcGePoint3d(0, 0, 0));
    fitting->SetRefPipes(objtest::toArray({pv.pipe}));
    objtest::appendToModelSpace(db, fitting);
    const AcDbObjectId dlp = objtest::appendToModelSpace(db, new VkQsDlpEnt(AcGePoint3d(), AcGePoint3d(0, 9, 0), 3));
    auto* duct = new VkQsDuctFitting(AcGePoint3d(0, 9, 0));
    duct->SetRefDlps(objtest::toArray({dlp}));
    objtest::appendToModelSpace(db, duct);
    objtest::appendToModelSpace(db, new VkQsNode(AcGePoint3d(7, 7, 0)));
    objtest::appendToModelSpace(db, new VkQsSprinkler(VkQsCommon::Placement3D(AcGePoint3d(8, 8, 0), AcGeVector3d::kXAxis)));
    objtest::appendToModelSpace(db, new VkQsElementComponent(VkQsCore::Product{u"水泵", AcGePoint3d(9, 9, 0)}));
    objtest::appendToModelSpace(db, new VkQsMainPipe(AcGePoint3d(), AcGePoint3d(1, 0, 0)));
    objtest::appendToModelSpace(db, new VkQsMainLeadCon(AcGePoint3d(), AcGePoint3d(0, 1, 0)));

    const std::string text = dump(db);
    auto lines = linesByClass(text);
    const auto hex = [](AcDbObjectId id) { return id.handle().text().ToUtf8(); };

    const nlohmann::json& p = lines["VkQsPipe"];
    EXPECT_EQ(p["typePath"], "给排水\\管道\\给水管");
    EXPECT_EQ(p["style"], 5);
    EXPECT_EQ(p["sroom"], hex(markerId));
    EXPECT_EQ(p["kpyx"], true);
    EXPECT_EQ(p["start"], nlohmann::json::array({0.0, 0.0, 0.0}));
    EXPECT_EQ(p["valves"], nlohmann::json::array({hex(pv.valves[0])}));
    EXPECT_EQ(lines["VkQsPipeValve"]["pipe"], hex(pv.pipe));
    EXPECT_EQ(lines["VkQsPipeValve"]["position"], nlohmann::json::array({250.0, 0.0, 0.0}));
    EXPECT_EQ(lines["VkQsPipeFitting"]["pipes"], nlohmann::json::array({hex(pv.pipe)}));
    EXPECT_TRUE(lines["VkQsPipeFitting"].contains("position"));
    EXPECT_EQ(lines["VkQsDuctFitting"]["dlps"], nlohmann::json::array({hex(dlp)}));
    EXPECT_EQ(lines["VkQsDlpEnt"]["width"], 3.0);
    EXPECT_TRUE(lines["VkQsNode"].contains("insertPt"));
    EXPECT_TRUE(lines["VkQsSprinkler"].contains("location"));
    EXPECT_EQ(lines["VkQsElementComponent"]["location"], nlohmann::json::array({9.0, 9.0, 0.0}));
    const nlohmann::json& mk = lines["AcDbQsStandRoom"];
    EXPECT_EQ(mk["roomName"], "卫生间");
    EXPECT_EQ(mk["basePt"], nlohmann::json::array({1.0, 2.0, 0.0}));
    EXPECT_EQ(mk["insertPt"], nlohmann::json::array({3.0, 4.0, 5.0}));
    ASSERT_EQ(mk["matrix"].size(), 16u);
    EXPECT_EQ(mk["matrix"][3], 3.0);  // row by row: the translation ends rows 0 and 1
    EXPECT_EQ(mk["matrix"][7], 4.0);
    EXPECT_EQ(mk["assocEnts"], nlohmann::json::array({hex(pv.pipe), hex(pv.valves[0])}));
    EXPECT_EQ(mk["assocRoom"], hex(roomId));
    EXPECT_EQ(mk["chgType"], 1);

    AcDbDatabase back(false);
    ASSERT_TRUE(vktest::LoadJsonLines(text, back));
    EXPECT_EQ(dump(back), text);
}

TEST(CloneAndFiling, BadComponentFieldsAreRefusedWithAMessage)
{
    for (const char* line : {R"({"handle":"B0","class":"VkQsDlpEnt","width":-1})",
                             R"({"handle":"B0","class":"VkQsNode","radius":0})",
                             R"({"handle":"B0","class":"VkQsElementComponent","width":0})",
                             R"({"handle":"B0","class":"VkQsSprinkler","refDir":[0,0,0]})"}) {
        AcDbDatabase db(false);
        std::istringstream in(line);
        CString error;
        EXPECT_NE(acdbLoadJson(in, &db, error), Acad::eOk) << line;
        EXPECT_FALSE(error.IsEmpty()) << line;
    }
}
