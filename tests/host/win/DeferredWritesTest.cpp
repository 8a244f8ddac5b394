// Deferred writes between sessions: a file that someone else changed or holds since the scope
// opened is not overwritten by its commit. (What a commit does under kills and full disks is
// tested where the library uses it: tests/module/library/LibraryFaultTest.cpp.)
#include <filesystem>

#include "TempDrive.h"
#include "host/win/DeferredWrites.h"

namespace {
using vkwin::DeferredWrites;

using DeferredWritesTest = TempDriveTest;

TEST_F(DeferredWritesTest, AFileChangedOrHeldByAnotherSessionIsNotOverwritten)
{
    WriteBytes("a.txt", "a0");
    {
        DeferredWrites scope{u"C:\\a.txt"};
        vkwin::ReplaceWholeFile(u"C:\\a.txt", "ours");
        WriteBytes("x.txt", "theirs");
        std::filesystem::rename(Host("x.txt"), Host("a.txt"));  // another session's save
        EXPECT_FALSE(scope.Commit());
        EXPECT_EQ(scope.Error(), ERROR_SHARING_VIOLATION);
    }
    EXPECT_EQ(ReadBytes("a.txt"), "theirs");
    SharedFile other;
    ASSERT_TRUE(other.Open(u"C:\\a.txt", SharedFile::kRead, _SH_DENYWR));
    EXPECT_FALSE(vkwin::ReplaceWholeFile(u"C:\\a.txt", "ours"));
    EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
    EXPECT_EQ(ReadBytes("a.txt"), "theirs");
}

}  // namespace
