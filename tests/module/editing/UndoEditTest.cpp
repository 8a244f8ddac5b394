// A room edit across floors is one step: taken back, the library entry and every copy on every
// floor are as before, whether a floor was saved since or not (a saved one is marked changed);
// brought back, they are as after the edit.
#include <sstream>

#include "host/db/AcDbJson.h"
#include "host/db/AcDbUndo.h"
#include "host/db/DatabaseState.h"
#include "tests/module/editing/EditProject.h"

using namespace edittest;

namespace {

// The drawing's live objects as its JSON view gives them, a line each in handle order.
std::string LiveObjects(AcDbDatabase* db)
{
    std::ostringstream dump;
    EXPECT_EQ(acdbDumpJson(db, dump), Acad::eOk);
    std::istringstream lines(dump.str());
    std::string live;
    for (std::string line; std::getline(lines, line);)
        if (line.find("\"erased\":true") == std::string::npos) live += line + "\n";
    return live;
}

TEST_F(EditProjectTest, AnEditAcrossFloorsIsTakenBackAndBroughtBackAsOneStep)
{
    const Placement source{0, false, 10000, 10000}, turned{90, true, 30000, 10000}, other{30, false, 50000, 10000};
    writeDrawing("F1.dwg", CopyLines(0x100, source) + DrainLine(0x110, source) + CopyLines(0x200, turned));
    writeDrawing("F2.dwg", CopyLines(0x100, turned) + CopyLines(0x200, other));
    writeDrawing("F3.dwg", CopyLines(0x100, other));
    useProject({{"F1", "F1.dwg"}, {"F2", "F2.dwg"}, {"F3", "F3.dwg"}});
    startOn(u"F1");
    vkundo::clear();
    const std::vector<std::string> floors{"F1.dwg", "F2.dwg", "F3.dwg"};
    std::vector<std::string> before;
    for (const std::string& f : floors) {
        AcDbDatabase db(false, true);
        ASSERT_EQ(db.readDwgFile(hostPath(f), _SH_DENYNO), Acad::eOk);
        before.push_back(LiveObjects(&db));
    }
    const std::string library = bytes("StardardRoom.dwg");

    editAndOk(u"#103");
    std::vector<std::string> after;
    for (const std::string& f : floors) {
        ASSERT_TRUE(isOpen(f)) << f << out.utf8();
        after.push_back(LiveObjects(floorDb(f)));
        EXPECT_TRUE(after.back() != before[after.size() - 1]) << f << " was not rebuilt";
    }
    const std::string edited = bytes("StardardRoom.dwg");
    ASSERT_NE(edited, library);
    // F2 saved since, the others not.
    AcApDocument* f2 = vked::FindDocument(hostPath("F2.dwg"));
    ASSERT_EQ(vked::SaveDocuments({f2}).at(0), Acad::eOk);
    ASSERT_FALSE(vkdb::IsModifiedSinceSave(f2->database()));

    const vkundo::Outcome undone = vkundo::undo(1);
    ASSERT_EQ(undone.commands.size(), 1u) << undone.error.ToUtf8();
    for (size_t i = 0; i < floors.size(); ++i) EXPECT_EQ(LiveObjects(floorDb(floors[i])), before[i]) << floors[i];
    EXPECT_EQ(bytes("StardardRoom.dwg"), library);
    EXPECT_TRUE(vkdb::IsModifiedSinceSave(f2->database()));

    ASSERT_EQ(vkundo::redo().commands.size(), 1u);
    for (size_t i = 0; i < floors.size(); ++i) EXPECT_EQ(LiveObjects(floorDb(floors[i])), after[i]) << floors[i];
    EXPECT_EQ(bytes("StardardRoom.dwg"), edited);
    EXPECT_EQ(vkundo::redo().commands.size(), 0u);
    EXPECT_EQ(vkundo::undo(1).commands.size(), 1u);
    EXPECT_EQ(LiveObjects(floorDb("F2.dwg")), before[1]);
}

}  // namespace
