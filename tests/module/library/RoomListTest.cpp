// The room list as other modules see it through CManageStdRoom: its file in the code page, its
// validation against the library drawing, its order, what odd files give, and two sessions
// storing into one list.
#include <sys/wait.h>
#include <unistd.h>

#include <sstream>

#include "host/win/Windows.h"
#include "tests/module/library/LibraryTestProject.h"

namespace {
using Names = std::vector<CString>;

class RoomListTest : public LibraryProjectTest {
protected:
    void writeList(const std::string& bytes) { std::ofstream(dir / "Roomlist.txt", std::ios::binary | std::ios::trunc) << bytes; }
    // The list as a fresh instance reads it.
    Names reread()
    {
        CManageStdRoom::DelIntance();
        return library()->m_RoomNames;
    }
};

TEST_F(RoomListTest, ReadingKeepsListedNamesThatHaveABlockInFileOrderAndNeverWrites)
{
    const CString name127(std::u16string(127, u'X').c_str()), name128(std::u16string(128, u'Y').c_str());
    writeBlocks({u"A", u"B", u"x", name127, name128, u"Toilet", u"房间1", u"gone"});
    {
        AcDbDatabase lib(false, true);
        ASSERT_EQ(lib.readDwgFile(hostPath("StardardRoom.dwg")), Acad::eOk);
        AcDbBlockTable* table = nullptr;
        ASSERT_EQ(lib.getBlockTable(table, AcDb::kForRead), Acad::eOk);
        AcDbBlockTableRecord* gone = nullptr;
        ASSERT_EQ(table->getAt(u"gone", gone, AcDb::kForWrite), Acad::eOk);
        table->close();
        gone->erase();
        gone->close();
        ASSERT_EQ(lib.saveAs(hostPath("StardardRoom.dwg")), Acad::eOk);
    }
    const struct {
        std::string bytes;
        Names names;
    } cases[] = {
        {"3\r\nA\r\nC\r\nB\r\n", {u"A", u"B"}},
        {"2\r\nA\r\nB\r\nx\r\n", {u"A", u"B"}},             // no more than the count
        {"2x\r\nA\r\nB\r\n", {u"x", u"A"}},                 // "2x": the count stops at the digits
        {"+2 A B x", {u"A", u"B"}},
        {"2147483647\nA B", {u"A", u"B"}},                  // a huge count: what is there
        {"99999999999999999999 A", {}},                     // a count that does not fit
        {"-5\nA\nB\n", {}},
        {"many\nA\nB\n", {}},
        {"", {}},
        {std::string("\x01\xff\x00 A", 5), {}},
        // Names pass a 128-byte buffer: 127 bytes fit, 128 are skipped and the list goes on.
        {"3\r\n" + WideToAnsi(name127) + "\r\n" + WideToAnsi(name128) + "\r\nA\r\n", {name127, u"A"}},
        // Matched as the block table matches: case folded; the erased, the empty and a name
        // with a space are not there; duplicates and the model space are.
        {"9\r\nTOILET\r\n\xB7\xBF\xBC\xE4" "1\r\ngone\r\n\xB7\xBF\xBC\xE4" "1\r\n*Model_Space\r\nToilet\r\n\xB7\xBF\xBC\xE4" "2\r\n",
         {u"TOILET", u"房间1", u"房间1", u"*Model_Space", u"Toilet"}},
    };
    for (const auto& c : cases) {
        writeList(c.bytes);
        EXPECT_EQ(reread(), c.names) << c.bytes;
        EXPECT_EQ(bytes("Roomlist.txt"), c.bytes) << "reading never rewrites the file";
    }
    library()->m_RoomNames = {u"TOILET", u"", u"toilet ", u"房间2", u"A"};
    library()->ValidateRoom();
    EXPECT_EQ(library()->m_RoomNames, (Names{u"TOILET", u"A"}));
}

TEST_F(RoomListTest, TheFileIsWrittenInTheCodePageCountFirstWithCrlfAndSortsNaturally)
{
    writeBlocks({u"标准房间", u"B", u"房间10", u"房间2", u"房间1"});
    library()->m_RoomNames = {u"标准房间", u"B", u"gone"};
    library()->WriteToFile();
    EXPECT_EQ(bytes("Roomlist.txt"), "2\r\n\xB1\xEA\xD7\xBC\xB7\xBF\xBC\xE4\r\nB\r\n");
    EXPECT_EQ(reread(), (Names{u"标准房间", u"B"}));

    library()->m_RoomNames = {u"房间10", u"房间2", u"房间1"};
    EXPECT_EQ(library()->GetStdRoomSet(), (Names{u"房间1", u"房间2", u"房间10"}));
    library()->m_RoomNames = {u"A_1", u"B-1", u"A.1", u"A1", u"B", u"A-1", u"房间7", u"房间007"};
    EXPECT_EQ(library()->GetStdRoomSet(), (Names{u"A1", u"A-1", u"A.1", u"A_1", u"B", u"B-1", u"房间7", u"房间007"}))
        << "separators after digits, '-' < '.' < '_', a prefix first, leading zeros ignored and the sort stable";
}

TEST_F(RoomListTest, ALockedLibraryKeepsTheListAsReadAndTheInstanceFollowsTheProject)
{
    writeBlocks({u"A"});
    writeList("2\r\nA\r\nB\r\n");
    {
        SharedFile holder;
        ASSERT_TRUE(holder.Open(hostPath("StardardRoom.dwg"), SharedFile::kReadWrite, _SH_DENYWR));
        EXPECT_EQ(library()->m_RoomNames, (Names{u"A", u"B"})) << "validation needs the library";
    }
    CManageStdRoom* first = library();
    first->GetFilterOption().set();
    EXPECT_EQ(library(), first);
    std::filesystem::create_directories(dir / "other");
    vktest::WriteProjectFile(dir / "other" / "p.prj", {{"1F", "1F.dwg"}});
    ASSERT_TRUE(VkQsProject::SetCurrentProjectFile((dir / "other" / "p.prj").string()));
    EXPECT_TRUE(library()->m_RoomNames.empty());
    EXPECT_TRUE(library()->GetFilterOption().none());
}

TEST_F(RoomListTest, TheTemporaryCopyIsRefreshedEachTime)
{
    const CString copy = CManageStdRoom::GetStdRoomTempPath();
    EXPECT_FALSE(std::filesystem::exists(dir / "StandardRoomTmp.dwg")) << "no library, no copy";
    EXPECT_EQ(vkwin::ToHostPath(copy), (dir / "StandardRoomTmp.dwg").string());
    for (const Names& blocks : {Names{u"A"}, Names{u"A", u"B"}}) {
        writeBlocks(blocks);
        CManageStdRoom::GetStdRoomTempPath();
        EXPECT_EQ(bytes("StandardRoomTmp.dwg"), bytes("StardardRoom.dwg"));
    }
}

// One byte through a pipe: the other side may go on.
bool Signal(int fd) { return ::write(fd, "", 1) == 1; }
bool Await(int fd)
{
    char c = 0;
    return ::read(fd, &c, 1) == 1;
}

// Two sessions storing rooms, each with the list it read when its instance was made: every
// stored room stays listed. The second session is a forked process; they take turns by pipes.
TEST_F(RoomListTest, RoomsStoredByTwoProcessesInTurnAllStayListed)
{
    int toChild[2], toParent[2];
    ASSERT_EQ(::pipe(toChild), 0);
    ASSERT_EQ(::pipe(toParent), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        library();  // reads the (empty) list now, stores when told
        int code = Signal(toParent[1]) ? 0 : 10;
        if (code == 0 && (!Await(toChild[0]) || storePipeRoom(u"B") != 1 || !Signal(toParent[1]))) code = 11;
        if (code == 0 && (!Await(toChild[0]) || storePipeRoom(u"D") != 1)) code = 13;
        ::_exit(code);
    }
    ASSERT_TRUE(Await(toParent[0])) << "the other session did not start";
    library();
    ASSERT_EQ(storePipeRoom(u"A"), 1);
    Signal(toChild[1]);
    ASSERT_TRUE(Await(toParent[0])) << "the other session could not store B";
    ASSERT_EQ(storePipeRoom(u"C"), 1);  // this session's list was read before B was stored
    Signal(toChild[1]);
    int status = -1;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "child status " << status;
    for (int fd : {toChild[0], toChild[1], toParent[0], toParent[1]}) ::close(fd);

    EXPECT_EQ(bytes("Roomlist.txt"), "4\r\nA\r\nB\r\nC\r\nD\r\n");
    EXPECT_EQ(libraryBlocks().size(), 4u);
    EXPECT_EQ(library()->m_RoomNames.size(), 3u) << "the list in memory is the one this session last wrote";
}
}  // namespace
