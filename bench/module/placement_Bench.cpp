// Placing copies of a stored room: 100 placements of a 200-entity room from a library of 500
// such rooms, inserted and linked as the jig does, with one library read kept for the whole
// session beside a fresh read of the library for every copy.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "host/db/AcDb.h"
#include "host/win/WinPath.h"
#include "host/win/Windows.h"
#include "module/definition/CStdRoomTool.h"
#include "module/frame/CManageStdRoom.h"
#include "siblings/object/AcDbQsStandRoom.h"
#include "siblings/object/VkQsPipe.h"
#include "siblings/project/VkQsProject.h"
#include "siblings/region/AcDbVkRoom.h"
#include "siblings/services/VkQsReactorHelper.h"

#include "module/library/LibraryReadCache.h"

namespace fs = std::filesystem;

namespace {
constexpr int kRooms = 500;
constexpr int kEntitiesPerRoom = 200;
constexpr int kPlacements = 100;

// A library of kRooms rooms, each a boundary, a marker and 198 pipes.
class PlacementProject {
public:
    PlacementProject()
    {
        dir = fs::temp_directory_path() / ("vkroom-bench-place-" + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        std::ofstream(dir / "p.prj") << "[Project]\n[Floors]\n1F=1F.dwg\n";
        VkQsProject::SetCurrentProjectFile((dir / "p.prj").string());
        AcDbDatabase lib(true, true);
        AcDbBlockTable* table = nullptr;
        lib.getBlockTable(table, AcDb::kForWrite);
        for (int i = 0; i < kRooms; ++i) {
            auto* rec = new AcDbBlockTableRecord;
            rec->setName(CString(u"房间") + CString::FromUtf8(std::to_string(i)));
            table->add(rec);
            auto* room = new AcDbVkRoom;
            room->addVertexAt(0, AcGePoint2d(0, 0), 0);
            room->addVertexAt(1, AcGePoint2d(5000, 0), 0);
            room->addVertexAt(2, AcGePoint2d(5000, 4000), 0);
            room->addVertexAt(3, AcGePoint2d(0, 4000), 0);
            room->setClosed(true);
            append(rec, room);
            auto* marker = new AcDbQsStandRoom;
            marker->addVertexAt(0, AcGePoint2d(40, 40), 0);
            marker->addVertexAt(1, AcGePoint2d(4960, 40), 0);
            marker->SetRoomName(CString(u"房间") + CString::FromUtf8(std::to_string(i)));
            append(rec, marker);
            for (int k = 0; k < kEntitiesPerRoom - 2; ++k)
                append(rec, new VkQsPipe(AcGePoint3d(100, 20.0 * k, 0), AcGePoint3d(4900, 20.0 * k, 0)));
            rec->close();
        }
        table->close();
        lib.saveAs(vkwin::FromHostPath((dir / "StardardRoom.dwg").string()), false, AcDb::kDHL_1027);
    }
    ~PlacementProject()
    {
        VkQsProject::SetCurrentProjectFile("");
        fs::remove_all(dir);
    }
    static void append(AcDbBlockTableRecord* rec, AcDbEntity* ent)
    {
        rec->appendAcDbEntity(ent);
        ent->close();
    }
    fs::path dir;
};

// One session of the jig: kPlacements copies, turned a little further each time.
void PlaceCopies(benchmark::State& state, bool keepRead)
{
    static PlacementProject project;
    for (auto _ : state) {
        AcDbDatabase drawing(true);
        acdbHostApplicationServices()->setWorkingDatabase(&drawing);
        AcDbObjectIdArray ids;
        VkQsReactorHelper::GetAllAppendId(ids);
        {
            std::unique_ptr<vkroom::LibraryReadSession> session;
            if (keepRead) session = std::make_unique<vkroom::LibraryReadSession>();
            AcGeMatrix3d xform;
            for (int i = 0; i < kPlacements; ++i) {
                const AcGePoint3d pt(6000.0 * i, 0, 0);
                xform = AcGeMatrix3d::rotation(0.1 * i, AcGeVector3d::kZAxis);
                const AcGeMatrix3d before = xform;
                CManageStdRoom::InsertRoom(u"房间250", pt, xform);
                VkQsReactorHelper::GetAllAppendId(ids);
                if (ids.length() != kEntitiesPerRoom) state.SkipWithError("a copy came out incomplete");
                CStdRoomTool().LinkInsertedRoom(&pt, &before, &ids);
            }
        }
        acdbHostApplicationServices()->setWorkingDatabase(nullptr);
    }
    state.counters["placements/s"] = benchmark::Counter(double(kPlacements) * double(state.iterations()),
                                                         benchmark::Counter::kIsRate);
}

void BM_PlaceWithKeptLibraryRead(benchmark::State& state) { PlaceCopies(state, true); }
void BM_PlaceWithFreshLibraryReads(benchmark::State& state) { PlaceCopies(state, false); }
}  // namespace

BENCHMARK(BM_PlaceWithKeptLibraryRead)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlaceWithFreshLibraryReads)->Unit(benchmark::kMillisecond)->Iterations(1);
