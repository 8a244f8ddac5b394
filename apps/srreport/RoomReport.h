#pragma once
// The standard-room report: every stored room with its placed copies on every floor, whether
// each copy is in step with its library entry, and what an edit of one room would touch.
// Built from the project's drawings without changing any of them.
#include <optional>
#include <vector>

#include "host/db/AcDb.h"
#include "host/win/CString.h"

namespace srreport {

enum class CopyState { kInStep, kExcluded, kDrifted, kBroken };
constexpr int kCopyStates = 4;
// "in step", "excluded", "drifted", "broken" (inline: pictures of the report name them too).
inline const char16_t* StateText(CopyState state)
{
    switch (state) {
    case CopyState::kInStep: return u"in step";
    case CopyState::kExcluded: return u"excluded";
    case CopyState::kDrifted: return u"drifted";
    case CopyState::kBroken: return u"broken";
    }
    return u"";
}

// One way a copy differs from its library entry.
struct MemberDifference {
    enum Kind { kAdded, kMissing, kChanged, kGone } kind;
    CString handle;  // the copy's member (kAdded, kChanged, kGone) or the library's (kMissing)
    CString cls;
    CString detail;  // kChanged: what differs; kGone: why the link leads nowhere
};
const char16_t* DifferenceKindText(MemberDifference::Kind kind);  // "added", "missing", "changed", "gone"

struct PlacedCopy {
    CString floor;
    CString marker;          // the marker's handle
    AcGePoint3d insertPt;
    double rotation = 0;     // degrees, [0, 360)
    bool mirrored = false;   // flipped left-right after the turn
    int changeType = 0;
    CopyState state = CopyState::kInStep;
    std::vector<MemberDifference> differences;
    std::vector<CString> members;  // handles of the boundary and components the copy has in the drawing
};

struct StoredRoom {
    CString name;
    int entityCount = 0;     // entities of its library block
    std::vector<PlacedCopy> copies;
};

// A marker whose room the library does not hold.
struct UnknownRoomMarker {
    CString floor, marker, room;
};

struct FloorSummary {
    CString name;
    CString drawing;         // the floor drawing's path
    bool read = false;
    CString reason;          // why it was not read
    CString sameDrawingAs;   // not read because that floor's drawing is this one
    bool missing = false;    // not read because the drawing does not exist (it holds no copy)
    bool heldElsewhere = false;  // read as last saved: another program holds it for writing
    int counts[4] = {};      // copies of stored rooms by CopyState
    int unknownMarkers = 0;
};

// What an edit (bjbj) of one room would do, floor by floor, in the order it visits them.
struct KeptCopy {
    CString marker;
    CString why;             // "change type 1", "marker on a locked layer", "a member on a locked layer"
};

struct ForecastFloor {
    CString name;
    bool opened = false;     // opened in the editor (every visited floor but the user's own)
    std::vector<CString> rebuilt;  // marker handles, model-space order
    std::vector<KeptCopy> kept;
};

struct EditForecast {
    CString room;
    bool stored = false;     // an edit needs the room in the library
    CString currentFloor;    // the floor the edit runs from (rebuilt last)
    std::vector<ForecastFloor> floors;
    std::vector<CString> unreadFloors;  // may hold copies that the edit cannot see
    std::vector<CString> heldElsewhere; // held for writing by another program: the edit leaves them
};

struct Report {
    CString project;         // the project file
    CString library;         // the library drawing's path
    bool libraryFound = false;
    std::vector<StoredRoom> rooms;          // natural name order
    std::vector<FloorSummary> floors;       // project order
    std::vector<UnknownRoomMarker> unknownMarkers;
    std::vector<CString> unusedRooms;       // stored rooms with no copy on the floors read
    // False when a floor's drawing exists but could not be read: a room without copies on the
    // others may be placed there, so none is called unused.
    bool everyFloorRead = true;
    std::optional<EditForecast> forecast;
};

// Where the report reads the floors from.
struct ReportSource {
    // The floor the user is on, whose drawing is `currentDb` when that is not null (the editor's
    // working database, unsaved changes included); empty for none.
    CString currentFloor;
    AcDbDatabase* currentDb = nullptr;
    // Floors whose drawings are open in the editor are read from there rather than from disk.
    bool useOpenDocuments = false;
    CString forecastRoom;    // empty: no forecast
};

// Builds the report of the current project. False, with the reason, when there is no project
// or its library drawing exists but cannot be read.
bool BuildReport(const ReportSource& source, Report& report, CString& error);

std::string FormatReportText(const Report& report);  // UTF-8, lines ending "\n"
std::string FormatReportJson(const Report& report);  // UTF-8, pretty-printed

}  // namespace srreport
