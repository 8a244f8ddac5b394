// vkcad render: a plan picture of a drawing's model space, with what a designer needs to read
// it: a title, a legend of the building-services symbols it shows (named as the object
// library names their kinds) and, on request, each placed copy of a standard room tinted by
// its state in the project's standard-room report.
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>
#include <ostream>
#include <string>

#include "apps/srreport/RoomReport.h"
#include "apps/vkcad/Batch.h"
#include "apps/vkcad/Options.h"
#include "apps/vkcad/PlanPicture.h"
#include "host/db/AcDb.h"
#include "host/gi/GiPicture.h"
#include "host/win/WinPath.h"
#include "siblings/object/CObjectKind.h"

namespace vkcad {

namespace {

std::string Extension(const std::string& path)
{
    const size_t dot = path.find_last_of('.');
    const size_t slash = path.find_last_of('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
    std::string ext = path.substr(dot + 1);
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext;
}

// The colour of each report state (by CopyState): green, blue, orange, red.
constexpr int kStateColor[srreport::kCopyStates] = {3, 5, 30, 1};

// The floor of the report whose copies the picture shows: the one named, which must be the
// drawing's, else the first whose drawing it is. Null with a message on err.
const srreport::FloorSummary* FloorOfDrawing(const srreport::Report& report, const Options& o, std::ostream& err)
{
    std::error_code ec;
    auto isDrawing = [&](const srreport::FloorSummary& f) {
        return std::filesystem::equivalent(vkwin::ToHostPath(f.drawing), o.drawing, ec);
    };
    for (const srreport::FloorSummary& f : report.floors) {
        if (!o.floor.empty() && f.name.ToUtf8() != o.floor) continue;
        if (isDrawing(f)) return &f;
        if (o.floor.empty()) continue;
        err << "vkcad: floor " << o.floor << " of " << o.project << " is drawn in " << f.drawing.ToUtf8() << ", not in "
            << o.drawing << "\n";
        return nullptr;
    }
    if (o.floor.empty())
        err << "vkcad: " << o.drawing << " is the drawing of no floor of " << o.project << "\n";
    else
        err << "vkcad: " << o.project << " has no floor " << o.floor << "\n";
    return nullptr;
}

// What the picture learns from the drawing as it is collected, entity by entity.
class PlanReader {
public:
    PlanReader(const Options& o, std::vector<vkgi::Primitive>& prims) : m_o(o), m_prims(prims) {}

    // The copies of that floor: their markers and members, by handle.
    void setCopies(const srreport::Report& report, const CString& floor)
    {
        m_report = true;
        for (const srreport::StoredRoom& room : report.rooms)
            for (const srreport::PlacedCopy& c : room.copies) {
                if (c.floor.Compare(floor) != 0) continue;
                m_copyOf[Key(c.marker)] = {c.state, true};
                for (const CString& m : c.members) m_copyOf[Key(m)] = {c.state, false};
            }
    }

    void drawn(const AcDbEntity* ent, size_t first)
    {
        if (first == m_prims.size() || !inPicture(first)) return;
        const Object::Kind kind = CObjectKind::GetKind(ent);
        if (kind != Object::kUnknown) {
            Symbol& s = m_symbols[kind];
            if (s.count++ == 0) s.drawing.assign(m_prims.begin() + long(first), m_prims.end());
        }
        auto copy = m_copyOf.find(Key(ent->handle().text()));
        if (copy == m_copyOf.end()) return;
        const int color = kStateColor[int(copy->second.state)];
        // The copy's outline (its marker) is tinted; the marker and the copy's members take the
        // state's colour where they are drawn as outlines, components keep theirs.
        if (copy->second.marker) {
            ++m_states[int(copy->second.state)];
            // Its outline is drawn segment by segment, in order round the room.
            vkgi::Tint tint{{}, color};
            for (size_t i = first; i < m_prims.size(); ++i) {
                if (m_prims[i].kind != vkgi::Primitive::kPath) continue;
                for (const AcGePoint3d& p : m_prims[i].points)
                    if (tint.outline.empty() || !tint.outline.back().isEqualTo(p)) tint.outline.push_back(p);
            }
            m_tints.push_back(std::move(tint));
        }
        if (copy->second.marker || !CObjectKind::GetKind(ent))
            for (size_t i = first; i < m_prims.size(); ++i) m_prims[i].color = color;
    }

    vkgi::Overlay overlay() const
    {
        vkgi::Overlay o;
        o.title = CString::FromUtf8(m_o.title);
        o.tints = m_tints;
        vkgi::LegendGroup& symbols = o.legend.emplace_back();
        symbols.heading = u"Legend";
        for (const auto& [kind, s] : m_symbols)
            symbols.items.push_back({s.drawing, 7, CObjectKind::GetNameByKind(kind) + u" (" + Count(s.count) + u")"});
        if (m_report) {
            vkgi::LegendGroup& states = o.legend.emplace_back();
            states.heading = u"Standard rooms";
            for (int k = 0; k < srreport::kCopyStates; ++k)
                states.items.push_back({{}, kStateColor[k],
                                        CString(srreport::StateText(srreport::CopyState(k))) + u" (" + Count(m_states[k]) + u")"});
        }
        return o;
    }

private:
    struct Symbol {
        int count = 0;
        std::vector<vkgi::Primitive> drawing;  // of the first one drawn
    };
    struct CopyPart {
        srreport::CopyState state;
        bool marker;
    };
    static std::u16string Key(const CString& handle) { return handle.GetString(); }
    static CString Count(int n) { return CString::FromUtf8(std::to_string(n)); }

    // Whether the entity's drawing reaches into the window (everything is in a fitted picture).
    bool inPicture(size_t first) const
    {
        if (!m_o.window) return true;
        for (size_t i = first; i < m_prims.size(); ++i)
            for (const AcGePoint3d& p : m_prims[i].points)
                if (p.x >= m_o.x1 && p.x <= m_o.x2 && p.y >= m_o.y1 && p.y <= m_o.y2) return true;
        return false;
    }

    const Options& m_o;
    std::vector<vkgi::Primitive>& m_prims;
    std::map<Object::Kind, Symbol> m_symbols;  // in the order of the kinds
    std::map<std::u16string, CopyPart> m_copyOf;
    int m_states[srreport::kCopyStates] = {};  // copies in the picture, by state
    std::vector<vkgi::Tint> m_tints;
    bool m_report = false;  // the copies of a floor are known
};

}  // namespace

bool BuildPlanPicture(const Options& o, AcDbDatabase& db, const srreport::Report* report, PlanPicture& out,
                      std::ostream& err)
{
    out = PlanPicture{};
    PlanReader plan(o, out.prims);
    if (report) {
        const srreport::FloorSummary* floor = FloorOfDrawing(*report, o, err);
        if (!floor) return false;
        plan.setCopies(*report, floor->name);
    }
    vkgi::CollectModelSpace(&db, out.prims, [&](const AcDbEntity* ent, size_t first) { plan.drawn(ent, first); });
    out.overlay = plan.overlay();
    return true;
}

int RenderDrawing(const Options& o, std::ostream& err)
{
    const std::string ext = Extension(o.picture);
    if (ext != "png" && ext != "svg") {
        err << "vkcad: " << o.picture << ": the picture must be a .png or .svg file\n";
        return 1;
    }
    AcDbDatabase db(false, true);
    if (!ReadDrawing(db, o.drawing, err)) return 1;
    srreport::Report report;
    if (o.reportStates && BuildProjectReport(o, report, err) != 0) return 1;
    PlanPicture picture;
    if (!BuildPlanPicture(o, db, o.reportStates ? &report : nullptr, picture, err)) return 1;
    vkgi::View view;
    view.width = o.width, view.height = o.height;
    view.lineWeights = !o.thin;
    if (o.window) {
        view.fit = false;
        view.x1 = o.x1, view.y1 = o.y1, view.x2 = o.x2, view.y2 = o.y2;
    }
    std::string why;
    const bool ok = ext == "png" ? vkgi::RenderPng(picture.prims, view, o.picture, &why, &picture.overlay)
                                 : vkgi::RenderSvg(picture.prims, view, o.picture, &why, &picture.overlay);
    if (!ok) {
        err << "vkcad: " << why << "\n";
        return 1;
    }
    return 0;
}

}  // namespace vkcad
