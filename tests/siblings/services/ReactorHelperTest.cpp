#include "siblings/services/VkQsReactorHelper.h"
#include "tests/siblings/services/ServicesTestDb.h"

namespace {

std::vector<AcDbObjectId> ModelSpace(AcDbDatabase* d) { return vktest::EntityIds(d); }

bool IsA(AcDbObjectId id, AcRxClass* cls)
{
    AcDbObject* obj = nullptr;
    if (acdbOpenObject(obj, id, AcDb::kForRead) != Acad::eOk) return false;
    bool is = obj->isKindOf(cls);
    obj->close();
    return is;
}

TEST_F(ServicesTest, AppendedIdsOfATransformInsertComeInOrderWithTheBlocksItBroughtAlong)
{
    AcDbDatabase source(true);
    AcDbObjectId block = addBlock(&source, u"门");
    append(&source, line(0, 0, 1, 0), block);
    append(&source, line(0, 0, 5, 0));
    append(&source, new AcDbBlockReference(AcGePoint3d(2, 2, 0), block));
    append(&source, line(0, 0, 0, 5));

    append(db.get(), line(9, 9, 8, 8));
    AcDbObjectIdArray ids;
    VkQsReactorHelper::GetAllAppendId(ids);  // what came before the insertion
    ASSERT_EQ(ids.length(), 1);
    std::vector<AcDbObjectId> before = ModelSpace(db.get());

    AcGeMatrix3d move;
    move.setToTranslation(AcGeVector3d(100, 0, 0));
    ASSERT_EQ(db->insert(move, &source), Acad::eOk);
    AcDbDatabase elsewhere(true);
    append(&elsewhere, line(0, 0, 1, 1));  // another drawing's appends are not reported

    ids.append(AcDbObjectId());  // the call empties the array first
    VkQsReactorHelper::GetAllAppendId(ids);
    std::vector<AcDbObjectId> after = ModelSpace(db.get());
    std::vector<AcDbObjectId> added(after.begin() + long(before.size()), after.end());
    ASSERT_EQ(added.size(), 3u);

    // The new model-space entities, in order, are among the appended ids, in the same order.
    std::vector<AcDbObjectId> got;
    for (int i = 0; i < ids.length(); ++i) {
        EXPECT_EQ(ids[i].database(), db.get());
        if (std::find(added.begin(), added.end(), ids[i]) != added.end()) got.push_back(ids[i]);
    }
    EXPECT_EQ(got, added);
    // The block definition came along: its begin, its line and its end.
    int begin = -1, end = -1;
    for (int i = 0; i < ids.length(); ++i) {
        if (IsA(ids[i], AcDbBlockBegin::desc())) begin = i;
        if (IsA(ids[i], AcDbBlockEnd::desc())) end = i;
    }
    ASSERT_GE(begin, 0);
    EXPECT_GT(end, begin + 1);
    EXPECT_TRUE(IsA(ids[begin + 1], AcDbLine::desc()));

    VkQsReactorHelper::GetAllAppendId(ids);
    EXPECT_EQ(ids.length(), 0);  // nothing since the last call
}

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
