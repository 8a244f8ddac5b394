// The report as JSON for other tools: the same facts as the text, in the same order.
#include <cmath>

#include <nlohmann/json.hpp>

#include "apps/srreport/RoomReport.h"

namespace srreport {

namespace {

using Json = nlohmann::ordered_json;

// Micrometre rounding keeps the numbers free of floating-point noise.
double Round(double v)
{
    const double r = std::round(v * 1e6) / 1e6;
    return r == 0 ? 0 : r;
}

std::string U8(const CString& s) { return s.ToUtf8(); }

Json Handles(const std::vector<CString>& handles)
{
    Json list = Json::array();
    for (const CString& h : handles) list.push_back(U8(h));
    return list;
}

Json Kept(const std::vector<KeptCopy>& kept)
{
    Json list = Json::array();
    for (const KeptCopy& k : kept) list.push_back(Json{{"marker", U8(k.marker)}, {"why", U8(k.why)}});
    return list;
}

Json CopyJson(const PlacedCopy& c)
{
    Json diffs = Json::array();
    for (const MemberDifference& d : c.differences) {
        Json j{{"kind", U8(DifferenceKindText(d.kind))}, {"handle", d.handle.IsEmpty() ? Json() : Json(U8(d.handle))},
               {"class", U8(d.cls)}};
        if (!d.detail.IsEmpty()) j["detail"] = U8(d.detail);
        diffs.push_back(std::move(j));
    }
    return Json{{"floor", U8(c.floor)},
                {"marker", U8(c.marker)},
                {"insertionPoint", {Round(c.insertPt.x), Round(c.insertPt.y), Round(c.insertPt.z)}},
                {"rotation", Round(c.rotation)},
                {"mirrored", c.mirrored},
                {"changeType", c.changeType},
                {"state", U8(StateText(c.state))},
                {"differences", std::move(diffs)}};
}

Json Totals(const int counts[4])
{
    return Json{{"inStep", counts[0]}, {"excluded", counts[1]}, {"drifted", counts[2]}, {"broken", counts[3]}};
}

Json ForecastJson(const EditForecast& f)
{
    Json floors = Json::array();
    for (const ForecastFloor& floor : f.floors)
        floors.push_back(Json{{"floor", U8(floor.name)},
                              {"opened", floor.opened},
                              {"rebuilt", Handles(floor.rebuilt)},
                              {"kept", Kept(floor.kept)}});
    return Json{{"room", U8(f.room)},
                {"stored", f.stored},
                {"currentFloor", U8(f.currentFloor)},
                {"floors", std::move(floors)},
                {"unreadFloors", Handles(f.unreadFloors)},
                {"heldElsewhere", Handles(f.heldElsewhere)}};
}

}  // namespace

std::string FormatReportJson(const Report& report)
{
    Json rooms = Json::array();
    for (const StoredRoom& room : report.rooms) {
        Json copies = Json::array();
        int counts[4] = {};
        for (const PlacedCopy& c : room.copies) {
            ++counts[int(c.state)];
            copies.push_back(CopyJson(c));
        }
        rooms.push_back(Json{{"name", U8(room.name)}, {"entities", room.entityCount}, {"copies", std::move(copies)},
                             {"totals", Totals(counts)}});
    }
    Json floors = Json::array();
    Json unread = Json::array();
    for (const FloorSummary& f : report.floors) {
        Json j{{"name", U8(f.name)}, {"drawing", U8(f.drawing)}, {"read", f.read}};
        if (f.read) {
            j["totals"] = Totals(f.counts);
            j["unknownRoomMarkers"] = f.unknownMarkers;
            if (f.heldElsewhere) j["heldElsewhere"] = true;
        } else {
            j["reason"] = U8(f.reason);
            unread.push_back(Json{{"floor", U8(f.name)}, {"drawing", U8(f.drawing)}, {"reason", U8(f.reason)}});
        }
        floors.push_back(std::move(j));
    }
    Json unknown = Json::array();
    for (const UnknownRoomMarker& m : report.unknownMarkers)
        unknown.push_back(Json{{"floor", U8(m.floor)}, {"marker", U8(m.marker)}, {"room", U8(m.room)}});
    Json unused = Json::array();
    for (const CString& name : report.unusedRooms) unused.push_back(U8(name));

    Json out{{"project", U8(report.project)},
             {"library", Json{{"path", U8(report.library)}, {"found", report.libraryFound}}},
             {"rooms", std::move(rooms)},
             {"floors", std::move(floors)},
             {"unknownRoomMarkers", std::move(unknown)},
             {report.everyFloorRead ? "unusedRooms" : "noCopyOnFloorsRead", std::move(unused)},
             {"unreadFloors", std::move(unread)}};
    if (report.forecast) out["forecast"] = ForecastJson(*report.forecast);
    return out.dump(2) + "\n";
}

}  // namespace srreport
