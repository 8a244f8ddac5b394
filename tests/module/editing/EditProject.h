#pragma once
// A project of several floors for the edit command, each floor built from JSON lines: copies of
// room R (boundary 3000 x 2000, a water pipe, a floor drain, the marker) placed under a turn and
// mirror of their own, and the library holding R.
#include <functional>
#include <optional>

#include "host/ed/InputQueue.h"
#include "siblings/object/AcDbQsStandRoom.h"
#include "siblings/object/VkQsPipe.h"
#include "tests/support/ModuleOnFloorTest.h"
#include "tests/support/RoomCopies.h"

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

inline bool Near(const AcGePoint3d& a, const AcGePoint3d& b) { return a.distanceTo(b) < 1e-6; }

// The segment equals p-q in either direction.
inline bool SameSegment(const Segment& s, const AcGePoint3d& p, const AcGePoint3d& q)
{
    return (Near(s.start, p) && Near(s.end, q)) || (Near(s.start, q) && Near(s.end, p));
}

class EditProjectTest : public vktest::ModuleOnFloorTest {
protected:
    void SetUp() override
    {
        ModuleOnFloorTest::SetUp();
        writeLibrary({{u"R", CopyLines(0x100, Placement{})}});
    }
    void TearDown() override
    {
        sideDbs.clear();
        ModuleOnFloorTest::TearDown();
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
    static void editAndOk(const CString& markerPick) { run({u"bjbj", u"!click 214", u"!ok", markerPick, u"<enter>", u"!ok"}); }

    bool isOpen(const std::string& file) { return vked::FindDocument(hostPath(file)) != nullptr; }
    // The drawing as the run left it: the open document's, else the file read afresh.
    AcDbDatabase* floorDb(const std::string& file)
    {
        if (AcApDocument* doc = vked::FindDocument(hostPath(file))) return doc->database();
        auto side = std::make_unique<AcDbDatabase>(false, true);
        if (side->readDwgFile(hostPath(file), _SH_DENYNO) != Acad::eOk) return nullptr;
        sideDbs.push_back(std::move(side));
        return sideDbs.back().get();
    }
    // The state of the object with that handle: eOk, eWasErased...
    static Acad::ErrorStatus state(AcDbDatabase* d, int handle)
    {
        AcDbObjectId id;
        if (d->getAcDbObjectId(id, false, AcDbHandle(handle)) != Acad::eOk) return Acad::eInvalidInput;
        AcDbObjectPointer<AcDbObject> obj(id, AcDb::kForRead);
        return obj.openStatus();
    }

    // Live pipes on a layer among the entities (of a drawing's model space).
    static std::vector<Segment> pipesAmong(const std::vector<AcDbObjectId>& ids, const char16_t* layer)
    {
        std::vector<Segment> found;
        for (const AcDbObjectId& id : ids) {
            AcDbObjectPointer<VkQsPipe> pipe(id, AcDb::kForRead);
            if (pipe && pipe->layer().Compare(layer) == 0) found.push_back({pipe->startPoint(), pipe->endPoint()});
        }
        return found;
    }
    static std::vector<Segment> pipes(AcDbDatabase* d, const char16_t* layer)
    {
        return d ? pipesAmong(vktest::EntityIds(d), layer) : std::vector<Segment>{};
    }
    struct Marker {
        AcDbObjectId id;
        AcGePoint3d insertPt;
        AcGeMatrix3d matrix;
        int chgType = 0;
        AcDbObjectIdArray ents;
    };
    static std::vector<Marker> markers(AcDbDatabase* d)
    {
        std::vector<Marker> found;
        for (const AcDbObjectId& id : vktest::EntityIds(d)) {
            AcDbObjectPointer<AcDbQsStandRoom> m(id, AcDb::kForRead);
            if (m) found.push_back({id, m->GetInsertPt(), m->GetMatrix(), m->GetChgType(), m->GetAssositEnts()});
        }
        return found;
    }
    // The pipes of the library's block R on a layer, in room coordinates.
    std::vector<Segment> libraryPipes(const char16_t* layer)
    {
        AcDbDatabase lib(false, true);
        if (lib.readDwgFile(hostPath("StardardRoom.dwg"), _SH_DENYNO) != Acad::eOk) return {};
        return pipesAmong(vktest::BlockEntityIds(&lib, u"R"), layer);
    }

    std::vector<std::unique_ptr<AcDbDatabase>> sideDbs;
};

}  // namespace edittest
