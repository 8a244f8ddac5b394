#include "siblings/services/VkQsReactorHelper.h"
#include "tests/siblings/services/ServicesTestDb.h"

namespace {

TEST_F(ServicesTest, AppendsOfADrawingThatIsGoneAreForgotten)
{
    {
        AcDbDatabase temp(true);
        acdbHostApplicationServices()->setWorkingDatabase(&temp);
        append(&temp, line(0, 0, 1, 1));
        acdbHostApplicationServices()->setWorkingDatabase(db.get());
    }
    AcDbObjectIdArray ids;
    VkQsReactorHelper::GetAllAppendId(ids);
    EXPECT_EQ(ids.length(), 0);
    AcDbObjectId id = append(db.get(), line(0, 0, 2, 2));
    VkQsReactorHelper::GetAllAppendId(ids);
    ASSERT_EQ(ids.length(), 1);
    EXPECT_EQ(ids[0], id);
}

}  // namespace
