// Two sessions storing rooms into one project's library, each with the list it read when its
// library instance was made: every stored room stays listed. The second session is a forked
// process; the two take turns through pipes, never through timing.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "host/win/Windows.h"
#include <sstream>

#include "siblings/object/VkQsPipe.h"
#include "tests/module/library/LibraryTestProject.h"

namespace {
class RoomListSharedTest : public LibraryProjectTest {
protected:
    int store(const char16_t* name) { return storePipeRoom(name); }
    // The names of the list file, its count checked.
    std::vector<CString> listed() const
    {
        std::istringstream in(bytes("Roomlist.txt"));
        size_t count = 0;
        in >> count;
        std::vector<CString> names;
        for (std::string word; in >> word;) names.push_back(AnsiToWide(word));
        EXPECT_EQ(count, names.size()) << bytes("Roomlist.txt");
        return names;
    }
};

// One byte through a pipe: the other side may go on.
void Signal(int fd)
{
    const char c = 1;
    ASSERT_EQ(::write(fd, &c, 1), 1);
}
bool Await(int fd)
{
    char c = 0;
    return ::read(fd, &c, 1) == 1;
}
}  // namespace

TEST_F(RoomListSharedTest, RoomsStoredByTwoProcessesInTurnAndInterleavedAllStayListed)
{
    int toChild[2], toParent[2];
    ASSERT_EQ(::pipe(toChild), 0);
    ASSERT_EQ(::pipe(toParent), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // The other session: its instance reads the (empty) list now, then stores when told.
        CManageStdRoom::CreateOnlyInstance();
        char c = 1;
        int code = ::write(toParent[1], &c, 1) == 1 ? 0 : 10;
        if (code == 0 && (!Await(toChild[0]) || store(u"B") != 1)) code = 11;
        if (code == 0 && ::write(toParent[1], &c, 1) != 1) code = 12;
        if (code == 0 && (!Await(toChild[0]) || store(u"D") != 1)) code = 13;
        ::_exit(code);
    }
    ::close(toChild[0]);
    ::close(toParent[1]);
    ASSERT_TRUE(Await(toParent[0])) << "the other session did not start";
    CManageStdRoom::CreateOnlyInstance();

    ASSERT_EQ(store(u"A"), 1);
    Signal(toChild[1]);
    ASSERT_TRUE(Await(toParent[0])) << "the other session could not store B";
    EXPECT_EQ(listed(), (std::vector<CString>{u"A", u"B"})) << "stored in turn";

    ASSERT_EQ(store(u"C"), 1);  // this session's list was read before B was stored
    Signal(toChild[1]);
    int status = -1;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "child status " << status;
    ::close(toChild[1]);
    ::close(toParent[0]);

    EXPECT_EQ(listed(), (std::vector<CString>{u"A", u"B", u"C", u"D"})) << bytes("Roomlist.txt");
    EXPECT_EQ(libraryBlocks().size(), 4u);
    CManageStdRoom* lib = CManageStdRoom::CreateOnlyInstance();
    EXPECT_EQ(lib->m_RoomNames.size(), 3u) << "the list in memory is the one this session last wrote";
}
