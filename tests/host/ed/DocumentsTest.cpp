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

TEST_F(DocumentsTest, ACommandSwitchesTheCurrentDocumentAndTheWorkingDatabaseFollows)
{
    ASSERT_EQ(acDocManager->appContextOpenDocument(path("F1.dwg").GetString()), Acad::eOk);
    AcApDocument* first = acDocManager->curDocument();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(acdbHostApplicationServices()->workingDatabase(), first->database());
    g_second = path("F2.dwg");
    acedRegCmds()->addCommand(u"T_DOC", u"_tdoc", u"tdoc", ACRX_CMD_MODAL, [] {
        ads_point p;
        acedGetPoint(nullptr, u"", p);
        acDocManager->appContextOpenDocument(g_second.GetString());
        acedGetPoint(nullptr, u"", p);
    });
    script({u"tdoc", u"1,1", u"2,2"});
    vked::RunUntilEndOfInput();
    acedRegCmds()->removeGroup(u"T_DOC");
    AcApDocument* second = acDocManager->curDocument();
    ASSERT_NE(second, first);
    EXPECT_EQ(CString(second->docTitle()), u"F2.dwg");
    EXPECT_EQ(acdbHostApplicationServices()->workingDatabase(), second->database());
    EXPECT_EQ(acDocManager->documentCount(), 2);
    EXPECT_TRUE(first->isQuiescent());
}

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

TEST_F(DocumentsTest, AMissingFileOpensANewDrawingThatHoldsItsFileFromItsFirstSave)
{
    ASSERT_EQ(acDocManager->appContextOpenDocument(path("New.dwg").GetString()), Acad::eOk);
    AcApDocument* doc = acDocManager->curDocument();
    EXPECT_FALSE(std::filesystem::exists(dir / "New.dwg"));
    EXPECT_EQ(vked::SaveDocument(doc), Acad::eOk);
    AcDbDatabase side(false);
    EXPECT_EQ(side.readDwgFile(path("New.dwg").GetString(), _SH_DENYWR), Acad::eFileSharingViolation);
}

}  // namespace
