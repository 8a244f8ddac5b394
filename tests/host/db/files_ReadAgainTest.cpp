// A drawing file read again unchanged is not checked a second time; one written to in place
// since the first read (same file, same size) is checked again, so damage is still refused.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "tests/host/db/files_TestDrawing.h"

using namespace filestest;

TEST(DrawingFileReadAgain, AFileDamagedInPlaceAfterItWasReadIsRefusedWhenReadAgain)
{
    ScratchDir dir;
    {
        AcDbDatabase db;
        vktest::appendToModelSpace(db, new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(10, 0, 0)));
        ASSERT_EQ(db.saveAs(dir.win("a.dwg"), false), Acad::eOk);
    }
    AcDbDatabase first(false, true);
    ASSERT_EQ(first.readDwgFile(dir.win("a.dwg"), _SH_DENYNO), Acad::eOk);

    std::string bytes = readBytes(dir.host("a.dwg"));
    bytes[bytes.size() - 5] ^= 1;  // the last object's fields: the checksum no longer fits
    writeBytes(dir.host("a.dwg"), bytes);
    // A write so soon after the first may keep the time stamp at the clock's resolution; move it.
    const std::filesystem::path path = dir.host("a.dwg");
    std::filesystem::last_write_time(path, std::filesystem::last_write_time(path) + std::chrono::seconds(2));

    AcDbDatabase second(false, true);
    EXPECT_EQ(second.readDwgFile(dir.win("a.dwg"), _SH_DENYNO), Acad::eDwgCRCDoesNotMatch);
}
