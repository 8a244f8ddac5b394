#pragma once
// A fresh working drawing, an empty input queue and a captured transcript for each test.
#include <gtest/gtest.h>

#include <memory>

#include "host/db/AcDb.h"
#include "host/ed/AcEd.h"
#include "tests/support/TestDrawing.h"

class ServicesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        vked::inputQueue().clear();
        vked::ResetSystemVariables();
        vked::ResetInputEnded();
        db = std::make_unique<AcDbDatabase>(true);
        acdbHostApplicationServices()->setWorkingDatabase(db.get());
    }
    void TearDown() override
    {
        acdbHostApplicationServices()->setWorkingDatabase(nullptr);
        EXPECT_EQ(db->numOpenObjects(), 0);
    }
public:
    // Appends an entity to a block of `d` (model space by default) and closes it.
    static AcDbObjectId append(AcDbDatabase* d, AcDbEntity* ent, AcDbObjectId block = AcDbObjectId())
    {
        const AcDbObjectId id = vktest::appendTo(block.isNull() ? d->modelSpaceId() : block, ent);
        EXPECT_FALSE(id.isNull());
        return id;
    }
    static AcDbLine* line(double x1, double y1, double x2, double y2, const char16_t* layer = u"0")
    {
        auto* l = new AcDbLine(AcGePoint3d(x1, y1, 0), AcGePoint3d(x2, y2, 0));
        l->setLayer(layer);
        return l;
    }
    // A named block of `d`.
    static AcDbObjectId addBlock(AcDbDatabase* d, const char16_t* name)
    {
        const AcDbObjectId id = vktest::addBlockDefinition(*d, name);
        EXPECT_FALSE(id.isNull()) << "block definition";
        return id;
    }

protected:
    std::unique_ptr<AcDbDatabase> db;
    vked::TranscriptCapture out;
};
