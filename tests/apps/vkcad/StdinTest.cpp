// vkcad reading standard input that is no terminal: with --script - and as the console. Each
// run is a separate vkcad with pipes on both ends; it must end by itself when input ends.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "apps/vkcad/Session.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/ProjectFiles.h"

namespace fs = std::filesystem;

namespace {

class VkcadStdin : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = vktest::FreshTestDir("vkcad-stdin");
    }
    void TearDown() override { fs::remove_all(dir); }
    // vkcad in the test folder; a run that does not end is stopped (exit 124) instead of
    // hanging the suite.
    std::string vkcad(const std::string& args) const
    {
        const char* bin = std::getenv("VK_BIN_DIR");
        const std::string exe = (bin ? std::string(bin) : vkcad::ExecutableDir()) + "/vkcad";
        return "cd '" + dir.string() + "' && HOME='" + dir.string() + "' timeout -s KILL 60 '" + exe +
               "' --no-default-plugins " + args + " 2>&1";
    }
    fs::path dir;
};

}  // namespace

TEST_F(VkcadStdin, APipedConsoleReadsLinesLikeAScriptAndEndsWithItsInput)
{
    {
        vktest::ChildProcess run(vkcad("d.dwg"));
        ASSERT_TRUE(run.started());
        run.write("LIST\n<esc>\nQSAVE\n");
        EXPECT_EQ(run.wait(), 0) << run.output();
        EXPECT_NE(run.output().find("Command: LIST\nSelect objects: \n*Cancel*"), std::string::npos) << run.output();
        EXPECT_TRUE(fs::exists(dir / "d.dwg")) << "the lines after <esc> ran: " << run.output();
        fs::remove(dir / "d.dwg");
        // The same lines as a script show the same.
        vktest::ChildProcess script(vkcad("--script - d.dwg"));
        script.write("LIST\n<esc>\nQSAVE\n");
        EXPECT_EQ(script.wait(), 0);
        EXPECT_EQ(script.output(), run.output());
    }
    {
        vktest::ChildProcess empty(vkcad("d.dwg"));
        EXPECT_EQ(empty.wait(), 0) << empty.output();
    }
    {
        // Input that ends while a command waits: the command unwinds, then vkcad ends.
        vktest::ChildProcess cut(vkcad(""));
        cut.write("MOVE\n");
        EXPECT_EQ(cut.wait(), 0) << cut.output();
        EXPECT_NE(cut.output().find("** input ended"), std::string::npos) << cut.output();
    }
}

TEST_F(VkcadStdin, AScriptFromStandardInputRunsEachLineAsItArrives)
{
    vktest::ChildProcess run(vkcad("--script - d.dwg"));
    ASSERT_TRUE(run.started());
    run.write("LIST\n<enter>\n");
    // The input stays open: the line must run before more input or its end arrives.
    EXPECT_TRUE(run.readUntil("Command: LIST")) << run.output();
    run.write("QSAVE\nQUIT\nQSAVX\n");
    EXPECT_EQ(run.wait(), 0) << "lines after QUIT are not read: " << run.output();
    EXPECT_TRUE(fs::exists(dir / "d.dwg"));
    EXPECT_EQ(run.output().find("QSAVX"), std::string::npos) << run.output();
}
