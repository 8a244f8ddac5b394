// What is not carried out: the edit dropped by Cancel, the close box or Esc; a re-extraction
// given up at any of its prompts; floors that cannot be read; two floors on one drawing; a
// library that another program holds at OK. Each is told and loses nothing.
#include "host/ui/AfxWin.h"
#include "tests/module/editing/EditProject.h"

using namespace edittest;

namespace {

const Placement kSource{0, false, 10000, 10000};
const Placement kTurned{90, false, 20000, 5000};
const Placement kMirrored{0, true, 40000, 5000};

class EditRefusalsTest : public EditProjectTest {
protected:
    void SetUp() override
    {
        EditProjectTest::SetUp();
        writeDrawing("F1.dwg", CopyLines(0x100, kSource) + DrainLine(0x110, kSource) +
                                   CopyLines(0x200, kMirrored, CopyOptions().room("S")));
        writeDrawing("F2.dwg", CopyLines(0x100, kTurned));
    }
    AcDbObjectIdArray sourceList()
    {
        for (const Marker& m : markers(floorDb("F1.dwg")))
            if (m.id.handle() == AcDbHandle(0x103)) return m.ents;
        return AcDbObjectIdArray();
    }
    bool anyHighlighted()
    {
        AcDbDatabase* db = floorDb("F1.dwg");
        bool lit = false;
        for (const AcDbObjectId& id : modelSpace(db)) {
            AcDbEntity* ent = nullptr;
            if (acdbOpenAcDbEntity(ent, id, AcDb::kForRead) != Acad::eOk) continue;
            lit = lit || ent->isHighlighted();
            ent->close();
        }
        return lit;
    }
    // Nothing reached the library or another floor.
    void expectNothingCarried(const std::string& libraryBefore, const char* what)
    {
        EXPECT_EQ(bytes("StardardRoom.dwg"), libraryBefore) << what;
        EXPECT_FALSE(isOpen("F2.dwg")) << what;
        EXPECT_EQ(pipes(floorDb("F1.dwg"), u"VK_给排水_排水管").size(), 1u) << what;
        EXPECT_FALSE(anyHighlighted()) << what;
    }
};

TEST_F(EditRefusalsTest, CancelTheCloseBoxAndEscDropTheEditButKeepWhatReExtractionChangedAtOnce)
{
    writeProject({{"F1", "F1.dwg"}, {"F2", "F2.dwg"}});
    startOn(u"F1");
    const std::string library = bytes("StardardRoom.dwg");
    for (const char16_t* ending : {u"!cancel", u"!close", u"<esc>"}) {
        out.clear();
        run({u"bjbj", u"!click 214", u"!ok", u"#103", u"<enter>", ending});
        const std::string what = CString(ending).ToUtf8();
        EXPECT_FALSE(seen("<wait:")) << what << out.utf8();
        expectNothingCarried(library, what.c_str());
        // The source marker took the drain pipe into its list at once.
        AcDbObjectId drain;
        ASSERT_EQ(floorDb("F1.dwg")->getAcDbObjectId(drain, false, AcDbHandle(0x110)), Acad::eOk);
        EXPECT_TRUE(sourceList().contains(drain)) << what;
        EXPECT_EQ(vkui::TopDialog(), nullptr) << what;
    }
}

TEST_F(EditRefusalsTest, AReExtractionGivenUpAtAnyPromptRecordsNothing)
{
    writeProject({{"F1", "F1.dwg"}, {"F2", "F2.dwg"}});
    startOn(u"F1");
    const std::string library = bytes("StardardRoom.dwg");
    const AcDbObjectIdArray before = sourceList();
    struct Case {
        const char* what;
        std::vector<CString> lines;
        const char* message;
    };
    const Case cases[] = {
        {"filter dialog cancelled", {u"!click 214", u"!cancel"}, nullptr},
        {"Esc at the room pick", {u"!click 214", u"!ok", u"<esc>"}, nullptr},
        {"a pick on no marker, then Esc", {u"!click 214", u"!ok", u"#101", u"<esc>"}, nullptr},
        {"Esc at the components", {u"!click 214", u"!ok", u"#103", u"<esc>"}, nullptr},
        {"Esc in a removal pass", {u"!click 214", u"!ok", u"#103", u"Q", u"#110", u"<esc>", u"<enter>", u"<esc>"}, nullptr},
        {"a copy of another room", {u"!click 214", u"!ok", u"#203"}, "[Vektasoft|warning] 请提取同名标准房间?"},
    };
    for (const Case& c : cases) {
        out.clear();
        std::vector<CString> lines{u"bjbj"};
        lines.insert(lines.end(), c.lines.begin(), c.lines.end());
        lines.push_back(u"!ok");
        runWithHook(lines, lines.size(), [] {});
        EXPECT_TRUE(seen("<wait: 处理中，请稍后...>\n<wait done>")) << c.what << "\n" << out.utf8();
        if (c.message) {
            EXPECT_TRUE(seen(c.message)) << c.what << "\n" << out.utf8();
        }
        EXPECT_FALSE(seen("** input ended")) << c.what << "\n" << out.utf8();
        expectNothingCarried(library, c.what);
        EXPECT_TRUE(sourceList() == before) << c.what;
    }
}

TEST_F(EditRefusalsTest, FloorsThatCannotBeReadAreNamedAndLeftAsTheyAre)
{
    // F2's drawing is cut short, F10's is held by another program, F5's does not exist yet.
    writeDrawing("F10.dwg", CopyLines(0x100, kMirrored));
    const std::string whole = bytes("F2.dwg");
    std::ofstream(dir / "F2.dwg", std::ios::binary | std::ios::trunc) << whole.substr(0, whole.size() / 2);
    writeProject({{"F1", "F1.dwg"}, {"F2", "F2.dwg"}, {"F5", "F5.dwg"}, {"F10", "F10.dwg"}});
    startOn(u"F1");
    SharedFile holder;
    ASSERT_TRUE(holder.Open(hostPath("F10.dwg"), SharedFile::kWrite, _SH_DENYWR));
    const std::string f2 = bytes("F2.dwg"), f10 = bytes("F10.dwg");

    editAndOk(u"#103");

    EXPECT_TRUE(seen("楼层F2的图纸")) << out.utf8();
    EXPECT_TRUE(seen("楼层F10的图纸")) << out.utf8();
    EXPECT_FALSE(seen("楼层F5")) << "a floor not drawn yet holds no copy";
    EXPECT_TRUE(seen("<wait: 处理中，请稍后... F1 1/1>")) << out.utf8();
    for (const char* file : {"F2.dwg", "F10.dwg", "F5.dwg"}) EXPECT_FALSE(isOpen(file)) << file;
    EXPECT_EQ(bytes("F2.dwg"), f2);
    EXPECT_EQ(bytes("F10.dwg"), f10);
    EXPECT_EQ(pipes(floorDb("F1.dwg"), u"VK_给排水_排水管").size(), 1u);
    EXPECT_EQ(libraryPipes(u"VK_给排水_排水管").size(), 1u);
}

TEST_F(EditRefusalsTest, TwoFloorsOnOneDrawingRebuildItsCopiesOnce)
{
    // From a turned source, a second rebuild of the same copy would turn its content again.
    writeDrawing("F1.dwg", CopyLines(0x100, kTurned) + DrainLine(0x110, kTurned));
    writeDrawing("F2.dwg", CopyLines(0x100, kMirrored));
    writeProject({{"F1", "F1.dwg"}, {"F2", "F2.dwg"}, {"F2b", "F2.dwg"}});
    startOn(u"F1");

    editAndOk(u"#103");

    EXPECT_TRUE(seen("楼层F2b与其他楼层使用同一图纸")) << out.utf8();
    const std::vector<Segment> drains = pipes(floorDb("F2.dwg"), u"VK_给排水_排水管");
    ASSERT_EQ(drains.size(), 1u);
    EXPECT_TRUE(SameSegment(drains[0], kMirrored.apply(500, 500), kMirrored.apply(500, 1500)));
}

TEST_F(EditRefusalsTest, ALibraryHeldByAnotherProgramAtOkKeepsTheOldEntryAndEveryCopy)
{
    writeProject({{"F1", "F1.dwg"}, {"F2", "F2.dwg"}});
    startOn(u"F1");
    const std::string library = bytes("StardardRoom.dwg");
    SharedFile holder;
    runWithHook({u"bjbj", u"!click 214", u"!ok", u"#103", u"<enter>", u"!ok"}, 5, [&] {
        ASSERT_TRUE(holder.Open(hostPath("StardardRoom.dwg"), SharedFile::kWrite, _SH_DENYWR));
    });
    holder.Close();

    EXPECT_TRUE(seen("标准房间R的新内容未能写入库")) << out.utf8();
    EXPECT_EQ(bytes("StardardRoom.dwg"), library);
    EXPECT_FALSE(isOpen("F2.dwg"));
    // The source copy keeps its components, the drawn drain pipe included; its marker its old list.
    AcDbDatabase* db = floorDb("F1.dwg");
    EXPECT_EQ(pipes(db, u"VK_给排水_排水管").size(), 1u);
    EXPECT_EQ(pipes(db, u"VK_给排水_给水管").size(), 2u) << "the source copy's and the copy of S";
    EXPECT_EQ(sourceList().length(), 2);
}

void LockLayer(AcDbDatabase* db, const char16_t* name)
{
    ASSERT_NE(db, nullptr);
    ASSERT_TRUE(acdbEnsureLayer(db, name, false)) << "no layer to lock";
    ASSERT_FALSE(vktest::SetLayer(*db, name, {.locked = true}).isNull());
}

TEST_F(EditRefusalsTest, ASourceMarkerOnALockedLayerIsRefusedWithAMessageBeforeOrAtOk)
{
    writeProject({{"F1", "F1.dwg"}, {"F2", "F2.dwg"}});
    startOn(u"F1");
    const std::string library = bytes("StardardRoom.dwg");
    LockLayer(floorDb("F1.dwg"), u"VK_标准房间");
    const AcDbObjectIdArray before = sourceList();
    editAndOk(u"#103");
    EXPECT_TRUE(seen("所选房间的标记在锁定的图层上，未重新提取")) << out.utf8();
    EXPECT_TRUE(seen("<wait: 处理中，请稍后...>\n<wait done>"));
    expectNothingCarried(library, "locked before the re-extraction");
    EXPECT_TRUE(sourceList() == before);
}

TEST_F(EditRefusalsTest, ASourceMarkerLockedBeforeOkKeepsTheLibraryEntry)
{
    writeProject({{"F1", "F1.dwg"}, {"F2", "F2.dwg"}});
    startOn(u"F1");
    const std::string library = bytes("StardardRoom.dwg");
    runWithHook({u"bjbj", u"!click 214", u"!ok", u"#103", u"<enter>", u"!ok"}, 5,
                [&] { LockLayer(floorDb("F1.dwg"), u"VK_标准房间"); });
    EXPECT_TRUE(seen("标准房间R的源房间无法打开，库中内容未更新")) << out.utf8();
    expectNothingCarried(library, "locked before OK");
}

TEST_F(EditRefusalsTest, ACopyWithAComponentOnALockedLayerIsLeftWholeAndNamed)
{
    writeProject({{"F1", "F1.dwg"}, {"F2", "F2.dwg"}});
    startOn(u"F1");
    runWithHook({u"bjbj", u"!click 214", u"!ok", u"#103", u"<enter>", u"!ok"}, 5, [&] {
        // F2 is read from its file during the run: lock the layer there.
        AcDbDatabase f2(false, true);
        ASSERT_EQ(f2.readDwgFile(hostPath("F2.dwg"), _SH_DENYNO), Acad::eOk);
        LockLayer(&f2, u"VK_给排水_地漏");
        ASSERT_EQ(f2.saveAs(hostPath("F2.dwg"), false, AcDb::kDHL_1027), Acad::eOk);
    });
    EXPECT_TRUE(seen("标准房间R位于(20000,5000)的副本在锁定的图层上，未更新")) << out.utf8();
    AcDbDatabase* f2 = floorDb("F2.dwg");
    EXPECT_TRUE(pipes(f2, u"VK_给排水_排水管").empty());
    EXPECT_EQ(pipes(f2, u"VK_给排水_给水管").size(), 1u) << "the copy is neither erased nor doubled";
    // The source copy was rebuilt all the same.
    EXPECT_EQ(pipes(floorDb("F1.dwg"), u"VK_给排水_排水管").size(), 1u);
    EXPECT_EQ(libraryPipes(u"VK_给排水_排水管").size(), 1u);
}

}  // namespace
