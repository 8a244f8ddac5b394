// Gathering candidates by extents, keeping what lies inside, and the construction-segment list.
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "host/win/Windows.h"
#include "host/win/WinPath.h"
#include "module/selection/CalConstrucSegment.h"
#include "siblings/object/VkQsPipeValve.h"
#include "tests/module/selection/SelectionTestDb.h"

namespace fs = std::filesystem;

namespace {
class SelectEntityTest : public SelectionTest {
protected:
    AcArray<AcDbObjectId> select(AcGePoint3d lo, AcGePoint3d hi)
    {
        AcDbExtents window(lo, hi);
        AcArray<AcDbObjectId> out;
        CManageStdRoom::SelectEntity(window, out);
        return out;
    }
    void setLayer(const char16_t* name, bool off, bool frozen)
    {
        acdbEnsureLayer(db.get(), name, true);
        AcDbLayerTable* table = nullptr;
        ASSERT_EQ(db->getLayerTable(table, AcDb::kForRead), Acad::eOk);
        AcDbLayerTableRecord* rec = nullptr;
        ASSERT_EQ(table->getAt(name, rec, AcDb::kForWrite), Acad::eOk);
        rec->setIsOff(off);
        rec->setIsFrozen(frozen);
        rec->close();
        table->close();
    }
    AcDbObjectId segment(const char16_t* name, double x0, double x1)
    {
        auto seg = pline<AcDbVkConstrucSegment>({{x0, 0}, {x1, 0}, {x1, 100}, {x0, 100}});
        seg->SetAttname(name);
        return append(seg.release(), u"VK_建筑_SYS_施工段");
    }
};

std::string ReadBytes(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}
}  // namespace

TEST_F(SelectEntityTest, OverlappingEntitiesComeInModelSpaceOrderWithoutMarkersAndRooms)
{
    const AcDbObjectId b = append(pipe(50, 50, 60, 50, u"给排水\\管道"));
    appendRoom();
    const AcDbObjectId a = append(pipe(-10, 10, 10, 10, u"电气\\桥架"));
    append(pipe(500, 500, 600, 500, u"给排水\\管道"));
    append(square<AcDbQsStandRoom>().release());
    AcArray<AcDbObjectId> got = select({0, 0, 0}, {100, 100, 0});
    ASSERT_EQ(got.length(), 2);
    EXPECT_EQ(got[0], b);
    EXPECT_EQ(got[1], a);
}

TEST_F(SelectEntityTest, AnOffLayerExcludesAndMarksValvesWhileAFrozenOneDoesNot)
{
    setLayer(u"OFF", true, false);
    setLayer(u"FROZEN", false, true);
    const AcDbObjectId valve = append(new VkQsPipeValve(AcGePoint3d(50, 50, 0), 0), u"OFF");
    const AcDbObjectId frozen = append(pipe(10, 10, 20, 10, u"给排水\\管道"), u"FROZEN");
    AcArray<AcDbObjectId> got = select({0, 0, 0}, {100, 100, 0});
    ASSERT_EQ(got.length(), 1);
    EXPECT_EQ(got[0], frozen);
    AcDbObjectPointer<VkQsPipeValve> v(valve, AcDb::kForRead);
    ASSERT_TRUE(v);
    EXPECT_EQ(v->GetStyle() & 0x20, 0x20);
}

TEST_F(SelectEntityTest, FilterKeepsInsideCandidatesInOrderWhateverTheFlag)
{
    const AcDbObjectId room = appendRoom();
    const AcDbObjectId in1 = append(pipe(10, 10, 90, 10, u"给排水\\管道"));
    const AcDbObjectId out = append(pipe(-50, 50, -10, 50, u"给排水\\管道"));
    const AcDbObjectId in2 = append(pipe(20, 80, 30, 80, u"暖通\\风管"));
    AcArray<AcDbObjectId> candidates;
    for (AcDbObjectId id : {in2, out, in1}) candidates.append(id);
    std::bitset<6> all;
    all.set();
    for (bool flag : {true, false}) {
        AcArray<AcDbObjectId> kept;
        kept.append(room);  // the output is appended to, not cleared
        CManageStdRoom::FilterEntity(candidates, kept, room, all, flag);
        ASSERT_EQ(kept.length(), 3);
        EXPECT_EQ(kept[1], in2);
        EXPECT_EQ(kept[2], in1);
    }
}

TEST_F(SelectEntityTest, SegmentsWriteTheirComponentsUnderTheSectionBesideOldContent)
{
    const fs::path dir = fs::temp_directory_path() / ("vkroom-sgd-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    vkwin::SetDriveMap({{'C', dir.string()}});
    std::ofstream(dir / "sgd.ini", std::ios::binary) << "[Old]\r\nkeep=+1\r\n";

    segment(u"一区", 0, 100);
    const AcDbObjectId p1 = append(pipe(10, 50, 90, 50, u"给排水\\管道"));
    append(new AcDbLine(AcGePoint3d(20, 20, 0), AcGePoint3d(30, 20, 0)), u"VK_建筑_SYS_墙");  // bit 0 is clear
    segment(u"二区", 200, 300);
    const AcDbObjectId p2 = append(pipe(210, 50, 220, 50, u"消防\\管道"));
    segment(u"三区", 400, 500);
    CalConstrucSegment(u"S1");

    const std::string ini = ReadBytes(dir / "sgd.ini");
    EXPECT_EQ(ini.rfind("[Old]\r\nkeep=+1\r\n", 0), 0u) << ini;
    EXPECT_NE(ini.find(WideToAnsi(u"一区=+") + WideToAnsi(p1.handle().text()) + "\r\n"), std::string::npos) << ini;
    EXPECT_NE(ini.find(WideToAnsi(u"二区=+") + WideToAnsi(p2.handle().text()) + "\r\n"), std::string::npos) << ini;
    EXPECT_NE(ini.find(WideToAnsi(u"三区=") + "\r\n"), std::string::npos) << "a segment without components";

    // A second segment of the same name replaces the first one's entry.
    segment(u"一区", 200, 300);
    CalConstrucSegment(u"S1");
    const std::string again = ReadBytes(dir / "sgd.ini");
    EXPECT_NE(again.find(WideToAnsi(u"一区=+") + WideToAnsi(p2.handle().text()) + "\r\n"), std::string::npos) << again;
    fs::remove_all(dir);
}
