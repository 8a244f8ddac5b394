#include <sys/stat.h>

#include <thread>

#include "TempDrive.h"

using FileOps = TempDriveTest;

TEST_F(FileOps, CopyAndDeleteRespectOpenFiles) {
    WriteBytes("lib.dwg", "library");
    WriteBytes("tmp.dwg", "preview");
    {
        SharedFile preview;
        ASSERT_TRUE(preview.Open(u"C:\\tmp.dwg", SharedFile::kRead, _SH_DENYWR));
        EXPECT_FALSE(CopyFileW(u"C:\\lib.dwg", u"C:\\tmp.dwg", FALSE));
        EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
        EXPECT_FALSE(DeleteFileW(u"C:\\tmp.dwg"));
        EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
        EXPECT_EQ(ReadBytes("tmp.dwg"), "preview");
        // Readers of the source that let others read do not stop a copy.
        SharedFile reader;
        ASSERT_TRUE(reader.Open(u"C:\\lib.dwg", SharedFile::kRead, _SH_DENYWR));
        EXPECT_TRUE(CopyFileW(u"C:\\lib.dwg", u"C:\\other.dwg", FALSE));
    }
    EXPECT_TRUE(DeleteFileW(u"C:\\tmp.dwg"));
    EXPECT_FALSE(PathFileExistsW(u"C:\\tmp.dwg"));
    EXPECT_FALSE(DeleteFileW(u"C:\\tmp.dwg"));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

