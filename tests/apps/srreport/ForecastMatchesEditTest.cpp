// The report's forecast of an edit against the edit itself: the same project, the forecast made
// from the editor as SRREPORT makes it, then bjbj run on it; the floors it opens, the order it
// visits them and the copies it rebuilds and keeps must be the forecast's.
#include <regex>
#include <set>

#include "apps/srreport/RoomReport.h"
#include "tests/module/editing/EditProject.h"

using namespace edittest;

namespace {

class ForecastMatchesEditTest : public EditProjectTest {
protected:
    // Handles of the live markers of room R in the drawing.
    static std::set<CString> markersOfR(AcDbDatabase* db)
    {
        std::set<CString> handles;
        for (const Marker& m : markers(db)) {
            AcDbQsStandRoom* marker = nullptr;
            if (acdbOpenObject(marker, m.id, AcDb::kForRead) != Acad::eOk) continue;
            if (marker->GetRoomName() == u"R") handles.insert(m.id.handle().text());
            marker->close();
        }
        return handles;
    }
    // The floors in the order the run's progress names them.
    std::vector<CString> visited() const
    {
        std::vector<CString> floors;
        const std::string t = out.utf8();
        const std::regex step("<wait: 处理中，请稍后\\.\\.\\. (\\S+) \\d+/\\d+>");
        for (auto it = std::sregex_iterator(t.begin(), t.end(), step); it != std::sregex_iterator(); ++it)
            floors.push_back(CString::FromUtf8((*it)[1].str()));
        return floors;
    }
};

TEST_F(ForecastMatchesEditTest, TheFloorsAndCopiesForecastAreThoseTheEditVisitsRebuildsAndKeeps)
{
    const std::string locked = vktest::LockedLayer(0x90, "锁定");
    // F1, the user's floor: the source copy, a copy changed by hand, a copy whose marker is locked.
    writeDrawing("F1.dwg", locked + CopyLines(0x100, {0, false, 10000, 10000}) + DrainLine(0x110, {0, false, 10000, 10000}) +
                               CopyLines(0x200, {90, false, 30000, 10000}, CopyOptions().changeType(1)) +
                               CopyLines(0x300, {0, true, 50000, 10000}, CopyOptions().markerOn("锁定")));
    // F2: a turned copy and one changed by hand; F10: only a copy changed by hand; F3: a copy of
    // another room; F11 shares F2's drawing; F12 is no drawing.
    writeDrawing("F2.dwg", CopyLines(0x100, {90, false, 0, 0}) + CopyLines(0x200, {0, true, 20000, 0}, CopyOptions().changeType(1)));
    writeDrawing("F10.dwg", CopyLines(0x100, {180, false, 0, 0}, CopyOptions().changeType(1)));
    // F4: a copy whose water pipe lies on a locked layer, so the edit cannot erase it.
    writeDrawing("F4.dwg", vktest::LockedLayer(0x90, "VK_给排水_给水管") +
                               CopyLines(0x100, {0, false, 0, 0}));
    writeDrawing("F3.dwg", CopyLines(0x100, {0, false, 0, 0}, CopyOptions().room("Q")));
    // F5: a copy on a drawing another program holds for writing.
    writeDrawing("F5.dwg", CopyLines(0x100, {0, false, 0, 0}));
    std::ofstream(dir / "F12.dwg") << "not a drawing";
    // F11 names F2's drawing through a link: one drawing however it is spelled.
    fs::create_symlink(dir / "F2.dwg", dir / "F2link.dwg");
    useProject({{"F1", "F1.dwg"}, {"F2", "F2.dwg"}, {"F3", "F3.dwg"}, {"F4", "F4.dwg"}, {"F5", "F5.dwg"},
                {"F10", "F10.dwg"}, {"F11", "F2link.dwg"}, {"F12", "F12.dwg"}});
    SharedFile holder;
    ASSERT_TRUE(holder.Open(hostPath("F5.dwg"), SharedFile::kWrite, _SH_DENYWR));
    // F2 is open in the editor under a path spelled otherwise than the project's.
    ASSERT_EQ(acDocManager->appContextOpenDocument(CString::FromUtf8(fs::relative(dir / "F2.dwg").string())), Acad::eOk);
    startOn(u"F1");
    ASSERT_EQ(acDocManager->documentCount(), 2);

    srreport::ReportSource source;
    source.currentFloor = u"F1";
    source.currentDb = acdbHostApplicationServices()->workingDatabase();
    source.useOpenDocuments = true;
    source.forecastRoom = u"R";
    srreport::Report report;
    CString why;
    ASSERT_TRUE(srreport::BuildReport(source, report, why)) << why.ToUtf8();
    ASSERT_TRUE(report.forecast && report.forecast->stored);
    const srreport::EditForecast& forecast = *report.forecast;
    // What the forecast says, checked by hand once, so that agreeing with the edit means something.
    ASSERT_EQ(forecast.floors.size(), 4u);
    EXPECT_EQ(forecast.floors[0].name, u"F10");
    EXPECT_TRUE(forecast.floors[0].rebuilt.empty());
    EXPECT_EQ(forecast.floors[1].name, u"F2");
    EXPECT_EQ(forecast.floors[1].rebuilt, std::vector<CString>{u"103"});
    EXPECT_EQ(forecast.floors[2].name, u"F4");
    ASSERT_EQ(forecast.floors[2].kept.size(), 1u);
    EXPECT_EQ(forecast.floors[2].kept[0].why, u"a member on a locked layer");
    EXPECT_EQ(forecast.floors[3].name, u"F1");
    EXPECT_FALSE(forecast.floors[3].opened);
    EXPECT_EQ(forecast.floors[3].rebuilt, std::vector<CString>{u"103"});
    ASSERT_EQ(forecast.floors[3].kept.size(), 2u);
    EXPECT_EQ(forecast.floors[3].kept[1].why, u"marker on a locked layer");
    EXPECT_EQ(forecast.unreadFloors, std::vector<CString>{u"F12"});
    EXPECT_EQ(forecast.heldElsewhere, std::vector<CString>{u"F5"});

    std::map<CString, std::string> files{{u"F1", "F1.dwg"}, {u"F2", "F2.dwg"}, {u"F3", "F3.dwg"},
                                         {u"F4", "F4.dwg"}, {u"F5", "F5.dwg"}, {u"F10", "F10.dwg"}};
    std::map<CString, std::set<CString>> before;
    for (const auto& [floor, file] : files) before[floor] = markersOfR(floorDb(file));

    editAndOk(u"#103");

    std::vector<CString> order;
    for (const srreport::ForecastFloor& f : forecast.floors) order.push_back(f.name);
    EXPECT_EQ(visited(), order) << out.utf8();
    EXPECT_TRUE(seen("已在其他程序中打开")) << out.utf8();
    // Nothing was opened a second time: F1, F2, and the floors the run opened, F4 and F10.
    EXPECT_EQ(acDocManager->documentCount(), 4);
    for (const auto& [floor, file] : files) {
        const auto f = std::find_if(forecast.floors.begin(), forecast.floors.end(),
                                    [&](const srreport::ForecastFloor& ff) { return ff.name == floor; });
        const bool forecastOpened = f != forecast.floors.end() && f->opened;
        if (floor != u"F1") {
            EXPECT_EQ(isOpen(file), forecastOpened) << file;
        }
        const std::set<CString> after = markersOfR(floorDb(file));
        std::set<CString> rebuilt, kept;
        for (const CString& h : before[floor]) (after.count(h) ? kept : rebuilt).insert(h);
        EXPECT_EQ(after.size(), before[floor].size()) << file << ": every rebuilt copy has a new marker";
        std::set<CString> wantRebuilt, wantKept;
        if (f != forecast.floors.end()) {
            wantRebuilt.insert(f->rebuilt.begin(), f->rebuilt.end());
            for (const srreport::KeptCopy& k : f->kept) wantKept.insert(k.marker);
        } else {
            wantKept = before[floor];
        }
        EXPECT_EQ(rebuilt, wantRebuilt) << file;
        EXPECT_EQ(kept, wantKept) << file;
    }
}

}  // namespace
