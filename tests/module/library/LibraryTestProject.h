#pragma once
// A scratch project of floors 1F and 2F for the library's tests, with helpers to store a room
// and to read the library drawing back.
#include "host/db/AcDb.h"
#include "module/frame/CManageStdRoom.h"
#include "siblings/object/VkQsPipe.h"
#include "tests/support/ScratchProjectTest.h"

class LibraryProjectTest : public vktest::ScratchProjectTest {
protected:
    void SetUp() override
    {
        ScratchProjectTest::SetUp();
        useProject({{"1F", "1F.dwg"}, {"2F", "2F.dwg"}});
    }
    void TearDown() override
    {
        CManageStdRoom::DelIntance();
        ScratchProjectTest::TearDown();
    }

    static CManageStdRoom* library() { return CManageStdRoom::CreateOnlyInstance(); }

    // Stores a room of one pipe under the name, without a boundary; 1 when stored.
    int storePipeRoom(const CString& name)
    {
        AcDbObjectIdArray ids(0, 8);
        ids.append(append(new VkQsPipe(AcGePoint3d(0, 0, 0), AcGePoint3d(100, 0, 0))));
        return library()->AppendStdRoom1(name, ids, AcGePoint3d::kOrigin);
    }

    // A library drawing holding one empty block per name.
    void writeBlocks(const std::vector<CString>& names)
    {
        AcDbDatabase lib(true, true);
        for (const CString& name : names) ASSERT_FALSE(vktest::addBlockDefinition(lib, name).isNull());
        ASSERT_EQ(lib.saveAs(hostPath("StardardRoom.dwg")), Acad::eOk);
    }
};
