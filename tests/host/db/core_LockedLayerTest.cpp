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

