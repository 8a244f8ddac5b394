// The report as the transcript shows it: one table line per copy, totals per room and floor.
#include <string>
#include <vector>

#include "apps/srreport/MemberShapes.h"
#include "apps/srreport/RoomReport.h"

namespace srreport {

namespace {

// Columns a text takes on a terminal: East Asian wide characters take two.
size_t DisplayWidth(const std::string& utf8)
{
    size_t width = 0;
    for (size_t i = 0; i < utf8.size();) {
        const unsigned char c = utf8[i];
        const int len = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        char32_t cp = len == 1 ? c : c & (0xFF >> (len + 1));
        for (int k = 1; k < len && i + k < utf8.size(); ++k) cp = (cp << 6) | (utf8[i + k] & 0x3F);
        const bool wide = (cp >= 0x1100 && cp <= 0x115F) || (cp >= 0x2E80 && cp <= 0xA4CF) ||
                          (cp >= 0xAC00 && cp <= 0xD7A3) || (cp >= 0xF900 && cp <= 0xFAFF) ||
                          (cp >= 0xFE30 && cp <= 0xFE4F) || (cp >= 0xFF00 && cp <= 0xFF60) ||
                          (cp >= 0xFFE0 && cp <= 0xFFE6) || cp >= 0x20000;
        width += wide ? 2 : 1;
        i += len;
    }
    return width;
}

// Rows of cells, aligned in columns; a row may be followed by free lines (a copy's differences).
class Table {
public:
    void row(std::vector<std::string> cells) { m_rows.push_back({std::move(cells), {}, false}); }
    // A first cell in its column and the rest as free text, leaving the other columns' widths alone.
    void rowWithText(std::string first, std::string text) { m_rows.push_back({{std::move(first), std::move(text)}, {}, true}); }
    void note(std::string line) { m_rows.back().notes.push_back(std::move(line)); }

    void print(std::string& out, const std::string& indent) const
    {
        std::vector<size_t> widths;
        for (const Row& r : m_rows) {
            if (widths.size() < r.cells.size()) widths.resize(r.cells.size(), 0);
            for (size_t c = 0; c < (r.freeText ? 1 : r.cells.size()); ++c)
                widths[c] = std::max(widths[c], DisplayWidth(r.cells[c]));
        }
        for (const Row& r : m_rows) {
            std::string line = indent;
            for (size_t c = 0; c < r.cells.size(); ++c) {
                line += r.cells[c];
                if (c + 1 < r.cells.size()) line += std::string(widths[c] - DisplayWidth(r.cells[c]) + 2, ' ');
            }
            out += line + "\n";
            for (const std::string& n : r.notes) out += indent + "    " + n + "\n";
        }
    }

private:
    struct Row {
        std::vector<std::string> cells;
        std::vector<std::string> notes;
        bool freeText;
    };
    std::vector<Row> m_rows;
};

std::string U8(const CString& s) { return s.ToUtf8(); }
std::string Num(double v) { return FormatNumber(v).ToUtf8(); }
std::string Count(int n) { return std::to_string(n); }
std::string Count(int n, const char* one, const char* many) { return Count(n) + " " + (n == 1 ? one : many); }

std::string Totals(const int counts[4])
{
    return Count(counts[0]) + " in step, " + Count(counts[1]) + " excluded, " + Count(counts[2]) + " drifted, " +
           Count(counts[3]) + " broken";
}

std::string FloorLabel(const CString& floor) { return floor.IsEmpty() ? "(current drawing)" : U8(floor); }

std::string Handles(const std::vector<CString>& handles)
{
    if (handles.empty()) return "-";
    std::string text;
    for (const CString& h : handles) text += (text.empty() ? "#" : " #") + U8(h);
    return text;
}

void PrintRoom(const StoredRoom& room, std::string& out)
{
    out += "\nRoom " + U8(room.name) + ": " + Count(room.entityCount, "entity", "entities") + ", ";
    if (room.copies.empty()) {
        out += "no copies\n";
        return;
    }
    out += Count(int(room.copies.size()), "copy", "copies") + "\n";
    Table table;
    table.row({"Floor", "Marker", "Insertion point", "Rotation", "Mirrored", "Change type", "State"});
    int counts[4] = {};
    for (const PlacedCopy& c : room.copies) {
        ++counts[int(c.state)];
        table.row({U8(c.floor), "#" + U8(c.marker), Num(c.insertPt.x) + ", " + Num(c.insertPt.y) + ", " + Num(c.insertPt.z),
                   Num(c.rotation), c.mirrored ? "yes" : "no", Count(c.changeType), U8(StateText(c.state))});
        for (const MemberDifference& d : c.differences) {
            std::string line = U8(DifferenceKindText(d.kind));
            if (!d.handle.IsEmpty()) line += " #" + U8(d.handle);
            if (!d.cls.IsEmpty()) line += " " + U8(d.cls);
            if (!d.detail.IsEmpty()) line += ": " + U8(d.detail);
            table.note(line);
        }
    }
    table.print(out, "  ");
    out += "  Total: " + Totals(counts) + "\n";
}

void PrintFloors(const Report& report, std::string& out)
{
    out += "\nFloors\n";
    Table table;
    table.row({"Floor", "Copies", "In step", "Excluded", "Drifted", "Broken", "Unknown rooms"});
    for (const FloorSummary& f : report.floors) {
        if (!f.read) {
            table.rowWithText(U8(f.name), "not read");
            continue;
        }
        const int copies = f.counts[0] + f.counts[1] + f.counts[2] + f.counts[3];
        table.row({U8(f.name), Count(copies), Count(f.counts[0]), Count(f.counts[1]), Count(f.counts[2]),
                   Count(f.counts[3]), Count(f.unknownMarkers)});
        if (f.heldElsewhere) table.note("open for writing elsewhere: read as last saved");
    }
    table.print(out, "  ");
}

void PrintForecast(const EditForecast& f, std::string& out)
{
    out += "\nEdit forecast for room " + U8(f.room) + " (bjbj from floor " + FloorLabel(f.currentFloor) + ")\n";
    if (!f.stored) {
        out += "  The library holds no room " + U8(f.room) + ": there is nothing to edit.\n";
        return;
    }
    Table table;
    table.row({"Floor", "Opened", "Rebuilt", "Kept"});
    for (const ForecastFloor& floor : f.floors) {
        std::string kept;
        for (const KeptCopy& k : floor.kept) kept += (kept.empty() ? "#" : ", #") + U8(k.marker) + " (" + U8(k.why) + ")";
        table.row({FloorLabel(floor.name), floor.opened ? "yes" : "no (current, last)", Handles(floor.rebuilt),
                   kept.empty() ? "-" : kept});
    }
    table.print(out, "  ");
    out += "  The copy the room is re-extracted from is rebuilt whatever its change type.\n";
    if (!f.unreadFloors.empty()) {
        std::string names;
        for (const CString& n : f.unreadFloors) names += (names.empty() ? "" : ", ") + U8(n);
        out += "  Not read, so not searched for copies: " + names + "\n";
    }
    if (!f.heldElsewhere.empty()) {
        std::string names;
        for (const CString& n : f.heldElsewhere) names += (names.empty() ? "" : ", ") + U8(n);
        out += "  Open for writing elsewhere, so not visited and not rebuilt: " + names + "\n";
    }
}

}  // namespace

std::string FormatReportText(const Report& report)
{
    std::string out = "Standard-room report\n";
    out += "Project: " + U8(report.project) + "\n";
    out += "Library: " + U8(report.library);
    out += report.libraryFound ? " (" + Count(int(report.rooms.size()), "room", "rooms") + ")\n" : " (missing: no rooms)\n";
    for (const StoredRoom& room : report.rooms) PrintRoom(room, out);
    PrintFloors(report, out);

    out += "\nMarkers naming rooms the library does not hold:";
    if (report.unknownMarkers.empty()) out += " none\n";
    else {
        out += "\n";
        Table table;
        for (const UnknownRoomMarker& m : report.unknownMarkers) table.row({U8(m.floor), "#" + U8(m.marker), U8(m.room)});
        table.print(out, "  ");
    }
    if (report.everyFloorRead) {
        out += "\nStored rooms placed nowhere:";
    } else {
        // A room may be placed on a floor that could not be read: it is not called unused.
        std::string names;
        for (const FloorSummary& f : report.floors)
            if (!f.read && f.sameDrawingAs.IsEmpty() && !f.missing) names += (names.empty() ? "" : ", ") + U8(f.name);
        out += "\nStored rooms with no copy on the floors read (not read: " + names + "):";
    }
    if (report.unusedRooms.empty()) out += " none\n";
    else {
        out += "\n";
        for (const CString& name : report.unusedRooms) out += "  " + U8(name) + "\n";
    }
    out += "\nFloors not read:";
    int unread = 0;
    std::string lines;
    for (const FloorSummary& f : report.floors) {
        if (f.read) continue;
        ++unread;
        lines += "  " + U8(f.name) + "  " + U8(f.drawing) + ": " + U8(f.reason) + "\n";
    }
    out += unread ? "\n" + lines : " none\n";
    if (report.forecast) PrintForecast(*report.forecast, out);
    return out;
}

}  // namespace srreport
