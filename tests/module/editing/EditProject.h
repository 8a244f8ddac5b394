#pragma once
// A project of several floors for the edit command, each floor built from JSON lines: copies of
// room R (boundary 3000 x 2000, a water pipe, a floor drain, the marker) placed under a turn and
// mirror of their own, and the library holding R. The module is loaded and a floor opened, as
// vkcad does with --project and --floor; scripts run through the input queue.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <iterator>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "host/db/AcDb.h"
#include "host/db/AcDbJson.h"
#include "host/ed/AcApDocManager.h"
#include "host/ed/AcEd.h"
#include "host/ed/EditorLoop.h"
#include "host/ed/InputQueue.h"
#include "host/ed/Transcript.h"
#include "host/rx/AcRxDynamicLinker.h"
#include "host/win/WinPath.h"
#include "host/win/Windows.h"
#include "module/frame/CManageStdRoom.h"
#include "siblings/object/AcDbQsStandRoom.h"
#include "siblings/object/VkQsPipe.h"
#include "siblings/project/VkQsProject.h"
#include "tests/support/ProjectFiles.h"
#include "tests/support/TestDrawing.h"

namespace edittest {

namespace fs = std::filesystem;

// Where a copy lies: p = (x, y) + turn(angle) * mirror(x -> -x when mirrored) * q.
struct Placement {
    double angle = 0;  // degrees
    bool mirror = false;
    double x = 0, y = 0;

    AcGePoint3d apply(double qx, double qy) const
    {
        if (mirror) qx = -qx;
        const double a = angle * M_PI / 180, c = std::round(std::cos(a) * 1e12) / 1e12,
                     s = std::round(std::sin(a) * 1e12) / 1e12;
        return AcGePoint3d(x + c * qx - s * qy, y + s * qx + c * qy, 0);
    }
    std::string matrix() const
    {
        const AcGePoint3d o = apply(0, 0), ex = apply(1, 0), ey = apply(0, 1);
        std::ostringstream m;
        m << "[" << ex.x - o.x << "," << ey.x - o.x << ",0," << x << "," << ex.y - o.y << "," << ey.y - o.y
          << ",0," << y << ",0,0,1,0,0,0,0,1]";
        return m.str();
    }
};

inline std::string Pt(const AcGePoint3d& p)
{
    std::ostringstream s;
    s.precision(12);
    s << "[" << p.x << "," << p.y << ",0]";
    return s.str();
}

using vktest::Hex;

struct CopyOptions {
    int chgType = 0;
    std::string markerLayer = "VK_标准房间";
    std::string roomName = "R";
    std::string extraAssoc;  // handles appended to the marker's list, e.g. "\"1F0\",\"1F2\""
};

// Handles base .. base+3: boundary, water pipe, drain, marker.
inline std::string CopyLines(int base, const Placement& p, const CopyOptions& o = {})
{
    const std::string room = Hex(base), pipe = Hex(base + 1), node = Hex(base + 2), marker = Hex(base + 3);
    auto outline = [&](double inset) {
        const double xs[] = {inset, 3000 - inset, 3000 - inset, inset}, ys[] = {inset, inset, 2000 - inset, 2000 - inset};
        std::string v = "[";
        for (int i = 0; i < 4; ++i) {
            const AcGePoint3d q = p.apply(xs[i], ys[i]);
            v += (i ? ",[" : "[") + std::to_string(q.x) + "," + std::to_string(q.y) + ",0,-1,-1]";
        }
        return v + "]";
    };
    std::string assoc = "\"" + pipe + "\",\"" + node + "\"";
    if (!o.extraAssoc.empty()) assoc += "," + o.extraAssoc;
    std::string s;
    s += R"({"handle":")" + room + R"(","class":"AcDbVkRoom","layer":"VK_建筑_SYS_房间","vertices":)" + outline(0) +
         R"(,"closed":true,"attName":"卫生间","attIndex":"1","belongSR":true})" "\n";
    s += R"({"handle":")" + pipe + R"(","class":"VkQsPipe","layer":"VK_给排水_给水管","typePath":"给排水\\管道\\给水管","sroom":")" +
         marker + R"(","start":)" + Pt(p.apply(300, 1000)) + R"(,"end":)" + Pt(p.apply(2700, 1000)) + R"(,"valves":[]})" "\n";
    s += R"({"handle":")" + node + R"(","class":"VkQsNode","layer":"VK_给排水_地漏","typePath":"给排水\\附件\\地漏","sroom":")" +
         marker + R"(","insertPt":)" + Pt(p.apply(2500, 500)) + R"(,"radius":75})" "\n";
    s += R"({"handle":")" + marker + R"(","class":"AcDbQsStandRoom","layer":")" + o.markerLayer + R"(","vertices":)" +
         outline(40) + R"(,"closed":true,"roomName":")" + o.roomName + R"(","basePt":)" + Pt(p.apply(0, 0)) + R"(,"insertPt":)" +
         Pt(p.apply(0, 0)) + R"(,"matrix":)" + p.matrix() + R"(,"assocEnts":[)" +
         assoc + R"(],"assocRoom":")" + room + R"(","chgType":)" + std::to_string(o.chgType) + "}\n";
    return s;
}

// A drain pipe (layer VK_给排水_排水管) drawn at room coordinates (500,500)-(500,1500) of a copy.
inline std::string DrainLine(int handle, const Placement& p)
{
    return R"({"handle":")" + Hex(handle) +
           R"(","class":"VkQsPipe","layer":"VK_给排水_排水管","typePath":"给排水\\管道\\排水管","start":)" +
           Pt(p.apply(500, 500)) + R"(,"end":)" + Pt(p.apply(500, 1500)) + R"(,"valves":[]})" "\n";
}

struct Segment {
    AcGePoint3d start, end;
};

class EditProjectTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = vktest::FreshTestDir("vkroom-edit");
        fs::create_directories(dir / "c");
        vkwin::SetDriveMap({{'C', (dir / "c").string()}});
        writeLibrary();
        std::ofstream(dir / "Roomlist.txt", std::ios::binary) << "1\r\nR\r\n";
        vked::inputQueue().clear();
        vked::ResetInputEnded();
    }
    void TearDown() override
    {
        if (loaded) acrxDynamicLinker()->unloadModule(PluginPath());
        acDocManager->closeAll();
        VkQsProject::SetCurrentProjectFile("");
        sideDbs.clear();
        fs::remove_all(dir);
    }

    static std::string PluginPath()
    {
        const char* bin = std::getenv("VK_BIN_DIR");
        return std::string(bin ? bin : ".") + "/VkQsRoom.so";
    }

    // Builds a drawing from JSON lines of entities (or a whole dump) and saves it.
    void writeDrawing(const std::string& file, const std::string& jsonLines)
    {
        const bool whole = jsonLines.find("\"AcDbBlockTable\"") != std::string::npos;
        AcDbDatabase db(!whole, true);
        ASSERT_TRUE(vktest::LoadJsonLines(jsonLines, db)) << file;
        ASSERT_EQ(db.saveAs(hostPath(file), true, AcDb::kDHL_1027), Acad::eOk) << file;
    }

    // The library drawing with room R stored as the create command stores it: a block made
    // from a copy at the origin.
    void writeLibrary()
    {
        AcDbDatabase library(true, true);
        ASSERT_TRUE(vktest::InsertJsonBlock(library, u"R", CopyLines(0x100, Placement{})));
        ASSERT_EQ(library.saveAs(hostPath("StardardRoom.dwg"), true, AcDb::kDHL_1027), Acad::eOk);
    }

    // floors: name and drawing file, in floor order.
    void writeProject(const std::vector<std::pair<std::string, std::string>>& floors)
    {
        vktest::WriteProjectFile(dir / "p.prj", floors);
    }

    // Makes the project current, opens the floor and loads the module.
    void startOn(const char16_t* floor)
    {
        CString err;
        ASSERT_TRUE(VkQsProject::SetCurrentProjectFile((dir / "p.prj").string(), &err)) << err.ToUtf8();
        ASSERT_TRUE(VkQsProject::OpenProjectFloor(floor, &err)) << err.ToUtf8();
        ASSERT_TRUE(acrxDynamicLinker()->loadModule(PluginPath())) << acrxDynamicLinker()->lastError();
        loaded = true;
    }

    void run(std::initializer_list<CString> lines)
    {
        int n = 1;
        for (const CString& l : lines) vked::inputQueue().push(l, u"t.scr", n++);
        vked::RunUntilEndOfInput();
    }

    // Runs the lines, calling hook just before line `at` (0-based) is read.
    void runWithHook(const std::vector<CString>& lines, size_t at, const std::function<void()>& hook)
    {
        size_t next = 0;
        vked::inputQueue().setPullSource([&]() -> std::optional<vked::InputLine> {
            if (next >= lines.size()) return std::nullopt;
            if (next == at) hook();
            const size_t i = next++;
            return vked::InputLine{lines[i], u"t.scr", int(i + 1), false};
        });
        vked::RunUntilEndOfInput();
        vked::inputQueue().setPullSource(nullptr);
    }

    // bjbj: re-extracts R from the copy whose marker is picked, taking what lies inside it, and
    // presses OK.
    void editAndOk(const CString& markerPick)
    {
        run({u"bjbj", u"!click 214", u"!ok", markerPick, u"<enter>", u"!ok"});
    }

    CString hostPath(const std::string& file) const { return vkwin::FromHostPath((dir / file).string()); }
    bool seen(const char* text) const { return out.utf8().find(text) != std::string::npos; }
    std::string bytes(const std::string& file) const { return vktest::FileBytes(dir / file); }

    // The drawing as the run left it: the open document's, else the file read afresh.
    AcDbDatabase* floorDb(const std::string& file)
    {
        const CString path = hostPath(file);
        AcApDocumentIterator* it = acDocManager->newAcApDocumentIterator();
        AcDbDatabase* found = nullptr;
        for (; !it->done(); it->step())
            if (path.CompareNoCase(it->document()->fileName()) == 0) found = it->document()->database();
        delete it;
        if (found) return found;
        auto db = std::make_unique<AcDbDatabase>(false, true);
        if (db->readDwgFile(path, _SH_DENYNO) != Acad::eOk) return nullptr;
        sideDbs.push_back(std::move(db));
        return sideDbs.back().get();
    }
    bool isOpen(const std::string& file)
    {
        const CString path = hostPath(file);
        bool open = false;
        AcApDocumentIterator* it = acDocManager->newAcApDocumentIterator();
        for (; !it->done(); it->step()) open = open || path.CompareNoCase(it->document()->fileName()) == 0;
        delete it;
        return open;
    }

    // Live pipes of model space on a layer.
    static std::vector<Segment> pipes(AcDbDatabase* db, const char16_t* layer)
    {
        std::vector<Segment> out;
        if (!db) return out;
        for (const AcDbObjectId& id : modelSpace(db)) {
            AcDbEntity* ent = nullptr;
            if (acdbOpenAcDbEntity(ent, id, AcDb::kForRead) != Acad::eOk) continue;
            if (VkQsPipe* pipe = VkQsPipe::cast(ent); pipe && ent->layer().Compare(layer) == 0)
                out.push_back({pipe->startPoint(), pipe->endPoint()});
            ent->close();
        }
        return out;
    }
    // Live markers of model space: insertion point, matrix, change type, components.
    struct Marker {
        AcDbObjectId id;
        AcGePoint3d insertPt;
        AcGeMatrix3d matrix;
        int chgType = 0;
        AcDbObjectIdArray ents;
    };
    static std::vector<Marker> markers(AcDbDatabase* db)
    {
        std::vector<Marker> out;
        if (!db) return out;
        for (const AcDbObjectId& id : modelSpace(db)) {
            AcDbQsStandRoom* m = nullptr;
            if (acdbOpenObject(m, id, AcDb::kForRead) != Acad::eOk) continue;
            out.push_back({id, m->GetInsertPt(), m->GetMatrix(), m->GetChgType(), m->GetAssositEnts()});
            m->close();
        }
        return out;
    }
    static std::vector<AcDbObjectId> modelSpace(AcDbDatabase* db)
    {
        AcDbBlockTable* table = nullptr;
        std::vector<AcDbObjectId> ids;
        if (db->getBlockTable(table, AcDb::kForRead) != Acad::eOk) return ids;
        AcDbBlockTableRecord* space = nullptr;
        if (table->getAt(ACDB_MODEL_SPACE, space, AcDb::kForRead) == Acad::eOk) {
            ids = space->entityIds();
            space->close();
        }
        table->close();
        return ids;
    }
    // The pipes of the library's block R on a layer, in room coordinates.
    std::vector<Segment> libraryPipes(const char16_t* layer)
    {
        AcDbDatabase lib(false, true);
        std::vector<Segment> out;
        if (lib.readDwgFile(hostPath("StardardRoom.dwg"), _SH_DENYNO) != Acad::eOk) return out;
        AcDbBlockTable* table = nullptr;
        if (lib.getBlockTable(table, AcDb::kForRead) != Acad::eOk) return out;
        AcDbBlockTableRecord* block = nullptr;
        if (table->getAt(u"R", block, AcDb::kForRead) == Acad::eOk) {
            for (const AcDbObjectId& id : block->entityIds()) {
                AcDbEntity* ent = nullptr;
                if (acdbOpenAcDbEntity(ent, id, AcDb::kForRead) != Acad::eOk) continue;
                if (VkQsPipe* pipe = VkQsPipe::cast(ent); pipe && ent->layer().Compare(layer) == 0)
                    out.push_back({pipe->startPoint(), pipe->endPoint()});
                ent->close();
            }
            block->close();
        }
        table->close();
        return out;
    }

    fs::path dir;
    vked::TranscriptCapture out;
    std::vector<std::unique_ptr<AcDbDatabase>> sideDbs;
    bool loaded = false;
};

inline bool Near(const AcGePoint3d& a, const AcGePoint3d& b) { return a.distanceTo(b) < 1e-6; }

// The segment equals p-q in either direction.
inline bool SameSegment(const Segment& s, const AcGePoint3d& p, const AcGePoint3d& q)
{
    return (Near(s.start, p) && Near(s.end, q)) || (Near(s.start, q) && Near(s.end, p));
}

}  // namespace edittest
