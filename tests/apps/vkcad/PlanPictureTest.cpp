// Pictures and DXF files written by vkcad's batch forms: what they refuse to write over, and
// what a plan picture shows beside the drawing (title, legend, report states).
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "apps/vkcad/Batch.h"
#include "apps/vkcad/Options.h"
#include "apps/vkcad/PlanPicture.h"
#include "host/db/AcDb.h"
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

// The legend names the kinds of the object library that the picture shows, each with its
// symbol: not those on hidden layers, nor those outside the window. Floor drains and sanitary
// fixtures are named as such, not as the nodes and components they are made of.
TEST(PlanLegend, NamesTheBuildingServicesKindsDrawnInThePicture)
{
    AcDbDatabase db(true, true);
    ASSERT_TRUE(vktest::LoadJsonLines(
        R"({"class":"AcDbLayerTableRecord","name":"HIDDEN","off":true}
{"class":"AcDbLine","layer":"0","start":[0,0,0],"end":[3000,900,0]}
{"class":"VkQsPipe","typePath":"给排水\\管道\\给水管","start":[0,0,0],"end":[1000,0,0],"valves":[]}
{"class":"VkQsNode","typePath":"给排水\\附件\\地漏","insertPt":[500,500,0],"radius":75}
{"class":"VkQsNode","layer":"HIDDEN","typePath":"给排水\\附件\\地漏","insertPt":[600,500,0],"radius":75}
{"class":"VkQsSprinkler","typePath":"消防\\喷头\\下垂型","location":[2000,500,0],"refDir":[1,0,0]}
{"class":"VkQsNode","typePath":"给排水\\附件\\地漏","insertPt":[2500,500,0],"radius":75}
{"class":"VkQsElementComponent","typePath":"电气\\设备\\配电箱","product":"配电箱","location":[8000,0,0],"angle":0,"width":600,"depth":200}
{"class":"VkQsNode","typePath":"给排水\\附件\\检查口","insertPt":[1500,500,0],"radius":75}
{"class":"VkQsElementComponent","typePath":"给排水\\洁具\\坐便器","product":"坐便器","location":[1200,0,0],"angle":0,"width":400,"depth":700}
)",
        db));
    auto legend = [&](const vkcad::Options& o) {
        vkcad::PlanPicture picture;
        std::ostringstream err;
        EXPECT_TRUE(vkcad::BuildPlanPicture(o, db, nullptr, picture, err)) << err.str();
        EXPECT_EQ(picture.overlay.title, CString::FromUtf8(o.title));
        std::vector<std::string> labels;
        EXPECT_EQ(picture.overlay.legend.size(), 1u);  // no key of report states without a report
        for (const vkgi::LegendGroup& g : picture.overlay.legend)
            for (const vkgi::LegendItem& item : g.items) {
                labels.push_back(item.label.ToUtf8());
                EXPECT_FALSE(item.symbol.empty()) << labels.back();
            }
        return labels;
    };
    vkcad::Options o;
    o.title = "一层 给排水";
    EXPECT_EQ(legend(o), (std::vector<std::string>{"管道 (1)", "节点 (1)", "喷头 (1)", "设备 (1)", "地漏 (2)", "洁具 (1)"}));
    o.window = true, o.x1 = -100, o.y1 = -100, o.x2 = 2200, o.y2 = 1000;
    EXPECT_EQ(legend(o), (std::vector<std::string>{"管道 (1)", "节点 (1)", "喷头 (1)", "地漏 (1)", "洁具 (1)"}));
}
