// The report of a project whose copies hold every state: what each copy is judged, what the
// text and the JSON say, and that reading the project changes nothing.
#include <gtest/gtest.h>

#include <cstdlib>

#include <nlohmann/json.hpp>

#include "apps/srreport/RoomReport.h"
#include "apps/srreport/SrReportBatch.h"
#include "host/win/Windows.h"
#include "tests/apps/srreport/ReportProject.h"

namespace reporttest {
namespace {

using srreport::CopyState;

class ReportTest : public ReportProjectTest {
protected:
    // 1F: A turned 90, B turned 30 and flipped (both in step), C with its line moved by hand.
    // 2F: D kept out (change type 1), E without its boundary, F without its drain, G with a line
    // added, and a marker of a room the library does not hold. 3F is no drawing, 4F's drawing
    // was never saved.
    void writeEveryState()
    {
        writeLibrary();
        writeDrawing("1F.dwg", CopyLines(0x300, {90, false, 10000, 0}) + CopyLines(0x310, {30, true, 20000, 0}) +
                                   CopyLines(0x320, {0, false, 30000, 0}, CopyOptions().lineMoved(150, 0)));
        writeDrawing("2F.dwg", CopyLines(0x300, {180, false, 0, 10000}, CopyOptions().changeType(1)) +
                                   CopyLines(0x310, {0, false, 5000, 10000}, CopyOptions().noBoundary()) +
                                   CopyLines(0x320, {0, false, 10000, 10000}, CopyOptions().noDrain()) +
                                   CopyLines(0x330, {0, false, 15000, 10000}, CopyOptions().alsoLinked("\"340\"")) +
                                   R"({"handle":"340","class":"AcDbLine","start":[15000,10000,0],"end":[15500,10000,0]})" "\n" +
                                   CopyLines(0x350, {0, false, 20000, 10000}, CopyOptions().room("Gone")));
        std::ofstream(dir / "3F.dwg") << "not a drawing";
        useProject({{"1F", "1F.dwg"}, {"2F", "2F.dwg"}, {"3F", "3F.dwg"}, {"4F", "4F.dwg"}});
    }

    srreport::Report build(const char16_t* forecastRoom = u"", const char16_t* currentFloor = u"1F")
    {
        srreport::ReportSource source;
        source.currentFloor = currentFloor;
        source.forecastRoom = forecastRoom;
        srreport::Report report;
        CString why;
        EXPECT_TRUE(srreport::BuildReport(source, report, why)) << why.ToUtf8();
        return report;
    }

    static const srreport::StoredRoom* room(const srreport::Report& r, const char16_t* name)
    {
        for (const auto& room : r.rooms)
            if (room.name == name) return &room;
        return nullptr;
    }
};

TEST_F(ReportTest, TheUsersFloorIsReadFromTheEditorWithItsUnsavedChanges)
{
    writeEveryState();
    AcDbDatabase floor(false, true);
    ASSERT_EQ(floor.readDwgFile(hostPath("1F.dwg"), _SH_DENYNO), Acad::eOk);
    // Erased, not saved: copy A's drain and the boundary of B.
    for (const char16_t* handle : {u"302", u"310"}) {
        AcDbObjectId id;
        ASSERT_EQ(acdbGetObjectId(id, &floor, AcDbHandle(handle)), Acad::eOk);
        AcDbEntity* ent = nullptr;
        ASSERT_EQ(acdbOpenAcDbEntity(ent, id, AcDb::kForWrite), Acad::eOk);
        ent->erase();
        ent->close();
    }
    srreport::ReportSource source;
    source.currentFloor = u"1F";
    source.currentDb = &floor;
    srreport::Report r;
    CString why;
    ASSERT_TRUE(srreport::BuildReport(source, r, why)) << why.ToUtf8();
    const srreport::StoredRoom* R = room(r, u"R");
    ASSERT_NE(R, nullptr);
    ASSERT_GE(R->copies.size(), 2u);
    for (int i : {0, 1}) {
        const srreport::PlacedCopy& c = R->copies[size_t(i)];
        EXPECT_EQ(c.state, CopyState::kBroken) << i;
        ASSERT_EQ(c.differences.size(), 1u) << i;
        EXPECT_EQ(c.differences[0].handle, i == 0 ? u"302" : u"310");
        EXPECT_EQ(c.differences[0].detail, u"erased");
    }
    EXPECT_EQ(floor.numOpenObjects(), 0);
}

TEST_F(ReportTest, ReadingTheProjectWritesNothingNotEvenAMissingLibrary)
{
    writeDrawing("1F.dwg", CopyLines(0x300, {0, false, 0, 0}));
    std::ofstream(dir / "Roomlist.txt", std::ios::binary) << "1\r\nR\r\n";
    useProject({{"1F", "1F.dwg"}});
    const std::string before = bytes("1F.dwg");
    const srreport::Report r = build(u"R");
    EXPECT_FALSE(r.libraryFound);
    EXPECT_TRUE(r.rooms.empty());
    ASSERT_EQ(r.unknownMarkers.size(), 1u);
    EXPECT_FALSE(fs::exists(dir / "StardardRoom.dwg"));
    EXPECT_EQ(bytes("1F.dwg"), before);
    EXPECT_EQ(bytes("Roomlist.txt"), "1\r\nR\r\n");
    ASSERT_TRUE(r.forecast);
    EXPECT_FALSE(r.forecast->stored);
    EXPECT_TRUE(r.forecast->floors.empty());
}

TEST_F(ReportTest, AnUnreadableLibraryIsAnErrorAndNoProjectIsOne)
{
    srreport::ReportSource source;
    srreport::Report report;
    CString why;
    EXPECT_FALSE(srreport::BuildReport(source, report, why));
    EXPECT_EQ(why, u"no project is current");
    std::ofstream(dir / "StardardRoom.dwg") << "garbage";
    useProject({{"1F", "1F.dwg"}});
    EXPECT_FALSE(srreport::BuildReport(source, report, why));
    EXPECT_NE(why.ToUtf8().find("StardardRoom.dwg cannot be read"), std::string::npos) << why.ToUtf8();
}

TEST_F(ReportTest, TheForecastVisitsFloorsHoldingTheRoomByNameAndTheUsersFloorLast)
{
    writeLibrary();
    writeDrawing("a.dwg", LockedLayer(0x900, "Locked") + CopyLines(0x300, {0, false, 0, 0}) +
                              CopyLines(0x310, {0, false, 5000, 0}, CopyOptions().changeType(1)) +
                              CopyLines(0x320, {0, false, 10000, 0}, CopyOptions().markerOn("Locked")) +
                              CopyLines(0x330, {0, false, 15000, 0}, CopyOptions().lineOn("Locked")));
    writeDrawing("b.dwg", CopyLines(0x300, {0, false, 0, 0}, CopyOptions().room("U")));
    writeDrawing("c.dwg", CopyLines(0x300, {0, false, 0, 0}));
    writeDrawing("d.dwg", CopyLines(0x300, {0, false, 0, 0}));
    std::ofstream(dir / "e.dwg") << "garbage";
    useProject({{"F1", "a.dwg"}, {"F2", "c.dwg"}, {"F3", "b.dwg"}, {"F10", "d.dwg"}, {"F11", "c.dwg"}, {"F12", "e.dwg"}});
    const srreport::Report r = build(u"R", u"F3");
    ASSERT_TRUE(r.forecast);
    const srreport::EditForecast& f = *r.forecast;
    EXPECT_TRUE(f.stored);
    // Code-unit order puts F10 before F2; F11 shares F2's drawing; F3 holds no R but is the user's.
    ASSERT_EQ(f.floors.size(), 4u);
    EXPECT_EQ(f.floors[0].name, u"F1");
    EXPECT_EQ(f.floors[1].name, u"F10");
    EXPECT_EQ(f.floors[2].name, u"F2");
    EXPECT_EQ(f.floors[3].name, u"F3");
    EXPECT_TRUE(f.floors[0].opened && f.floors[1].opened && f.floors[2].opened);
    EXPECT_FALSE(f.floors[3].opened);
    EXPECT_EQ(f.floors[0].rebuilt, std::vector<CString>{u"304"});
    ASSERT_EQ(f.floors[0].kept.size(), 3u);
    EXPECT_EQ(f.floors[0].kept[0].marker, u"314");
    EXPECT_EQ(f.floors[0].kept[0].why, u"change type 1");
    EXPECT_EQ(f.floors[0].kept[1].marker, u"324");
    EXPECT_EQ(f.floors[0].kept[1].why, u"marker on a locked layer");
    EXPECT_EQ(f.floors[0].kept[2].marker, u"334");
    EXPECT_EQ(f.floors[0].kept[2].why, u"a member on a locked layer");
    EXPECT_TRUE(f.floors[3].rebuilt.empty());
    EXPECT_EQ(f.unreadFloors, std::vector<CString>{u"F12"});
}

TEST_F(ReportTest, TheBatchFormPrintsTheTableWritesTheJsonAndRefusesBadInput)
{
    writeEveryState();
    const std::string table = srreport::FormatReportText(build());
    CManageStdRoom::DelIntance();
    VkQsProject::SetCurrentProjectFile("");
    const char* bin = std::getenv("VK_BIN_DIR");
    ASSERT_NE(bin, nullptr);
    // vkcad report on the project file and arguments; its exit status, what it printed in out.txt
    // and err.txt.
    auto report = [&](const char* prj, const std::string& args) {
        return std::system((std::string(bin) + "/vkcad report --project " + (dir / prj).string() + " " + args + " >" +
                            (dir / "out.txt").string() + " 2>" + (dir / "err.txt").string())
                               .c_str());
    };
    EXPECT_EQ(report("p.prj", "--json " + (dir / "out.json").string()), 0) << bytes("err.txt");
    EXPECT_EQ(bytes("out.txt"), table);
    const nlohmann::json j = nlohmann::json::parse(bytes("out.json"));
    EXPECT_EQ(j.at("rooms").at(0).at("copies").at(4).at("state"), "broken");
    // 3F could not be read, so U is not called unused.
    EXPECT_FALSE(j.contains("unusedRooms"));
    EXPECT_EQ(j.at("noCopyOnFloorsRead"), nlohmann::json::array({"U"}));

    EXPECT_NE(report("p.prj", "Nope"), 0);
    EXPECT_EQ(bytes("err.txt"), "vkcad report: the library holds no room Nope\n");
    EXPECT_NE(report("p.prj", "--floor 9F"), 0);
    EXPECT_EQ(bytes("err.txt"), "vkcad report: the project has no floor 9F\n");
    EXPECT_NE(report("none.prj", ""), 0);
    EXPECT_NE(bytes("err.txt").find("cannot read the project file"), std::string::npos) << bytes("err.txt");
}

}  // namespace
}  // namespace reporttest
