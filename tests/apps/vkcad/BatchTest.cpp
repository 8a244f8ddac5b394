#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "apps/vkcad/Batch.h"
#include "apps/vkcad/Options.h"

namespace fs = std::filesystem;

namespace {

class VkcadBatch : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = fs::temp_directory_path() /
              ("vkcad_batch_" + std::to_string(::getpid()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    std::string Write(const std::string& name, const std::string& text)
    {
        std::ofstream(dir / name, std::ios::binary) << text;
        return (dir / name).string();
    }
    std::string Dump(const std::string& dwg)
    {
        std::ostringstream out, err;
        EXPECT_EQ(vkcad::DumpDrawing(dwg, out, err), 0) << err.str();
        return out.str();
    }
    fs::path dir;
};

const char* kShapes =
    "{\"handle\":\"1A0\",\"class\":\"AcDbLine\",\"layer\":\"墙\",\"start\":[0,0,0],\"end\":[100,0,0]}\n"
    "\n"
    "{\"handle\":\"1A1\",\"class\":\"AcDbPolyline\",\"vertices\":[[0,0,0.5,1,2],[50,0,0,0,0]],\"closed\":false}\n";

}  // namespace

TEST_F(VkcadBatch, LoadThenDumpGivesTheSameDrawingBack)
{
    std::ostringstream err;
    std::string first = (dir / "a.dwg").string();
    ASSERT_EQ(vkcad::LoadDrawing(Write("a.jsonl", kShapes), first, err), 0) << err.str();
    std::string dump1 = Dump(first);
    EXPECT_NE(dump1.find("\"handle\":\"1A0\""), std::string::npos);
    EXPECT_NE(dump1.find("\"layer\":\"墙\""), std::string::npos);
    EXPECT_NE(dump1.find("[0.0,0.0,0.5,1.0,2.0]"), std::string::npos);

    // The dump is a whole drawing: loading it gives the same drawing back.
    std::string second = (dir / "b.dwg").string();
    ASSERT_EQ(vkcad::LoadDrawing(Write("b.jsonl", dump1), second, err), 0) << err.str();
    EXPECT_EQ(Dump(second), dump1);
}

TEST_F(VkcadBatch, KnowsTheProductsDrawingClasses)
{
    std::ostringstream err;
    std::string dwg = (dir / "room.dwg").string();
    ASSERT_EQ(vkcad::LoadDrawing(Write("room.jsonl",
                                       "{\"handle\":\"100\",\"class\":\"AcDbVkRoom\",\"vertices\":[[0,0,0,0,0],"
                                       "[10,0,0,0,0],[10,10,0,0,0]],\"closed\":true,\"attName\":\"卫生间\"}\n"),
                                 dwg, err),
              0)
        << err.str();
    std::string d = Dump(dwg);
    EXPECT_NE(d.find("\"class\":\"AcDbVkRoom\""), std::string::npos) << d;
    EXPECT_NE(d.find("\"attName\":\"卫生间\""), std::string::npos) << d;
}

TEST_F(VkcadBatch, BadLineIsNamedAndNothingIsWritten)
{
    std::string text = std::string(kShapes) + "{\"handle\":\"1B0\",\"class\":\"NoSuchClass\"}\n";
    std::ostringstream err;
    std::string dwg = (dir / "bad.dwg").string();
    EXPECT_EQ(vkcad::LoadDrawing(Write("bad.jsonl", text), dwg, err), 1);
    EXPECT_NE(err.str().find("line 4"), std::string::npos) << err.str();
    EXPECT_FALSE(fs::exists(dwg));

    err.str("");
    EXPECT_EQ(vkcad::LoadDrawing(Write("broken.jsonl", "{\"handle\":\"1A0\",\"class\":\"AcDbLine\"\n"), dwg, err), 1);
    EXPECT_NE(err.str().find("line 1"), std::string::npos) << err.str();
    EXPECT_FALSE(fs::exists(dwg));

    err.str("");
    EXPECT_EQ(vkcad::LoadDrawing((dir / "missing.jsonl").string(), dwg, err), 1);
    EXPECT_FALSE(err.str().empty());
}

TEST_F(VkcadBatch, DumpOfAFileThatIsNoDrawingFails)
{
    std::ostringstream out, err;
    EXPECT_EQ(vkcad::DumpDrawing(Write("junk.dwg", "this is not a drawing"), out, err), 1);
    EXPECT_FALSE(err.str().empty());
    EXPECT_TRUE(out.str().empty());
    err.str("");
    EXPECT_EQ(vkcad::DumpDrawing((dir / "none.dwg").string(), out, err), 1);
    EXPECT_NE(err.str().find("none.dwg"), std::string::npos);
}

TEST_F(VkcadBatch, ARoomsNameAndLayerSurviveExportAndImport)
{
    std::ostringstream out, err;
    const std::string dwg = (dir / "room.dwg").string();
    ASSERT_EQ(vkcad::LoadDrawing(Write("room.jsonl",
                                       "{\"class\":\"AcDbVkRoom\",\"layer\":\"建筑-房间\",\"vertices\":[[0,0,0,0,0],"
                                       "[4000,0,0,0,0],[4000,3000,0,0,0],[0,3000,0,0,0]],\"closed\":true,"
                                       "\"attName\":\"卫生间\"}\n"),
                                 dwg, err),
              0)
        << err.str();
    const std::string dxf = (dir / "room.dxf").string();
    ASSERT_EQ(vkcad::ExportDrawing(dwg, dxf, out, err), 0) << err.str();
    EXPECT_NE(out.str().find("drawn as graphics: AcDbVkRoom 1"), std::string::npos) << out.str();

    out.str("");
    const std::string back = (dir / "back.dwg").string();
    ASSERT_EQ(vkcad::ImportDrawing(dxf, back, out, err), 0) << err.str();
    EXPECT_EQ(err.str(), "");
    EXPECT_NE(out.str().find("entities imported into"), std::string::npos) << out.str();
    const std::string d = Dump(back);
    EXPECT_NE(d.find("\"text\":\"卫生间\""), std::string::npos) << d;
    EXPECT_NE(d.find("\"name\":\"建筑-房间\""), std::string::npos) << d;

    // The plan of the imported drawing, in both picture kinds; other kinds are refused.
    vkcad::Options o;
    o.drawing = back;
    o.picture = (dir / "back.png").string();
    EXPECT_EQ(vkcad::RenderDrawing(o, err), 0) << err.str();
    EXPECT_GT(fs::file_size(o.picture), 1000u);
    o.picture = (dir / "back.svg").string();
    EXPECT_EQ(vkcad::RenderDrawing(o, err), 0) << err.str();
    o.picture = (dir / "back.jpg").string();
    EXPECT_EQ(vkcad::RenderDrawing(o, err), 1);
    EXPECT_NE(err.str().find(".png or .svg"), std::string::npos);
    EXPECT_FALSE(fs::exists(o.picture));
}

TEST_F(VkcadBatch, ImportOfABadFileNamesTheLineAndWritesNothing)
{
    std::ostringstream out, err;
    const std::string dwg = (dir / "bad.dwg").string();
    EXPECT_EQ(vkcad::ImportDrawing(Write("bad.dxf", "  0\nSECTION\n  2\nENTITIES\n  0\nLINE\n 10\n"), dwg, out, err), 1);
    EXPECT_NE(err.str().find("bad.dxf: line 7: the file is cut short"), std::string::npos) << err.str();
    EXPECT_FALSE(fs::exists(dwg));
    EXPECT_EQ(out.str(), "");
}
