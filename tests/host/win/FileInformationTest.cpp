// What an open file tells about itself: size, write time and identity, enough to see that a
// file was replaced by a save.
#include <gtest/gtest.h>

#include <filesystem>

#include "TempDrive.h"
#include "host/win/FileInformation.h"

namespace {
class FileInformation : public TempDriveTest {
protected:
    BY_HANDLE_FILE_INFORMATION info(const char16_t* path)
    {
        SharedFile f;
        EXPECT_TRUE(f.Open(path, SharedFile::kRead, _SH_DENYNO));
        BY_HANDLE_FILE_INFORMATION i;
        EXPECT_TRUE(GetFileInformationByHandle(f, &i));
        return i;
    }
};

TEST_F(FileInformation, SizeTimeAndIdentityFollowTheFileAcrossAReplacement)
{
    WriteBytes("a.dwg", "12345");
    const BY_HANDLE_FILE_INFORMATION first = info(u"c:\\a.dwg");
    EXPECT_EQ(first.nFileSizeLow, 5u);
    EXPECT_EQ(first.nFileSizeHigh, 0u);
    EXPECT_EQ(first.dwFileAttributes, FILE_ATTRIBUTE_NORMAL);
    // Write times count 100 ns from 1601: any file of this century lies past 2000-01-01.
    const unsigned long long t = (static_cast<unsigned long long>(first.ftLastWriteTime.dwHighDateTime) << 32) |
                                 first.ftLastWriteTime.dwLowDateTime;
    EXPECT_GT(t, 125911584000000000ULL);

    const BY_HANDLE_FILE_INFORMATION again = info(u"c:\\a.dwg");
    EXPECT_EQ(again.nFileIndexLow, first.nFileIndexLow);
    EXPECT_EQ(again.nFileIndexHigh, first.nFileIndexHigh);
    EXPECT_EQ(again.ftLastWriteTime.dwLowDateTime, first.ftLastWriteTime.dwLowDateTime);

    // A save writes a new file and renames it over the old one, which is kept as a backup.
    WriteBytes("a.tmp", "1234567");
    std::filesystem::rename(Host("a.dwg"), Host("a.bak"));
    std::filesystem::rename(Host("a.tmp"), Host("a.dwg"));
    const BY_HANDLE_FILE_INFORMATION saved = info(u"c:\\a.dwg");
    EXPECT_TRUE(saved.nFileIndexLow != first.nFileIndexLow || saved.nFileIndexHigh != first.nFileIndexHigh);
    EXPECT_EQ(saved.nFileSizeLow, 7u);
}

}  // namespace
