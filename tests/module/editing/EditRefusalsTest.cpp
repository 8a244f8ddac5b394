// What is not carried out when OK meets a library another program holds, a source marker locked
// meanwhile, or a copy with a component on a locked layer: each is told and loses nothing. (An
// edit dropped or given up, unreadable floors, floors sharing a drawing: scenarios edit_*.)
#include "module/editing/CModifySRoom.h"
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
        bool lit = false;
        for (const AcDbObjectId& id : vktest::EntityIds(floorDb("F1.dwg"))) {
            AcDbObjectPointer<AcDbEntity> ent(id, AcDb::kForRead);
            lit = lit || (ent && ent->isHighlighted());
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

TEST_F(EditRefusalsTest, ALibraryHeldByAnotherProgramAtOkKeepsTheOldEntryAndEveryCopy)
{
    startOn(u"F1", {{"F1", "F1.dwg"}, {"F2", "F2.dwg"}});
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

TEST_F(EditRefusalsTest, ASourceMarkerLockedBeforeOkKeepsTheLibraryEntry)
{
    startOn(u"F1", {{"F1", "F1.dwg"}, {"F2", "F2.dwg"}});
    const std::string library = bytes("StardardRoom.dwg");
    runWithHook({u"bjbj", u"!click 214", u"!ok", u"#103", u"<enter>", u"!ok"}, 5,
                [&] { LockLayer(floorDb("F1.dwg"), u"VK_标准房间"); });
    EXPECT_TRUE(seen("标准房间R的源房间无法打开，库中内容未更新")) << out.utf8();
    expectNothingCarried(library, "locked before OK");
}

TEST_F(EditRefusalsTest, ACopyWithAComponentOnALockedLayerIsLeftWholeAndNamed)
{
    startOn(u"F1", {{"F1", "F1.dwg"}, {"F2", "F2.dwg"}});
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

TEST_F(EditRefusalsTest, ANewEntryThatCannotBeWrittenPutsTheOldEntryBack)
{
    writeLibrary({{u"R", CopyLines(0x100, Placement{})}, {u"S", CopyLines(0x100, Placement{}, CopyOptions().room("S"))}});
    startOn(u"F1", {{"F1", "F1.dwg"}, {"F2", "F2.dwg"}});
    // A component of another drawing cannot be copied into the library: the new entry fails
    // after the old one was taken out.
    AcDbDatabase elsewhere(true, true);
    CModifySRoom dlg;
    SRoomEditInfo& edit = dlg.m_mapEdit[u"R"];
    ASSERT_EQ(working()->getAcDbObjectId(edit.standRoomId, false, AcDbHandle(0x103)), Acad::eOk);
    edit.newEnts.append(vktest::appendToModelSpace(elsewhere, new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(1, 0, 0))));
    // S, edited in the same run, is rewritten: the library is written, with R's old entry.
    SRoomEditInfo& other = dlg.m_mapEdit[u"S"];
    ASSERT_EQ(working()->getAcDbObjectId(other.standRoomId, false, AcDbHandle(0x203)), Acad::eOk);
    for (int h : {0x200, 0x201, 0x202}) {
        AcDbObjectId id;
        ASSERT_EQ(working()->getAcDbObjectId(id, false, AcDbHandle(h)), Acad::eOk);
        other.newEnts.append(id);
    }
    dlg.m_bOK = true;
    dlg.ProcessModify();
    EXPECT_TRUE(seen("标准房间R的新内容未能写入库")) << out.utf8();
    EXPECT_FALSE(seen("标准房间S的新内容未能写入库")) << out.utf8();
    EXPECT_EQ(libraryPipes(u"VK_给排水_给水管").size(), 1u) << "the old entry is back";
    EXPECT_EQ(bytes("Roomlist.txt"), "2\r\nR\r\nS\r\n");
    EXPECT_FALSE(isOpen("F2.dwg"));
}

}  // namespace
