// The edit command's run across a project: N floors, each with 25 copies of a 100-entity room
// (turned by 0 or 90 degrees) among 5,000 other entities; the room is re-extracted from its copy
// on the first floor, where a drain pipe was drawn, and OK carries it to every copy. Timed: from
// bjbj to the end of the run (the re-extraction's prompts are a few lines of input; the rest is
// the library rewrite, the scan of every floor, the switches and the rebuild of 25 x N copies).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "host/db/AcDb.h"
#include "host/db/AcDbJson.h"
#include "host/db/AcDbUndo.h"
#include "host/ed/AcApDocManager.h"
#include "host/ed/EditorLoop.h"
#include "host/ed/InputQueue.h"
#include "host/ed/Transcript.h"
#include "host/rx/AcRxDynamicLinker.h"
#include "host/win/WinPath.h"
#include "module/frame/CManageStdRoom.h"
#include "siblings/object/VkQsPipe.h"
#include "siblings/project/VkQsProject.h"

extern "C" AcRx::AppRetCode acrxEntryPoint(AcRx::AppMsgCode msg, void* appId);

namespace fs = std::filesystem;

namespace {

constexpr int kCopies = 25;
constexpr int kOthers = 5000;
constexpr int kPipesPerRoom = 97;  // with the boundary, a node and the marker: 100 entities

std::string Num(double v)
{
    std::ostringstream s;
    s.precision(12);
    s << v;
    return s.str();
}

// One copy of room R: p = (x, y) + turn(angle) q. Handles from `h` on; returns the next free one.
int AppendCopy(std::string& out, int h, double angle, double x, double y)
{
    const double c = std::round(std::cos(angle * M_PI / 180)), s = std::round(std::sin(angle * M_PI / 180));
    auto pt = [&](double qx, double qy) { return "[" + Num(x + c * qx - s * qy) + "," + Num(y + s * qx + c * qy) + ",0]"; };
    auto hex = [](int v) {
        char b[16];
        std::snprintf(b, sizeof b, "\"%X\"", v);
        return std::string(b);
    };
    const int room = h, marker = h + 1;
    auto vertex = [&](double qx, double qy) {
        return "[" + Num(x + c * qx - s * qy) + "," + Num(y + s * qx + c * qy) + ",0,-1,-1]";
    };
    auto outline = [&](double in) {
        return "[" + vertex(in, in) + "," + vertex(3000 - in, in) + "," + vertex(3000 - in, 2000 - in) + "," +
               vertex(in, 2000 - in) + "]";
    };
    std::string assoc;
    int next = h + 2;
    std::string comps;
    for (int i = 0; i < kPipesPerRoom; ++i, ++next) {
        const double qy = 100 + 18 * i;
        comps += R"({"handle":)" + hex(next) + R"(,"class":"VkQsPipe","typePath":"给排水\\管道\\给水管","sroom":)" + hex(marker) +
                 R"(,"start":)" + pt(300, qy) + R"(,"end":)" + pt(2000, qy) + R"(,"valves":[]})" "\n";
        assoc += (assoc.empty() ? "" : ",") + hex(next);
    }
    comps += R"({"handle":)" + hex(next) + R"(,"class":"VkQsNode","typePath":"给排水\\附件\\地漏","sroom":)" + hex(marker) +
             R"(,"insertPt":)" + pt(2500, 500) + R"(,"radius":75})" "\n";
    assoc += "," + hex(next++);
    out += R"({"handle":)" + hex(room) + R"(,"class":"AcDbVkRoom","vertices":)" + outline(0) +
           R"(,"closed":true,"attName":"卫生间","attIndex":"1","belongSR":true})" "\n";
    out += comps;
    out += R"({"handle":)" + hex(marker) + R"(,"class":"AcDbQsStandRoom","vertices":)" + outline(40) +
           R"(,"closed":true,"roomName":"R","basePt":[)" + Num(x) + "," + Num(y) + R"(,0],"insertPt":[)" + Num(x) + "," +
           Num(y) + R"(,0],"matrix":[)" + Num(c) + "," + Num(-s) + ",0," + Num(x) + "," + Num(s) + "," + Num(c) + ",0," + Num(y) +
           R"(,0,0,1,0,0,0,0,1],"assocEnts":[)" + assoc + R"(],"assocRoom":)" + hex(room) + R"(,"chgType":0})" "\n";
    return next;
}

void Save(const std::string& jsonLines, const fs::path& file, bool whole = false)
{
    std::istringstream in(jsonLines);
    AcDbDatabase db(!whole, true);
    CString why;
    if (acdbLoadJson(in, &db, why) != Acad::eOk) throw std::runtime_error(why.ToUtf8());
    if (db.saveAs(vkwin::FromHostPath(file.string()), false, AcDb::kDHL_1027) != Acad::eOk)
        throw std::runtime_error("cannot save " + file.string());
}

// The project's files, written once per floor count into `dir`.
void WriteTemplate(const fs::path& dir, int floors)
{
    fs::create_directories(dir);
    std::ofstream prj(dir / "p.prj");
    prj << "[Project]\n[Floors]\n";
    for (int f = 1; f <= floors; ++f) prj << "F" << f << "=F" << f << ".dwg\n";
    prj.close();
    std::ofstream(dir / "Roomlist.txt", std::ios::binary) << "1\r\nR\r\n";

    std::string room;
    AppendCopy(room, 0x100, 0, 0, 0);
    AcDbDatabase roomDb(true, true), library(true, true);
    std::istringstream in(room);
    CString why;
    acdbLoadJson(in, &roomDb, why);
    AcDbObjectId blockId;
    library.insert(blockId, u"R", &roomDb, true);
    library.saveAs(vkwin::FromHostPath((dir / "StardardRoom.dwg").string()), false, AcDb::kDHL_1027);

    for (int f = 1; f <= floors; ++f) {
        std::string lines;
        int h = 0x100;
        for (int k = 0; k < kCopies; ++k) h = AppendCopy(lines, h, (k % 2) * 90, 10000.0 * (k % 5), 10000.0 * (k / 5));
        if (f == 1) {
            char b[16];
            std::snprintf(b, sizeof b, "%X", h++);
            // The drain pipe drawn inside the first copy (turned by 0, at the origin).
            lines += std::string(R"({"handle":")") + b +
                     R"(","class":"VkQsPipe","typePath":"给排水\\管道\\排水管","start":[500,500,0],"end":[500,1500,0],"valves":[]})" "\n";
        }
        for (int i = 0; i < kOthers; ++i) {
            const double x = 60000 + 10.0 * (i % 100), y = 100.0 * (i / 100);
            lines += R"({"class":"AcDbLine","start":[)" + Num(x) + "," + Num(y) + ",0],\"end\":[" + Num(x + 5) + "," +
                     Num(y + 50) + ",0]}\n";
        }
        Save(lines, dir / ("F" + std::to_string(f) + ".dwg"));
    }
}

// Drain pipes in model space of every open drawing.
int CountDrains()
{
    int count = 0;
    AcApDocumentIterator* it = acDocManager->newAcApDocumentIterator();
    for (; !it->done(); it->step()) {
        AcDbDatabase* db = it->document()->database();
        AcDbBlockTable* table = nullptr;
        if (db->getBlockTable(table, AcDb::kForRead) != Acad::eOk) continue;
        AcDbBlockTableRecord* space = nullptr;
        if (table->getAt(ACDB_MODEL_SPACE, space, AcDb::kForRead) == Acad::eOk) {
            for (const AcDbObjectId& id : space->entityIds()) {
                AcDbEntity* ent = nullptr;
                if (acdbOpenAcDbEntity(ent, id, AcDb::kForRead) != Acad::eOk) continue;
                if (const VkQsPipe* pipe = VkQsPipe::cast(ent))
                    count += pipe->GetSmallTypeNamePath().Find(u"排水管") >= 0 ? 1 : 0;
                ent->close();
            }
            space->close();
        }
        table->close();
    }
    delete it;
    return count;
}

// A fresh copy of the project with F1 current and the edit queued: the room re-extracted from
// the first copy (marker 101) and carried to every copy.
void QueueEdit(const fs::path& tmpl, const fs::path& work, vked::TranscriptCapture& quiet)
{
    acDocManager->closeAll();
    CManageStdRoom::DelIntance();
    fs::remove_all(work);
    fs::copy(tmpl, work);
    VkQsProject::SetCurrentProjectFile((work / "p.prj").string());
    VkQsProject::OpenProjectFloor(u"F1");
    quiet.clear();
    int n = 1;
    for (const char16_t* line : {u"bjbj", u"!click 214", u"!ok", u"#101", u"<enter>", u"!ok"})
        vked::inputQueue().push(line, u"bench", n++);
}

void BM_EditRunAcrossFloors(benchmark::State& state)
{
    const int floors = static_cast<int>(state.range(0));
    const fs::path base = fs::temp_directory_path() / ("vkroom-editbench-" + std::to_string(::getpid()));
    const fs::path tmpl = base / ("template" + std::to_string(floors)), work = base / "work";
    WriteTemplate(tmpl, floors);
    // The module is linked into this program: started as the host starts a plug-in.
    int appId = 0;
    acrxEntryPoint(AcRx::kInitAppMsg, &appId);
    vked::TranscriptCapture quiet;
    int rebuilt = 0, drains = 0;
    for (auto _ : state) {
        state.PauseTiming();
        QueueEdit(tmpl, work, quiet);
        state.ResumeTiming();
        vked::RunUntilEndOfInput();
        state.PauseTiming();
        rebuilt = acDocManager->documentCount();
        drains = CountDrains();
        state.ResumeTiming();
    }
    state.counters["floors_open"] = rebuilt;
    state.counters["copies"] = floors * kCopies;
    // Every copy holds the drain pipe afterwards, the source copy once.
    state.counters["drains"] = drains;
    if (drains != floors * kCopies) state.SkipWithError("not every copy was rebuilt");
    acDocManager->closeAll();
    acrxEntryPoint(AcRx::kUnloadAppMsg, &appId);
    VkQsProject::SetCurrentProjectFile("");
    fs::remove_all(base);
}

// Taking the whole edit back, one step across every floor and the library (the edit itself not
// timed): the counter `drains` counts the drain pipes left, the one drawn on F1 only.
void BM_UndoEditRunAcrossFloors(benchmark::State& state)
{
    const int floors = static_cast<int>(state.range(0));
    const fs::path base = fs::temp_directory_path() / ("vkroom-undobench-" + std::to_string(::getpid()));
    const fs::path tmpl = base / ("template" + std::to_string(floors)), work = base / "work";
    WriteTemplate(tmpl, floors);
    int appId = 0;
    acrxEntryPoint(AcRx::kInitAppMsg, &appId);
    vked::TranscriptCapture quiet;
    int edited = 0, drains = 0, undone = 0;
    for (auto _ : state) {
        state.PauseTiming();
        QueueEdit(tmpl, work, quiet);
        vked::RunUntilEndOfInput();
        edited = CountDrains();
        state.ResumeTiming();
        undone = static_cast<int>(vkundo::undo(1).commands.size());
        state.PauseTiming();
        drains = CountDrains();
        state.ResumeTiming();
    }
    state.counters["copies"] = floors * kCopies;
    state.counters["drains"] = drains;
    if (edited != floors * kCopies || undone != 1 || drains != 1) state.SkipWithError("the edit was not taken back");
    acDocManager->closeAll();
    acrxEntryPoint(AcRx::kUnloadAppMsg, &appId);
    VkQsProject::SetCurrentProjectFile("");
    fs::remove_all(base);
}

}  // namespace

BENCHMARK(BM_UndoEditRunAcrossFloors)->Arg(40)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_EditRunAcrossFloors)->Arg(10)->Arg(20)->Arg(40)->Unit(benchmark::kMillisecond)->Iterations(1);
