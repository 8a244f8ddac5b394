// vkcad's batch forms: load (tables from loose lines, the layout of a line, values that cannot
// be kept, what load leaves beside the drawing), dump, export, import and the plan picture.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "apps/vkcad/Batch.h"
#include "apps/vkcad/Options.h"
#include "tests/support/ProjectFiles.h"

namespace fs = std::filesystem;
using Json = nlohmann::ordered_json;

namespace {

class VkcadLoad : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = vktest::FreshTestDir("vkcad_load");
    }
    void TearDown() override { fs::remove_all(dir); }
    std::string Write(const std::string& name, const std::string& text)
    {
        std::ofstream(dir / name, std::ios::binary) << text;
        return (dir / name).string();
    }
    // Loads text into NAME.dwg; the exit code, with the message in err.
    int Load(const std::string& text, const std::string& name = "out")
    {
        err.str("");
        return vkcad::LoadDrawing(Write(name + ".jsonl", text), (dir / (name + ".dwg")).string(), err);
    }
    std::string Dump(const std::string& name = "out")
    {
        std::ostringstream out, e;
        EXPECT_EQ(vkcad::DumpDrawing((dir / (name + ".dwg")).string(), out, e), 0) << e.str();
        return out.str();
    }
    static std::vector<Json> Objects(const std::string& dump)
    {
        std::vector<Json> out;
        std::istringstream in(dump);
        for (std::string line; std::getline(in, line);) out.push_back(Json::parse(line));
        return out;
    }
    std::ostringstream err;
    fs::path dir;
};

// The same lines as Python's json module or jq write them: a space after each separator.
std::string Spaced(const std::string& lines)
{
    std::string out;
    std::istringstream in(lines);
    for (std::string line; std::getline(in, line);) {
        std::string spaced;
        bool inString = false;
        for (char c : line) {
            spaced += c;
            if (c == '"' && (spaced.size() < 2 || spaced[spaced.size() - 2] != '\\')) inString = !inString;
            if (!inString && (c == ',' || c == ':')) spaced += ' ';
        }
        out += spaced + "\n";
    }
    return out;
}

const char* kLooseRecords =
    "{\"class\":\"AcDbLayerTableRecord\",\"name\":\"隐藏\",\"off\":true,\"frozen\":true,\"locked\":true,\"color\":3}\n"
    "{\"handle\":\"300\",\"class\":\"AcDbBlockTableRecord\",\"name\":\"阀门\"}\n"
    "{\"handle\":\"301\",\"class\":\"AcDbLine\",\"owner\":\"300\",\"start\":[0,0,0],\"end\":[1,0,0]}\n"
    "{\"class\":\"AcDbBlockReference\",\"block\":\"300\",\"position\":[5,5,0],\"layer\":\"隐藏\"}\n"
    "{\"class\":\"AcDbLine\",\"layer\":\"隐藏\",\"start\":[0,0,0],\"end\":[9,0,0]}\n";

}  // namespace

TEST_F(VkcadLoad, LooseTableRecordsJoinTheirTablesWithTheirStates)
{
    ASSERT_EQ(Load(kLooseRecords), 0) << err.str();
    std::string dump = Dump();
    std::vector<Json> objs = Objects(dump);
    std::map<std::string, Json> byHandle;
    for (const Json& o : objs) byHandle[o["handle"]] = o;
    const Json *layerTable = nullptr, *blockTable = nullptr;
    std::vector<const Json*> hidden;
    for (const Json& o : objs) {
        if (o["class"] == "AcDbLayerTable") layerTable = &o;
        if (o["class"] == "AcDbBlockTable") blockTable = &o;
        if (o["class"] == "AcDbLayerTableRecord" && o["name"] == "隐藏") hidden.push_back(&o);
    }
    ASSERT_TRUE(layerTable && blockTable) << dump;
    ASSERT_EQ(hidden.size(), 1u) << dump;
    const Json& layer = *hidden[0];
    EXPECT_EQ(layer["owner"], (*layerTable)["handle"]);
    EXPECT_TRUE(layer["off"].get<bool>() && layer["frozen"].get<bool>() && layer["locked"].get<bool>()) << layer;
    EXPECT_EQ(layer["color"], 3);
    auto listed = [](const Json& table, const Json& h) {
        return std::find(table["records"].begin(), table["records"].end(), h) != table["records"].end();
    };
    EXPECT_TRUE(listed(*layerTable, layer["handle"])) << dump;
    EXPECT_EQ(byHandle["300"]["owner"], (*blockTable)["handle"]);
    EXPECT_TRUE(listed(*blockTable, "300")) << dump;
    EXPECT_EQ(byHandle["301"]["owner"], "300");
    EXPECT_EQ(byHandle["300"]["entities"], Json::array({"301"})) << "an entity naming its block is in it";
    // The block has its begin and end, as one added to the table has.
    for (const char* part : {"begin", "end"}) {
        ASSERT_TRUE(byHandle["300"][part].is_string()) << byHandle["300"];
        const Json& o = byHandle[byHandle["300"][part].get<std::string>()];
        EXPECT_EQ(o["class"], std::string(part) == "begin" ? "AcDbBlockBegin" : "AcDbBlockEnd");
        EXPECT_EQ(o["owner"], "300");
    }

    // Spaces after the separators change nothing.
    ASSERT_EQ(Load(Spaced(kLooseRecords), "spaced"), 0) << err.str();
    EXPECT_EQ(Dump("spaced"), dump);
}

TEST_F(VkcadLoad, ARecordOwnedByItsTableJoinsTheListAndNamesStayUnique)
{
    ASSERT_EQ(Load("{\"class\":\"AcDbLine\",\"start\":[0,0,0],\"end\":[1,0,0]}\n", "base"), 0) << err.str();
    std::string whole = Dump("base");
    std::string layerTable;
    for (const Json& o : Objects(whole))
        if (o["class"] == "AcDbLayerTable") layerTable = o["handle"];
    ASSERT_FALSE(layerTable.empty());

    std::string extra = "{\"handle\":\"500\",\"class\":\"AcDbLayerTableRecord\",\"owner\":\"" + layerTable +
                        "\",\"name\":\"新层\",\"off\":true}\n";
    ASSERT_EQ(Load(whole + extra), 0) << err.str();
    for (const Json& o : Objects(Dump()))
        if (o["class"] == "AcDbLayerTable") {
            EXPECT_NE(o.dump().find("\"500\""), std::string::npos) << o;
        }

    // A second live record of a name, in the lines or already in the drawing, is refused by line.
    EXPECT_EQ(Load(whole + extra + "{\"class\":\"AcDbLayerTableRecord\",\"name\":\"新层\"}\n", "dup"), 1);
    EXPECT_NE(err.str().find("line 12"), std::string::npos) << err.str();
    EXPECT_NE(err.str().find("新层"), std::string::npos) << err.str();
    EXPECT_FALSE(fs::exists(dir / "dup.dwg"));
    EXPECT_EQ(Load("{\"class\":\"AcDbLayerTableRecord\",\"name\":\"0\"}\n", "dup0"), 1);
    EXPECT_NE(err.str().find("line 1"), std::string::npos) << err.str();
    // Case does not make a name another one; an erased record gives its name up.
    EXPECT_EQ(Load("{\"class\":\"AcDbBlockTableRecord\",\"name\":\"Valve\"}\n"
                   "{\"class\":\"AcDbBlockTableRecord\",\"name\":\"VALVE\"}\n", "dupcase"), 1);
    EXPECT_NE(err.str().find("line 2"), std::string::npos) << err.str();
    EXPECT_EQ(Load("{\"class\":\"AcDbBlockTableRecord\",\"name\":\"Valve\",\"erased\":true}\n"
                   "{\"class\":\"AcDbBlockTableRecord\",\"name\":\"Valve\"}\n", "erased"), 0) << err.str();
    // A record cannot belong to a table of the other kind.
    EXPECT_EQ(Load(whole + "{\"class\":\"AcDbBlockTableRecord\",\"owner\":\"" + layerTable + "\",\"name\":\"B\"}\n",
                   "wrongtable"), 1);
    EXPECT_NE(err.str().find("line 11"), std::string::npos) << err.str();
}

TEST_F(VkcadLoad, AWholeDumpLoadsTheSameWhateverItsLayout)
{
    ASSERT_EQ(Load(kLooseRecords, "first"), 0) << err.str();
    std::string dump = Dump("first");
    ASSERT_EQ(Load(Spaced(dump)), 0) << err.str();
    EXPECT_EQ(Dump(), dump);
    // Keys in another order, a line written across the JSON layout of another tool.
    std::string reordered;
    for (const Json& o : Objects(dump)) {
        nlohmann::json plain = nlohmann::json::parse(o.dump());  // sorted keys
        reordered += plain.dump() + "\n";
    }
    ASSERT_EQ(Load(reordered, "reordered"), 0) << err.str();
    EXPECT_EQ(Dump("reordered"), dump);
}

TEST_F(VkcadLoad, ValuesThatCannotBeKeptAreRefusedByField)
{
    struct Case {
        const char* line;
        const char* field;
    } cases[] = {
        {"{\"class\":\"AcDbLine\",\"start\":[1e400,0,0]}", "\"start\""},
        {"{\"class\":\"AcDbLine\",\"end\":[0,-1e999,0]}", "\"end\""},
        {"{\"class\":\"AcDbPolyline\",\"vertices\":[[0,0,0,0,0],[1e400,0,0,0,0]]}", "\"vertices\""},
        {"{\"class\":\"AcDbLine\",\"start\":[null,0,0]}", "\"start\""},
        {"{\"class\":\"AcDbLine\",\"color\":-5}", "\"color\""},
        {"{\"class\":\"AcDbLine\",\"layer\":\"\"}", "\"layer\""},
        {"{\"class\":\"AcDbLayerTableRecord\",\"name\":\"L\",\"color\":999}", "\"color\""},
        {"{\"class\":\"AcDbLayerTableRecord\",\"name\":\"a/b\"}", "\"name\""},
        {"{\"class\":\"AcDbLine\",\"start\":[0,0,0],\"handle\":\"FFFFFFFFFFFFFFFF\"}", "handle"},
    };
    for (const Case& c : cases) {
        std::string text = std::string("{\"class\":\"AcDbLine\",\"start\":[0,0,0],\"end\":[1,1,0]}\n") + c.line + "\n";
        EXPECT_EQ(Load(text), 1) << c.line;
        std::string e = err.str();
        EXPECT_EQ(e.rfind("vkcad: ", 0), 0u) << e;
        EXPECT_NE(e.find("out.jsonl: line 2: "), std::string::npos) << c.line << " -> " << e;
        EXPECT_NE(e.find(c.field), std::string::npos) << c.line << " -> " << e;
        EXPECT_FALSE(fs::exists(dir / "out.dwg")) << c.line;
    }
}

TEST_F(VkcadLoad, LinesThatCannotMakeADrawingAreRefused)
{
    EXPECT_EQ(Load("{\"class\":\"AcDbBlockTable\"}\n"), 1);
    EXPECT_NE(err.str().find("line"), std::string::npos) << err.str();
    EXPECT_FALSE(fs::exists(dir / "out.dwg"));
    // The last handle a drawing can hand out is taken: nothing is left for the next object.
    EXPECT_EQ(Load("{\"class\":\"AcDbLine\",\"handle\":\"FFFFFFFFFFFFFFFE\"}\n"
                   "{\"class\":\"AcDbLine\"}\n"), 1);
    EXPECT_NE(err.str().find("line 2"), std::string::npos) << err.str();
    EXPECT_FALSE(fs::exists(dir / "out.dwg"));
    // Up to the last one, handles are kept.
    ASSERT_EQ(Load("{\"class\":\"AcDbLine\",\"handle\":\"FFFFFFFFFFFFFFFE\"}\n"), 0) << err.str();
    EXPECT_NE(Dump().find("\"FFFFFFFFFFFFFFFE\""), std::string::npos);
}

TEST_F(VkcadLoad, LoadOverADrawingKeepsItsBackup)
{
    ASSERT_EQ(Load("{\"class\":\"AcDbLine\",\"start\":[0,0,0],\"end\":[1,0,0]}\n"), 0) << err.str();
    std::string before = Dump();
    ASSERT_EQ(Load("{\"class\":\"AcDbLine\",\"start\":[0,0,0],\"end\":[2,0,0]}\n"), 0) << err.str();
    ASSERT_TRUE(fs::exists(dir / "out.bak"));
    fs::copy_file(dir / "out.bak", dir / "old.dwg");
    EXPECT_EQ(Dump("old"), before);
    for (const auto& e : fs::directory_iterator(dir))
        EXPECT_EQ(e.path().filename().string().find(".vk"), std::string::npos) << e.path();
}

TEST_F(VkcadLoad, TheProductsDrawingClassesLoadAndDump)
{
    ASSERT_EQ(Load("{\"handle\":\"100\",\"class\":\"AcDbVkRoom\",\"vertices\":[[0,0,0,0,0],"
                   "[10,0,0,0,0],[10,10,0,0,0]],\"closed\":true,\"attName\":\"卫生间\"}\n"),
              0)
        << err.str();
    const std::string d = Dump();
    EXPECT_NE(d.find("\"class\":\"AcDbVkRoom\""), std::string::npos) << d;
    EXPECT_NE(d.find("\"attName\":\"卫生间\""), std::string::npos) << d;
}

TEST_F(VkcadLoad, BadOrMissingInputIsNamedAndNothingIsWritten)
{
    EXPECT_EQ(Load("{\"class\":\"AcDbLine\"}\n\n\n{\"handle\":\"1B0\",\"class\":\"NoSuchClass\"}\n"), 1);
    EXPECT_NE(err.str().find("line 4"), std::string::npos) << err.str();
    EXPECT_FALSE(fs::exists(dir / "out.dwg"));
    err.str("");
    EXPECT_EQ(vkcad::LoadDrawing((dir / "missing.jsonl").string(), (dir / "out.dwg").string(), err), 1);
    EXPECT_FALSE(err.str().empty());
    EXPECT_FALSE(fs::exists(dir / "out.dwg"));

    std::ostringstream out;
    err.str("");
    EXPECT_EQ(vkcad::DumpDrawing(Write("junk.dwg", "this is not a drawing"), out, err), 1);
    EXPECT_FALSE(err.str().empty());
    EXPECT_TRUE(out.str().empty());
    err.str("");
    EXPECT_EQ(vkcad::DumpDrawing((dir / "none.dwg").string(), out, err), 1);
    EXPECT_NE(err.str().find("none.dwg"), std::string::npos);
}

TEST_F(VkcadLoad, ARoomsNameAndLayerSurviveExportAndImport)
{
    ASSERT_EQ(Load("{\"class\":\"AcDbVkRoom\",\"layer\":\"建筑-房间\",\"vertices\":[[0,0,0,0,0],"
                   "[4000,0,0,0,0],[4000,3000,0,0,0],[0,3000,0,0,0]],\"closed\":true,\"attName\":\"卫生间\"}\n",
                   "room"),
              0)
        << err.str();
    std::ostringstream out;
    const std::string dxf = (dir / "room.dxf").string();
    ASSERT_EQ(vkcad::ExportDrawing((dir / "room.dwg").string(), dxf, out, err), 0) << err.str();
    EXPECT_NE(out.str().find("drawn as graphics: AcDbVkRoom 1"), std::string::npos) << out.str();

    out.str("");
    ASSERT_EQ(vkcad::ImportDrawing(dxf, (dir / "back.dwg").string(), out, err), 0) << err.str();
    EXPECT_EQ(err.str(), "");
    EXPECT_NE(out.str().find("entities imported into"), std::string::npos) << out.str();
    const std::string d = Dump("back");
    EXPECT_NE(d.find("\"text\":\"卫生间\""), std::string::npos) << d;
    EXPECT_NE(d.find("\"name\":\"建筑-房间\""), std::string::npos) << d;

    // The plan of the imported drawing, in both picture kinds; other kinds are refused.
    vkcad::Options o;
    o.drawing = (dir / "back.dwg").string();
    o.picture = (dir / "back.png").string();
    EXPECT_EQ(vkcad::RenderDrawing(o, err), 0) << err.str();
    EXPECT_GT(fs::file_size(o.picture), 1000u);
    o.picture = (dir / "back.svg").string();
    EXPECT_EQ(vkcad::RenderDrawing(o, err), 0) << err.str();
    o.picture = (dir / "back.jpg").string();
    EXPECT_EQ(vkcad::RenderDrawing(o, err), 1);
    EXPECT_NE(err.str().find(".png or .svg"), std::string::npos);
    EXPECT_FALSE(fs::exists(o.picture));

    // A cut-short DXF names its file and line and writes nothing.
    out.str("");
    const std::string bad = (dir / "bad.dwg").string();
    EXPECT_EQ(vkcad::ImportDrawing(Write("bad.dxf", "  0\nSECTION\n  2\nENTITIES\n  0\nLINE\n 10\n"), bad, out, err), 1);
    EXPECT_NE(err.str().find("bad.dxf: line 7: the file is cut short"), std::string::npos) << err.str();
    EXPECT_FALSE(fs::exists(bad));
    EXPECT_EQ(out.str(), "");
}
