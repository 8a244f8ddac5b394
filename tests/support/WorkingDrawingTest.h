#pragma once
// A fresh working drawing for each test; nothing of it may be left open when the test ends.
#include <gtest/gtest.h>

#include <memory>

#include "host/db/AcDb.h"

namespace vktest {

class WorkingDrawingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        db = std::make_unique<AcDbDatabase>(true);
        acdbHostApplicationServices()->setWorkingDatabase(db.get());
    }
    void TearDown() override
    {
        EXPECT_EQ(db->numOpenObjects(), 0);
        acdbHostApplicationServices()->setWorkingDatabase(nullptr);
    }

    std::unique_ptr<AcDbDatabase> db;
};

}  // namespace vktest
