#include <gtest/gtest.h>

#include "host/db/DwgFormat.h"
#include "tests/host/db/files_TestDrawing.h"

using namespace filestest;

TEST(DrawingFileRoundTrip, SecondSaveKeepsThePreviousFileAsBak)
{
    ScratchDir dir;
    AcDbDatabase db;
    addLine(db, AcGePoint3d(0, 0, 0), AcGePoint3d(1, 1, 0));
    ASSERT_EQ(db.saveAs(dir.win("lib.dwg"), true), Acad::eOk);
    EXPECT_FALSE(std::filesystem::exists(dir.host("lib.bak")));
    std::string first = readBytes(dir.host("lib.dwg"));

    addLine(db, AcGePoint3d(2, 2, 0), AcGePoint3d(3, 3, 0));
    ASSERT_EQ(db.save(), Acad::eOk);
    EXPECT_EQ(readBytes(dir.host("lib.bak")), first);
    EXPECT_NE(readBytes(dir.host("lib.dwg")), first);

    // Without back-up-and-rename the .bak stays as it was.
    addLine(db, AcGePoint3d(4, 4, 0), AcGePoint3d(5, 5, 0));
    ASSERT_EQ(db.saveAs(dir.win("lib.dwg"), false), Acad::eOk);
    EXPECT_EQ(readBytes(dir.host("lib.bak")), first);
    // No temporary files are left behind.
    int files = 0;
    for (auto& e : std::filesystem::directory_iterator(std::filesystem::path(dir.host("lib.dwg")).parent_path()))
        ++files, (void)e;
    EXPECT_EQ(files, 2);
}

TEST(DrawingFileRoundTrip, UnsupportedVersionOrFolderIsRefusedWithoutAFile)
{
    ScratchDir dir;
    AcDbDatabase db;
    EXPECT_EQ(db.saveAs(dir.win("v.dwg"), true, static_cast<AcDb::AcDbDwgVersion>(33)), Acad::eInvalidDwgVersion);
    EXPECT_FALSE(std::filesystem::exists(dir.host("v.dwg")));
    EXPECT_NE(db.saveAs(dir.win("missing\\v.dwg")), Acad::eOk);
    const char16_t* name = nullptr;
    EXPECT_EQ(db.getFilename(name), Acad::eNotApplicable);
}

TEST(DrawingFileRoundTrip, ReadingReplacesWhatTheDatabaseHeld)
{
    ScratchDir dir;
    AcDbDatabase source;
    addLine(source, AcGePoint3d(0, 0, 0), AcGePoint3d(1, 0, 0));
    ASSERT_EQ(source.saveAs(dir.win("r.dwg")), Acad::eOk);
    AcDbDatabase db;  // default content, then replaced
    addLine(db, AcGePoint3d(5, 5, 0), AcGePoint3d(6, 6, 0));
    addLine(db, AcGePoint3d(5, 5, 0), AcGePoint3d(7, 6, 0));
    ASSERT_EQ(db.readDwgFile(dir.win("r.dwg"), _SH_DENYNO), Acad::eOk);
    EXPECT_EQ(dump(db), dump(source));
}
