// Validation reads the library once; its result must be that of looking each name up in a
// fresh read of the library, as the block table looks names up.
#include <gtest/gtest.h>

#include "tests/module/library/LibraryTestProject.h"
#include "tests/support/ValidationByName.h"

namespace {
class ValidationByNameTest : public LibraryProjectTest {};

using vktest::ValidatedNameByName;
}  // namespace

TEST_F(ValidationByNameTest, OneReadKeepsWhatANameByNameLookupKeeps)
{
    {
        AcDbDatabase lib(true, true);
        AcDbObjectId gone;
        for (const char16_t* name : {u"Toilet", u"房间1", u"gone"}) ASSERT_FALSE((gone = vktest::addBlockDefinition(lib, name)).isNull());
        {
            AcDbObjectPointer<AcDbBlockTableRecord> erased(gone, AcDb::kForWrite);
            ASSERT_EQ(erased->erase(), Acad::eOk);
        }
        ASSERT_EQ(lib.saveAs(hostPath("StardardRoom.dwg")), Acad::eOk);
    }
    const std::vector<CString> listed = {u"TOILET", u"房间1", u"", u"gone", u"房间1", u"*Model_Space",
                                         u"Toilet", u"房间2", u"toilet "};
    CManageStdRoom* lib = CManageStdRoom::CreateOnlyInstance();
    lib->m_RoomNames = listed;
    lib->ValidateRoom();
    EXPECT_EQ(lib->m_RoomNames, ValidatedNameByName(listed));
    EXPECT_EQ(lib->m_RoomNames.size(), 5u) << "case variants, duplicates and the model space stay";
}
