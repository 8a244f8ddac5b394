// Architects' plans come in whole: ellipses, splines, hatches, solids, multi-line texts,
// dimensions, attributes and line styles are read as host entities, drawn, filed and written
// back; a capital letter is drawn as tall as its text height; a file of nothing readable is
// refused.
#include <gtest/gtest.h>
#include <cairo.h>

#include <algorithm>
#include <cstring>
#include <cmath>
#include <filesystem>
#include <iterator>
#include <numbers>
#include <set>
#include <sstream>
#include <unistd.h>

#include "host/db/AcDb.h"
#include "host/db/AcDbJson.h"
#include "host/dxf/DxfInterchange.h"
#include "host/gi/GiPicture.h"
#include "tests/host/dxf/DxfTestSupport.h"
#include "tests/support/ProjectFiles.h"
#include "tests/support/RunCommand.h"

namespace fs = std::filesystem;
using dxftest::Dxf;

namespace {

constexpr double kPi = std::numbers::pi;

// A DXF 2007 (UTF-8) plan with one of each kind, line styles on layers and entities.
std::string Plan()
{
    return Dxf({
        {0, "SECTION"}, {2, "HEADER"}, {9, "$ACADVER"}, {1, "AC1021"}, {0, "ENDSEC"},
        {0, "SECTION"}, {2, "TABLES"},
        {0, "TABLE"}, {2, "LTYPE"}, {70, "2"},
        {0, "LTYPE"}, {2, "Continuous"}, {70, "0"}, {3, "Solid"}, {72, "65"}, {73, "0"}, {40, "0"},
        {0, "LTYPE"}, {2, "DASHED"}, {70, "0"}, {3, "__ __"}, {72, "65"}, {73, "2"}, {40, "15"},
        {49, "10"}, {74, "0"}, {49, "-5"}, {74, "0"},
        {0, "ENDTAB"},
        {0, "TABLE"}, {2, "LAYER"}, {70, "1"},
        {0, "LAYER"}, {2, "轴线"}, {70, "0"}, {62, "1"}, {6, "DASHED"}, {370, "50"},
        {0, "ENDTAB"}, {0, "ENDSEC"},
        {0, "SECTION"}, {2, "BLOCKS"},
        {0, "BLOCK"}, {8, "0"}, {2, "*D1"}, {70, "1"}, {10, "0"}, {20, "0"}, {30, "0"},
        {0, "LINE"}, {8, "0"}, {10, "0"}, {20, "10"}, {30, "0"}, {11, "100"}, {21, "10"}, {31, "0"},
        {0, "ENDBLK"}, {8, "0"},
        {0, "BLOCK"}, {8, "0"}, {2, "DOOR"}, {70, "2"}, {10, "0"}, {20, "0"}, {30, "0"},
        {0, "LINE"}, {8, "0"}, {10, "0"}, {20, "0"}, {30, "0"}, {11, "9"}, {21, "0"}, {31, "0"},
        {0, "ATTDEF"}, {8, "0"}, {10, "0"}, {20, "2"}, {30, "0"}, {40, "2"}, {1, "000"}, {100, "AcDbAttributeDefinition"},
        {3, "门号"}, {2, "NO"}, {70, "0"},
        {0, "ENDBLK"}, {8, "0"},
        {0, "ENDSEC"},
        {0, "SECTION"}, {2, "ENTITIES"},
        // A quarter of an ellipse, and a half of one seen from below (it runs the other way).
        {0, "ELLIPSE"}, {8, "轴线"}, {370, "35"}, {10, "10"}, {20, "20"}, {30, "0"}, {11, "4"}, {21, "0"},
        {31, "0"}, {40, "0.5"}, {41, "0"}, {42, "1.5707963267948966"},
        {0, "ELLIPSE"}, {8, "0"}, {10, "0"}, {20, "0"}, {30, "0"}, {11, "4"}, {21, "0"}, {31, "0"},
        {210, "0"}, {220, "0"}, {230, "-1"}, {40, "0.5"}, {41, "0"}, {42, "3.141592653589793"},
        // A quadratic arch by its control points, and a cubic by its fit points.
        {0, "SPLINE"}, {8, "0"}, {6, "DASHED"}, {48, "2"}, {70, "8"}, {71, "2"}, {72, "6"}, {73, "3"}, {74, "0"},
        {40, "0"}, {40, "0"}, {40, "0"}, {40, "1"}, {40, "1"}, {40, "1"},
        {10, "0"}, {20, "0"}, {30, "0"}, {10, "50"}, {20, "100"}, {30, "0"}, {10, "100"}, {20, "0"}, {30, "0"},
        {0, "SPLINE"}, {8, "0"}, {70, "8"}, {71, "3"}, {72, "0"}, {73, "0"}, {74, "3"},
        {11, "0"}, {21, "0"}, {31, "0"}, {11, "5"}, {21, "5"}, {31, "0"}, {11, "10"}, {21, "0"}, {31, "0"},
        // A solid square with a square hole; a pattern in a half disc (a line and an arc).
        {0, "HATCH"}, {8, "0"}, {100, "AcDbHatch"}, {10, "0"}, {20, "0"}, {30, "0"}, {2, "SOLID"}, {70, "1"},
        {71, "0"}, {91, "2"},
        {92, "3"}, {72, "0"}, {73, "1"}, {93, "4"}, {10, "0"}, {20, "0"}, {10, "40"}, {20, "0"}, {10, "40"}, {20, "40"},
        {10, "0"}, {20, "40"}, {97, "0"},
        {92, "2"}, {72, "0"}, {73, "1"}, {93, "4"}, {10, "10"}, {20, "10"}, {10, "30"}, {20, "10"}, {10, "30"},
        {20, "30"}, {10, "10"}, {20, "30"}, {97, "0"},
        {75, "0"}, {76, "1"}, {98, "0"},
        {0, "HATCH"}, {8, "0"}, {100, "AcDbHatch"}, {10, "0"}, {20, "0"}, {30, "0"}, {2, "ANSI31"}, {70, "0"},
        {71, "0"}, {91, "1"}, {92, "1"}, {93, "2"},
        {72, "1"}, {10, "-20"}, {20, "0"}, {11, "20"}, {21, "0"},
        {72, "2"}, {10, "0"}, {20, "0"}, {40, "20"}, {50, "0"}, {51, "180"}, {73, "1"},
        {97, "0"}, {75, "0"}, {76, "1"}, {52, "45"}, {41, "1"}, {77, "0"}, {78, "1"},
        {53, "90"}, {43, "0"}, {44, "0"}, {45, "-2.5"}, {46, "2.5"}, {79, "2"}, {49, "3"}, {49, "-1"}, {98, "0"},
        {0, "SOLID"}, {8, "0"}, {10, "0"}, {20, "0"}, {30, "0"}, {11, "10"}, {21, "0"}, {31, "0"},
        {12, "0"}, {22, "10"}, {32, "0"}, {13, "10"}, {23, "10"}, {33, "0"},
        // Turned a quarter by its angle in degrees.
        {0, "MTEXT"}, {8, "0"}, {10, "5"}, {20, "6"}, {30, "0"}, {40, "2.5"}, {41, "30"}, {71, "4"},
        {3, "{\\fSimSun|b0;卫生间}"}, {1, "\\P2.5%%d"}, {50, "90"},
        {0, "DIMENSION"}, {8, "0"}, {2, "*D1"}, {10, "100"}, {20, "10"}, {30, "0"}, {11, "50"}, {21, "12"},
        {31, "0"}, {70, "32"}, {42, "100"}, {3, "ISO-25"}, {100, "AcDbAlignedDimension"},
        {13, "0"}, {23, "0"}, {33, "0"}, {14, "100"}, {24, "0"}, {34, "0"}, {50, "0"},
        {0, "INSERT"}, {8, "0"}, {66, "1"}, {2, "DOOR"}, {10, "200"}, {20, "0"}, {30, "0"}, {50, "90"},
        {0, "ATTRIB"}, {8, "0"}, {10, "200"}, {20, "2"}, {30, "0"}, {40, "2"}, {1, "101"}, {2, "NO"}, {70, "0"},
        {0, "SEQEND"}, {8, "0"},
        {0, "ENDSEC"}, {0, "EOF"},
    });
}

bool Import(const std::string& text, AcDbDatabase& db, vkdxf::ImportReport& report, std::string& why)
{
    std::istringstream in(text);
    return vkdxf::ImportDxf(in, &db, report, why);
}

// Every object as its JSON line without its handle and owner, and every entity's drawing as
// rounded points: what two drawings must share to be the same plan.
std::multiset<std::string> Contents(AcDbDatabase& db)
{
    std::ostringstream out;
    EXPECT_EQ(acdbDumpJson(&db, out), Acad::eOk);
    std::multiset<std::string> lines;
    std::istringstream in(out.str());
    for (std::string line; std::getline(in, line);) {
        // Handles and the references between objects differ from drawing to drawing; tables
        // and blocks are lists of them.
        bool skip = false;
        for (const char* cls : {"AcDbBlockTable", "AcDbBlockTableRecord", "AcDbBlockBegin", "AcDbBlockEnd",
                                "AcDbLayerTable", "AcDbLinetypeTable"})
            skip = skip || line.find("\"class\":\"" + std::string(cls) + "\"") != std::string::npos;
        if (skip) continue;
        for (const char* key : {"\"handle\":", "\"owner\":", "\"block\":"}) {
            const size_t at = line.find(key);
            if (at != std::string::npos) line.erase(at, line.find(',', at) - at + 1);
        }
        // A reference's attributes by their number.
        if (const size_t at = line.find("\"attributes\":["); at != std::string::npos) {
            const size_t end = line.find(']', at);
            const std::string list = line.substr(at, end - at);
            line.replace(at, end - at + 1, "\"attributes\":" + std::to_string(std::count(list.begin(), list.end(), '"') / 2 - 1));
        }
        lines.insert(line);
    }
    return lines;
}

// The lines of one that the other does not hold ("-" for a, "+" for b); empty when the same.
std::string Differences(const std::multiset<std::string>& a, const std::multiset<std::string>& b)
{
    std::vector<std::string> onlyA, onlyB;
    std::set_difference(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(onlyA));
    std::set_difference(b.begin(), b.end(), a.begin(), a.end(), std::back_inserter(onlyB));
    std::string out;
    for (const std::string& l : onlyA) out += "- " + l + "\n";
    for (const std::string& l : onlyB) out += "+ " + l + "\n";
    return out;
}

AcDbObjectId Find(AcDbDatabase& db, const AcRxClass* cls, int nth = 0)
{
    AcDbObjectPointer<AcDbBlockTableRecord> ms(db.modelSpaceId(), AcDb::kForRead);
    for (AcDbObjectId id : ms->entityIds()) {
        AcDbEntity* e = nullptr;
        if (acdbOpenAcDbEntity(e, id, AcDb::kForRead) != Acad::eOk) continue;
        const bool match = e->isA() == cls;
        e->close();
        if (match && nth-- == 0) return id;
    }
    return AcDbObjectId();
}

// The points an entity's curves pass through, for comparing shapes.
std::vector<AcGePoint3d> Shape(const AcDbEntity* e)
{
    std::vector<AcDbEntity::GeomPiece> pieces;
    e->getGeomPieces(pieces);
    std::vector<AcGePoint3d> pts;
    for (const auto& p : pieces) pts.push_back(p.a), pts.push_back(p.b);
    return pts;
}

// The largest distance from a point of a to the nearest point of b.
double Distance(const std::vector<AcGePoint3d>& a, const std::vector<AcGePoint3d>& b)
{
    double worst = 0;
    for (const AcGePoint3d& p : a) {
        double best = 1e300;
        for (const AcGePoint3d& q : b) best = std::min(best, p.distanceTo(q));
        worst = std::max(worst, best);
    }
    return worst;
}

}  // namespace

TEST(DxfPlanEntities, ComeInWholeAndGoBackOutTheSame)
{
    AcDbDatabase db;
    vkdxf::ImportReport report;
    std::string why;
    ASSERT_TRUE(Import(Plan(), db, report, why)) << why;
    EXPECT_EQ(report.skippedText(), "");
    const std::map<std::string, int> imported{{"ATTDEF", 1}, {"ATTRIB", 1}, {"DIMENSION", 1}, {"ELLIPSE", 2},
                                              {"HATCH", 2}, {"INSERT", 1}, {"LINE", 2}, {"MTEXT", 1},
                                              {"SOLID", 1}, {"SPLINE", 2}};
    EXPECT_EQ(report.imported, imported);

    {
        AcDbObjectPointer<AcDbEllipse> quarter(Find(db, AcDbEllipse::desc()), AcDb::kForRead);
        ASSERT_TRUE(quarter);
        AcGePoint3d s, e;
        quarter->getStartPoint(s), quarter->getEndPoint(e);
        EXPECT_TRUE(s.isEqualTo({14, 20, 0}) && e.isEqualTo({10, 22, 0})) << s.x << "," << s.y << " " << e.x << "," << e.y;
        EXPECT_EQ(quarter->lineWeight(), AcDb::kLnWt035);
        // Seen from below, the half from parameter 0 to pi runs through the lower half.
        AcDbObjectPointer<AcDbEllipse> below(Find(db, AcDbEllipse::desc(), 1), AcDb::kForRead);
        EXPECT_NEAR(below->pointAtParam((below->startParam() + below->endParam()) / 2).y, -2, 1e-9);

        AcDbObjectPointer<AcDbSpline> arch(Find(db, AcDbSpline::desc()), AcDb::kForRead);
        ASSERT_TRUE(arch);
        EXPECT_EQ(arch->linetype(), CString(u"DASHED"));
        EXPECT_EQ(arch->linetypeScale(), 2);
        vkge::Nurbs c;
        ASSERT_TRUE(arch->drawnCurve(c));
        EXPECT_TRUE(vkge::NurbsPoint(c, 0.5).isEqualTo({50, 50, 0}));  // the curve, not its frame (50,100)
        AcDbObjectPointer<AcDbSpline> fitted(Find(db, AcDbSpline::desc(), 1), AcDb::kForRead);
        ASSERT_TRUE(fitted->drawnCurve(c));
        EXPECT_LT(Distance({{0, 0, 0}, {5, 5, 0}, {10, 0, 0}}, vkge::SampleNurbs(c, 64)), 0.01);
        // Weights count: a rational quadratic with the middle weight 1/sqrt(2) is a quarter circle.
        const vkge::Nurbs quarterCircle{2, {0, 0, 0, 1, 1, 1}, {{1, 0, 0}, {1, 1, 0}, {0, 1, 0}}, {1, std::sqrt(0.5), 1}};
        for (const AcGePoint3d& p : vkge::SampleNurbs(quarterCircle, 16)) EXPECT_NEAR(std::hypot(p.x, p.y), 1, 1e-12);

        AcDbObjectPointer<AcDbHatch> solid(Find(db, AcDbHatch::desc()), AcDb::kForRead);
        ASSERT_TRUE(solid && solid->isSolidFill());
        EXPECT_EQ(solid->numLoops(), 2);
        AcDbObjectPointer<AcDbHatch> pattern(Find(db, AcDbHatch::desc(), 1), AcDb::kForRead);
        std::vector<std::pair<AcGePoint2d, AcGePoint2d>> segments;
        ASSERT_TRUE(pattern->patternSegments(segments));
        EXPECT_GT(segments.size(), 20u);
        for (const auto& [a, b] : segments) {  // dashes of 3 across, inside the half disc
            EXPECT_LE(a.distanceTo(b), 3 + 1e-9);
            EXPECT_LE(std::hypot(a.x, a.y), 20 + 1e-9);
            EXPECT_GE(std::min(a.y, b.y), -1e-9);
        }

        AcDbObjectPointer<AcDbMText> note(Find(db, AcDbMText::desc()), AcDb::kForRead);
        ASSERT_TRUE(note);
        EXPECT_NEAR(note->rotation(), kPi / 2, 1e-12);
        EXPECT_EQ(note->text(), CString(u"卫生间\n2.5°"));

        AcDbObjectPointer<AcDbDimension> dim(Find(db, AcDbDimension::desc()), AcDb::kForRead);
        ASSERT_TRUE(dim);
        EXPECT_EQ(dim->measurement(), 100);
        EXPECT_TRUE(dim->point(1).isEqualTo({100, 0, 0}));
        AcDbObjectPointer<AcDbBlockTableRecord> dimBlock(dim->dimBlockId(), AcDb::kForRead);
        ASSERT_TRUE(dimBlock);
        EXPECT_EQ(dimBlock->entityIds().size(), 1u);

        AcDbObjectPointer<AcDbBlockReference> door(Find(db, AcDbBlockReference::desc()), AcDb::kForRead);
        ASSERT_TRUE(door);
        ASSERT_EQ(door->attributeIds().size(), 1u);
        AcDbObjectPointer<AcDbAttribute> no(door->attributeIds()[0], AcDb::kForRead);
        EXPECT_EQ(no->tag(), CString(u"NO"));
        EXPECT_EQ(no->textString(), CString(u"101"));
        EXPECT_EQ(no->ownerId(), door->objectId());

    }
    AcDbLayerTable* layers = nullptr;
    ASSERT_EQ(db.getLayerTable(layers, AcDb::kForRead), Acad::eOk);
    AcDbLayerTableRecord* axis = nullptr;
    ASSERT_EQ(layers->getAt(u"轴线", axis, AcDb::kForRead), Acad::eOk);
    layers->close();
    EXPECT_EQ(axis->linetype(), CString(u"DASHED"));
    EXPECT_EQ(axis->lineWeight(), AcDb::kLnWt050);
    axis->close();
    EXPECT_EQ(acdbLinetypeDashes(&db, u"dashed"), (std::vector<double>{10, -5}));

    // Written out and read back, and through a drawing file: the same objects field by field.
    const fs::path dir = vktest::FreshTestDir("vk_dxf_plan");
    vkdxf::ExportReport written;
    ASSERT_TRUE(vkdxf::ExportDxf(&db, (dir / "plan.dxf").string(), written, why)) << why;
    AcDbDatabase back;
    ASSERT_TRUE(vkdxf::ImportDxfFile((dir / "plan.dxf").string(), &back, report, why)) << why;
    EXPECT_EQ(report.skippedText(), "");
    EXPECT_EQ(Differences(Contents(db), Contents(back)), "");
    const CString file = CString::FromUtf8((dir / "plan.dwg").string());
    ASSERT_EQ(db.saveAs(file.GetString()), Acad::eOk);
    AcDbDatabase reread(false, true);
    ASSERT_EQ(reread.readDwgFile(file.GetString()), Acad::eOk);
    EXPECT_EQ(Differences(Contents(db), Contents(reread)), "");
    {
        AcDbObjectPointer<AcDbBlockReference> door(Find(reread, AcDbBlockReference::desc()), AcDb::kForRead);
        ASSERT_TRUE(door);
        EXPECT_EQ(door->attributeIds().size(), 1u);
    }
    // Another reader finds nothing to repair in what was written.
    if (std::system("/usr/bin/python3 -c 'import ezdxf' >/dev/null 2>&1") == 0) {
        const std::string out = vktest::RunCommand(
            "/usr/bin/python3 -c \"import sys, ezdxf; a = ezdxf.readfile(sys.argv[1]).audit(); "
            "print('errors', len(a.errors), 'fixes', len(a.fixes))\" " + (dir / "plan.dxf").string() + " 2>&1");
        EXPECT_NE(out.find("errors 0 fixes 0"), std::string::npos) << out;
    }
    fs::remove_all(dir);
}

TEST(DxfPlanEntities, MirroredTheyKeepTheirShapes)
{
    AcDbDatabase db;
    vkdxf::ImportReport report;
    std::string why;
    ASSERT_TRUE(Import(Plan(), db, report, why)) << why;
    const AcGeMatrix3d mirror = AcGeMatrix3d::mirroring(AcGePlane(AcGePoint3d(3, 0, 0), AcGeVector3d::kXAxis));
    for (const AcRxClass* cls : {AcDbEllipse::desc(), AcDbHatch::desc(), AcDbSpline::desc(), AcDbSolid::desc(),
                                 AcDbDimension::desc(), AcDbBlockReference::desc()})
        for (int nth = 0; nth < 2; ++nth) {
            const AcDbObjectId id = Find(db, cls, nth);
            if (id.isNull()) continue;
            AcDbEntity* e = nullptr;
            ASSERT_EQ(acdbOpenAcDbEntity(e, id, AcDb::kForWrite), Acad::eOk);
            std::vector<AcGePoint3d> expected = Shape(e);
            for (AcGePoint3d& p : expected) p = mirror * p;
            ASSERT_EQ(e->transformBy(mirror), Acad::eOk);
            EXPECT_LT(Distance(expected, Shape(e)), 0.05) << CString(cls->name()).ToUtf8() << " " << nth;
            EXPECT_LT(Distance(Shape(e), expected), 0.05) << CString(cls->name()).ToUtf8() << " " << nth;
            e->close();
        }
    // The pattern follows its boundary; the attribute goes with its reference.
    AcDbObjectPointer<AcDbHatch> pattern(Find(db, AcDbHatch::desc(), 1), AcDb::kForRead);
    std::vector<std::pair<AcGePoint2d, AcGePoint2d>> segments;
    ASSERT_TRUE(pattern->patternSegments(segments));
    for (const auto& [a, b] : segments) EXPECT_LE(std::hypot(a.x - 6, a.y), 20 + 1e-9);
    AcDbObjectPointer<AcDbBlockReference> door(Find(db, AcDbBlockReference::desc()), AcDb::kForRead);
    AcDbObjectPointer<AcDbAttribute> no(door->attributeIds()[0], AcDb::kForRead);
    EXPECT_NEAR(no->position().x, 6 - 200, 1e-9);
}

TEST(DxfPlanEntities, AFileOfOnlyEntitiesNotReadIsRefused)
{
    AcDbDatabase db;
    vkdxf::ImportReport report;
    std::string why;
    const std::string leaders = Dxf({{0, "SECTION"}, {2, "ENTITIES"}, {0, "LEADER"}, {8, "0"}, {76, "0"},
                                     {0, "LEADER"}, {8, "0"}, {76, "0"}, {0, "ELLIP\x83SE"}, {8, "0"},
                                     {0, "ENDSEC"}, {0, "EOF"}});
    EXPECT_FALSE(Import(leaders, db, report, why));
    EXPECT_EQ(why, "none of its entities could be read (not imported: ELLIP\\x83SE 1, LEADER 2)");
    // A file without entities is an empty drawing, not an error.
    EXPECT_TRUE(Import(Dxf({{0, "SECTION"}, {2, "ENTITIES"}, {0, "ENDSEC"}, {0, "EOF"}}), db, report, why)) << why;
}

// A capital H of DXF height h is drawn h tall: its ink, read back from the PNG file, spans h
// pixels at one pixel a unit (within 5 %), for a text standing on its baseline, one hung by its
// top (the capitals' top at the point) and a multi-line text attached by its top right corner,
// its width measured exactly (not in whole units of its height).
TEST(DxfPlanEntities, ACapitalIsAsTallAsItsTextHeight)
{
    const std::string text = Dxf({{0, "SECTION"}, {2, "ENTITIES"},
                                  {0, "TEXT"}, {8, "0"}, {10, "20"}, {20, "20"}, {30, "0"}, {40, "60"}, {1, "H"},
                                  {0, "TEXT"}, {8, "0"}, {10, "110"}, {20, "150"}, {30, "0"}, {40, "60"}, {1, "H"},
                                  {72, "0"}, {73, "3"}, {11, "110"}, {21, "150"}, {31, "0"},
                                  {0, "MTEXT"}, {8, "0"}, {10, "290"}, {20, "150"}, {30, "0"}, {40, "60"}, {71, "3"},
                                  {1, "HI"},
                                  {0, "ENDSEC"}, {0, "EOF"}});
    AcDbDatabase db;
    vkdxf::ImportReport report;
    std::string why;
    ASSERT_TRUE(Import(text, db, report, why)) << why;
    std::vector<vkgi::Primitive> prims;
    ASSERT_EQ(vkgi::CollectModelSpace(&db, prims), Acad::eOk);
    vkgi::View view;
    view.width = 300, view.height = 200;
    view.fit = false;
    view.x1 = 0, view.y1 = 0, view.x2 = 300, view.y2 = 200;
    const fs::path png = fs::temp_directory_path() / ("vk_capital_" + std::to_string(getpid()) + ".png");
    ASSERT_TRUE(vkgi::RenderPng(prims, view, png.string()));
    cairo_surface_t* s = cairo_image_surface_create_from_png(png.string().c_str());
    fs::remove(png);
    ASSERT_EQ(cairo_surface_status(s), CAIRO_STATUS_SUCCESS);
    const unsigned char* data = cairo_image_surface_get_data(s);
    const int stride = cairo_image_surface_get_stride(s);
    // Rows with ink in the columns of each text: picture row r is world y = 200 - r.
    int top = 0, bottom = 0, left = 0, right = 0;
    auto inkIn = [&](int x0, int x1) {
        top = left = 1000, bottom = right = -1;
        for (int y = 0; y < 200; ++y)
            for (int x = x0; x < x1; ++x) {
                const auto px = reinterpret_cast<const uint32_t*>(data + y * stride)[x] & 0xFFFFFFu;
                if (px == 0xFFFFFFu) continue;
                top = std::min(top, y), bottom = std::max(bottom, y);
                left = std::min(left, x), right = std::max(right, x);
            }
    };
    inkIn(0, 100);
    EXPECT_NEAR(bottom - top + 1, 60, 3);
    EXPECT_NEAR(200 - (bottom + 1), 20, 1.5);  // standing on its baseline
    inkIn(100, 200);
    EXPECT_NEAR(bottom - top + 1, 60, 3);
    EXPECT_NEAR(200 - top, 150, 1.5);  // hung by the capitals' top
    EXPECT_GE(left, 110);
    inkIn(200, 300);
    EXPECT_NEAR(bottom - top + 1, 60, 3);
    EXPECT_NEAR(200 - top, 150, 1.5);
    EXPECT_LE(right, 290);  // the letters' advance ends at the corner, their ink a little before
    EXPECT_GE(right, 275);
    cairo_surface_destroy(s);
}
