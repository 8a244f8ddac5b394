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
