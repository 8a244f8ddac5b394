// A kill or a full disk at any write, flush or rename of a store (bjcj), a delete (bjbz) or an
// edit (bjbj) followed by saving every drawing: the library, the room list and the floors are
// each as before or as after, the list names every room the library holds, the back-up of the
// library is the library before the command, and the messages say whether the library changed.
// Every run is a child process, so that a kill ends it where the file layer was.
#include <sys/wait.h>

#include <map>
#include <set>

#include "host/win/FileFaults.h"
#include "tests/module/editing/EditProject.h"

using namespace edittest;
namespace faults = vkwin::faults;

namespace {

const Placement kSource{0, false, 10000, 10000};
const Placement kTurned{90, false, 20000, 5000};

// A room boundary at (30000,30000) that belongs to no standard room yet.
std::string FreeBoundary(int handle)
{
    return R"({"handle":")" + vktest::Hex(handle) +
           R"(","class":"AcDbVkRoom","layer":"VK_建筑_SYS_房间","vertices":[[30000,30000,0,-1,-1],[33000,30000,0,-1,-1],)"
           R"([33000,32000,0,-1,-1],[30000,32000,0,-1,-1]],"closed":true,"attName":"厨房","attIndex":"2"})" "\n";
}

struct Command {
    const char* what;
    std::vector<CString> lines;
    const char* changed;    // said when the library changed
    const char* unchanged;  // said when it did not
};

const Command kStore{"store",
                     {u"bjcj", u"!click 206", u"!ok", u"#300", u"<enter>", u"30000,30000", u"!text 200 \"N\"", u"!ok"},
                     "房间提取成功",
                     "房间未保存"};
const Command kDelete{"delete", {u"bjbz", u"!select 204 \"S\"", u"!click 207", u"!answer yes", u"<esc>"}, nullptr,
                      "标准房间S未删除"};
const Command kEdit{"edit",
                    {u"bjbj", u"!click 214", u"!ok", u"#103", u"<enter>", u"!ok"},
                    nullptr,
                    "标准房间R的新内容未能写入库，库中保留原内容"};

constexpr const char* kFiles[] = {"StardardRoom.dwg", "StardardRoom.bak", "Roomlist.txt",
                                  "F1.dwg",           "F1.bak",           "F2.dwg",  "F2.bak"};
using Files = std::map<std::string, std::string>;  // name -> bytes, "" when missing

class LibraryFaultTest : public EditProjectTest {
protected:
    void SetUp() override
    {
        EditProjectTest::SetUp();
        writeLibrary({{u"R", CopyLines(0x100, Placement{})}, {u"S", CopyLines(0x100, Placement{}, CopyOptions().room("S"))}});
        writeDrawing("F1.dwg", CopyLines(0x100, kSource) + DrainLine(0x110, kSource) + FreeBoundary(0x300));
        writeDrawing("F2.dwg", CopyLines(0x100, kTurned));
        useProject({{"F1", "F1.dwg"}, {"F2", "F2.dwg"}});
        before = files();
    }

    Files files() const
    {
        Files f;
        for (const char* name : kFiles) f[name] = bytes(name);
        return f;
    }
    // Back to the project before the command: no other file stays (left-overs of a kill included).
    void restore()
    {
        for (const auto& entry : fs::directory_iterator(dir))
            if (entry.path().filename() != "p.prj" && entry.path().filename() != "c") fs::remove_all(entry.path());
        for (const auto& [name, content] : before)
            if (!content.empty()) std::ofstream(dir / name, std::ios::binary) << content;
    }

    struct Outcome {
        int status = -1;
        std::string said;
        int counts[3] = {0, 0, 0};
        Files afterCommand;  // the clean run only: the files before the drawings were saved
    };

    // Runs the command and then saves every open drawing (as SAVEALL does) in a child process
    // with the fault armed.
    Outcome runInChild(const Command& c, const faults::Fault& fault)
    {
        restore();
        const fs::path report = dir / "c" / "report";
        const pid_t child = ::fork();
        if (child == 0) {
            out.clear();
            startOn(u"F1");
            faults::Arm(fault);
            run(c.lines);
            const Files mid = files();
            AcApDocumentIterator* it = acDocManager->newAcApDocumentIterator();
            for (; !it->done(); it->step()) vked::SaveDocument(it->document());
            delete it;
            std::ofstream rep(report, std::ios::binary);
            for (faults::Op op : {faults::Op::Write, faults::Op::Flush, faults::Op::Rename}) rep << faults::Count(op) << "\n";
            for (const char* name : kFiles) rep << mid.at(name).size() << "\n" << mid.at(name);
            rep << out.utf8();
            rep.close();
            ::_exit(0);
        }
        Outcome o;
        EXPECT_EQ(::waitpid(child, &o.status, 0), child);
        std::ifstream in(report, std::ios::binary);
        for (int& n : o.counts) in >> n;
        for (const char* name : kFiles) {
            size_t size = 0;
            in >> size;
            in.get();
            std::string content(size, '\0');
            in.read(content.data(), static_cast<std::streamsize>(size));
            o.afterCommand[name] = content;
        }
        o.said.assign(std::istreambuf_iterator<char>(in), {});
        fs::remove(report);
        return o;
    }

    // What a kill or a failure left, as the next session finds it (which first tidies what a
    // killed save left behind).
    void expectBeforeOrAfter(const Command& c, const Outcome& clean, const Outcome& run, const std::string& what)
    {
        for (const char* drawing : {"StardardRoom.dwg", "F1.dwg", "F2.dwg"}) {
            AcDbDatabase tidy(false, true);
            tidy.readDwgFile(hostPath(drawing), _SH_DENYNO);
        }
        const Files now = files();
        const bool killed = WIFEXITED(run.status) && WEXITSTATUS(run.status) == faults::kKilledExitCode;
        const bool libraryAsAfter = now.at("StardardRoom.dwg") == clean.afterCommand.at("StardardRoom.dwg");
        for (const char* name : kFiles) {
            // A refused command may still leave its drawing changed, and saved as it is.
            if (!killed && !libraryAsAfter && name[0] == 'F') continue;
            const std::string& f = now.at(name);
            EXPECT_TRUE(f == before.at(name) || f == clean.afterCommand.at(name) || f == afterAll.at(name))
                << what << ": " << name << " is neither as before nor as after";
        }
        const bool changed = now.at("StardardRoom.dwg") != before.at("StardardRoom.dwg");
        EXPECT_TRUE(now.at("StardardRoom.bak") == (changed ? before.at("StardardRoom.dwg") : before.at("StardardRoom.bak")))
            << what << ": the back-up is not the library before the command";
        // Every room of the library is listed, whatever the list names beside them.
        const std::vector<CString> blocks = libraryBlocks();
        const std::set<CString> rooms(blocks.begin(), blocks.end());
        std::set<CString> offered;
        std::istringstream list(now.at("Roomlist.txt"));
        size_t listed = 0;
        list >> listed;
        for (std::string word; listed-- > 0 && list >> word;)
            if (rooms.count(AnsiToWide(word))) offered.insert(AnsiToWide(word));
        EXPECT_EQ(offered, rooms) << what << ": a room of the library is not listed";
        if (killed) return;
        // The run went to its end: what it said must be true.
        if (c.changed) {
            EXPECT_EQ(run.said.find(c.changed) != std::string::npos, libraryAsAfter) << what << run.said;
        }
        EXPECT_EQ(run.said.find(c.unchanged) != std::string::npos, !libraryAsAfter) << what << run.said;
        EXPECT_EQ(run.said.find("房间名重复"), std::string::npos) << what << run.said;
        if (!libraryAsAfter) {
            EXPECT_TRUE(now.at("Roomlist.txt") == before.at("Roomlist.txt")) << what;
        }
    }

    // Fails each write, flush and rename of the command in turn: killed there, and (for
    // writes and flushes) a disk full from there on, (for renames) that rename refused.
    void failEachStep(const Command& c)
    {
        const Outcome clean = runInChild(c, faults::Counting());
        ASSERT_TRUE(WIFEXITED(clean.status) && WEXITSTATUS(clean.status) == 0) << clean.said;
        afterAll = files();
        ASSERT_NE(afterAll.at("StardardRoom.dwg"), before.at("StardardRoom.dwg")) << clean.said;
        if (c.changed) {
            ASSERT_NE(clean.said.find(c.changed), std::string::npos) << clean.said;
        }
        ASSERT_EQ(clean.said.find(c.unchanged), std::string::npos) << clean.said;
        const char* names[] = {"write", "flush", "rename"};
        for (faults::Op op : {faults::Op::Write, faults::Op::Flush, faults::Op::Rename}) {
            const int count = clean.counts[static_cast<int>(op)];
            ASSERT_GT(count, 0) << names[static_cast<int>(op)];
            for (int n = 1; n <= count; ++n) {
                const std::string at = std::string(c.what) + ", " + names[static_cast<int>(op)] + " " + std::to_string(n);
                const Outcome killed = runInChild(c, faults::KillAt(op, n));
                EXPECT_TRUE(WIFEXITED(killed.status) && WEXITSTATUS(killed.status) == faults::kKilledExitCode) << at;
                expectBeforeOrAfter(c, clean, killed, at + " killed");
                const Outcome failed = runInChild(c, op == faults::Op::Rename ? faults::FailAt(op, n) : faults::DiskFullFrom(op, n));
                EXPECT_TRUE(WIFEXITED(failed.status) && WEXITSTATUS(failed.status) == 0) << at << failed.said;
                expectBeforeOrAfter(c, clean, failed, at + " failed");
            }
        }
    }

    Files before, afterAll;
};

TEST_F(LibraryFaultTest, AStoreIsWhole)
{
    failEachStep(kStore);
}

TEST_F(LibraryFaultTest, ADeleteIsWhole)
{
    failEachStep(kDelete);
}

TEST_F(LibraryFaultTest, AnEditIsWholeAndItsFloorsAreSavedWhole)
{
    failEachStep(kEdit);
}

}  // namespace
