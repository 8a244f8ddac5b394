#pragma once
// A temporary project folder made current, with helpers to read the library files back.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

#include "host/db/AcDb.h"
#include "host/win/WinPath.h"
#include "module/frame/CManageStdRoom.h"
#include "siblings/object/VkQsPipe.h"
#include "siblings/project/VkQsProject.h"
#include "tests/support/NothingOpen.h"
#include "tests/support/ProjectFiles.h"
#include "tests/support/TestDrawing.h"

class LibraryProjectTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = vktest::FreshTestDir("vkroom-lib");
        std::ofstream(dir / "p.prj") << "[Project]\n[Floors]\n1F=1F.dwg\n2F=2F.dwg\n";
        CString err;
        ASSERT_TRUE(VkQsProject::SetCurrentProjectFile((dir / "p.prj").string(), &err)) << err.ToUtf8();
        acdbTakeOpenObjectReports();  // what earlier tests left is theirs
        db = std::make_unique<AcDbDatabase>(true);
        acdbHostApplicationServices()->setWorkingDatabase(db.get());
    }
    void TearDown() override
    {
        CManageStdRoom::DelIntance();
        acdbHostApplicationServices()->setWorkingDatabase(nullptr);
        EXPECT_TRUE(vktest::NothingLeftOpen(db.get()));
        db.reset();
        VkQsProject::SetCurrentProjectFile("");
        std::filesystem::remove_all(dir);
    }

    std::string bytes(const char* file) const { return vktest::FileBytes(dir / file); }
    CString hostPath(const char* file) const { return vkwin::FromHostPath((dir / file).string()); }

    AcDbObjectId append(AcDbEntity* ent, AcDbDatabase* into = nullptr)
    {
        const AcDbObjectId id = vktest::appendToModelSpace(into ? *into : *db, ent);
        EXPECT_FALSE(id.isNull());
        return id;
    }

    // Stores a room of one pipe under the name, without a boundary; 1 when stored.
    int storePipeRoom(const CString& name)
    {
        AcDbObjectIdArray ids(0, 8);
        ids.append(append(new VkQsPipe(AcGePoint3d(0, 0, 0), AcGePoint3d(100, 0, 0))));
        return CManageStdRoom::CreateOnlyInstance()->AppendStdRoom1(name, ids, AcGePoint3d::kOrigin);
    }

    // Names of the blocks of the library drawing that are not layouts, read from the file.
    std::vector<CString> libraryBlocks() const
    {
        AcDbDatabase lib(false, true);
        std::vector<CString> names;
        if (lib.readDwgFile(hostPath("StardardRoom.dwg")) != Acad::eOk) return names;
        AcDbBlockTable* table = nullptr;
        EXPECT_EQ(lib.getBlockTable(table, AcDb::kForRead), Acad::eOk);
        for (const AcDbObjectId& id : table->recordIds()) {
            AcDbBlockTableRecord* rec = nullptr;
            if (acdbOpenObject(rec, id, AcDb::kForRead) != Acad::eOk) continue;
            CString name;
            rec->getName(name);
            if (!rec->isLayout()) names.push_back(name);
            rec->close();
        }
        table->close();
        return names;
    }

    std::filesystem::path dir;
    std::unique_ptr<AcDbDatabase> db;
};
