// The edit command across a hotel-sized project and placing from a large library, as a user
// meets them: the whole vkcad process on a script, this build beside a baseline build
// (VK_BASELINE_VKCAD, scripts/build-baseline.sh) in the same run, on the same files.
//
// Edit: 40 floors, each with 25 copies of a 100-entity room (boundary, 97 pipes, a drain, the
// marker) at random turns, a third of them mirrored and a tenth kept (change type 1), among
// 5,000 or 10,000 other entities. vkcad starts on F1, re-extracts the room from a copy where a
// drain pipe was drawn, OK carries it to every copy on every floor, SAVEALL writes the floors.
// Place: 100 copies of one room placed with bjbz from a library of 500 rooms of 200 entities.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "bench/apps/ProcessRun.h"
#include "host/db/AcDb.h"
#include "host/db/AcDbJson.h"
#include "host/win/WinPath.h"
#include "siblings/object/AcDbQsStandRoom.h"
#include "siblings/object/VkQsPipe.h"

namespace fs = std::filesystem;

namespace {

constexpr int kFloors = 40, kCopies = 25, kPipesPerRoom = 97;

const vkbench::ScratchDir scratch("vk-bench-editrun");

const fs::path& WorkDir() { return scratch.path(); }

std::string Num(double v)
{
    std::ostringstream s;
    s.precision(12);
    s << v;
    return s.str();
}

std::string Hex(int v)
{
    char b[16];
    std::snprintf(b, sizeof b, "\"%X\"", v);
    return b;
}

// Where a copy lies: p = at + turn(angle) * (mirrored ? (-qx, qy) : (qx, qy)).
struct Placement {
    double angle = 0;  // radians
    bool mirrored = false;
    double x = 0, y = 0;
    int chgType = 0;
};

// One copy of room R as JSON lines, handles from `h` on; returns the next free handle.
int AppendCopy(std::string& out, int h, const Placement& p)
{
    const double c = std::cos(p.angle), s = std::sin(p.angle), m = p.mirrored ? -1 : 1;
    auto at = [&](double qx, double qy) { return std::pair{p.x + c * m * qx - s * qy, p.y + s * m * qx + c * qy}; };
    auto pt = [&](double qx, double qy) {
        auto [x, y] = at(qx, qy);
        return "[" + Num(x) + "," + Num(y) + ",0]";
    };
    auto vertex = [&](double qx, double qy) {
        auto [x, y] = at(qx, qy);
        return "[" + Num(x) + "," + Num(y) + ",0,-1,-1]";
    };
    auto outline = [&](double in) {
        return "[" + vertex(in, in) + "," + vertex(3000 - in, in) + "," + vertex(3000 - in, 2000 - in) + "," +
               vertex(in, 2000 - in) + "]";
    };
    const int room = h, marker = h + 1;
    int next = h + 2;
    std::string assoc, comps;
    for (int i = 0; i < kPipesPerRoom; ++i, ++next) {
        const double qy = 100 + 18 * i;
        comps += R"({"handle":)" + Hex(next) + R"(,"class":"VkQsPipe","typePath":"给排水\\管道\\给水管","sroom":)" +
                 Hex(marker) + R"(,"start":)" + pt(300, qy) + R"(,"end":)" + pt(2000, qy) + R"(,"valves":[]})" "\n";
        assoc += (assoc.empty() ? "" : ",") + Hex(next);
    }
    comps += R"({"handle":)" + Hex(next) + R"(,"class":"VkQsNode","typePath":"给排水\\附件\\地漏","sroom":)" +
             Hex(marker) + R"(,"insertPt":)" + pt(2500, 500) + R"(,"radius":75})" "\n";
    assoc += "," + Hex(next++);
    out += R"({"handle":)" + Hex(room) + R"(,"class":"AcDbVkRoom","vertices":)" + outline(0) +
           R"(,"closed":true,"attName":"卫生间","attIndex":"1","belongSR":true})" "\n";
    out += comps;
    const std::string matrix = Num(c * m) + "," + Num(-s) + ",0," + Num(p.x) + "," + Num(s * m) + "," + Num(c) + ",0," +
                               Num(p.y) + ",0,0,1,0,0,0,0,1";
    out += R"({"handle":)" + Hex(marker) + R"(,"class":"AcDbQsStandRoom","vertices":)" + outline(40) +
           R"(,"closed":true,"roomName":"R","basePt":[)" + Num(p.x) + "," + Num(p.y) + R"(,0],"insertPt":[)" +
           Num(p.x) + "," + Num(p.y) + R"(,0],"matrix":[)" + matrix + R"(],"assocEnts":[)" + assoc +
           R"(],"assocRoom":)" + Hex(room) + R"(,"chgType":)" + std::to_string(p.chgType) + "}\n";
    return next;
}

void SaveLines(const std::string& jsonLines, const fs::path& file, bool whole = false)
{
    std::istringstream in(jsonLines);
    AcDbDatabase db(!whole, true);
    CString why;
    if (acdbLoadJson(in, &db, why) != Acad::eOk) throw std::runtime_error(why.ToUtf8());
    if (db.saveAs(vkwin::FromHostPath(file.string()), false, AcDb::kDHL_1027) != Acad::eOk)
        throw std::runtime_error("cannot save " + file.string());
}

void SaveLibrary(const fs::path& file, const std::vector<std::pair<std::string, std::string>>& rooms)
{
    AcDbDatabase library(true, true);
    for (const auto& [name, lines] : rooms) {
        AcDbDatabase room(true, true);
        std::istringstream in(lines);
        CString why;
        if (acdbLoadJson(in, &room, why) != Acad::eOk) throw std::runtime_error(why.ToUtf8());
        AcDbObjectId blockId;
        if (library.insert(blockId, CString::FromUtf8(name), &room, true) != Acad::eOk)
            throw std::runtime_error("cannot store room " + name);
    }
    if (library.saveAs(vkwin::FromHostPath(file.string()), false, AcDb::kDHL_1027) != Acad::eOk)
        throw std::runtime_error("cannot save " + file.string());
}

// Copies rebuilt by the run: those not kept. The source copy is the first of F1, unmirrored.
int g_keptCopies = 0;

// The project for `others` other entities a floor, written once.
fs::path EditProject(int others)
{
    const fs::path dir = WorkDir() / ("project-" + std::to_string(others));
    if (fs::exists(dir / "p.prj")) return dir;
    fs::create_directories(dir);
    std::ofstream prj(dir / "p.prj");
    prj << "[Project]\n[Floors]\n";
    for (int f = 1; f <= kFloors; ++f) prj << "F" << f << "=F" << f << ".dwg\n";
    prj.close();
    std::ofstream(dir / "Roomlist.txt", std::ios::binary) << "1\r\nR\r\n";
    std::string room;
    AppendCopy(room, 0x100, Placement{});
    SaveLibrary(dir / "StardardRoom.dwg", {{"R", room}});

    std::mt19937 random(23);
    std::uniform_real_distribution<double> turn(0, 2 * M_PI);
    int kept = 0;
    for (int f = 1; f <= kFloors; ++f) {
        std::string lines;
        int h = 0x100;
        for (int k = 0; k < kCopies; ++k) {
            Placement p;
            p.angle = turn(random);
            p.x = 10000.0 * (k % 5);
            p.y = 10000.0 * (k / 5);
            const int index = (f - 1) * kCopies + k;
            if (index == 0) p.angle = 0;  // the source copy, where the drain pipe is drawn
            p.mirrored = index % 3 == 2;
            p.chgType = index % 10 == 9 ? 1 : 0;
            kept += p.chgType;
            h = AppendCopy(lines, h, p);
        }
        if (f == 1) {
            // The drain pipe drawn inside the first copy (marker 101): from (500,500) to (500,1500).
            char b[16];
            std::snprintf(b, sizeof b, "%X", h++);
            lines += std::string(R"({"handle":")") + b +
                     R"(","class":"VkQsPipe","typePath":"给排水\\管道\\排水管","start":[500,500,0],"end":[500,1500,0],"valves":[]})" "\n";
        }
        for (int i = 0; i < others; ++i) {
            const double x = 60000 + 10.0 * (i % 100), y = 100.0 * (i / 100);
            lines += R"({"class":"AcDbLine","start":[)" + Num(x) + "," + Num(y) + ",0],\"end\":[" + Num(x + 5) + "," +
                     Num(y + 50) + ",0]}\n";
        }
        SaveLines(lines, dir / ("F" + std::to_string(f) + ".dwg"));
    }
    g_keptCopies = kept;
    return dir;
}

// Drain pipes in model space of every floor on disk.
int DrainsOnDisk(const fs::path& dir)
{
    int count = 0;
    for (int f = 1; f <= kFloors; ++f) {
        AcDbDatabase db(false, true);
        if (db.readDwgFile(vkwin::FromHostPath((dir / ("F" + std::to_string(f) + ".dwg")).string())) != Acad::eOk)
            return -1;
        AcDbBlockTableRecord* space = nullptr;
        if (acdbOpenObject(space, db.modelSpaceId(), AcDb::kForRead) != Acad::eOk) return -1;
        for (const AcDbObjectId& id : space->entityIds()) {
            AcDbEntity* ent = nullptr;
            if (acdbOpenAcDbEntity(ent, id, AcDb::kForRead) != Acad::eOk) continue;
            if (const VkQsPipe* pipe = VkQsPipe::cast(ent))
                count += pipe->GetSmallTypeNamePath().Find(u"排水管") >= 0 ? 1 : 0;
            ent->close();
        }
        space->close();
    }
    return count;
}

std::string Vkcad(benchmark::State& state, bool baseline)
{
    std::string binary = VKCAD_BINARY;
    if (baseline) {
        const char* env = std::getenv("VK_BASELINE_VKCAD");
        binary = env ? env : "";
        if (binary.empty()) state.SkipWithError("no baseline: set VK_BASELINE_VKCAD");
    }
    state.SetLabel(baseline ? "baseline" : "this build");
    return binary;
}

fs::path Script(const char* name, const std::string& text)
{
    fs::path p = WorkDir() / name;
    std::ofstream(p) << text;
    return p;
}

// Runs vkcad on a fresh copy of the project for every iteration; the copy is not timed.
std::vector<vkbench::Run> RunOnCopies(benchmark::State& state, const std::string& binary, const fs::path& project,
                                      const fs::path& work, const std::vector<std::string>& args)
{
    std::vector<vkbench::Run> runs;
    for (auto _ : state) {
        fs::remove_all(work);
        fs::copy(project, work);
        std::vector<std::string> argv{binary};
        argv.insert(argv.end(), args.begin(), args.end());
        vkbench::Run r = vkbench::runProcess(argv, (WorkDir() / "transcript.txt").string());
        if (r.status != 0) {
            state.SkipWithError("vkcad failed (see transcript.txt)");
            break;
        }
        state.SetIterationTime(r.wallSeconds);
        runs.push_back(r);
    }
    return runs;
}

void BM_VkcadEditRunAndSaveAll(benchmark::State& state)
{
    const int others = static_cast<int>(state.range(0));
    const std::string binary = Vkcad(state, state.range(1) != 0);
    if (binary.empty()) return;
    const fs::path project = EditProject(others), work = WorkDir() / "edit";
    const fs::path script = Script("edit.scr", "bjbj\n!click 214\n!ok\n#101\n<enter>\n!ok\nSAVEALL\n");
    auto runs = RunOnCopies(state, binary, project, work,
                            {"--project", (work / "p.prj").string(), "--floor", "F1", "--script", script.string()});
    vkbench::reportRuns(state, runs);
    // Every copy not kept holds the drain pipe afterwards, on disk.
    const int drains = DrainsOnDisk(work);
    state.counters["drains"] = drains;
    if (drains != kFloors * kCopies - g_keptCopies) state.SkipWithError("not every copy was rebuilt and saved");
}
BENCHMARK(BM_VkcadEditRunAndSaveAll)
    ->ArgsProduct({{5000, 10000}, {0, 1}})
    ->ArgNames({"others", "baseline"})
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

constexpr int kLibraryRooms = 500, kRoomEntities = 200, kPlacements = 100;

// A library of 500 rooms (a boundary, a marker and 198 pipes each) and one empty floor.
fs::path PlaceProject()
{
    const fs::path dir = WorkDir() / "project-place";
    if (fs::exists(dir / "p.prj")) return dir;
    fs::create_directories(dir);
    std::ofstream(dir / "p.prj") << "[Project]\n[Floors]\nF1=F1.dwg\n";
    std::string list = std::to_string(kLibraryRooms) + "\r\n";
    std::vector<std::pair<std::string, std::string>> rooms;
    for (int r = 0; r < kLibraryRooms; ++r) {
        const std::string name = "R" + std::to_string(r);
        list += name + "\r\n";
        std::string lines = R"({"handle":"100","class":"AcDbVkRoom","vertices":[[0,0,0,-1,-1],[5000,0,0,-1,-1],)"
                            R"([5000,4000,0,-1,-1],[0,4000,0,-1,-1]],"closed":true})" "\n";
        lines += R"({"handle":"101","class":"AcDbQsStandRoom","vertices":[[40,40,0,-1,-1],[4960,40,0,-1,-1]],)"
                 R"("roomName":")" + name + "\"}\n";
        for (int k = 0; k < kRoomEntities - 2; ++k)
            lines += R"({"class":"VkQsPipe","typePath":"给排水\\管道\\给水管","start":[100,)" + Num(20.0 * k) +
                     R"(,0],"end":[4900,)" + Num(20.0 * k) + R"(,0],"valves":[]})" "\n";
        rooms.emplace_back(name, lines);
    }
    std::ofstream(dir / "Roomlist.txt", std::ios::binary) << list;
    SaveLibrary(dir / "StardardRoom.dwg", rooms);
    SaveLines("", dir / "F1.dwg");
    return dir;
}

int MarkersOnDisk(const fs::path& drawing)
{
    AcDbDatabase db(false, true);
    if (db.readDwgFile(vkwin::FromHostPath(drawing.string())) != Acad::eOk) return -1;
    AcDbBlockTableRecord* space = nullptr;
    if (acdbOpenObject(space, db.modelSpaceId(), AcDb::kForRead) != Acad::eOk) return -1;
    int count = 0;
    for (const AcDbObjectId& id : space->entityIds()) {
        AcDbEntity* ent = nullptr;
        if (acdbOpenAcDbEntity(ent, id, AcDb::kForRead) != Acad::eOk) continue;
        count += AcDbQsStandRoom::cast(ent) ? 1 : 0;
        ent->close();
    }
    space->close();
    return count;
}

void BM_VkcadPlaceFromLibrary(benchmark::State& state)
{
    const std::string binary = Vkcad(state, state.range(0) != 0);
    if (binary.empty()) return;
    const fs::path project = PlaceProject(), work = WorkDir() / "place";
    std::string text = "bjbz\n!select 204 \"R250\"\n!click 212\n";
    for (int i = 0; i < kPlacements; ++i) text += Num(6000.0 * (i % 10)) + "," + Num(5000.0 * (i / 10)) + "\n";
    text += "<esc>\nQSAVE\n";
    const fs::path script = Script("place.scr", text);
    auto runs = RunOnCopies(state, binary, project, work,
                            {"--project", (work / "p.prj").string(), "--floor", "F1", "--script", script.string()});
    vkbench::reportRuns(state, runs);
    const int markers = MarkersOnDisk(work / "F1.dwg");
    state.counters["copies"] = markers;
    if (markers != kPlacements) state.SkipWithError("not every copy was placed and saved");
}
BENCHMARK(BM_VkcadPlaceFromLibrary)
    ->Arg(0)
    ->Arg(1)
    ->ArgName("baseline")
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

}  // namespace
