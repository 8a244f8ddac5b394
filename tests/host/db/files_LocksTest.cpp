#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/host/db/files_TestDrawing.h"

using namespace filestest;

namespace {

void saveSample(ScratchDir& dir, const char* name, int lines = 1)
{
    AcDbDatabase db;
    for (int i = 0; i < lines; ++i) addLine(db, AcGePoint3d(i, 0, 0), AcGePoint3d(i, 1, 0));
    ASSERT_EQ(db.saveAs(dir.win(name)), Acad::eOk);
}

bool canOpenForWriting(ScratchDir& dir, const char* name)
{
    SharedFile f;
    return f.Open(dir.win(name), SharedFile::kWrite, _SH_DENYNO);
}

}  // namespace

TEST(DrawingFileLocks, ReadDenyingWritersHoldsTheFileUntilTheDatabaseGoes)
{
    ScratchDir dir;
    saveSample(dir, "lib.dwg");
    auto reader = std::make_unique<AcDbDatabase>(false);
    ASSERT_EQ(reader->readDwgFile(dir.win("lib.dwg"), _SH_DENYWR), Acad::eOk);
    EXPECT_FALSE(canOpenForWriting(dir, "lib.dwg"));
    EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);

    // Others may still read it, with either share mode, and copy it.
    AcDbDatabase second(false);
    EXPECT_EQ(second.readDwgFile(dir.win("lib.dwg"), _SH_DENYWR), Acad::eOk);
    EXPECT_TRUE(CopyFileW(dir.win("lib.dwg"), dir.win("copy.dwg"), FALSE));

    // Another database cannot save over it; the file stays as it was.
    std::string before = readBytes(dir.host("lib.dwg"));
    AcDbDatabase other;
    EXPECT_EQ(other.saveAs(dir.win("lib.dwg")), Acad::eFileSharingViolation);
    EXPECT_EQ(readBytes(dir.host("lib.dwg")), before);

    reader.reset();
    EXPECT_FALSE(canOpenForWriting(dir, "lib.dwg"));  // the second reader still holds it
}

TEST(DrawingFileLocks, ReadWithoutDenyingLetsGoAtOnce)
{
    ScratchDir dir;
    saveSample(dir, "lib.dwg");
    AcDbDatabase reader(false);
    ASSERT_EQ(reader.readDwgFile(dir.win("lib.dwg"), _SH_DENYNO), Acad::eOk);
    EXPECT_TRUE(canOpenForWriting(dir, "lib.dwg"));
    AcDbDatabase other;
    EXPECT_EQ(other.saveAs(dir.win("lib.dwg")), Acad::eOk);
}

TEST(DrawingFileLocks, TheShareModeOfAReadIsHeldUntilTheDatabaseGoesAndDenyingNothingHoldsNothing)
{
    ScratchDir dir;
    saveSample(dir, "lib.dwg");
    auto opens = [&](SharedFile::Access access, int share) {
        SharedFile f;
        return f.Open(dir.win("lib.dwg"), access, share);
    };
    {
        AcDbDatabase denyAll(false);
        ASSERT_EQ(denyAll.readDwgFile(dir.win("lib.dwg"), _SH_DENYRW), Acad::eOk);
        EXPECT_FALSE(opens(SharedFile::kRead, _SH_DENYNO));
        EXPECT_FALSE(opens(SharedFile::kWrite, _SH_DENYNO));
    }
    EXPECT_TRUE(opens(SharedFile::kRead, _SH_DENYNO));
    // A read that denies nothing keeps no hold on the file: once saved over, another program
    // may take the new file for itself.
    AcDbDatabase denyNone(false);
    ASSERT_EQ(denyNone.readDwgFile(dir.win("lib.dwg"), _SH_DENYNO), Acad::eOk);
    ASSERT_EQ(denyNone.saveAs(dir.win("lib.dwg")), Acad::eOk);
    EXPECT_TRUE(opens(SharedFile::kReadWrite, _SH_DENYRW));
}

TEST(DrawingFileLocks, DatabaseSavesOverItsOwnLockedFileAndKeepsTheLock)
{
    ScratchDir dir;
    saveSample(dir, "lib.dwg");
    AcDbDatabase lib(false);
    ASSERT_EQ(lib.readDwgFile(dir.win("lib.dwg"), _SH_DENYWR), Acad::eOk);
    addLine(lib, AcGePoint3d(9, 9, 0), AcGePoint3d(10, 10, 0));
    ASSERT_EQ(lib.saveAs(dir.win("lib.dwg"), true, AcDb::kDHL_1027), Acad::eOk);
    EXPECT_FALSE(canOpenForWriting(dir, "lib.dwg"));

    AcDbDatabase back(false);
    ASSERT_EQ(back.readDwgFile(dir.win("lib.dwg"), _SH_DENYNO), Acad::eOk);
    EXPECT_EQ(dump(back), dump(lib));
    EXPECT_TRUE(std::filesystem::exists(dir.host("lib.bak")));
}

TEST(DrawingFileLocks, SavingOverItsOwnFileIsRefusedWhileAnotherReaderDeniesWriters)
{
    ScratchDir dir;
    saveSample(dir, "lib.dwg");
    AcDbDatabase lib(false), other(false);
    ASSERT_EQ(lib.readDwgFile(dir.win("lib.dwg"), _SH_DENYWR), Acad::eOk);
    ASSERT_EQ(other.readDwgFile(dir.win("lib.dwg"), _SH_DENYWR), Acad::eOk);
    std::string before = readBytes(dir.host("lib.dwg"));
    EXPECT_EQ(lib.saveAs(dir.win("lib.dwg"), true), Acad::eFileSharingViolation);
    EXPECT_EQ(readBytes(dir.host("lib.dwg")), before);
    EXPECT_FALSE(std::filesystem::exists(dir.host("lib.bak")));
}

TEST(DrawingFileLocks, FileHeldForWritingByADocumentRefusesReadersAndSavers)
{
    ScratchDir dir;
    saveSample(dir, "floor.dwg");
    SharedFile document;
    ASSERT_TRUE(document.Open(dir.win("floor.dwg"), SharedFile::kWrite, _SH_DENYWR));
    AcDbDatabase reader(false);
    EXPECT_EQ(reader.readDwgFile(dir.win("floor.dwg"), _SH_DENYWR), Acad::eFileSharingViolation);
    EXPECT_TRUE(reader.allObjectIds(true).empty());
    AcDbDatabase saver;
    EXPECT_EQ(saver.saveAs(dir.win("floor.dwg")), Acad::eFileSharingViolation);
    // Reading without denying writers still works.
    EXPECT_EQ(reader.readDwgFile(dir.win("floor.dwg"), _SH_DENYNO), Acad::eOk);
}

TEST(DrawingFileLocks, LocksHoldAcrossProcesses)
{
    ScratchDir dir;
    saveSample(dir, "lib.dwg");
    int ready[2], done[2];
    ASSERT_EQ(pipe(ready), 0);
    ASSERT_EQ(pipe(done), 0);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // The child reads the library denying writers, says so, and waits to be released.
        AcDbDatabase lib(false);
        char c = lib.readDwgFile(dir.win("lib.dwg"), _SH_DENYWR) == Acad::eOk ? 'y' : 'n';
        (void)!write(ready[1], &c, 1);
        (void)!read(done[0], &c, 1);
        _exit(0);
    }
    char c = 0;
    ASSERT_EQ(read(ready[0], &c, 1), 1);
    ASSERT_EQ(c, 'y');
    AcDbDatabase saver;
    EXPECT_EQ(saver.saveAs(dir.win("lib.dwg")), Acad::eFileSharingViolation);
    AcDbDatabase reader(false);
    EXPECT_EQ(reader.readDwgFile(dir.win("lib.dwg"), _SH_DENYWR), Acad::eOk);  // readers share
    (void)!write(done[1], "x", 1);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_EQ(status, 0);
    // Our own reader still holds it: another saver is refused, our own save goes through.
    EXPECT_EQ(saver.saveAs(dir.win("lib.dwg")), Acad::eFileSharingViolation);
    EXPECT_EQ(reader.save(), Acad::eOk);
    for (int fd : {ready[0], ready[1], done[0], done[1]}) close(fd);
}

