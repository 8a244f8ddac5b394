#include <gtest/gtest.h>

#include "host/db/DwgFormat.h"
#include "tests/host/db/files_TestDrawing.h"

using namespace filestest;

TEST(DrawingFileRoundTrip, ReadingASavedDrawingRestoresEveryObjectHandleAndReference)
{
    ScratchDir dir;
    AcDbDatabase db;
    buildSampleDrawing(db);
    ASSERT_EQ(db.saveAs(dir.win("a.dwg"), true, AcDb::kDHL_1027), Acad::eOk);

    AcDbDatabase back(false);
    ASSERT_EQ(back.readDwgFile(dir.win("a.dwg"), _SH_DENYNO), Acad::eOk);
    // Every live object, field, owner and reference by handle; the erased line is neither
    // written nor listed by its block.
    std::string expected;
    std::istringstream lines(dump(db));
    for (std::string line; std::getline(lines, line);)
        if (line.find("\"erased\":true") == std::string::npos) expected += line + "\n";
    const std::string gone = ",\"" + db.allObjectIds(true).back().handle().text().ToUtf8() + "\"]";
    ASSERT_TRUE(db.allObjectIds(true).back().isErased());
    ASSERT_NE(expected.find(gone), std::string::npos);
    expected.replace(expected.find(gone), gone.size(), "]");
    EXPECT_EQ(dump(back), expected);
    EXPECT_EQ(back.handseed(), db.handseed());
    EXPECT_EQ(back.blockTableId().handle(), db.blockTableId().handle());
    EXPECT_EQ(back.modelSpaceId().handle(), db.modelSpaceId().handle());

    // References point at the read objects, not at the original database.
    AcDbBlockTableRecord* ms = nullptr;
    ASSERT_EQ(acdbOpenObject(ms, back.modelSpaceId(), AcDb::kForRead), Acad::eOk);
    std::vector<AcDbObjectId> ents = ms->entityIds();
    ms->close();
    ASSERT_EQ(ents.size(), 4u);
    AcDbObjectPointer<AcDbBlockReference> ref(ents[3], AcDb::kForRead);
    ASSERT_TRUE(ref);
    EXPECT_EQ(ref->blockTableRecord().database(), &back);
    AcDbObjectPointer<AcDbBlockTableRecord> door(ref->blockTableRecord(), AcDb::kForRead);
    ASSERT_TRUE(door);
    CString name;
    door->getName(name);
    EXPECT_EQ(name, CString(u"Door"));
    EXPECT_EQ(door->entityIds().size(), 2u);
    EXPECT_EQ(back.numOpenObjects(), 2);  // the two still open here
}

TEST(DrawingFileRoundTrip, FileNameIsKnownAfterReadAndSave)
{
    ScratchDir dir;
    AcDbDatabase db;
    const char16_t* name = nullptr;
    EXPECT_EQ(db.getFilename(name), Acad::eNotApplicable);
    EXPECT_EQ(db.save(), Acad::eNotApplicable);
    ASSERT_EQ(db.saveAs(dir.win("n.dwg")), Acad::eOk);
    ASSERT_EQ(db.getFilename(name), Acad::eOk);
    EXPECT_EQ(CString(name), dir.win("n.dwg"));

    AcDbDatabase back(false);
    ASSERT_EQ(back.readDwgFile(dir.win("n.dwg")), Acad::eOk);
    EXPECT_EQ(back.filename(), dir.win("n.dwg"));
}

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

TEST(DrawingFileRoundTrip, FileStartsWithTheVersionTagOfThe2013Format)
{
    ScratchDir dir;
    AcDbDatabase db;
    ASSERT_EQ(db.saveAs(dir.win("t.dwg")), Acad::eOk);
    std::string bytes = readBytes(dir.host("t.dwg"));
    ASSERT_GT(bytes.size(), 14u);
    EXPECT_EQ(bytes.substr(8, 6), "AC1027");
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
