// The standard-room report of a large project: 40 floors, each with 25 copies of a 100-entity
// room and 5,000 other entities, read from disk as `vkcad report` reads them. Run over 10, 20
// and 40 floors of the same drawings to show the cost per floor.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "apps/srreport/RoomReport.h"
#include "host/db/AcDb.h"
#include "host/win/WinPath.h"
#include "module/frame/CManageStdRoom.h"
#include "siblings/object/AcDbQsStandRoom.h"
#include "siblings/object/VkQsNode.h"
#include "siblings/object/VkQsPipe.h"
#include "siblings/project/VkQsProject.h"
#include "siblings/region/AcDbVkRoom.h"

namespace fs = std::filesystem;

namespace {

constexpr int kFloors = 40, kCopiesPerFloor = 25, kOtherPerFloor = 5000;

AcDbObjectId Append(AcDbBlockTableRecord* block, AcDbEntity* ent)
{
    AcDbObjectId id;
    block->appendAcDbEntity(id, ent);
    ent->close();
    return id;
}

// Room R: a boundary, its marker and 98 components (pipes, drains and plain lines).
void WriteLibrary(const fs::path& dir)
{
    AcDbDatabase db(true, true);
    AcDbBlockTable* table = nullptr;
    db.getBlockTable(table, AcDb::kForWrite);
    auto* rec = new AcDbBlockTableRecord;
    rec->setName(u"R");
    table->add(rec);
    table->close();
    auto* room = new AcDbVkRoom;
    room->addVertexAt(0, AcGePoint2d(0, 0));
    room->addVertexAt(1, AcGePoint2d(4000, 0));
    room->addVertexAt(2, AcGePoint2d(4000, 3000), 0.3);
    room->addVertexAt(3, AcGePoint2d(0, 3000));
    room->setClosed(true);
    Append(rec, room);
    auto* marker = new AcDbQsStandRoom;
    marker->addVertexAt(0, AcGePoint2d(40, 40));
    marker->addVertexAt(1, AcGePoint2d(40, 2960));
    marker->SetRoomName(u"R");
    Append(rec, marker);
    for (int i = 0; i < 98; ++i) {
        const double y = 20 + i * 30;
        AcDbEntity* ent = nullptr;
        switch (i % 3) {
        case 0: {
            auto* pipe = new VkQsPipe(AcGePoint3d(100, y, 0), AcGePoint3d(3900, y, 0));
            pipe->SetSmallTypeNamePath(u"给排水\\管道\\给水管");
            ent = pipe;
            break;
        }
        case 1: {
            auto* node = new VkQsNode(AcGePoint3d(200 + i * 35, y, 0), 40);
            node->SetSmallTypeNamePath(u"给排水\\附件\\地漏");
            ent = node;
            break;
        }
        default: ent = new AcDbLine(AcGePoint3d(50, y, 0), AcGePoint3d(500, y + 10, 0));
        }
        Append(rec, ent);
    }
    rec->close();
    db.saveAs(vkwin::FromHostPath((dir / "StardardRoom.dwg").string()));
    std::ofstream(dir / "Roomlist.txt", std::ios::binary) << "1\r\nR\r\n";
}

// One floor: every copy cloned from the library block under its own turn and flip, linked as an
// insertion links it, among other entities.
void WriteFloor(const fs::path& dir, int floor, AcDbDatabase& library)
{
    AcDbDatabase db(true, true);
    AcDbBlockTableRecord* space = nullptr;
    acdbOpenObject(space, db.modelSpaceId(), AcDb::kForWrite);
    for (int i = 0; i < kOtherPerFloor; ++i) {
        const double x = (i % 100) * 500, y = 100000 + (i / 100) * 500 + floor;
        Append(space, new AcDbLine(AcGePoint3d(x, y, 0), AcGePoint3d(x + 300, y + 200, 0)));
    }
    AcDbBlockTable* table = nullptr;
    library.getBlockTable(table, AcDb::kForRead);
    AcDbBlockTableRecord* block = nullptr;
    table->getAt(u"R", block, AcDb::kForRead);
    table->close();
    const std::vector<AcDbObjectId> members = block->entityIds();
    block->close();
    for (int c = 0; c < kCopiesPerFloor; ++c) {
        AcGeMatrix3d xform = AcGeMatrix3d::rotation((c % 4) * 1.5707963267948966, AcGeVector3d::kZAxis);
        if (c % 5 == 0) xform.preMultBy(AcGeMatrix3d::mirroring(AcGePlane(AcGePoint3d::kOrigin, AcGeVector3d::kXAxis)));
        const AcGePoint3d at((c % 5) * 10000, (c / 5) * 10000, 0);
        xform.setTranslation(at.asVector());
        AcDbObjectIdArray ents(0, 8);
        AcDbObjectId roomId;
        AcDbQsStandRoom* marker = nullptr;
        for (const AcDbObjectId& id : members) {
            AcDbEntity* src = nullptr;
            if (acdbOpenAcDbEntity(src, id, AcDb::kForRead) != Acad::eOk) continue;
            auto* copy = static_cast<AcDbEntity*>(src->clone());
            src->close();
            copy->transformBy(xform);
            if (auto* m = AcDbQsStandRoom::cast(copy)) {
                marker = m;
                continue;
            }
            const bool isRoom = AcDbVkRoom::cast(copy) != nullptr;
            const AcDbObjectId newId = Append(space, copy);
            if (isRoom) roomId = newId;
            else ents.append(newId);
        }
        marker->SetInsertPt(at);
        marker->SetMatrix(xform);
        marker->SetAssositEnts(ents);
        marker->SetAssositRoom(roomId);
        Append(space, marker);
    }
    space->close();
    db.saveAs(vkwin::FromHostPath((dir / ("F" + std::to_string(floor) + ".dwg")).string()));
}

class Project {
public:
    static Project& get()
    {
        static Project project;
        return project;
    }
    void use(int floors)
    {
        std::ofstream prj(dir / "p.prj");
        prj << "[Project]\n[Floors]\n";
        for (int f = 0; f < floors; ++f) prj << "F" << f << "=F" << f << ".dwg\n";
        prj.close();
        CManageStdRoom::DelIntance();
        VkQsProject::SetCurrentProjectFile((dir / "p.prj").string());
    }
    ~Project() { fs::remove_all(dir); }

private:
    Project()
    {
        dir = fs::temp_directory_path() / ("vkroom-report-bench-" + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        WriteLibrary(dir);
        AcDbDatabase library(false, true);
        library.readDwgFile(vkwin::FromHostPath((dir / "StardardRoom.dwg").string()));
        for (int f = 0; f < kFloors; ++f) WriteFloor(dir, f, library);
    }
    fs::path dir;
};

void BM_ReportOfProject(benchmark::State& state)
{
    const int floors = int(state.range(0));
    Project::get().use(floors);
    size_t inStep = 0, bytes = 0;
    for (auto _ : state) {
        srreport::ReportSource source;
        source.currentFloor = u"F0";
        source.forecastRoom = u"R";
        srreport::Report report;
        CString why;
        if (!srreport::BuildReport(source, report, why)) {
            state.SkipWithError(why.ToUtf8().c_str());
            break;
        }
        bytes = srreport::FormatReportText(report).size();
        inStep = 0;
        for (const auto& c : report.rooms.at(0).copies) inStep += c.state == srreport::CopyState::kInStep;
    }
    // Every copy was cloned from its library entry, so a report that finds any out of step is wrong.
    if (inStep != size_t(floors * kCopiesPerFloor)) state.SkipWithError("copies out of step");
    state.counters["copies"] = double(inStep);
    state.counters["text_bytes"] = double(bytes);
    state.SetComplexityN(floors);
}
BENCHMARK(BM_ReportOfProject)->Arg(10)->Arg(20)->Arg(40)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);

}  // namespace
