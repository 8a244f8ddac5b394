// The library drawing held open by a second vkcad process: bjbz says so and shows no dialog.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>


namespace fs = std::filesystem;

namespace {
std::string BinDir()
{
    const char* bin = std::getenv("VK_BIN_DIR");
    return fs::absolute(bin ? bin : ".").string();
}

std::string RunCommand(const std::string& command)
{
    std::string out;
    FILE* p = ::popen(command.c_str(), "r");
    if (!p) return out;
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    ::pclose(p);
    return out;
}
}  // namespace

TEST(SecondProcessLock, PlaceReportsALibraryHeldByAnotherVkcad)
{
    const fs::path dir = fs::temp_directory_path() / ("vkroom-lock-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    std::ofstream(dir / "p.prj") << "[Project]\n[Floors]\n1F=1F.dwg\n";
    std::ofstream(dir / "place.scr") << "bjbz\n<esc>\n";
    const std::string env = "cd '" + dir.string() + "' && VKCAD_DRIVES='C=" + dir.string() + "' ";
    const std::string vkcad = "'" + BinDir() + "/vkcad'";
    ASSERT_TRUE(fs::exists(BinDir() + "/vkcad")) << "vkcad is not built beside the tests";

    // The first run creates the library drawing.
    RunCommand(env + vkcad + " --project p.prj --script place.scr");
    ASSERT_TRUE(fs::exists(dir / "StardardRoom.dwg"));

    // A second vkcad opens it as its drawing and waits on standard input.
    FILE* holder = ::popen((env + vkcad + " --no-default-plugins --script - StardardRoom.dwg >/dev/null 2>&1").c_str(), "w");
    ASSERT_NE(holder, nullptr);
    // Until the holder has the file open, bjbz still shows its dialog: try again a while.
    std::string out;
    for (int i = 0; i < 100; ++i) {
        out = RunCommand(env + vkcad + " --project p.prj --script place.scr 2>/dev/null");
        if (out.find("<dialog") == std::string::npos) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    std::fputs("QUIT\n", holder);
    ::pclose(holder);

    EXPECT_NE(out.find("标准房间文件已经打开，请先关闭"), std::string::npos) << out;
    EXPECT_EQ(out.find("<dialog"), std::string::npos) << out;
    fs::remove_all(dir);
}
