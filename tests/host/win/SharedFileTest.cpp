#include <sys/wait.h>
#include <unistd.h>

#include "TempDrive.h"

namespace {

// Opens the file in a forked child (a different process, its own open) and reports the
// outcome: 0 when the open succeeded, else the child's GetLastError().
int OpenInChild(const CString& path, SharedFile::Access access, int share) {
    pid_t pid = fork();
    if (pid == 0) {
        SharedFile f;
        _exit(f.Open(path, access, share) ? 0 : static_cast<int>(GetLastError() & 0x7F));
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

constexpr int kViolation = static_cast<int>(ERROR_SHARING_VIOLATION);

}  // namespace

using ShareLocks = TempDriveTest;

TEST_F(ShareLocks, DenyWriteReaderKeepsWritersOutInThisProcessAndOthers) {
    WriteBytes("a.dwg", "v1");
    SharedFile reader;
    ASSERT_TRUE(reader.Open(u"C:\\a.dwg", SharedFile::kRead, _SH_DENYWR));

    SharedFile writer;
    EXPECT_FALSE(writer.Open(u"C:\\a.dwg", SharedFile::kReadWrite, _SH_DENYNO));
    EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
    EXPECT_FALSE(writer.IsOpen());
    EXPECT_EQ(OpenInChild(u"C:\\a.dwg", SharedFile::kWrite, _SH_DENYNO), kViolation);

    // Other readers are welcome, denying writers or not.
    SharedFile second;
    EXPECT_TRUE(second.Open(u"C:\\a.dwg", SharedFile::kRead, _SH_DENYWR));
    EXPECT_EQ(OpenInChild(u"C:\\a.dwg", SharedFile::kRead, _SH_DENYNO), 0);

    reader.Close();
    EXPECT_EQ(OpenInChild(u"C:\\a.dwg", SharedFile::kWrite, _SH_DENYNO), kViolation);  // `second` still denies
    second.Close();
    EXPECT_EQ(OpenInChild(u"C:\\a.dwg", SharedFile::kWrite, _SH_DENYNO), 0);
    EXPECT_TRUE(writer.Open(u"C:\\a.dwg", SharedFile::kWrite, _SH_DENYNO));
}

TEST_F(ShareLocks, WriterKeepsDenyWriteReadersOut) {
    WriteBytes("a.dwg", "v1");
    SharedFile doc;
    ASSERT_TRUE(doc.Open(u"C:\\a.dwg", SharedFile::kReadWrite, _SH_DENYNO));
    SharedFile reader;
    EXPECT_FALSE(reader.Open(u"C:\\a.dwg", SharedFile::kRead, _SH_DENYWR));
    EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
    EXPECT_EQ(OpenInChild(u"C:\\a.dwg", SharedFile::kRead, _SH_DENYWR), kViolation);
    EXPECT_EQ(OpenInChild(u"C:\\a.dwg", SharedFile::kRead, _SH_DENYNO), 0);
    EXPECT_EQ(OpenInChild(u"C:\\a.dwg", SharedFile::kWrite, _SH_DENYNO), 0);

    SharedFile moved(std::move(doc));  // the lock goes with the object
    EXPECT_FALSE(reader.Open(u"C:\\a.dwg", SharedFile::kRead, _SH_DENYWR));
    moved.Close();
    EXPECT_TRUE(reader.Open(u"C:\\a.dwg", SharedFile::kRead, _SH_DENYWR));
}

TEST_F(ShareLocks, HolderReplacesItsOwnFileAndStaysLocked) {
    WriteBytes("lib.dwg", "old");
    SharedFile db;
    ASSERT_TRUE(db.Open(u"C:\\lib.dwg", SharedFile::kRead, _SH_DENYWR));
    WriteBytes(".lib.dwg.tmp", "new");
    ASSERT_TRUE(db.ReplaceWith(Host(".lib.dwg.tmp")));
    EXPECT_EQ(ReadBytes("lib.dwg"), "new");
    EXPECT_FALSE(PathFileExistsW(u"C:\\.lib.dwg.tmp"));
    std::string back;
    ASSERT_TRUE(db.ReadAll(back));
    EXPECT_EQ(back, "new");
    // The new file is held just as the old one was.
    EXPECT_EQ(OpenInChild(u"C:\\lib.dwg", SharedFile::kWrite, _SH_DENYNO), kViolation);
    EXPECT_EQ(OpenInChild(u"C:\\lib.dwg", SharedFile::kRead, _SH_DENYWR), 0);
    db.Close();
    EXPECT_EQ(OpenInChild(u"C:\\lib.dwg", SharedFile::kWrite, _SH_DENYNO), 0);
}

TEST_F(ShareLocks, ReplaceIsRefusedWhileAnotherOpenDeniesWriters) {
    WriteBytes("lib.dwg", "old");
    WriteBytes("tmp", "new");
    SharedFile db, other;
    ASSERT_TRUE(db.Open(u"C:\\lib.dwg", SharedFile::kRead, _SH_DENYWR));
    ASSERT_TRUE(other.Open(u"C:\\lib.dwg", SharedFile::kRead, _SH_DENYWR));
    EXPECT_FALSE(db.ReplaceWith(Host("tmp")));
    EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
    EXPECT_EQ(ReadBytes("lib.dwg"), "old");
    EXPECT_EQ(ReadBytes("tmp"), "new");
    other.Close();
    EXPECT_FALSE(db.ReplaceWith(Host("missing")));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(OpenInChild(u"C:\\lib.dwg", SharedFile::kWrite, _SH_DENYNO), kViolation);  // still held
    EXPECT_TRUE(db.ReplaceWith(Host("tmp")));
}
