// Reading DXF: layers, entities of every supported kind, blocks within blocks, text in code
// pages; what is not read is reported; bad files name their line.
#include <gtest/gtest.h>

#include <numbers>
#include <random>
#include <sstream>

#include "host/db/AcDb.h"
#include "host/dxf/DxfInterchange.h"
#include "host/win/Windows.h"
#include "tests/host/dxf/DxfTestSupport.h"

using dxftest::Dxf;

namespace {

std::string Gbk(const char16_t* s) { return WideToAnsi(CString(s), 936); }

// A DXF R2000 (AC1015) plan in code page 936 with one of everything.
std::string SamplePlan()
{
    return Dxf({
        {0, "SECTION"}, {2, "HEADER"}, {9, "$ACADVER"}, {1, "AC1015"}, {9, "$DWGCODEPAGE"}, {3, "ANSI_936"},
        {0, "ENDSEC"},
        {0, "SECTION"}, {2, "TABLES"}, {0, "TABLE"}, {2, "LAYER"}, {70, "4"},
        {0, "LAYER"}, {2, Gbk(u"墙")}, {70, "0"}, {62, "1"}, {6, "CONTINUOUS"},
        {0, "LAYER"}, {2, Gbk(u"关")}, {70, "0"}, {62, "-3"}, {6, "CONTINUOUS"},
        {0, "LAYER"}, {2, Gbk(u"冻")}, {70, "1"}, {62, "5"}, {6, "CONTINUOUS"},
        {0, "LAYER"}, {2, Gbk(u"锁")}, {70, "4"}, {62, "7"}, {6, "CONTINUOUS"},
        {0, "ENDTAB"}, {0, "ENDSEC"},
        {0, "SECTION"}, {2, "BLOCKS"},
        {0, "BLOCK"}, {8, "0"}, {2, "OUTER"}, {70, "0"}, {10, "10"}, {20, "0"}, {30, "0"}, {3, "OUTER"},
        {0, "INSERT"}, {8, "0"}, {2, "INNER"}, {10, "10"}, {20, "0"}, {30, "0"}, {41, "2"}, {42, "2"}, {43, "2"},
        {0, "CIRCLE"}, {8, "0"}, {10, "10"}, {20, "0"}, {30, "0"}, {40, "1"},
        {0, "ENDBLK"}, {8, "0"},
        {0, "BLOCK"}, {8, "0"}, {2, "INNER"}, {70, "0"}, {10, "0"}, {20, "0"}, {30, "0"}, {3, "INNER"},
        {0, "LINE"}, {8, "0"}, {10, "0"}, {20, "0"}, {30, "0"}, {11, "1"}, {21, "0"}, {31, "0"},
        {0, "ENDBLK"}, {8, "0"},
        {0, "ENDSEC"},
        {0, "SECTION"}, {2, "ENTITIES"},
        {0, "LINE"}, {8, Gbk(u"墙")}, {10, "0"}, {20, "0"}, {30, "0"}, {11, "100"}, {21, "0"}, {31, "0"},
        {0, "LINE"}, {8, "0"}, {67, "1"}, {10, "0"}, {20, "0"}, {30, "0"}, {11, "1"}, {21, "1"}, {31, "0"},
        {0, "LWPOLYLINE"}, {8, Gbk(u"墙")}, {62, "3"}, {90, "3"}, {70, "1"}, {43, "0.5"},
        {10, "0"}, {20, "0"}, {10, "10"}, {20, "0"}, {40, "1"}, {41, "2"}, {42, "1"}, {10, "10"}, {20, "10"},
        {0, "POLYLINE"}, {8, "0"}, {66, "1"}, {10, "0"}, {20, "0"}, {30, "0"}, {70, "0"}, {40, "0.25"}, {41, "0.25"},
        {0, "VERTEX"}, {8, "0"}, {10, "0"}, {20, "0"}, {30, "0"}, {40, "3"}, {41, "4"},
        {0, "VERTEX"}, {8, "0"}, {10, "5"}, {20, "0"}, {30, "0"}, {42, "-0.5"},
        {0, "VERTEX"}, {8, "0"}, {10, "5"}, {20, "5"}, {30, "0"},
        {0, "SEQEND"}, {8, "0"},
        {0, "ARC"}, {8, "0"}, {10, "0"}, {20, "0"}, {30, "0"}, {40, "5"}, {50, "0"}, {51, "90"},
        {0, "CIRCLE"}, {8, "0"}, {10, "1"}, {20, "2"}, {30, "0"}, {40, "3"},
        {0, "POINT"}, {8, "0"}, {10, "7"}, {20, "8"}, {30, "0"},
        {0, "TEXT"}, {8, "0"}, {10, "1"}, {20, "1"}, {30, "0"}, {40, "2.5"}, {1, Gbk(u"卫生间")}, {50, "90"},
        {0, "TEXT"}, {8, "0"}, {10, "0"}, {20, "0"}, {30, "0"}, {40, "1"}, {1, "%%c100"}, {72, "1"},
        {11, "50"}, {21, "50"}, {31, "0"},
        {0, "MTEXT"}, {8, "0"}, {10, "20"}, {20, "30"}, {30, "0"}, {40, "3"}, {71, "5"},
        {1, "{\\fSimSun|b0;" + Gbk(u"标准") + "}\\P\\U+7B2C2"},
        {0, "INSERT"}, {8, Gbk(u"墙")}, {2, "OUTER"}, {10, "100"}, {20, "100"}, {30, "0"}, {50, "90"},
        {0, "ELLIPSE"}, {8, "0"}, {10, "0"}, {20, "0"}, {30, "0"}, {11, "2"}, {21, "0"}, {31, "0"}, {40, "0.5"},
        {41, "0"}, {42, "6.283185"},
        {0, "SPLINE"}, {8, "0"}, {70, "8"}, {71, "3"}, {72, "0"}, {73, "0"}, {74, "0"},
        {0, "ENDSEC"}, {0, "EOF"},
    });
}

bool Import(const std::string& text, AcDbDatabase& db, vkdxf::ImportReport& report, std::string& why)
{
    std::istringstream in(text);
    return vkdxf::ImportDxf(in, &db, report, why);
}

}  // namespace

TEST(DxfImport, ReadsLayersEntitiesAndBlocksWithinBlocks)
{
    AcDbDatabase db;
    vkdxf::ImportReport report;
    std::string why;
    ASSERT_TRUE(Import(SamplePlan(), db, report, why)) << why;
    EXPECT_EQ(report.version, "AC1015");
    const std::map<std::string, int> imported{{"ARC", 1}, {"CIRCLE", 2}, {"ELLIPSE", 1}, {"INSERT", 2}, {"LINE", 2},
                                              {"LWPOLYLINE", 1}, {"MTEXT", 1}, {"POINT", 1}, {"POLYLINE", 1},
                                              {"TEXT", 2}};
    EXPECT_EQ(report.imported, imported);
    // The paper space line is named, and the spline without points.
    EXPECT_EQ(report.skippedText(), "LINE 1, SPLINE 1");

    auto d = dxftest::Describe(db);
    const std::vector<std::string> layers{"0 c7", "墙 c1", "关 c3 off", "冻 c5 frozen", "锁 c7 locked"};
    EXPECT_EQ(d["layers"], layers);
    const std::vector<std::string>& ms = d["*Model_Space"];
    ASSERT_EQ(ms.size(), 12u);
    EXPECT_EQ(ms[1], "AcDbLine 墙 256 (0.000000,0.000000,0.000000)(100.000000,0.000000,0.000000)");
    // Widths: the constant width where a vertex has none of its own; the bulge of a half circle.
    EXPECT_EQ(ms[2], "AcDbPolyline 墙 3 closed [0.000000,0.000000,0.000000,0.500000,0.500000] "
                     "[10.000000,0.000000,1.000000,1.000000,2.000000] [10.000000,10.000000,0.000000,0.500000,0.500000]");
    // A 2-D polyline: its vertices' own widths, else the polyline's default ones.
    EXPECT_EQ(ms[3], "AcDbPolyline 0 256 open [0.000000,0.000000,0.000000,3.000000,4.000000] "
                     "[5.000000,0.000000,-0.500000,0.250000,0.250000] [5.000000,5.000000,0.000000,0.250000,0.250000]");
    EXPECT_EQ(ms[4], "AcDbArc 0 256 (0.000000,0.000000,0.000000) r5.000000 0.000000 1.570796");
    EXPECT_EQ(ms[5], "AcDbCircle 0 256 (1.000000,2.000000,0.000000) r3.000000");
    EXPECT_EQ(ms[6], "AcDbPoint 0 256 (7.000000,8.000000,0.000000)");
    EXPECT_EQ(ms[7], "AcDbText 0 256 \"卫生间\" (1.000000,1.000000,0.000000) h2.500000 a1.570796 m00");
    // Centred on its second point; the diameter sign decoded.
    EXPECT_EQ(ms[8], "AcDbText 0 256 \"⌀100\" (50.000000,50.000000,0.000000) h1.000000 a0.000000 m10");
    // A multi-line text kept with its formatting, hung by its middle centre.
    EXPECT_EQ(ms[9], "AcDbMText 0 256 \"{\\fSimSun|b0;标准}\\P第2\" (20.000000,30.000000,0.000000) h3.000000 a0.000000 m5");

    // The nested blocks, scaled and turned: INNER's line, twice as long inside OUTER (whose
    // base point is 10,0), turned a quarter about 100,100.
    AcDbBlockTableRecord* ms0 = nullptr;
    ASSERT_EQ(acdbOpenObject(ms0, db.modelSpaceId(), AcDb::kForRead), Acad::eOk);
    const AcDbObjectId refId = ms0->entityIds()[9];  // ms[10]: ms[0] is the origin
    ms0->close();
    AcDbEntity* ref = nullptr;
    ASSERT_EQ(acdbOpenAcDbEntity(ref, refId, AcDb::kForRead), Acad::eOk);
    ASSERT_TRUE(AcDbBlockReference::cast(ref));
    std::vector<AcDbEntity::GeomPiece> pieces;
    ref->getGeomPieces(pieces);
    ref->close();
    ASSERT_EQ(pieces.size(), 2u);  // the inner line and the circle
    EXPECT_TRUE(pieces[0].a.isEqualTo(AcGePoint3d(100, 100, 0))) << pieces[0].a.x << "," << pieces[0].a.y;
    EXPECT_TRUE(pieces[0].b.isEqualTo(AcGePoint3d(100, 102, 0))) << pieces[0].b.x << "," << pieces[0].b.y;
    EXPECT_TRUE(pieces[1].center.isEqualTo(AcGePoint3d(100, 100, 0)));
}

TEST(DxfImport, TextOfEveryVersionAndCodePageComesOutAsCharacters)
{
    auto plan = [](const std::string& version, const std::string& page, const std::string& text) {
        return Dxf({{0, "SECTION"}, {2, "HEADER"}, {9, "$ACADVER"}, {1, version}, {9, "$DWGCODEPAGE"}, {3, page},
                    {0, "ENDSEC"}, {0, "SECTION"}, {2, "ENTITIES"},
                    {0, "TEXT"}, {8, text}, {10, "0"}, {20, "0"}, {30, "0"}, {40, "1"}, {1, text},
                    {0, "ENDSEC"}, {0, "EOF"}});
    };
    const struct {
        std::string version, page, bytes;
    } cases[] = {
        {"AC1009", "ANSI_936", Gbk(u"卫生间")},                    // R12, the Chinese code page
        {"AC1015", "ANSI_1252", "\\U+536B\\U+751F\\U+95F4"},         // escapes in a Western file
        {"AC1015", "ANSI_1252", CString(u"卫生间").ToUtf8()},      // UTF-8 where the header says otherwise
        {"AC1032", "ANSI_1252", CString(u"卫生间").ToUtf8()},      // 2018: UTF-8
    };
    for (const auto& c : cases) {
        AcDbDatabase db;
        vkdxf::ImportReport report;
        std::string why;
        ASSERT_TRUE(Import(plan(c.version, c.page, c.bytes), db, report, why)) << why;
        const auto d = dxftest::Describe(db);
        ASSERT_EQ(d.at("*Model_Space").size(), 2u) << c.version;
        EXPECT_EQ(d.at("*Model_Space")[1].rfind("AcDbText 卫生间 256 \"卫生间\" (", 0), 0u)
            << d.at("*Model_Space")[1] << " from " << c.version << " " << c.page;
    }
}

// An R12 file has no LWPOLYLINE at all: every 2-D POLYLINE keeps its default and vertex widths,
// also one following a polyline of another vertex count, and is counted as imported.
TEST(DxfImport, R12PolylinesKeepTheirWidths)
{
    auto poly = [](const char* width, std::vector<std::pair<const char*, const char*>> pts) {
        std::vector<std::pair<int, std::string>> g{{0, "POLYLINE"}, {8, "0"}, {66, "1"}, {10, "0"}, {20, "0"},
                                                   {30, "0"}, {70, "0"}, {40, width}, {41, width}};
        for (auto [x, y] : pts) {
            for (auto v : std::vector<std::pair<int, std::string>>{{0, "VERTEX"}, {8, "0"}, {10, x}, {20, y}, {30, "0"}})
                g.push_back(v);
        }
        g.push_back({0, "SEQEND"});
        g.push_back({8, "0"});
        return g;
    };
    std::vector<std::pair<int, std::string>> groups{{0, "SECTION"}, {2, "HEADER"}, {9, "$ACADVER"}, {1, "AC1009"},
                                                    {0, "ENDSEC"}, {0, "SECTION"}, {2, "ENTITIES"}};
    for (auto& g : poly("240", {{"0", "0"}, {"4000", "0"}})) groups.push_back(g);
    for (auto& g : poly("100", {{"0", "0"}, {"0", "2400"}, {"2000", "2400"}})) groups.push_back(g);
    groups.push_back({0, "ENDSEC"});
    groups.push_back({0, "EOF"});

    AcDbDatabase db;
    vkdxf::ImportReport report;
    std::string why;
    ASSERT_TRUE(Import(Dxf(groups), db, report, why)) << why;
    EXPECT_EQ(report.imported, (std::map<std::string, int>{{"POLYLINE", 2}}));
    EXPECT_EQ(report.skippedText(), "");
    const auto d = dxftest::Describe(db);
    const std::vector<std::string>& ms = d.at("*Model_Space");
    ASSERT_EQ(ms.size(), 3u);
    EXPECT_EQ(ms[1], "AcDbPolyline 0 256 open [0.000000,0.000000,0.000000,240.000000,240.000000] "
                     "[4000.000000,0.000000,0.000000,240.000000,240.000000]");
    EXPECT_EQ(ms[2], "AcDbPolyline 0 256 open [0.000000,0.000000,0.000000,100.000000,100.000000] "
                     "[0.000000,2400.000000,0.000000,100.000000,100.000000] "
                     "[2000.000000,2400.000000,0.000000,100.000000,100.000000]");
}

TEST(DxfImport, AFileThatIsNotDxfOrIsCutShortNamesItsLineAndAddsNothing)
{
    const std::string good = SamplePlan();
    const struct {
        std::string text, expected;
    } cases[] = {
        {"this is not a drawing\nat all\n", "line 1: not DXF"},
        {"", "line 1: the file is empty"},
        {"Writer Binary DXF\r\n\x1a", "line 1: binary DXF"},
        {good.substr(0, good.find("ELLIPSE")), "cut short"},
        {good.substr(0, good.find("\n", good.find("ELLIPSE")) + 3), "cut short: a group code without its value"},
        {Dxf({{0, "SECTION"}, {2, "ENTITIES"}, {0, "LINE"}, {10, "ten"}}), "line 8: group code 10 needs a number, found \"ten\""},
        {Dxf({{0, "SECTION"}, {2, "ENTITIES"}, {0, "LWPOLYLINE"}, {90, "2000000000"}, {0, "ENDSEC"}, {0, "EOF"}}),
         "line 8: LWPOLYLINE count 2000000000 is more than the file holds"},
        {Dxf({{0, "SECTION"}, {2, "ENTITIES"}, {0, "SECTION"}}), "line 6: SECTION inside section ENTITIES"},
        {"0\nSECTION\nx\ny\n", "line 3: not DXF: expected a group code, found \"x\""},
    };
    for (const auto& c : cases) {
        AcDbDatabase db;
        vkdxf::ImportReport report;
        std::string why;
        EXPECT_FALSE(Import(c.text, db, report, why));
        EXPECT_NE(why.find(c.expected), std::string::npos) << "got: " << why << "\nexpected: " << c.expected;
        EXPECT_EQ(dxftest::Describe(db).at("*Model_Space").size(), 1u) << why;  // the origin line only
    }
}

TEST(DxfImport, MutatedFilesAreRefusedWithALineOrReadWhole)
{
    // Bytes flipped, lines dropped, doubled and swapped, with a fixed seed: every result is a
    // refusal that names its line, or a drawing that leaves nothing open.
    const std::string plan = SamplePlan();
    std::mt19937 rng(20261206);
    int refused = 0, read = 0;
    for (int round = 0; round < 3000; ++round) {
        std::vector<std::string> lines;
        std::istringstream in(plan);
        for (std::string l; std::getline(in, l);) lines.push_back(l);
        for (int k = 1 + int(rng() % 4); k > 0; --k) {
            const size_t i = rng() % lines.size();
            switch (rng() % 5) {
            case 0: lines.erase(lines.begin() + long(i)); break;
            case 1: lines.insert(lines.begin() + long(i), lines[i]); break;
            case 2: std::swap(lines[i], lines[rng() % lines.size()]); break;
            case 3: if (!lines[i].empty()) lines[i][rng() % lines[i].size()] = char(rng() % 256); break;
            case 4: lines[i] = std::to_string(int(rng() % 2000) - 1000); break;
            }
        }
        std::string text;
        for (const std::string& l : lines) text += l + "\n";
        AcDbDatabase db;
        vkdxf::ImportReport report;
        std::string why;
        if (Import(text, db, report, why)) {
            ++read;
            EXPECT_EQ(db.numOpenObjects(), 0);
        } else {
            ++refused;
            ASSERT_EQ(why.rfind("line ", 0), 0u) << why;
        }
    }
    EXPECT_GT(refused, 100);
    EXPECT_GT(read, 100);
}
