#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "apps/vkcad/Batch.h"
#include "apps/vkcad/HostCommands.h"
#include "apps/vkcad/Session.h"
#include "host/db/AcDbJson.h"
#include "host/db/AcDbSymbolTables.h"
#include "host/ed/AcApDocManager.h"
#include "host/ed/InputQueue.h"
#include "host/ed/Transcript.h"
#include "siblings/project/VkQsProject.h"
#include "tests/support/ProjectFiles.h"
#include "tests/support/TestDrawing.h"

namespace fs = std::filesystem;

TEST(VkcadSession, DefaultPluginListSkipsBlanksAndCommentsAndResolvesBesideTheProgram)
{
    const fs::path dir = vktest::FreshTestDir("vkcad_plugins");
    std::ofstream(dir / "vkcad.plugins") << "a.so\n\n  # not this\n/abs/b.so\r\n  c.so  \n";
    EXPECT_EQ(vkcad::DefaultPlugins(dir.string()),
              (std::vector<std::string>{dir.string() + "/a.so", "/abs/b.so", dir.string() + "/c.so"}));
    fs::remove(dir / "vkcad.plugins");
    EXPECT_TRUE(vkcad::DefaultPlugins(dir.string()).empty());
    fs::remove_all(dir);
}

namespace {

class VkcadCommands : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(acDocManager->appContextNewDocument(), Acad::eOk);
        std::istringstream in(
            "{\"handle\":\"1A0\",\"class\":\"AcDbLine\",\"start\":[0,0,0],\"end\":[100,0,0]}\n"
            "{\"handle\":\"1A1\",\"class\":\"AcDbLine\",\"start\":[0,50,0],\"end\":[100,50,0]}\n");
        CString err;
        ASSERT_EQ(acdbLoadJson(in, db(), err), Acad::eOk) << err.ToUtf8();
        vkcad::RegisterHostCommands();
    }
    void TearDown() override
    {
        vked::inputQueue().clear();
        acDocManager->closeAll();
    }
    AcDbDatabase* db() { return acDocManager->curDocument()->database(); }
    std::string Dump()
    {
        std::ostringstream out;
        acdbDumpJson(db(), out);
        return out.str();
    }
    // The dump line of the object with this handle.
    std::string DumpLine(const std::string& handle)
    {
        std::istringstream lines(Dump());
        for (std::string line; std::getline(lines, line);)
            if (line.find("\"handle\":\"" + handle + "\"") != std::string::npos) return line;
        return {};
    }
    void Run(const char16_t* script, int expectBad)
    {
        vked::inputQueue().pushText(script, u"t.scr");
        EXPECT_EQ(vkcad::RunInput(), expectBad) << capture.utf8();
    }
    vked::TranscriptCapture capture;
};

}  // namespace

TEST_F(VkcadCommands, CancelledMoveChangesNothingAndBadLinesAreCounted)
{
    std::string before = Dump();
    Run(u"MOVE\n#1A0\n<enter>\n0,0\n<esc>\n3,3\nERASE\n<esc>\n#1A1\n", 2);
    EXPECT_EQ(Dump(), before);
    EXPECT_NE(capture.utf8().find("** line 6 (t.scr): "), std::string::npos) << capture.utf8();
    EXPECT_NE(capture.utf8().find("** line 9 (t.scr): "), std::string::npos) << capture.utf8();
}

TEST_F(VkcadCommands, EntitiesOnALockedLayerStayAsTheyAreAndAreCounted)
{
    std::istringstream in(
        "{\"handle\":\"1B0\",\"class\":\"AcDbLine\",\"layer\":\"Fixed\",\"start\":[0,0,0],\"end\":[1,0,0]}\n"
        "{\"handle\":\"1B1\",\"class\":\"AcDbLine\",\"layer\":\"Fixed\",\"start\":[0,9,0],\"end\":[1,9,0]}\n");
    CString err;
    ASSERT_EQ(acdbLoadJson(in, db(), err), Acad::eOk) << err.ToUtf8();
    ASSERT_FALSE(vktest::SetLayer(*db(), u"Fixed", {.locked = true}).isNull());

    Run(u"MOVE\n#1A0 #1B0\n<enter>\n0,0\n5,5\nERASE\n#1A1 #1B0 #1B1\n<enter>\n", 0);
    const std::string t = capture.utf8();
    for (const char* handle : {"1B0", "1B1"}) {
        const std::string line = DumpLine(handle);
        ASSERT_FALSE(line.empty()) << handle;
        EXPECT_EQ(line.find("\"erased\":true"), std::string::npos) << line;
        EXPECT_NE(line.find("\"end\":[1.0,"), std::string::npos) << "not moved: " << line;
    }
    EXPECT_NE(DumpLine("1A0").find("\"start\":[5.0,5.0,0.0]"), std::string::npos) << DumpLine("1A0");
    EXPECT_NE(DumpLine("1A1").find("\"erased\":true"), std::string::npos) << DumpLine("1A1");
    EXPECT_NE(t.find("1 was on a locked layer."), std::string::npos) << t;
    EXPECT_NE(t.find("2 were on a locked layer."), std::string::npos) << t;
    EXPECT_NE(t.find("1 erased"), std::string::npos) << t;
}

TEST_F(VkcadCommands, AnUnknownCommandCountsAsABadLineAndTheScriptGoesOn)
{
    Run(u"ERAZE\n#1A0\nERASE\n#1A0\n<enter>\n", 2);
    EXPECT_NE(capture.utf8().find("Unknown command \"ERAZE\"."), std::string::npos) << capture.utf8();
    EXPECT_NE(Dump().find("\"handle\":\"1A0\",\"class\":\"AcDbLine\",\"owner\":\"4\",\"erased\":true"),
              std::string::npos);
}

TEST_F(VkcadCommands, EraseThenQuitStopsReading)
{
    Run(u"ERASE\nW -1,-1 101,1\n<enter>\nQUIT\n1,1\n", 0);
    EXPECT_NE(Dump().find("\"handle\":\"1A0\",\"class\":\"AcDbLine\",\"owner\":\"4\",\"erased\":true"),
              std::string::npos);
    EXPECT_TRUE(vkcad::QuitRequested());
    EXPECT_EQ(capture.utf8().find("line 5"), std::string::npos) << capture.utf8();
}

TEST_F(VkcadCommands, ASaveThatFailsIsCountedAndTheDrawingStaysOpen)
{
    Run(u"SAVEAS\n/nonexistent/dir/x.dwg\nERASE\n#1A0\n<enter>\n", 1);
    EXPECT_NE(capture.utf8().find("Cannot save /nonexistent/dir/x.dwg: eFileNotFound (the file or its folder does not exist)"), std::string::npos) << capture.utf8();
    EXPECT_NE(Dump().find("\"erased\":true"), std::string::npos);  // the commands after it ran
}

TEST_F(VkcadCommands, AppLoadOfAMissingPluginSaysSo)
{
    Run(u"APPLOAD\n/nonexistent/plugin.so\n", 1);
    EXPECT_NE(capture.utf8().find("Cannot load /nonexistent/plugin.so"), std::string::npos) << capture.utf8();
}

TEST(VkcadSessionRun, ExplicitPluginOrScriptThatCannotBeReadFails)
{
    std::ostringstream err;
    vkcad::Options o;
    o.noDefaultPlugins = true;
    o.plugins = {"/nonexistent/p.so"};
    o.script = "/nonexistent/s.scr";
    EXPECT_EQ(vkcad::RunSession(o, err), 1);
    EXPECT_NE(err.str().find("/nonexistent/p.so"), std::string::npos) << err.str();
    o.plugins.clear();
    err.str("");
    EXPECT_EQ(vkcad::RunSession(o, err), 1);
    EXPECT_NE(err.str().find("/nonexistent/s.scr"), std::string::npos) << err.str();
}

TEST(VkcadSessionRun, ProjectOpensTheNamedFloorAndABadProjectOrFloorStops)
{
    const fs::path dir = vktest::FreshTestDir("vkcad_project");
    std::ofstream(dir / "p.prj") << "[Project]\nDir=.\n[Floors]\n1F=1F.dwg\n2F=2F.dwg\n";
    std::ofstream(dir / "s.scr") << "SAVEAS\n" << (dir / "out.dwg").string() << "\n";
    std::ostringstream err;
    std::ofstream(dir / "2F.jsonl") << "{\"handle\":\"2F0\",\"class\":\"AcDbLine\",\"start\":[0,0,0],\"end\":[2,0,0]}\n";
    ASSERT_EQ(vkcad::LoadDrawing((dir / "2F.jsonl").string(), (dir / "2F.dwg").string(), err), 0) << err.str();
    vkcad::Options o;
    o.noDefaultPlugins = true;
    o.project = (dir / "p.prj").string();
    o.floor = "2F";
    o.script = (dir / "s.scr").string();
    {
        vked::TranscriptCapture capture;
        EXPECT_EQ(vkcad::RunSession(o, err), 0) << err.str() << capture.utf8();
    }
    // The floor's drawing was the current document: SAVEAS wrote it under the new name.
    std::ostringstream dump;
    ASSERT_EQ(vkcad::DumpDrawing((dir / "out.dwg").string(), dump, err), 0) << err.str();
    EXPECT_NE(dump.str().find("\"handle\":\"2F0\""), std::string::npos) << dump.str();

    o.floor = "9F";
    err.str("");
    EXPECT_EQ(vkcad::RunSession(o, err), 1);
    EXPECT_NE(err.str().find("9F"), std::string::npos) << err.str();

    o.project = (dir / "missing.prj").string();
    o.floor.clear();
    err.str("");
    EXPECT_EQ(vkcad::RunSession(o, err), 1);
    EXPECT_NE(err.str().find("missing.prj"), std::string::npos) << err.str();
    VkQsProject::SetCurrentProjectFile("");
    fs::remove_all(dir);
}
