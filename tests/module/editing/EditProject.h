#pragma once
// A project of several floors for the edit command, each floor built from JSON lines: copies of
// room R (boundary 3000 x 2000, a water pipe, a floor drain, the marker) placed under a turn and
// mirror of their own, and the library holding R. The module is loaded and a floor opened, as
// vkcad does with --project and --floor; scripts run through the input queue.
#include <functional>
#include <map>
#include <memory>
#include <optional>

#include "host/ed/AcApDocManager.h"
#include "host/ed/AcEd.h"
#include "host/ed/EditorLoop.h"
#include "host/ed/InputQueue.h"
#include "host/ed/Transcript.h"
#include "host/rx/AcRxDynamicLinker.h"
#include "host/win/Windows.h"
#include "module/frame/CManageStdRoom.h"
#include "siblings/object/AcDbQsStandRoom.h"
#include "siblings/object/VkQsPipe.h"
#include "tests/support/ModuleSession.h"
#include "tests/support/RoomCopies.h"
#include "tests/support/TestDrawing.h"

namespace edittest {

namespace fs = std::filesystem;

using vktest::CopyOptions;
using vktest::Hex;
using vktest::Placement;
using vktest::Pt;

// Handles base .. base+3: boundary, water pipe, drain, marker.
inline std::string CopyLines(int base, const Placement& p, const CopyOptions& o = {})
{
    return vktest::RoomCopyLines(base, p, o);
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

class EditProjectTest : public vktest::RoomProjectTest {
protected:
    void SetUp() override
    {
        dir = vktest::FreshTestDir("vkroom-edit");
        fs::create_directories(dir / "c");
        vkwin::SetDriveMap({{'C', (dir / "c").string()}});
        writeLibrary({{u"R", CopyLines(0x100, Placement{})}});
        vked::inputQueue().clear();
        vked::ResetInputEnded();
    }
    void TearDown() override
    {
        if (loaded) acrxDynamicLinker()->unloadModule(vktest::ModulePath());
        acDocManager->closeAll();
        sideDbs.clear();
        RoomProjectTest::TearDown();
    }

    // Makes the project current, opens the floor and loads the module.
    void startOn(const char16_t* floor)
    {
        makeCurrent();
        CString err;
        ASSERT_TRUE(VkQsProject::OpenProjectFloor(floor, &err)) << err.ToUtf8();
        ASSERT_TRUE(acrxDynamicLinker()->loadModule(vktest::ModulePath())) << acrxDynamicLinker()->lastError();
        loaded = true;
    }

    static void run(const std::vector<CString>& lines) { vktest::RunLines(lines); }

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

    bool seen(const char* text) const { return out.utf8().find(text) != std::string::npos; }

    // The drawing as the run left it: the open document's, else the file read afresh.
    AcDbDatabase* floorDb(const std::string& file)
    {
        const CString path = hostPath(file);
        if (AcApDocument* open = vked::FindDocument(path)) return open->database();
        auto db = std::make_unique<AcDbDatabase>(false, true);
        if (db->readDwgFile(path, _SH_DENYNO) != Acad::eOk) return nullptr;
        sideDbs.push_back(std::move(db));
        return sideDbs.back().get();
    }
    bool isOpen(const std::string& file) { return vked::FindDocument(hostPath(file)) != nullptr; }

    // Live pipes on a layer among the entities.
    static std::vector<Segment> pipesAmong(const std::vector<AcDbObjectId>& ids, const char16_t* layer)
    {
        std::vector<Segment> out;
        for (const AcDbObjectId& id : ids) {
            AcDbEntity* ent = nullptr;
            if (acdbOpenAcDbEntity(ent, id, AcDb::kForRead) != Acad::eOk) continue;
            if (VkQsPipe* pipe = VkQsPipe::cast(ent); pipe && ent->layer().Compare(layer) == 0)
                out.push_back({pipe->startPoint(), pipe->endPoint()});
            ent->close();
        }
        return out;
    }
    static std::vector<Segment> pipes(AcDbDatabase* db, const char16_t* layer)
    {
        return db ? pipesAmong(modelSpace(db), layer) : std::vector<Segment>{};
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
        for (const AcDbObjectId& id : modelSpace(db)) {
            AcDbQsStandRoom* m = nullptr;
            if (acdbOpenObject(m, id, AcDb::kForRead) != Acad::eOk) continue;
            out.push_back({id, m->GetInsertPt(), m->GetMatrix(), m->GetChgType(), m->GetAssositEnts()});
            m->close();
        }
        return out;
    }
    static std::vector<AcDbObjectId> modelSpace(AcDbDatabase* db) { return vktest::EntityIds(db); }
    // The pipes of the library's block R on a layer, in room coordinates.
    std::vector<Segment> libraryPipes(const char16_t* layer)
    {
        AcDbDatabase lib(false, true);
        if (lib.readDwgFile(hostPath("StardardRoom.dwg"), _SH_DENYNO) != Acad::eOk) return {};
        return pipesAmong(vktest::BlockEntityIds(&lib, u"R"), layer);
    }

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
