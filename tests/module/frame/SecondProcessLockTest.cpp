// The library drawing held open by a second vkcad process: bjbz says so and shows no dialog.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "tests/support/ChildProcess.h"
#include "tests/support/ModuleSession.h"
#include "tests/support/ProjectFiles.h"
#include "tests/support/RunCommand.h"

namespace fs = std::filesystem;

namespace {
using vktest::RunCommand;

std::string BinDir() { return fs::absolute(vktest::BinDir()).string(); }
}  // namespace

TEST(SecondProcessLock, PlaceReportsALibraryHeldByAnotherVkcad)
{
    const fs::path dir = vktest::FreshTestDir("vkroom-lock");
    std::ofstream(dir / "p.prj") << "[Project]\n[Floors]\n1F=1F.dwg\n";
    std::ofstream(dir / "place.scr") << "bjbz\n<esc>\n";
    const std::string env = "cd '" + dir.string() + "' && VKCAD_DRIVES='C=" + dir.string() + "' ";
    const std::string vkcad = "'" + BinDir() + "/vkcad'";
    ASSERT_TRUE(fs::exists(BinDir() + "/vkcad")) << "vkcad is not built beside the tests";

    // The first run creates the library drawing.
    RunCommand(env + vkcad + " --project p.prj --script place.scr");
    ASSERT_TRUE(fs::exists(dir / "StardardRoom.dwg"));

    // A second vkcad opens it as its drawing; once it echoes its first script line it holds
    // the file, and it keeps holding it while it waits for the next line.
    vktest::ChildProcess holder(env + "timeout -s KILL 120 " + vkcad +
                                " --no-default-plugins --script - StardardRoom.dwg 2>&1");
    ASSERT_TRUE(holder.started());
    holder.write("LIST\n<enter>\n");
    ASSERT_TRUE(holder.readUntil("Command: LIST")) << "the holder did not start: " << holder.output();
    const std::string out = RunCommand(env + vkcad + " --project p.prj --script place.scr 2>/dev/null");
    holder.write("QUIT\n");
    EXPECT_EQ(holder.wait(), 0) << holder.output();

    EXPECT_NE(out.find("标准房间文件已经打开，请先关闭"), std::string::npos) << out;
    EXPECT_EQ(out.find("<dialog"), std::string::npos) << out;
    fs::remove_all(dir);
}
