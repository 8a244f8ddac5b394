#pragma once
// A small drawing as the working database, a fresh input queue and a captured transcript.
#include <gtest/gtest.h>

#include <memory>

#include "host/db/AcDb.h"
#include "host/ed/AcEd.h"
#include "tests/support/ModuleSession.h"
#include "tests/support/TestDrawing.h"

class EditorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        vked::inputQueue().clear();
        vked::inputQueue().setPullSource(nullptr);
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
    // Appends a line to model space (on `layer`, created when missing).
    AcDbObjectId addLine(AcGePoint3d a, AcGePoint3d b, const char16_t* layer = u"0")
    {
        acdbEnsureLayer(db.get(), layer, true);
        auto* line = new AcDbLine(a, b);
        line->setLayer(layer);
        const AcDbObjectId id = vktest::appendToModelSpace(*db, line);
        EXPECT_FALSE(id.isNull());
        return id;
    }
    static CString hashOf(AcDbObjectId id) { return CString(u"#") + id.handle().text(); }
    static void script(const std::vector<CString>& lines) { vktest::QueueLines(lines); }
    static AcDbObjectId idOf(const ads_name n)
    {
        AcDbObjectId id;
        acdbGetObjectId(id, n);
        return id;
    }

    std::unique_ptr<AcDbDatabase> db;
    vked::TranscriptCapture out;
};
