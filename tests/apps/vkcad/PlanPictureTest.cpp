// Pictures and DXF files written by vkcad's batch forms: what they refuse to write over, and
// what a plan picture shows beside the drawing (title, legend, report states).
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "apps/vkcad/Batch.h"
#include "apps/vkcad/Options.h"
#include "tests/support/ProjectFiles.h"

namespace fs = std::filesystem;

namespace {

class PlanOutput : public ::testing::Test {
protected:
    void SetUp() override { dir = vktest::FreshTestDir("vkcad_plan"); }
    void TearDown() override { fs::remove_all(dir); }
    std::string Path(const std::string& name) const { return (dir / name).string(); }
    // A drawing of one line, saved as NAME.dwg.
    std::string Drawing(const std::string& name = "plan")
    {
        std::ofstream(dir / (name + ".jsonl"))
            << R"({"class":"AcDbLine","layer":"0","start":[0,0,0],"end":[100,50,0]})" << "\n";
        std::ostringstream e;
        EXPECT_EQ(vkcad::LoadDrawing(Path(name + ".jsonl"), Path(name + ".dwg"), e), 0) << e.str();
        return Path(name + ".dwg");
    }
    fs::path dir;
};

}  // namespace

// A named pipe or a folder as the target: refused with what it is, and left as it was (a pipe
// stays a pipe, and nothing waits for a reader).
TEST_F(PlanOutput, ExportAndRenderWriteOnlyOverRegularFiles)
{
    const std::string drawing = Drawing();
    ASSERT_EQ(mkfifo(Path("pipe.dxf").c_str(), 0644), 0);
    ASSERT_EQ(mkfifo(Path("pipe.png").c_str(), 0644), 0);
    fs::create_directory(dir / "folder.svg");
    const struct {
        std::string target, what;
        fs::file_type type;
    } cases[] = {{Path("pipe.dxf"), "a named pipe", fs::file_type::fifo},
                 {Path("pipe.png"), "a named pipe", fs::file_type::fifo},
                 {Path("folder.svg"), "a folder", fs::file_type::directory}};
    for (const auto& c : cases) {
        std::ostringstream out, err;
        int rc = 0;
        if (c.target.ends_with(".dxf")) {
            rc = vkcad::ExportDrawing(drawing, c.target, out, err);
        } else {
            vkcad::Options o;
            o.drawing = drawing, o.picture = c.target;
            rc = vkcad::RenderDrawing(o, err);
        }
        EXPECT_EQ(rc, 1) << c.target;
        EXPECT_EQ(err.str(), "vkcad: cannot write " + c.target + ": it is " + c.what + ", not a regular file\n");
        EXPECT_EQ(fs::status(c.target).type(), c.type) << c.target;
    }
    // Nothing is left beside them either.
    size_t files = 0;
    for (const auto& e : fs::directory_iterator(dir)) files += e.path().filename().string()[0] == '.';
    EXPECT_EQ(files, 0u);
}
