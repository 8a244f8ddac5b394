// Reading the library once and every floor once, and judging each placed copy against its
// library entry under the copy's own placement.
#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <numbers>
#include <set>

#include "apps/srreport/MemberShapes.h"
#include "apps/srreport/RoomReport.h"
#include "host/ed/AcApDocManager.h"
#include "host/win/WinPath.h"
#include "host/win/Windows.h"
#include "module/editing/CopyRebuildRule.h"
#include "module/frame/CManageStdRoom.h"
#include "siblings/object/AcDbQsStandRoom.h"
#include "siblings/object/VkQsEntity.h"
#include "siblings/project/CProj.h"
#include "siblings/region/AcDbVkRoom.h"

namespace srreport {

namespace {

struct CStringLess {
    bool operator()(const CString& a, const CString& b) const { return a.Compare(b) < 0; }
};

// A stored room as its copies should look before placement: members split as an insertion's
// linking splits them (the last boundary is the room, markers are no members).
struct LibraryEntry {
    StoredRoom* room = nullptr;
    std::optional<MemberShape> boundary;
    std::vector<MemberShape> components;
};

using LibraryEntries = std::map<CString, LibraryEntry, CStringLess>;

// A marker of the forecast's room on one floor; `kept` says why the edit would leave it alone.
struct ForecastMarker {
    CString handle;
    CString kept;
};

struct ScanContext {
    Report& report;
    LibraryEntries& library;
    const CString& forecastRoom;
    std::map<CString, std::vector<ForecastMarker>, CStringLess> forecastMarkers;  // by floor
};

CString HandleText(const AcDbHandle& h) { return h.text(); }

template <class Fn>
bool ForEachEntity(AcDbObjectId blockId, Fn&& fn)
{
    AcDbBlockTableRecord* block = nullptr;
    if (acdbOpenObject(block, blockId, AcDb::kForRead) != Acad::eOk) return false;
    const std::vector<AcDbObjectId> ids = block->entityIds();
    block->close();
    for (const AcDbObjectId& id : ids) {
        AcDbEntity* ent = nullptr;
        if (acdbOpenAcDbEntity(ent, id, AcDb::kForRead) != Acad::eOk) continue;
        fn(ent);
        ent->close();
    }
    return true;
}

LibraryEntry ReadEntry(AcDbObjectId blockId, StoredRoom& room)
{
    LibraryEntry entry;
    entry.room = &room;
    ForEachEntity(blockId, [&](AcDbEntity* ent) {
        ++room.entityCount;
        if (VkQsEntity::cast(ent)) entry.components.push_back(ShapeOf(ent));
        else if (ent->isKindOf(AcDbVkRoom::desc())) entry.boundary = ShapeOf(ent);
        else if (!AcDbQsStandRoom::cast(ent)) entry.components.push_back(ShapeOf(ent));
    });
    return entry;
}

// The library's rooms: the listed names that have a block, in the order the dialogs show them.
bool ReadLibrary(Report& report, LibraryEntries& library, CString& error)
{
    report.library = CManageStdRoom::GetStdRoomPath();
    auto db = std::make_unique<AcDbDatabase>(false, true);
    const Acad::ErrorStatus es = db->readDwgFile(report.library, _SH_DENYNO, false, nullptr);
    if (es == Acad::eFileNotFound) return true;  // a project without rooms yet
    if (es != Acad::eOk) {
        error = u"the library drawing " + report.library + u" cannot be read: " +
                CString::FromUtf8(acadErrorStatusText(es));
        return false;
    }
    report.libraryFound = true;
    CManageStdRoom* manager = CManageStdRoom::CreateOnlyInstance();
    if (!manager) {
        error = u"the room list cannot be read";
        return false;
    }
    AcDbBlockTable* table = nullptr;
    if (db->getBlockTable(table, AcDb::kForRead) != Acad::eOk) {
        error = u"the library drawing " + report.library + u" has no block table";
        return false;
    }
    std::vector<std::pair<CString, AcDbObjectId>> blocks;
    for (const CString& name : manager->GetStdRoomSet()) {
        AcDbObjectId id;
        if (table->getAt(name, id) == Acad::eOk) blocks.emplace_back(name, id);
    }
    table->close();
    report.rooms.reserve(blocks.size());  // entries point into it
    for (const auto& [name, id] : blocks) {
        if (library.count(name)) continue;
        report.rooms.push_back(StoredRoom{name, 0, {}});
        library.emplace(name, ReadEntry(id, report.rooms.back()));
    }
    return true;
}

// The copy's placement as its insertion applied it: the matrix's turn and mirror, moved to the
// insertion point's x and y.
AcGeMatrix3d PlacementOf(const AcDbQsStandRoom* marker)
{
    AcGeMatrix3d xform = marker->GetMatrix();
    const AcGePoint3d p = marker->GetInsertPt();
    xform.setTranslation(AcGeVector3d(p.x, p.y, 0));
    return xform;
}

// The matrix read as the placement jig builds it: a turn, then for a mirrored copy a
// left-right flip (x becomes -x). An up-down flip reads as the flip turned by another 180.
void SetTurnAndMirror(PlacedCopy& copy, const AcGeMatrix3d& m)
{
    copy.mirrored = m(0, 0) * m(1, 1) - m(0, 1) * m(1, 0) < 0;
    double degrees = (copy.mirrored ? std::atan2(m(1, 0), m(1, 1)) : std::atan2(m(1, 0), m(0, 0))) * 180 / std::numbers::pi;
    if (degrees < 0) degrees += 360;
    if (degrees >= 360 - 1e-9) degrees = 0;
    copy.rotation = degrees;
}

// A linked member as it is now; false (with why) when the link leads nowhere.
enum class LinkState { kMember, kElsewhere, kGone };

LinkState OpenMember(AcDbObjectId id, AcDbObjectId modelSpace, MemberShape& shape, CString& why)
{
    AcDbEntity* ent = nullptr;
    const Acad::ErrorStatus es = acdbOpenAcDbEntity(ent, id, AcDb::kForRead, true);
    if (es != Acad::eOk) {
        why = es == Acad::eWrongObjectType ? u"not an entity" : u"not in the drawing";
        return LinkState::kGone;
    }
    LinkState state = LinkState::kMember;
    // Objects of block definitions that came along with the insertion are not the copy's own.
    if (ent->ownerId() != modelSpace) state = LinkState::kElsewhere;
    else if (ent->isErased()) {
        why = u"erased";
        state = LinkState::kGone;
    }
    // An erased member still tells what it was, so that it is not reported missing as well.
    shape = ShapeOf(ent);
    ent->close();
    return state;
}

void CompareMembers(const std::vector<MemberShape>& expected, const std::vector<MemberShape>& actual,
                    std::vector<MemberDifference>& out)
{
    std::vector<bool> usedE(expected.size(), false), usedA(actual.size(), false);
    // Insertion keeps the library's order, so most members sit at their own index.
    for (size_t i = 0; i < std::min(expected.size(), actual.size()); ++i)
        if (SameMember(expected[i], actual[i])) usedE[i] = usedA[i] = true;
    for (size_t i = 0; i < expected.size(); ++i) {
        for (size_t j = 0; !usedE[i] && j < actual.size(); ++j) {
            if (usedA[j] || expected[i].cls.Compare(actual[j].cls) != 0 || !SameMember(expected[i], actual[j])) continue;
            usedE[i] = usedA[j] = true;
        }
    }
    // What is left pairs up by class, the same type path first: a member moved or changed.
    for (int pass = 0; pass < 2; ++pass) {
        for (size_t i = 0; i < expected.size(); ++i) {
            for (size_t j = 0; !usedE[i] && j < actual.size(); ++j) {
                if (usedA[j] || expected[i].cls.Compare(actual[j].cls) != 0) continue;
                if (pass == 0 && expected[i].typePath.Compare(actual[j].typePath) != 0) continue;
                usedE[i] = usedA[j] = true;
                out.push_back({MemberDifference::kChanged, HandleText(actual[j].handle), actual[j].cls,
                               DescribeDifference(expected[i], actual[j])});
            }
        }
    }
    for (size_t j = 0; j < actual.size(); ++j)
        if (!usedA[j]) out.push_back({MemberDifference::kAdded, HandleText(actual[j].handle), actual[j].cls, {}});
    for (size_t i = 0; i < expected.size(); ++i)
        if (!usedE[i]) out.push_back({MemberDifference::kMissing, HandleText(expected[i].handle), expected[i].cls, {}});
}

PlacedCopy JudgeCopy(const AcDbQsStandRoom* marker, const LibraryEntry& entry, const CString& floor,
                     AcDbObjectId modelSpace)
{
    PlacedCopy copy;
    copy.floor = floor;
    copy.marker = HandleText(marker->handle());
    copy.insertPt = marker->GetInsertPt();
    copy.changeType = marker->GetChgType();
    const AcGeMatrix3d xform = PlacementOf(marker);
    SetTurnAndMirror(copy, xform);

    std::vector<MemberDifference>& diffs = copy.differences;
    const AcDbObjectId roomId = marker->GetAssositRoom();
    MemberShape shape;
    CString why;
    const CString boundaryClass = entry.boundary ? entry.boundary->cls : CString(u"AcDbVkRoom");
    if (roomId.isNull()) {
        // A boundary erased before the drawing was saved leaves no link behind.
        if (entry.boundary) diffs.push_back({MemberDifference::kGone, {}, boundaryClass, u"the marker names no room boundary"});
    } else if (OpenMember(roomId, modelSpace, shape, why) == LinkState::kGone) {
        diffs.push_back({MemberDifference::kGone, HandleText(roomId.handle()), boundaryClass, why});
    } else {
        copy.members.push_back(HandleText(shape.handle));
        const std::optional<MemberShape> placed = entry.boundary ? std::optional(Placed(*entry.boundary, xform)) : std::nullopt;
        if (!placed) diffs.push_back({MemberDifference::kAdded, HandleText(shape.handle), shape.cls, {}});
        else if (!SameMember(*placed, shape))
            diffs.push_back({MemberDifference::kChanged, HandleText(shape.handle), shape.cls, DescribeDifference(*placed, shape)});
    }

    std::vector<MemberShape> actual, erased;
    for (const AcDbObjectId& id : marker->GetAssositEnts()) {
        shape = MemberShape{};
        switch (OpenMember(id, modelSpace, shape, why)) {
        case LinkState::kMember:
            copy.members.push_back(HandleText(shape.handle));
            actual.push_back(std::move(shape));
            break;
        case LinkState::kGone:
            diffs.push_back({MemberDifference::kGone, id.isNull() ? CString() : HandleText(id.handle()), shape.cls,
                             id.isNull() ? CString(u"a member is no longer in the drawing") : why});
            if (!shape.cls.IsEmpty()) erased.push_back(std::move(shape));
            break;
        case LinkState::kElsewhere: break;
        }
    }
    std::vector<MemberShape> expected;
    expected.reserve(entry.components.size());
    for (const MemberShape& s : entry.components) expected.push_back(Placed(s, xform));
    for (const MemberShape& gone : erased) {
        auto same = std::find_if(expected.begin(), expected.end(), [&](const MemberShape& e) { return SameMember(e, gone); });
        if (same == expected.end())
            same = std::find_if(expected.begin(), expected.end(), [&](const MemberShape& e) { return e.cls.Compare(gone.cls) == 0; });
        if (same != expected.end()) expected.erase(same);
    }
    CompareMembers(expected, actual, diffs);

    const bool gone = std::any_of(diffs.begin(), diffs.end(),
                                  [](const MemberDifference& d) { return d.kind == MemberDifference::kGone; });
    if (gone) copy.state = CopyState::kBroken;
    else if (!diffs.empty()) copy.state = CopyState::kDrifted;
    else if (copy.changeType == 1) copy.state = CopyState::kExcluded;
    return copy;
}

// Why an edit's rebuild would leave the copy as it is, by the edit's own rule; empty: rebuilt.
CString WhyKept(const AcDbQsStandRoom* marker)
{
    switch (vkroom::WhyCopyKept(marker)) {
    case CopyKept::kNo: return {};
    case CopyKept::kMarkerLocked: return u"marker on a locked layer";
    case CopyKept::kChangedByHand: return u"change type 1";
    case CopyKept::kMemberLocked: return u"a member on a locked layer";
    }
    return {};
}

// Every marker of the drawing's model space, in model-space order.
void ScanDrawing(AcDbDatabase* db, FloorSummary* summary, const CString& floor, ScanContext& ctx)
{
    const AcDbObjectId modelSpace = db->modelSpaceId();
    ForEachEntity(modelSpace, [&](AcDbEntity* ent) {
        const AcDbQsStandRoom* marker = AcDbQsStandRoom::cast(ent);
        if (!marker) return;
        const CString name = marker->GetRoomName();
        if (!ctx.forecastRoom.IsEmpty() && name.Compare(ctx.forecastRoom) == 0)
            ctx.forecastMarkers[floor].push_back({HandleText(marker->handle()), WhyKept(marker)});
        if (!summary) return;
        auto entry = ctx.library.find(name);
        if (entry == ctx.library.end()) {
            ctx.report.unknownMarkers.push_back({floor, HandleText(marker->handle()), name});
            ++summary->unknownMarkers;
            return;
        }
        PlacedCopy copy = JudgeCopy(marker, entry->second, floor, modelSpace);
        ++summary->counts[int(copy.state)];
        entry->second.room->copies.push_back(std::move(copy));
    });
}

// The floor's drawing read from disk. A drawing that another program holds for writing is read
// as last saved, since reading takes nothing from its holder; the edit, which reads it denying
// writers because it goes on to change it, is refused, and the floor says so.
std::unique_ptr<AcDbDatabase> ReadFloorDrawing(const CString& path, FloorSummary& summary)
{
    auto side = std::make_unique<AcDbDatabase>(false, true);
    Acad::ErrorStatus es = side->readDwgFile(path, _SH_DENYWR, false, nullptr);
    if (es == Acad::eFileSharingViolation) {
        side = std::make_unique<AcDbDatabase>(false, true);
        es = side->readDwgFile(path, _SH_DENYNO, false, nullptr);
        summary.heldElsewhere = es == Acad::eOk;
    }
    if (es == Acad::eOk) return side;
    summary.missing = es == Acad::eFileNotFound;
    summary.reason = summary.missing ? CString(u"the drawing does not exist") : CString::FromUtf8(acadErrorStatusText(es));
    return nullptr;
}

void ReadFloors(const ReportSource& source, const CArray<VkQsDataMng::FloorRecord>& records, ScanContext& ctx)
{
    // One drawing serving two floors, however each spells its path, is read once, for the
    // user's floor when it is one of them.
    std::map<vkwin::FileIdentity, CString> readFor;
    for (const VkQsDataMng::FloorRecord& r : records)
        if (r.strFloorName.Compare(source.currentFloor) == 0) readFor.emplace(vkwin::IdentityOf(r.strDwgFullName), r.strFloorName);
    for (const VkQsDataMng::FloorRecord& r : records) {
        FloorSummary& summary = ctx.report.floors.emplace_back();
        summary.name = r.strFloorName;
        summary.drawing = r.strDwgFullName;
        auto [first, fresh] = readFor.emplace(vkwin::IdentityOf(r.strDwgFullName), r.strFloorName);
        if (!fresh && first->second.Compare(r.strFloorName) != 0) {
            summary.sameDrawingAs = first->second;
            summary.reason = u"same drawing as floor " + first->second;
            continue;
        }
        std::unique_ptr<AcDbDatabase> side;
        AcDbDatabase* db = nullptr;
        if (source.currentDb && r.strFloorName.Compare(source.currentFloor) == 0) db = source.currentDb;
        else if (source.useOpenDocuments) {
            if (AcApDocument* open = vked::FindDocument(r.strDwgFullName)) db = open->database();
        }
        if (!db) {
            side = ReadFloorDrawing(r.strDwgFullName, summary);
            if (!side) {
                ctx.report.everyFloorRead = ctx.report.everyFloorRead && summary.missing;
                continue;
            }
            db = side.get();
        }
        summary.read = true;
        ScanDrawing(db, &summary, r.strFloorName, ctx);
    }
}

// The edit's run: every other floor holding a marker of the room, by name, then the user's own.
void Forecast(const ReportSource& source, ScanContext& ctx)
{
    EditForecast forecast;
    forecast.room = source.forecastRoom;
    forecast.currentFloor = source.currentFloor;
    forecast.stored = ctx.library.count(source.forecastRoom) > 0;
    std::set<CString, CStringLess> notVisited;
    for (const FloorSummary& f : ctx.report.floors) {
        if (!f.read && f.sameDrawingAs.IsEmpty()) forecast.unreadFloors.push_back(f.name);
        if (f.heldElsewhere && f.name.Compare(source.currentFloor) != 0) {
            forecast.heldElsewhere.push_back(f.name);
            notVisited.insert(f.name);
        }
    }
    if (forecast.stored) {
        auto fill = [&](ForecastFloor& floor, const std::vector<ForecastMarker>& markers) {
            for (const ForecastMarker& m : markers) {
                if (m.kept.IsEmpty()) floor.rebuilt.push_back(m.handle);
                else floor.kept.push_back({m.handle, m.kept});
            }
        };
        for (const auto& [name, markers] : ctx.forecastMarkers) {
            if (name.Compare(source.currentFloor) == 0 || notVisited.count(name)) continue;
            ForecastFloor& floor = forecast.floors.emplace_back();
            floor.name = name;
            floor.opened = true;
            fill(floor, markers);
        }
        ForecastFloor& own = forecast.floors.emplace_back();
        own.name = source.currentFloor;
        auto mine = ctx.forecastMarkers.find(source.currentFloor);
        if (mine != ctx.forecastMarkers.end()) fill(own, mine->second);
    }
    ctx.report.forecast = std::move(forecast);
}

}  // namespace

const char16_t* DifferenceKindText(MemberDifference::Kind kind)
{
    switch (kind) {
    case MemberDifference::kAdded: return u"added";
    case MemberDifference::kMissing: return u"missing";
    case MemberDifference::kChanged: return u"changed";
    case MemberDifference::kGone: return u"gone";
    }
    return u"";
}

bool BuildReport(const ReportSource& source, Report& report, CString& error)
{
    report = Report{};
    VkQsDataMng::CProj project;
    CArray<VkQsDataMng::FloorRecord> records;
    if (!project.IsValid() || !project.GetAllFloorData(records)) {
        error = u"no project is current";
        return false;
    }
    report.project = project.GetPrjPath();
    LibraryEntries library;
    if (!ReadLibrary(report, library, error)) return false;

    ScanContext ctx{report, library, source.forecastRoom, {}};
    ReadFloors(source, records, ctx);
    // The user's drawing when it is no floor of the project: an edit rebuilds its copies too.
    if (!source.forecastRoom.IsEmpty() && source.currentDb && source.currentFloor.IsEmpty())
        ScanDrawing(source.currentDb, nullptr, source.currentFloor, ctx);

    for (const StoredRoom& room : report.rooms)
        if (room.copies.empty()) report.unusedRooms.push_back(room.name);
    if (!source.forecastRoom.IsEmpty()) Forecast(source, ctx);
    return true;
}

}  // namespace srreport
