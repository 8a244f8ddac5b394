// What one placed copy costs on a floor with nothing else and on a floor of 200,000 entities:
// a bjbz session places kCopies copies of a 100-entity room (boundary, 97 pipes, a drain, the
// marker) into the floor's drawing, opened in the editor from its file (not timed), as a user
// does. The insertion, its links and the re-linking after it should cost what the room holds,
// whatever the floor holds; the counter `cpu_per_copy` is the figure to compare.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "host/db/AcDb.h"
#include "host/ed/AcApDocManager.h"
#include "host/ed/EditorLoop.h"
#include "host/ed/InputQueue.h"
#include "host/ed/Transcript.h"
#include "host/rx/AcRxDynamicLinker.h"
#include "host/win/WinPath.h"
#include "module/frame/CManageStdRoom.h"
#include "siblings/object/AcDbQsStandRoom.h"
#include "siblings/object/VkQsNode.h"
#include "siblings/object/VkQsPipe.h"
#include "siblings/project/VkQsProject.h"
#include "siblings/region/AcDbVkRoom.h"

namespace fs = std::filesystem;

namespace {

constexpr int kCopies = 20, kPipes = 97;

std::string ProgramDir()
{
    char buf[4096];
    const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    std::string p(buf, n > 0 ? size_t(n) : 0);
    return p.substr(0, p.rfind('/'));
}

void Append(AcDbBlockTableRecord* block, AcDbEntity* ent)
{
    if (block->appendAcDbEntity(ent) == Acad::eOk) ent->close();
    else delete ent;
}

// The project: the library with room R, its list, and floors F0 (empty) and F200000 (half lines,
// half closed four-vertex polylines, away from where the copies go).
class Project {
public:
    static Project& get()
    {
        static Project project;
        return project;
    }
    fs::path dir;

private:
    Project()
    {
        dir = fs::temp_directory_path() / ("vkroom-bench-insert-" + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        std::ofstream(dir / "p.prj") << "[Project]\n[Floors]\nF0=F0.dwg\nF200000=F200000.dwg\n";
        std::ofstream(dir / "Roomlist.txt", std::ios::binary) << "1\r\nR\r\n";
        writeLibrary();
        for (int n : {0, 200000}) writeFloor(n);
    }
    ~Project() { fs::remove_all(dir); }

    void writeLibrary()
    {
        AcDbDatabase db(true, true);
        AcDbBlockTable* table = nullptr;
        db.getBlockTable(table, AcDb::kForWrite);
        auto* rec = new AcDbBlockTableRecord;
        rec->setName(u"R");
        table->add(rec);
        table->close();
        auto* room = new AcDbVkRoom;
        const double xs[] = {0, 3000, 3000, 0}, ys[] = {0, 0, 2000, 2000};
        for (int i = 0; i < 4; ++i) room->addVertexAt(i, AcGePoint2d(xs[i], ys[i]));
        room->setClosed(true);
        Append(rec, room);
        for (int i = 0; i < kPipes; ++i) {
            auto* pipe = new VkQsPipe(AcGePoint3d(300, 100 + 18 * i, 0), AcGePoint3d(2000, 100 + 18 * i, 0));
            pipe->SetSmallTypeNamePath(u"给排水\\管道\\给水管");
            Append(rec, pipe);
        }
        auto* drain = new VkQsNode(AcGePoint3d(2500, 500, 0), 75);
        drain->SetSmallTypeNamePath(u"给排水\\附件\\地漏");
        Append(rec, drain);
        auto* marker = new AcDbQsStandRoom;
        for (int i = 0; i < 4; ++i) marker->addVertexAt(i, AcGePoint2d(xs[i] ? xs[i] - 40 : 40, ys[i] ? ys[i] - 40 : 40));
        marker->setClosed(true);
        marker->SetRoomName(u"R");
        Append(rec, marker);
        rec->close();
        db.saveAs(vkwin::FromHostPath((dir / "StardardRoom.dwg").string()), false, AcDb::kDHL_1027);
    }

    void writeFloor(int entities)
    {
        AcDbDatabase db(true, true);
        AcDbBlockTableRecord* space = nullptr;
        acdbOpenObject(space, db.modelSpaceId(), AcDb::kForWrite);
        for (int i = 0; i < entities; ++i) {
            const double x = -100000 - 10.0 * (i % 1000), y = 10.0 * (i / 1000);
            if (i % 2 == 0) {
                Append(space, new AcDbLine(AcGePoint3d(x, y, 0), AcGePoint3d(x + 5, y + 5, 0)));
                continue;
            }
            auto* pl = new AcDbPolyline;
            pl->addVertexAt(0, AcGePoint2d(x, y));
            pl->addVertexAt(1, AcGePoint2d(x + 8, y), 0.3);
            pl->addVertexAt(2, AcGePoint2d(x + 8, y + 8));
            pl->addVertexAt(3, AcGePoint2d(x, y + 8));
            pl->setClosed(true);
            Append(space, pl);
        }
        space->close();
        db.saveAs(vkwin::FromHostPath((dir / ("F" + std::to_string(entities) + ".dwg")).string()), false,
                  AcDb::kDHL_1027);
    }
};

int MarkersIn(AcDbDatabase* db)
{
    AcDbBlockTableRecord* space = nullptr;
    if (acdbOpenObject(space, db->modelSpaceId(), AcDb::kForRead) != Acad::eOk) return -1;
    int count = 0;
    for (const AcDbObjectId& id : space->entityIds()) {
        const AcRxClass* cls = id.objectClass();
        count += cls && cls->isDerivedFrom(AcDbQsStandRoom::desc()) ? 1 : 0;
    }
    space->close();
    return count;
}

void BM_PlaceIntoFloor(benchmark::State& state)
{
    const int entities = static_cast<int>(state.range(0));
    Project& project = Project::get();
    const std::string plugin = ProgramDir() + "/VkQsRoom.so";
    if (!acrxDynamicLinker()->loadModule(plugin)) {
        state.SkipWithError("the module is not built beside the benchmark");
        return;
    }
    VkQsProject::SetCurrentProjectFile((project.dir / "p.prj").string());
    vked::TranscriptCapture quiet;
    int placed = 0;
    for (auto _ : state) {
        state.PauseTiming();
        acDocManager->closeAll();
        CManageStdRoom::DelIntance();
        VkQsProject::OpenProjectFloor(CString::FromUtf8("F" + std::to_string(entities)));
        // The floor as the editor shows it: its model space's entity list read (once per
        // opening, whatever is placed afterwards).
        MarkersIn(acDocManager->curDocument()->database());
        quiet.clear();
        int n = 1;
        for (const char16_t* line : {u"bjbz", u"!select 204 \"R\"", u"!click 212"})
            vked::inputQueue().push(line, u"bench", n++);
        for (int i = 0; i < kCopies; ++i)
            vked::inputQueue().push(CString::FromUtf8(std::to_string(6000 * i) + ",0"), u"bench", n++);
        vked::inputQueue().push(u"<esc>", u"bench", n++);
        state.ResumeTiming();
        vked::RunUntilEndOfInput();
        state.PauseTiming();
        placed = MarkersIn(acDocManager->curDocument()->database());
        state.ResumeTiming();
    }
    state.counters["copies"] = placed;
    // Seconds of CPU a copy (shown as 1.2m for 1.2 ms).
    state.counters["cpu_per_copy"] =
        benchmark::Counter(kCopies, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    if (placed != kCopies) state.SkipWithError("not every copy was placed");
    acDocManager->closeAll();
    acrxDynamicLinker()->unloadModule(plugin);
    VkQsProject::SetCurrentProjectFile("");
}

}  // namespace

BENCHMARK(BM_PlaceIntoFloor)->Arg(0)->Arg(200000)->ArgName("entities")->Unit(benchmark::kMillisecond)->Iterations(5);
