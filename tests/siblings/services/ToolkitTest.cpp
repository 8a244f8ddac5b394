#include "host/ed/SystemVariables.h"
#include "siblings/object/CObjectKind.h"
#include "siblings/services/AddToModelSpace.h"
#include "siblings/services/COsVarVal.h"
#include "siblings/services/CVKQsLayer.h"
#include "siblings/services/Relation.h"
#include "siblings/services/VKToolKit.h"
#include "siblings/services/VkCommonTool.h"
#include "siblings/services/VkProInterface.h"
#include "tests/siblings/services/ServicesTestDb.h"

namespace {

TEST_F(ServicesTest, AddToModelSpaceAppendsToTheWorkingDrawingAndClosesTheEntity)
{
    AcDbDatabase other(true);
    AcDbObjectId id;
    ASSERT_EQ(addToModelSpace(id, line(0, 0, 1, 1)), Acad::eOk);
    EXPECT_EQ(id.database(), db.get());
    AcDbBlockTableRecord* ms = nullptr;
    ASSERT_EQ(acdbOpenObject(ms, db->modelSpaceId(), AcDb::kForRead), Acad::eOk);
    EXPECT_EQ(ms->entityIds(), std::vector<AcDbObjectId>{id});
    ms->close();
    EXPECT_EQ(addToModelSpace(id, nullptr), Acad::eNullObjectPointer);
    EXPECT_TRUE(id.isNull());
    acdbHostApplicationServices()->setWorkingDatabase(nullptr);
    AcDbLine* orphan = line(0, 0, 1, 1);
    EXPECT_NE(addToModelSpace(id, orphan), Acad::eOk);
    delete orphan;  // still the caller's
}

TEST_F(ServicesTest, SelectEntityGivesModelSpaceEntitiesOfALayerInDrawingOrder)
{
    acdbEnsureLayer(db.get(), u"VK_建筑_SYS_施工段", true);
    acdbEnsureLayer(db.get(), u"B", true);
    AcDbObjectId a1 = append(db.get(), line(0, 0, 1, 0, u"VK_建筑_SYS_施工段"));
    append(db.get(), line(0, 0, 2, 0, u"B"));
    AcDbObjectId a2 = append(db.get(), line(0, 0, 3, 0, u"VK_建筑_SYS_施工段"));
    append(db.get(), line(0, 0, 4, 0, u"VK_建筑_SYS_施工段"), addBlock(db.get(), u"BLK"));  // not model space
    AcDbObjectIdArray ids = VKToolKit::SelectEntity(u"vk_建筑_sys_施工段", u"", -1);
    ASSERT_EQ(ids.length(), 2);
    EXPECT_EQ(ids[0], a1);
    EXPECT_EQ(ids[1], a2);
    EXPECT_EQ(VKToolKit::SelectEntity(u"none", u"", -1).length(), 0);
}

TEST_F(ServicesTest, OffsetCurvesAreNewObjectsOrNone)
{
    AcDbLine l(AcGePoint3d(0, 0, 0), AcGePoint3d(10, 0, 0));
    AcDbCurve* out = reinterpret_cast<AcDbCurve*>(&l);  // preset: must be replaced
    ASSERT_EQ(VKToolKit::GetOffsetCurve(&l, 2.0, out), Acad::eOk);
    ASSERT_NE(out, nullptr);
    ASSERT_NE(out, &l);
    AcGePoint3d s, e;
    out->getStartPoint(s);
    out->getEndPoint(e);
    EXPECT_NEAR(std::abs(s.y), 2.0, 1e-9);
    EXPECT_NEAR(s.y, e.y, 1e-9);
    EXPECT_NEAR(e.x - s.x, 10.0, 1e-9);
    delete out;
    AcDbCurve bare;  // a curve kind without offsets
    out = &bare;
    EXPECT_NE(VKToolKit::GetOffsetCurve(&bare, 1.0, out), Acad::eOk);
    EXPECT_EQ(out, nullptr);
    out = &bare;
    EXPECT_NE(VKToolKit::GetOffsetCurve(nullptr, 1.0, out), Acad::eOk);
    EXPECT_EQ(out, nullptr);
}

TEST_F(ServicesTest, ExtentsOverlapWhenTheyShareAnyPointAndNeverWhenEmpty)
{
    AcDbExtents a(AcGePoint3d(0, 0, 0), AcGePoint3d(10, 10, 0));
    EXPECT_TRUE(VKToolKit::ExtentsInter(a, AcDbExtents(AcGePoint3d(5, 5, 0), AcGePoint3d(20, 20, 0))));
    EXPECT_TRUE(VKToolKit::ExtentsInter(a, AcDbExtents(AcGePoint3d(10, 0, 0), AcGePoint3d(20, 5, 0))));
    EXPECT_FALSE(VKToolKit::ExtentsInter(a, AcDbExtents(AcGePoint3d(10.5, 0, 0), AcGePoint3d(20, 5, 0))));
    EXPECT_FALSE(VKToolKit::ExtentsInter(a, AcDbExtents()));
}

TEST_F(ServicesTest, HandlesAreUpperCaseHex)
{
    AcDbObjectId id;
    ASSERT_EQ(db->getAcDbObjectId(id, true, AcDbHandle(0x1AFu)), Acad::eOk);
    EXPECT_EQ(Relation::GetHandleFromObjectId(id), u"1AF");
    AcDbObjectId lineId = append(db.get(), line(0, 0, 1, 1));
    CString text = Relation::GetHandleFromObjectId(lineId);
    EXPECT_EQ(AcDbHandle(text.GetString()), lineId.handle());
    EXPECT_EQ(Relation::GetHandleFromObjectId(AcDbObjectId()), u"");
}

TEST_F(ServicesTest, OsVarValHoldsTheValueAndPutsTheOldOneBack)
{
    vked::SetShortVar(u"ORTHOMODE", 1);
    {
        COsVarVal guard(u"ORTHOMODE", short(0));
        EXPECT_TRUE(guard.IsSet());
        EXPECT_EQ(vked::GetShortVar(u"ORTHOMODE", -1), 0);
        COsVarVal inner(u"ORTHOMODE", short(1));
        EXPECT_EQ(vked::GetShortVar(u"ORTHOMODE", -1), 1);
    }
    EXPECT_EQ(vked::GetShortVar(u"ORTHOMODE", -1), 1);
    {
        COsVarVal real(u"PIXELSIZE", 2.5);
        COsVarVal text(u"MODEMACRO", CString(u"VK_标准房间"));
        EXPECT_EQ(vked::GetRealVar(u"PIXELSIZE"), 2.5);
        resbuf rb;
        ASSERT_EQ(acedGetVar(u"MODEMACRO", &rb), RTNORM);
        EXPECT_EQ(CString(rb.resval.rstring), u"VK_标准房间");
        acutDelString(rb.resval.rstring);
    }
    EXPECT_EQ(vked::GetRealVar(u"PIXELSIZE"), 1.0);
    resbuf rb;
    ASSERT_EQ(acedGetVar(u"MODEMACRO", &rb), RTNORM);
    EXPECT_EQ(CString(rb.resval.rstring), u"");
    acutDelString(rb.resval.rstring);
    {
        COsVarVal unknown(u"NOSUCHVAR", short(1));
        COsVarVal readOnly(u"CMDACTIVE", short(1));
        EXPECT_FALSE(unknown.IsSet());
        EXPECT_FALSE(readOnly.IsSet());
    }
    EXPECT_EQ(vked::GetShortVar(u"CMDACTIVE", -1), 0);
}

TEST_F(ServicesTest, LayerNamesOfDetailNamesAndArchitecturalPaths)
{
    EXPECT_EQ(CVKQsLayer::GetLayer(u"标准房间"), u"VK_标准房间");
    // The marker kind names its detail name; the layer comes from here.
    EXPECT_EQ(CVKQsLayer::GetLayer(CObjectKind::GetLayerByKind(Object::kStandRoom)), u"VK_标准房间");
    EXPECT_EQ(CVKQsLayer::GetLayer(u""), u"0");
    EXPECT_EQ(CVKQsLayer::GetJzLayerByDetailNamePath(u"建筑\\施工段\\施工段", false), u"VK_建筑_SYS_施工段");
    EXPECT_EQ(CVKQsLayer::GetJzLayerByDetailNamePath(u"建筑\\墙\\", false), u"VK_建筑_SYS_墙");
    EXPECT_EQ(CVKQsLayer::GetJzLayerByDetailNamePath(u"", false), u"");
    EXPECT_FALSE(acdbEnsureLayer(db.get(), u"VK_建筑_SYS_施工段", false));
    CVKQsLayer::GetJzLayerByDetailNamePath(u"建筑\\施工段\\施工段", true);
    EXPECT_TRUE(acdbEnsureLayer(db.get(), u"VK_建筑_SYS_施工段", false));
}

TEST_F(ServicesTest, TextSentToTheHostIsReadBeforeQueuedLinesAndTheWaitLineFrames)
{
    vked::inputQueue().push(u"queued", u"t.scr", 1);
    VkCommonTool::sendCommandToHost(u"posted");
    auto first = vked::inputQueue().take();
    ASSERT_TRUE(first);
    EXPECT_EQ(first->text, u"posted");
    {
        VkProInterface wait;
        wait.ShowProgressDialog(u"正在处理楼层 2F", nullptr);
        EXPECT_TRUE(wait.IsShown());
        EXPECT_EQ(out.utf8(), "<wait: 正在处理楼层 2F>\n");
    }
    EXPECT_EQ(out.utf8(), "<wait: 正在处理楼层 2F>\n<wait done>\n");
    { VkProInterface unused; }
    EXPECT_EQ(out.utf8(), "<wait: 正在处理楼层 2F>\n<wait done>\n");
}

}  // namespace
