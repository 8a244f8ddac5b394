// Other readers accept the DXF files written (the round trip itself is scenario dxf_roundtrip's).
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <sstream>

#include "host/db/AcDb.h"
#include "host/dxf/DxfInterchange.h"
#include "tests/support/ProjectFiles.h"
#include "tests/support/RunCommand.h"
#include "tests/support/TestDrawing.h"

namespace fs = std::filesystem;

// A class of the product's kind: DXF has no entity for it, so it goes out as what it draws.
class DxfTestValve : public AcDbEntity {
public:
    ACRX_DECLARE_MEMBERS(DxfTestValve);

protected:
    bool subWorldDraw(AcGiWorldDraw* wd) const override
    {
        wd->geometry().circle(AcGePoint3d(50, 50, 0), 5, AcGeVector3d::kZAxis);
        wd->geometry().text(AcGePoint3d(56, 50, 0), 2, u"阀门");
        return true;
    }
};
ACRX_DEFINE_MEMBERS(DxfTestValve, AcDbEntity)

namespace {

using vktest::appendTo;
using vktest::appendToModelSpace;

class DxfRoundTrip : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = vktest::FreshTestDir("vk_dxf");
    }
    void TearDown() override { fs::remove_all(dir); }

    // A drawing with Chinese layers in every state, every host entity, a block with a
    // block inside, mirrored and scaled references, and an object of a product class.
    void Build(AcDbDatabase& db)
    {
        Layer(db, u"建筑墙", 1, false, false, false);
        Layer(db, u"关闭", 2, true, false, false);
        Layer(db, u"冻结", 3, false, true, true);
        auto* line = new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(1000.125, 0, 0));
        line->setLayer(u"建筑墙");
        appendToModelSpace(db, line);
        auto* pl = new AcDbPolyline;
        pl->addVertexAt(0, AcGePoint2d(0, 0), 0.5, 10, 20);
        pl->addVertexAt(1, AcGePoint2d(500, 0));
        pl->addVertexAt(2, AcGePoint2d(500, 300), -1);
        pl->setClosed(true);
        pl->setColorIndex(5);
        appendToModelSpace(db, pl);
        appendToModelSpace(db, new AcDbArc(AcGePoint3d(1, 2, 0), 3, 0.25, 5.5));
        appendToModelSpace(db, new AcDbCircle(AcGePoint3d(-4, 5, 0), 6));
        appendToModelSpace(db, new AcDbPoint(AcGePoint3d(7, 8, 0)));
        auto* name = new AcDbText(AcGePoint3d(250, 150, 0), u"卫生间", 200, std::numbers::pi / 6);
        name->setLayer(u"关闭");
        appendToModelSpace(db, name);
        auto* centred = new AcDbText(AcGePoint3d(10, 10, 0), u"A-1", 5);
        centred->setHorizontalMode(AcDb::kTextCenter);
        centred->setVerticalMode(AcDb::kTextVertMid);
        appendToModelSpace(db, centred);
        auto* lines = new AcDbMText;
        lines->setLocation(AcGePoint3d(0, -50, 0));
        lines->setContents(u"第一行\\P第二行");
        lines->setTextHeight(4);
        appendToModelSpace(db, lines);

        const AcDbObjectId inner = Block(db, u"门", AcGePoint3d(0, 0, 0));
        appendTo(inner, new AcDbArc(AcGePoint3d(0, 0, 0), 900, 0, std::numbers::pi / 2));
        appendTo(inner, new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(900, 0, 0)));
        const AcDbObjectId outer = Block(db, u"房间1", AcGePoint3d(100, 100, 0));
        auto* nested = new AcDbBlockReference(AcGePoint3d(100, 100, 0), inner);
        nested->transformBy(AcGeMatrix3d::scaling(0.5, AcGePoint3d(100, 100, 0)));
        appendTo(outer, nested);
        appendTo(outer, new AcDbText(AcGePoint3d(120, 120, 0), u"标准房间", 50));
        auto* placed = new AcDbBlockReference(AcGePoint3d(3000, 2000, 0), outer);
        placed->setRotation(std::numbers::pi / 2);
        appendToModelSpace(db, placed);
        auto* mirrored = new AcDbBlockReference(AcGePoint3d(6000, 2000, 0), outer);
        mirrored->transformBy(AcGeMatrix3d::mirroring(AcGePlane(AcGePoint3d(6000, 0, 0), AcGeVector3d::kXAxis)));
        mirrored->setLayer(u"建筑墙");
        appendToModelSpace(db, mirrored);
    }

    static void Layer(AcDbDatabase& db, const char16_t* name, int color, bool off, bool frozen, bool locked)
    {
        ASSERT_FALSE(vktest::SetLayer(db, name, {color, off, frozen, locked}).isNull());
    }

    static AcDbObjectId Block(AcDbDatabase& db, const char16_t* name, const AcGePoint3d& origin)
    {
        AcDbBlockTable* table = nullptr;
        EXPECT_EQ(db.getBlockTable(table, AcDb::kForWrite), Acad::eOk);
        auto* rec = new AcDbBlockTableRecord;
        rec->setName(name);
        rec->setOrigin(origin);
        AcDbObjectId id;
        EXPECT_EQ(table->add(id, rec), Acad::eOk);
        rec->close();
        table->close();
        return id;
    }

    std::string Export(AcDbDatabase& db, const std::string& name, vkdxf::ExportReport* report = nullptr)
    {
        const std::string path = (dir / name).string();
        vkdxf::ExportReport r;
        std::string why;
        EXPECT_TRUE(vkdxf::ExportDxf(&db, path, r, why)) << why;
        if (report) *report = r;
        return path;
    }

    fs::path dir;
};

// A Python with ezdxf: Debian's (python3-ezdxf), or whatever python3 is first on the path.
std::string PythonWithEzdxf()
{
    for (const char* python : {"/usr/bin/python3", "python3"}) {
        const std::string probe = std::string(python) + " -c 'import ezdxf' >/dev/null 2>&1";
        if (std::system(probe.c_str()) == 0) return python;
    }
    return "";
}

}  // namespace

TEST_F(DxfRoundTrip, EzdxfReadsTheFilesAndItsAuditFindsNothing)
{
    const std::string python = PythonWithEzdxf();
    if (python.empty()) GTEST_SKIP() << "ezdxf is not installed (Debian package python3-ezdxf): audit not run";
    AcDbDatabase db;
    Build(db);
    appendToModelSpace(db, new DxfTestValve);
    const std::string path = Export(db, "audit.dxf");
    std::ofstream(dir / "audit.py") << "import sys, ezdxf\n"
                                       "doc = ezdxf.readfile(sys.argv[1])\n"
                                       "a = doc.audit()\n"
                                       "for e in a.errors + a.fixes: print('problem:', e.message)\n"
                                       "print('errors', len(a.errors), 'fixes', len(a.fixes))\n"
                                       "print('layers', sorted(l.dxf.name for l in doc.layers))\n"
                                       "print('off', sorted(l.dxf.name for l in doc.layers if l.is_off()))\n"
                                       "print('texts', sorted(t.dxf.text for t in doc.query('TEXT')))\n"
                                       "print('entities', len(doc.modelspace()))\n";
    const std::string out = vktest::RunCommand("PYTHONIOENCODING=utf-8 " + python + " " + (dir / "audit.py").string() + " " + path + " 2>&1");
    EXPECT_NE(out.find("errors 0 fixes 0"), std::string::npos) << out;
    EXPECT_NE(out.find("'关闭', '冻结', '建筑墙']"), std::string::npos) << out;
    EXPECT_NE(out.find("off ['关闭']"), std::string::npos) << out;
    EXPECT_NE(out.find("'卫生间'"), std::string::npos) << out;
    EXPECT_NE(out.find("'标准房间'"), std::string::npos) << out;
    EXPECT_NE(out.find("entities 12"), std::string::npos) << out;
}

