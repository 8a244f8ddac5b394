// Defining a room through bjcj as a user does it: the proposed name, the name checks, the pick
// that refuses what is no room boundary itself, a valve taken out and picked again, and a
// library that cannot be written when OK is pressed.
#include "host/ui/AfxWin.h"
#include "module/interfaces/DefinitionInterfaces.h"
#include "tests/support/ModuleOnFloorTest.h"

// A class built on the room boundary: the pick takes only the boundary class itself.
class TestRoomVariant : public AcDbVkRoom {
public:
    ACRX_DECLARE_MEMBERS(TestRoomVariant);
};
ACRX_DEFINE_MEMBERS(TestRoomVariant, AcDbVkRoom)

namespace {

CString Hash(AcDbObjectId id) { return CString(u"#") + id.handle().text(); }

class DefineRoomTest : public vktest::ModuleOnFloorTest {
protected:
    void SetUp() override
    {
        ModuleOnFloorTest::SetUp();
        startOn(u"", {{"1F", "1F.dwg"}});
    }

    AcDbObjectId append(AcDbEntity* ent) { return vktest::appendToModelSpace(*working(), ent); }
    template <class R = AcDbVkRoom>
    AcDbObjectId room()
    {
        auto* r = new R;
        const double xy[4][2] = {{0, 0}, {0, 4000}, {6000, 4000}, {6000, 0}};
        for (unsigned int i = 0; i < 4; ++i) r->addVertexAt(i, AcGePoint2d(xy[i][0], xy[i][1]));
        r->setClosed(true);
        return append(r);
    }
    // A water pipe across the room with a valve at x = 2000.
    void pipeWithValve(AcDbObjectId& pipe, AcDbObjectId& valve)
    {
        auto* p = new VkQsPipe(AcGePoint3d(500, 2000, 0), AcGePoint3d(5500, 2000, 0));
        p->SetSmallTypeNamePath(u"给排水\\管道\\给水管");
        pipe = append(p);
        auto* v = new VkQsPipeValve(AcGePoint3d(2000, 2000, 0), 0);
        v->SetSmallTypeNamePath(u"给排水\\阀门\\闸阀");
        v->SetPipeId(pipe);
        valve = append(v);
        AcDbObjectPointer<VkQsPipe> opened(pipe, AcDb::kForWrite);
        ASSERT_TRUE(opened);
        opened->addValve(valve);
    }
    static int style(AcDbObjectId id)
    {
        AcDbObjectPointer<VkQsEntity> e(id, AcDb::kForRead);
        return e ? e->GetStyle() : -1;
    }
    // Stores a room of one line under each name, as earlier definitions would have.
    void store(const std::vector<const char16_t*>& names)
    {
        AcDbObjectId line = append(new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(10, 0, 0)));
        CManageStdRoom* library = CManageStdRoom::CreateOnlyInstance();
        ASSERT_NE(library, nullptr);
        library->SetRoomId(line);
        for (const char16_t* name : names) {
            AcDbObjectIdArray ids;
            ASSERT_EQ(library->AppendStdRoom(name, ids, AcGePoint3d::kOrigin), 1);
        }
    }
    // Live markers of the current drawing.
    static std::vector<AcDbObjectId> markers() { return vktest::IdsOf<AcDbQsStandRoom>(vktest::EntityIds(working())); }
    // Class names of the entities of one block of the library drawing.
    std::vector<CString> storedClasses(const char16_t* name) const
    {
        AcDbDatabase lib(false, true);
        if (lib.readDwgFile(hostPath("StardardRoom.dwg")) != Acad::eOk) return {};
        return vktest::ClassNames(vktest::BlockEntityIds(&lib, name));
    }

    // The library taken by another program after the pick and before OK: with `access` kReadWrite
    // it cannot even be read, with kRead it cannot be rewritten.
    void heldLibraryAtOk(SharedFile::Access access, const char* libraryMessage)
    {
        store({u"A"});
        const std::string libraryBefore = bytes("StardardRoom.dwg");
        const std::string listBefore = bytes("Roomlist.txt");
        const AcDbObjectId boundary = room();
        AcDbObjectId pipe, valve;
        pipeWithValve(pipe, valve);
        vktest::QueueLines({u"bjcj", u"!click 206", u"!ok", Hash(boundary), u"<enter>", u"0,0", u"!text 200 \"R1\""});

        // The next line is read only when the pick is done: the library gets taken meanwhile.
        SharedFile holder;
        int pulled = 0;
        vked::inputQueue().setPullSource([&]() -> std::optional<vked::InputLine> {
            switch (pulled++) {
            case 0:
                EXPECT_TRUE(holder.Open(hostPath("StardardRoom.dwg"), access, _SH_DENYWR));
                return vked::InputLine{u"!ok", u"t.scr", 1};
            case 1: return vked::InputLine{u"!cancel", u"t.scr", 2};
            default: return std::nullopt;
            }
        });
        vked::RunUntilEndOfInput();
        holder.Close();

        // The library's own line, then the dialog's warning naming the same cause.
        const std::string cause = std::string(libraryMessage) + "：eFileSharingViolation (another program or session holds the file open)";
        EXPECT_EQ(count(cause), 2u) << out.utf8();
        EXPECT_EQ(count(cause + "，房间未保存!"), 1u) << out.utf8();
        EXPECT_EQ(count("房间名重复"), 0u) << out.utf8();
        EXPECT_TRUE(markers().empty());
        EXPECT_EQ(bytes("StardardRoom.dwg"), libraryBefore);
        EXPECT_EQ(bytes("Roomlist.txt"), listBefore);
        EXPECT_EQ(CManageStdRoom::CreateOnlyInstance()->GetStdRoomSet(), std::vector<CString>{u"A"});
        for (AcDbObjectId id : {boundary, pipe, valve}) {
            AcDbObjectPointer<AcDbEntity> e(id, AcDb::kForRead);
            EXPECT_FALSE(e->isHighlighted());
        }
        EXPECT_EQ(vkui::TopDialog(), nullptr);
    }

};

struct DefaultNameCase {
    std::vector<const char16_t*> stored;
    const char* proposed;
};
void PrintTo(const DefaultNameCase& c, std::ostream* os) { *os << c.proposed; }

class DefaultNameTest : public DefineRoomTest, public ::testing::WithParamInterface<DefaultNameCase> {};

TEST_P(DefaultNameTest, TheDialogProposesTheFirstFreeName)
{
    store(GetParam().stored);
    run({u"bjcj", u"!show", u"<esc>"});
    const std::string want = std::string("200 combo-dropdown \"") + GetParam().proposed + "\"";
    EXPECT_EQ(count(want.c_str()), 1u) << out.utf8();
}

INSTANTIATE_TEST_SUITE_P(Stored, DefaultNameTest,
                         ::testing::Values(DefaultNameCase{{}, "标准房间"},
                                           DefaultNameCase{{u"标准房间", u"A"}, "标准房间2"},
                                           DefaultNameCase{{u"标准房间1", u"标准房间2"}, "标准房间3"},
                                           DefaultNameCase{{u"标准房间5"}, "标准房间1"}));

TEST_F(DefineRoomTest, OnlyTheBoundaryClassItselfCanBePickedAsTheRoom)
{
    const AcDbObjectId variant = room<TestRoomVariant>();
    const AcDbObjectId line = append(new AcDbLine(AcGePoint3d(0, 5000, 0), AcGePoint3d(10, 5000, 0)));
    const AcDbObjectId boundary = room();
    run({u"bjcj", u"!click 206", u"!ok", Hash(variant), Hash(line), u"20000,20000", Hash(boundary), u"<enter>",
         u"0,0", u"!text 200 \"R1\"", u"!ok"});
    EXPECT_EQ(count("\n请选择房间\n"), 4u) << out.utf8();
    ASSERT_EQ(markers().size(), 1u);
    AcDbObjectPointer<AcDbQsStandRoom> marker(markers()[0], AcDb::kForRead);
    EXPECT_EQ(marker->GetAssositRoom(), boundary);
    AcDbObjectPointer<AcDbVkRoom> refused(variant, AcDb::kForRead);
    EXPECT_FALSE(refused->GetIfBelongSR());
    EXPECT_FALSE(refused->isHighlighted());
}

TEST_F(DefineRoomTest, AValveTakenOutAndPickedAgainGoesWithTheRoomAndLosesItsMark)
{
    const AcDbObjectId boundary = room();
    AcDbObjectId pipe, valve;
    pipeWithValve(pipe, valve);
    run({u"bjcj", u"!click 206", u"!ok", Hash(boundary), u"Q", Hash(valve), u"<enter>", Hash(valve), u"<enter>",
         u"0,0", u"!text 200 \"R1\"", u"!ok"});
    EXPECT_EQ(count("房间提取成功"), 1u) << out.utf8();
    EXPECT_EQ(style(valve) & 0x20, 0);
    const std::vector<CString> stored = storedClasses(u"R1");
    EXPECT_EQ(std::count(stored.begin(), stored.end(), CString(u"VkQsPipeValve")), 1);
    EXPECT_EQ(std::count(stored.begin(), stored.end(), CString(u"AcDbQsStandRoom")), 1);
}

TEST_F(DefineRoomTest, ALibraryLockedForWritingAtOkLeavesNoMarkerAndTheFilesAsTheyWere)
{
    heldLibraryAtOk(SharedFile::kReadWrite, "无法读取");
}

TEST_F(DefineRoomTest, ALibraryThatCannotBeRewrittenAtOkLeavesNoMarkerAndTheFilesAsTheyWere)
{
    heldLibraryAtOk(SharedFile::kRead, "无法写入");
}

}  // namespace
