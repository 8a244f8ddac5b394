// SAVEALL writes the drawings whose changes no file holds yet and leaves the others on disk as
// they are.
#include <gtest/gtest.h>

#include <filesystem>

#include "apps/vkcad/HostCommands.h"
#include "apps/vkcad/Session.h"
#include "host/db/AcDb.h"
#include "host/ed/AcApDocManager.h"
#include "host/ed/InputQueue.h"
#include "host/ed/Transcript.h"
#include "host/win/Windows.h"
#include "tests/support/ProjectFiles.h"
#include "tests/support/TestDrawing.h"

namespace fs = std::filesystem;

TEST(VkcadSaveAll, WritesTheChangedDrawingsAndLeavesTheOthersAsTheyAre)
{
    const fs::path dir = vktest::FreshTestDir("vkcad_saveall");
    auto path = [&](const char* name) { return CString::FromUtf8((dir / name).string()); };
    for (const char* name : {"changed.dwg", "unchanged.dwg"}) {
        AcDbDatabase db;
        vktest::appendToModelSpace(db, new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(10, 0, 0)));
        ASSERT_EQ(db.saveAs(path(name), false), Acad::eOk);
        ASSERT_EQ(acDocManager->appContextOpenDocument(path(name)), Acad::eOk);
    }
    AcApDocument* changed = nullptr;
    ASSERT_EQ(acDocManager->openDocument(path("changed.dwg"), false, &changed), Acad::eOk);
    {
        AcDbObjectPointer<AcDbEntity> line(vktest::EntityIds(changed->database()).at(0), AcDb::kForWrite);
        ASSERT_EQ(line->erase(), Acad::eOk);
    }
    const std::string unchanged = vktest::FileBytes(dir / "unchanged.dwg");

    vkcad::RegisterHostCommands();
    vked::TranscriptCapture capture;
    vked::inputQueue().pushText(u"SAVEALL\n", u"t.scr");
    EXPECT_EQ(vkcad::RunInput(), 0) << capture.utf8();

    AcDbDatabase saved(false, true);
    ASSERT_EQ(saved.readDwgFile(path("changed.dwg"), _SH_DENYNO), Acad::eOk);
    EXPECT_TRUE(vktest::EntityIds(&saved).empty());
    EXPECT_TRUE(fs::exists(dir / "changed.bak"));
    EXPECT_FALSE(fs::exists(dir / "unchanged.bak"));
    EXPECT_EQ(vktest::FileBytes(dir / "unchanged.dwg"), unchanged);
    acDocManager->closeAll();
    fs::remove_all(dir);
}
