// Entities on a locked layer: callers cannot open them for write, while the database's own
// work (saving and reading, cloning into another drawing, layer maintenance) goes on.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <memory>

#include "host/win/WinPath.h"
#include "host/win/Windows.h"
#include "tests/host/db/core_TestDb.h"

using coretest::addLine;

namespace {

void LockLayer(AcDbDatabase& db, const char16_t* name, bool locked)
{
    ASSERT_FALSE(vktest::SetLayer(db, name, {.locked = locked}).isNull());
}

AcDbObjectId AddLineOn(AcDbDatabase& db, const char16_t* layer, double y)
{
    auto* line = new AcDbLine(AcGePoint3d(0, y, 0), AcGePoint3d(10, y, 0));
    line->setLayer(layer);
    return coretest::appendToModelSpace(db, line);
}

class LockedLayer : public ::testing::Test {
protected:
    void SetUp() override
    {
        fixed = AddLineOn(db, u"Fixed", 0);
        loose = AddLineOn(db, u"Free", 5);
        LockLayer(db, u"Fixed", true);
    }
    AcDbDatabase db;
    AcDbObjectId fixed, loose;
};

}  // namespace

TEST_F(LockedLayer, WriteOpensAndUpgradesAreRefusedReadsAreNot)
{
    AcDbEntity* ent = nullptr;
    EXPECT_EQ(acdbOpenAcDbEntity(ent, fixed, AcDb::kForWrite), Acad::eOnLockedLayer);
    EXPECT_EQ(ent, nullptr);
    AcDbObject* obj = nullptr;
    EXPECT_EQ(acdbOpenObject(obj, fixed, AcDb::kForWrite), Acad::eOnLockedLayer);
    EXPECT_EQ(db.numOpenObjects(), 0) << "a refused open leaves nothing open";

    ASSERT_EQ(acdbOpenAcDbEntity(ent, fixed, AcDb::kForRead), Acad::eOk);
    EXPECT_EQ(ent->upgradeOpen(), Acad::eOnLockedLayer);
    EXPECT_FALSE(ent->isWriteEnabled());
    EXPECT_EQ(ent->close(), Acad::eOk);

    ASSERT_EQ(acdbOpenAcDbEntity(ent, loose, AcDb::kForWrite), Acad::eOk);
    EXPECT_EQ(ent->erase(), Acad::eOk);
    ent->close();

    // Unlocked again, the entity is an ordinary one.
    LockLayer(db, u"Fixed", false);
    ASSERT_EQ(acdbOpenAcDbEntity(ent, fixed, AcDb::kForWrite), Acad::eOk);
    ent->close();
    EXPECT_STREQ(acadErrorStatusText(Acad::eOnLockedLayer), "eOnLockedLayer");
}

TEST_F(LockedLayer, SavingReadingAndCloningKeepTheEntitiesAndTheLock)
{
    const std::filesystem::path file =
        std::filesystem::temp_directory_path() / ("vk-locked-" + std::to_string(::getpid()) + ".dwg");
    const CString path = vkwin::FromHostPath(file.string());
    ASSERT_EQ(db.saveAs(path, false, AcDb::kDHL_1027), Acad::eOk);
    {
        AcDbDatabase back(false, true);
        ASSERT_EQ(back.readDwgFile(path, _SH_DENYNO), Acad::eOk);
        AcDbObjectId id;
        ASSERT_EQ(back.getAcDbObjectId(id, false, fixed.handle()), Acad::eOk);
        AcDbEntity* ent = nullptr;
        EXPECT_EQ(acdbOpenAcDbEntity(ent, id, AcDb::kForWrite), Acad::eOnLockedLayer);
        ASSERT_EQ(acdbOpenAcDbEntity(ent, id, AcDb::kForRead), Acad::eOk);
        EXPECT_EQ(ent->layer().Compare(u"Fixed"), 0);
        ent->close();
    }
    std::filesystem::remove(file);

    // Copies into a new drawing and back in as a block: the copies keep their layer.
    AcDbObjectIdArray ids;
    ids.append(fixed);
    ids.append(loose);
    AcDbDatabase* raw = nullptr;
    ASSERT_EQ(db.wblock(raw, ids, AcGePoint3d(0, 0, 0)), Acad::eOk);
    std::unique_ptr<AcDbDatabase> copy(raw);
    AcDbBlockTableRecord* space = nullptr;
    ASSERT_EQ(acdbOpenObject(space, copy->modelSpaceId(), AcDb::kForRead), Acad::eOk);
    EXPECT_EQ(space->entityIds().size(), 2u);
    space->close();
    AcDbObjectId blockId;
    ASSERT_EQ(db.insert(blockId, u"Copied", copy.get(), true), Acad::eOk);
    AcDbBlockTableRecord* block = nullptr;
    ASSERT_EQ(acdbOpenObject(block, blockId, AcDb::kForRead), Acad::eOk);
    EXPECT_EQ(block->entityIds().size(), 2u);
    block->close();
    ASSERT_EQ(db.insert(AcGeMatrix3d::translation(AcGeVector3d(0, 100, 0)), copy.get(), true), Acad::eOk);
    EXPECT_EQ(db.numOpenObjects(), 0);

    // New layers still come into the table while one of its layers is locked.
    AcDbObjectId added;
    EXPECT_TRUE(acdbEnsureLayer(&db, u"Later", true, &added));
    EXPECT_FALSE(added.isNull());
}
