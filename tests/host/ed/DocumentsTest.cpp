#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "host/win/Windows.h"
#include "tests/host/ed/EdTestSupport.h"

namespace {

struct DestroyLog : AcApDocManagerReactor {
    std::vector<CString> names;
    void documentToBeDestroyed(AcApDocument* doc) override { names.push_back(doc->docTitle()); }
};

class DocumentsTest : public EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        dir = std::filesystem::temp_directory_path() / ("vk_ed_docs_" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
        for (const char* name : {"F1.dwg", "F2.dwg"}) {
            AcDbDatabase d(true);
            ASSERT_EQ(d.saveAs(path(name).GetString()), Acad::eOk);
        }
    }
    void TearDown() override
    {
        acDocManager->closeAll();
        acdbHostApplicationServices()->setWorkingDatabase(db.get());
        std::filesystem::remove_all(dir);
        EditorTest::TearDown();
    }
    CString path(const char* name) const { return CString::FromUtf8((dir / name).string()); }
    std::filesystem::path dir;
};

CString g_second;

TEST_F(DocumentsTest, AnOpenDocumentHoldsItsFileAgainstOtherWritersUntilClosed)
{
    DestroyLog log;
    acDocManager->addReactor(&log);
    ASSERT_EQ(acDocManager->appContextOpenDocument(path("F1.dwg").GetString()), Acad::eOk);
    AcApDocument* doc = acDocManager->curDocument();
    {
        AcDbDatabase side(false);
        EXPECT_EQ(side.readDwgFile(path("F1.dwg").GetString(), _SH_DENYWR), Acad::eFileSharingViolation);
    }
    EXPECT_EQ(vked::SaveDocument(doc), Acad::eOk);  // saving lets go and takes the hold again
    {
        AcDbDatabase side(false);
        EXPECT_EQ(side.readDwgFile(path("F1.dwg").GetString(), _SH_DENYWR), Acad::eFileSharingViolation);
    }
    EXPECT_EQ(acDocManager->closeDocument(doc), Acad::eOk);
    EXPECT_EQ(log.names, std::vector<CString>{u"F1.dwg"});
    EXPECT_EQ(acDocManager->curDocument(), nullptr);
    AcDbDatabase side(false);
    EXPECT_EQ(side.readDwgFile(path("F1.dwg").GetString(), _SH_DENYWR), Acad::eOk);
    acDocManager->removeReactor(&log);
}

TEST_F(DocumentsTest, ADrawingThatCannotBeWrittenSaysWhyWhenItOpensReadOnly)
{
    {
        // Held for writing by another program: open elsewhere.
        SharedFile other;
        ASSERT_TRUE(other.Open(path("F1.dwg"), SharedFile::kReadWrite, _SH_DENYNO));
        ASSERT_EQ(acDocManager->appContextOpenDocument(path("F1.dwg").GetString()), Acad::eOk);
        EXPECT_TRUE(acDocManager->curDocument()->isReadOnly());
        EXPECT_NE(out.utf8().find("is open for writing elsewhere: opened read-only"), std::string::npos) << out.utf8();
        acDocManager->closeAll();
    }
    // No permission to write: opened read-only, and not said to be open elsewhere. The open
    // runs in a child process as an unprivileged user, for whom the file's mode counts.
    std::filesystem::permissions(dir / "F2.dwg", std::filesystem::perms::owner_read | std::filesystem::perms::group_read |
                                                      std::filesystem::perms::others_read);
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(fds[0]);
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(2);
        vked::TranscriptCapture seen;
        // Saving it is refused for what it is: no permission, not a file held elsewhere.
        const bool opened = acDocManager->appContextOpenDocument(path("F2.dwg").GetString()) == Acad::eOk &&
                            acDocManager->curDocument()->isReadOnly() &&
                            vked::SaveDocument(acDocManager->curDocument()) == Acad::eFileAccessErr;
        const std::string text = seen.utf8();
        if (::write(fds[1], text.data(), text.size()) != static_cast<ssize_t>(text.size())) ::_exit(3);
        ::_exit(opened ? 0 : 1);
    }
    ::close(fds[1]);
    std::string text;
    char buf[1024];
    for (ssize_t n; (n = ::read(fds[0], buf, sizeof buf)) > 0;) text.append(buf, static_cast<size_t>(n));
    ::close(fds[0]);
    int status = -1;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status << ": " << text;
    EXPECT_EQ(text.find("elsewhere"), std::string::npos) << text;
    EXPECT_NE(text.find("F2.dwg cannot be written: eFileAccessErr (no permission"), std::string::npos) << text;
    EXPECT_NE(text.find("opened read-only"), std::string::npos) << text;
}

}  // namespace
