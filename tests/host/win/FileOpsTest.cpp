#include <sys/stat.h>

#include <thread>

#include "TempDrive.h"

using FileOps = TempDriveTest;

TEST_F(FileOps, CopyOverwritesOrRefusesAnExistingTarget) {
    WriteBytes("lib.dwg", std::string("AC1027\0\xFFxyz", 11));
    WriteBytes("tmp.dwg", "old");
    chmod(Host("lib.dwg").c_str(), 0640);

    SetLastError(0);
    EXPECT_FALSE(CopyFileW(u"C:\\lib.dwg", u"C:\\tmp.dwg", TRUE));
    EXPECT_EQ(GetLastError(), ERROR_FILE_EXISTS);
    EXPECT_EQ(ReadBytes("tmp.dwg"), "old");

    EXPECT_TRUE(CopyFileW(u"C:\\lib.dwg", u"C:\\tmp.dwg", FALSE));
    EXPECT_EQ(ReadBytes("tmp.dwg"), std::string("AC1027\0\xFFxyz", 11));
    struct stat st {};
    ASSERT_EQ(stat(Host("tmp.dwg").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);

    EXPECT_TRUE(CopyFileW(u"C:\\lib.dwg", u"C:\\new.dwg", TRUE));
    EXPECT_EQ(ReadBytes("new.dwg"), ReadBytes("lib.dwg"));
}

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

