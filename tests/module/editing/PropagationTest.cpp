// An edit carried to every copy: where the new content lands under each copy's own turn and
// mirror, what is left alone, which floors are visited in which order, and what the run leaves
// behind (library, markers, unsaved floors, the status line).
#include "host/ed/SystemVariables.h"
#include "module/resources/resource.h"
#include "siblings/object/VkQsPipeValve.h"
#include "siblings/services/VkQsGsPreviewCtrl.h"
#include "tests/module/editing/EditProject.h"

using namespace edittest;

namespace {

CopyOptions ChangedByHand() { return CopyOptions().changeType(1); }

const Placement kPlain{0, false, 10000, 10000};
const Placement kTurned{90, false, 30000, 10000};
const Placement kMirrored{0, true, 50000, 10000};
const Placement kMirroredTurned{90, true, 70000, 10000};

// The source copy, where the drain pipe was drawn, and three more copies, all on floor F1.
class CopyPlacementTest : public EditProjectTest, public ::testing::WithParamInterface<Placement> {};

TEST_P(CopyPlacementTest, EveryCopyTakesTheNewComponentUnderItsOwnTurnAndMirror)
{
    const Placement source = GetParam();
    std::vector<Placement> targets;
    for (const Placement& p : {kPlain, kTurned, kMirrored, kMirroredTurned})
        if (p.x != source.x) targets.push_back(p);
    std::string f1 = CopyLines(0x100, source) + DrainLine(0x110, source);
    int base = 0x200;
    for (const Placement& t : targets) f1 += CopyLines(base += 0x100, t);
    writeDrawing("F1.dwg", f1);
    startOn(u"F1", {{"F1", "F1.dwg"}});

    editAndOk(u"#103");

    AcDbDatabase* db = floorDb("F1.dwg");
    const std::vector<Segment> drains = pipes(db, u"VK_给排水_排水管");
    const std::vector<Segment> water = pipes(db, u"VK_给排水_给水管");
    ASSERT_EQ(drains.size(), targets.size() + 1) << "one drain pipe per copy, the source's not doubled";
    ASSERT_EQ(water.size(), targets.size() + 1);
    targets.push_back(source);
    for (const Placement& t : targets) {
        const AcGePoint3d a = t.apply(500, 500), b = t.apply(500, 1500);
        EXPECT_EQ(std::count_if(drains.begin(), drains.end(), [&](const Segment& s) { return SameSegment(s, a, b); }), 1)
            << "drain of the copy at " << t.x;
        const AcGePoint3d c = t.apply(300, 1000), d = t.apply(2700, 1000);
        EXPECT_EQ(std::count_if(water.begin(), water.end(), [&](const Segment& s) { return SameSegment(s, c, d); }), 1)
            << "water pipe of the copy at " << t.x;
    }
    // Each new marker keeps its copy's insertion point and records the placement it was built
    // with: the copy's own after the source's undone.
    const std::vector<Marker> ms = markers(db);
    ASSERT_EQ(ms.size(), targets.size());
    AcGeMatrix3d sourceM;
    for (const Placement& t : targets) {
        auto m = std::find_if(ms.begin(), ms.end(), [&](const Marker& m) { return Near(m.insertPt, AcGePoint3d(t.x, t.y, 0)); });
        ASSERT_NE(m, ms.end());
        EXPECT_EQ(m->ents.length(), 3);
        // The drain's start as the library stores it: in the source copy's turn, about its base.
        const AcGePoint3d stored = source.apply(500, 500) - AcGeVector3d(source.x, source.y, 0);
        AcGePoint3d placed = stored;
        EXPECT_TRUE(Near(placed.transformBy(m->matrix), t.apply(500, 500))) << "marker at " << t.x;
    }
    EXPECT_EQ(db->numOpenObjects(), 0);
}

INSTANTIATE_TEST_SUITE_P(FromAPlainOrATurnedSource, CopyPlacementTest, ::testing::Values(kPlain, kTurned),
                         [](const auto& info) { return info.param.angle == 0 ? "Plain" : "Turned"; });

TEST_F(EditProjectTest, ACopyChangedByHandAndBlockDefinitionObjectsInACopysListAreLeftAlone)
{
    writeDrawing("F1.dwg", CopyLines(0x100, kPlain) + DrainLine(0x110, kPlain) +
                               CopyLines(0x200, kTurned, ChangedByHand()) + CopyLines(0x300, kMirrored));
    startOn(u"F1", {{"F1", "F1.dwg"}});
    // A block definition whose begin, entity and end ended up in the mirrored copy's list, as
    // they do when an insertion brings a block definition along.
    AcDbDatabase* db = floorDb("F1.dwg");
    AcDbObjectId blockId, lineId, beginId, endId;
    {
        blockId = vktest::addBlockDefinition(*db, u"X");
        {
            AcDbObjectPointer<AcDbBlockTableRecord> rec(blockId, AcDb::kForRead);
            ASSERT_TRUE(rec);
            beginId = rec->blockBeginId();
            endId = rec->blockEndId();
        }
        lineId = vktest::appendTo(blockId, new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(1, 1, 0)));
        ASSERT_FALSE(lineId.isNull() || beginId.isNull() || endId.isNull());
        AcDbObjectId marker;
        ASSERT_EQ(db->getAcDbObjectId(marker, false, AcDbHandle(0x303)), Acad::eOk);
        AcDbQsStandRoom* m = nullptr;
        ASSERT_EQ(acdbOpenObject(m, marker, AcDb::kForWrite), Acad::eOk);
        AcDbObjectIdArray ents = m->GetAssositEnts();
        for (const AcDbObjectId& id : {beginId, lineId, endId}) ents.append(id);
        m->SetAssositEnts(ents);
        m->close();
    }

    editAndOk(u"#103");

    for (const AcDbObjectId& id : {beginId, lineId, endId}) {
        AcDbObjectPointer<AcDbObject> obj(id, AcDb::kForRead);
        EXPECT_EQ(obj.openStatus(), Acad::eOk) << "a block definition object was erased";
    }
    EXPECT_EQ(state(db, 0x301), Acad::eWasErased) << "the mirrored copy was rebuilt";

    const std::vector<Marker> ms = markers(db);
    auto byHand = std::find_if(ms.begin(), ms.end(), [](const Marker& m) { return m.chgType == 1; });
    ASSERT_NE(byHand, ms.end());
    EXPECT_EQ(byHand->id.handle(), AcDbHandle(0x203)) << "the copy changed by hand keeps its marker";
    const std::vector<Segment> drains = pipes(db, u"VK_给排水_排水管");
    EXPECT_EQ(drains.size(), 2u) << "the source and the mirrored copy";
    for (const Segment& s : drains)
        EXPECT_FALSE(SameSegment(s, kTurned.apply(500, 500), kTurned.apply(500, 1500)));
}

// A valve on a pipe is never erased by the rebuild itself: one listed by a copy whose pipe runs
// outside the room stays where it is, while a valve on one of the copy's own pipes goes with
// that pipe and the new copy brings its own.
TEST_F(EditProjectTest, ValvesOnPipesAreNotErasedByTheRebuild)
{
    auto pipeWithValve = [](int pipe, int valve, const Placement& p, double x0, double x1, double at, const char* sroom) {
        return R"({"handle":")" + Hex(pipe) + R"(","class":"VkQsPipe","layer":"VK_给排水_给水管","typePath":"给排水\\管道\\给水管","start":)" +
               Pt(p.apply(x0, 1800)) + R"(,"end":)" + Pt(p.apply(x1, 1800)) + R"(,"valves":[")" + Hex(valve) + "\"]}\n" +
               R"({"handle":")" + Hex(valve) + R"(","class":"VkQsPipeValve","layer":"VK_给排水_阀门","typePath":"给排水\\阀门\\闸阀","sroom":")" +
               sroom + R"(","pipe":")" + Hex(pipe) + R"(","position":)" + Pt(p.apply(at, 1800)) + R"(,"angle":0,"size":200})" "\n";
    };
    // The source's pipe and valve lie inside the room; the turned copy also lists a valve on a
    // corridor pipe that runs past it.
    const CopyOptions own = CopyOptions().alsoLinked("\"1A0\",\"1A1\""), outside = CopyOptions().alsoLinked("\"2A1\"");
    writeDrawing("F1.dwg", CopyLines(0x100, kPlain, own) + pipeWithValve(0x1A0, 0x1A1, kPlain, 200, 2800, 1500, "103") +
                               DrainLine(0x110, kPlain) + CopyLines(0x200, kTurned, outside) +
                               pipeWithValve(0x2A0, 0x2A1, kTurned, -5000, 8000, 1500, "203"));
    startOn(u"F1", {{"F1", "F1.dwg"}});

    editAndOk(u"#103");

    AcDbDatabase* db = floorDb("F1.dwg");
    EXPECT_EQ(state(db, 0x2A1), Acad::eOk) << "the valve on the corridor pipe was erased";
    EXPECT_EQ(state(db, 0x2A0), Acad::eOk);
    EXPECT_EQ(state(db, 0x202), Acad::eWasErased) << "the turned copy was rebuilt";
    EXPECT_EQ(state(db, 0x1A1), Acad::eWasErased) << "the source's valve goes with its pipe";
    // Every copy now holds exactly one valve of the room, at the valve's place in that copy.
    std::vector<AcGePoint3d> valves;
    for (const AcDbObjectId& id : vktest::EntityIds(db)) {
        AcDbObjectPointer<VkQsPipeValve> v(id, AcDb::kForRead);
        if (v && id.handle() != AcDbHandle(0x2A1)) valves.push_back(v->position());
    }
    ASSERT_EQ(valves.size(), 2u);
    for (const Placement& t : {kPlain, kTurned})
        EXPECT_EQ(std::count_if(valves.begin(), valves.end(), [&](const AcGePoint3d& v) { return Near(v, t.apply(1500, 1800)); }), 1)
            << "valve of the copy at " << t.x;
    EXPECT_EQ(db->numOpenObjects(), 0);
}

// After a re-extraction the dialog's preview shows the room's new content, as it lies in the
// source copy: the drain pipe drawn there is among what it draws.
TEST_F(EditProjectTest, TheReExtractedContentIsPreviewedBeforeOk)
{
    writeDrawing("F1.dwg", CopyLines(0x100, kTurned) + DrainLine(0x110, kTurned));
    startOn(u"F1", {{"F1", "F1.dwg"}});
    const AcGePoint3d a = kTurned.apply(500, 500), b = kTurned.apply(500, 1500);
    bool looked = false;
    runWithHook({u"bjbj", u"!click 214", u"!ok", u"#103", u"<enter>", u"!ok"}, 5, [&] {
        CDialog* dlg = vkui::TopDialog();
        ASSERT_NE(dlg, nullptr);
        auto* preview = dynamic_cast<VkQsGsPreviewCtrl*>(dlg->GetDlgItem(IDC_MODIFY_PREVIEW));
        ASSERT_NE(preview, nullptr);
        looked = true;
        const auto& prims = preview->Primitives();
        EXPECT_EQ(std::count_if(prims.begin(), prims.end(), [&](const PreviewPrimitive& p) {
                      return p.kind == PreviewPrimitive::kPath && p.points.size() == 2 &&
                             Near(p.points.front(), a) && Near(p.points.back(), b);
                  }), 1)
            << "the drain pipe is not in the preview";
    });
    EXPECT_TRUE(looked);
}

// F1 is the user's floor, with the source copy; F2 and F10 hold copies; F3 holds none.
class FloorsTest : public EditProjectTest {
protected:
    void SetUp() override
    {
        EditProjectTest::SetUp();
        writeDrawing("F1.dwg", CopyLines(0x100, kPlain) + DrainLine(0x110, kPlain));
        writeDrawing("F2.dwg", CopyLines(0x100, kTurned));
        writeDrawing("F3.dwg", R"({"handle":"100","class":"AcDbLine","start":[0,0,0],"end":[1,1,0]})" "\n");
        writeDrawing("F10.dwg", CopyLines(0x100, kMirrored));
        startOn(u"F1", {{"F1", "F1.dwg"}, {"F2", "F2.dwg"}, {"F3", "F3.dwg"}, {"F10", "F10.dwg"}});
    }
};

TEST_F(FloorsTest, TheStatusLineMacroIsPutBackAfterTheFloorSwitches)
{
    resbuf* mine = acutBuildString(u"我的状态栏");
    ASSERT_EQ(acedSetVar(u"MODEMACRO", mine), RTNORM);
    acutRelRb(mine);
    resbuf ortho;
    ortho.restype = RTSHORT;
    ortho.resval.rint = 1;
    ASSERT_EQ(acedSetVar(u"ORTHOMODE", &ortho), RTNORM);
    editAndOk(u"#103");
    ASSERT_EQ(acedGetVar(u"ORTHOMODE", &ortho), RTNORM);
    EXPECT_EQ(ortho.resval.rint, 1) << "held off around each insertion only";
    // Each switch shows its floor on the status line; the run puts the user's text back.
    ASSERT_TRUE(seen("<wait: 处理中，请稍后... F2 2/3>")) << out.utf8();
    resbuf rb;
    ASSERT_EQ(acedGetVar(u"MODEMACRO", &rb), RTNORM);
    EXPECT_EQ(CString(rb.resval.rstring), CString(u"我的状态栏"));
    acutDelString(rb.resval.rstring);
}

TEST_F(FloorsTest, ReExtractingTwiceBeforeOkKeepsTheSecondRecord)
{
    // The second re-extraction removes the drain pipe again (Q, pick it, Enter): the library
    // entry follows the second, so no copy gains a drain pipe.
    run({u"bjbj", u"!click 214", u"!ok", u"#103", u"<enter>", u"!click 214", u"!ok", u"#103", u"Q", u"#110",
         u"<enter>", u"<enter>", u"!ok"});
    EXPECT_TRUE(libraryPipes(u"VK_给排水_排水管").empty()) << out.utf8();
    EXPECT_EQ(libraryPipes(u"VK_给排水_给水管").size(), 1u);
    EXPECT_TRUE(pipes(floorDb("F2.dwg"), u"VK_给排水_排水管").empty());
    EXPECT_EQ(pipes(floorDb("F2.dwg"), u"VK_给排水_给水管").size(), 1u);
}

TEST_F(EditProjectTest, ADrawingOpenedUnderAPathThatDiffersOnlyInCaseIsNotOpenedAgain)
{
    // The project names its floors on drive C:, the user opened floor F1 as c:\...
    const Placement turned{90, false, 20000, 5000};
    fs::create_directories(dir / "c" / "proj");
    writeDrawing("c/proj/F1.dwg", CopyLines(0x100, kPlain) + DrainLine(0x110, kPlain));
    writeDrawing("c/proj/F2.dwg", CopyLines(0x100, turned));
    fs::rename(dir / "StardardRoom.dwg", dir / "c" / "proj" / "StardardRoom.dwg");
    std::ofstream(dir / "p.prj") << "[Project]\nDir=C:\\proj\n[Floors]\nF1=F1.dwg\nF2=F2.dwg\n";
    CString err;
    ASSERT_TRUE(VkQsProject::SetCurrentProjectFile((dir / "p.prj").string(), &err)) << err.ToUtf8();
    ASSERT_EQ(acDocManager->openDocument(u"c:\\proj\\F1.dwg"), Acad::eOk);
    module = std::make_unique<vktest::ModuleStarted>();

    editAndOk(u"#103");

    ASSERT_TRUE(seen("<wait: 处理中，请稍后... F1 2/2>")) << out.utf8();
    EXPECT_EQ(acDocManager->documentCount(), 2) << "F1 once, F2";
    EXPECT_EQ(CString(acDocManager->curDocument()->fileName()), CString(u"c:\\proj\\F1.dwg"));
    EXPECT_EQ(pipes(acDocManager->curDocument()->database(), u"VK_给排水_排水管").size(), 1u);
}

}  // namespace
