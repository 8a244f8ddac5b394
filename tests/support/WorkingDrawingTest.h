#pragma once
// The first kind of set-up: a fresh working drawing for each test, in which nothing may be left
// open when the test ends. The scratch project and the module on a floor derive from it.
#include <gtest/gtest.h>

#include <memory>

#include "host/db/AcDb.h"
#include "tests/support/NothingOpen.h"
#include "tests/support/TestDrawing.h"

namespace vktest {

class WorkingDrawingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        acdbTakeOpenObjectReports();  // what earlier tests left is theirs
        db = std::make_unique<AcDbDatabase>(true);
        acdbHostApplicationServices()->setWorkingDatabase(db.get());
    }
    void TearDown() override
    {
        acdbHostApplicationServices()->setWorkingDatabase(nullptr);
        EXPECT_TRUE(NothingLeftOpen(db.get()));
    }

    // Appends ent to the working drawing's model space, on `layer` (made when missing).
    AcDbObjectId append(AcDbEntity* ent, const char16_t* layer = nullptr)
    {
        if (layer) {
            acdbEnsureLayer(db.get(), layer, true);
            ent->setLayer(layer);
        }
        const AcDbObjectId id = appendToModelSpace(*db, ent);
        EXPECT_FALSE(id.isNull());
        return id;
    }

    std::unique_ptr<AcDbDatabase> db;
};

}  // namespace vktest
