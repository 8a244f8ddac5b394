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
        COsVarVal text(u"CLAYER", CString(u"VK_标准房间"));
        EXPECT_EQ(vked::GetRealVar(u"PIXELSIZE"), 2.5);
        resbuf rb;
        ASSERT_EQ(acedGetVar(u"CLAYER", &rb), RTNORM);
        EXPECT_EQ(CString(rb.resval.rstring), u"VK_标准房间");
        acutDelString(rb.resval.rstring);
    }
    EXPECT_EQ(vked::GetRealVar(u"PIXELSIZE"), 1.0);
    resbuf rb;
    ASSERT_EQ(acedGetVar(u"CLAYER", &rb), RTNORM);
    EXPECT_EQ(CString(rb.resval.rstring), u"0");
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
