// Finding entities of the current space: picks at a point, window and crossing boxes,
// handles.
#include <algorithm>
#include <cmath>

#include "host/ed/SystemVariables.h"
#include "host/ed/detail/PromptReader.h"

namespace vked::detail {
namespace {

using Piece = AcDbEntity::GeomPiece;

double Dist2d(const AcGePoint3d& a, const AcGePoint3d& b) { return std::hypot(a.x - b.x, a.y - b.y); }

double SegmentDistance(const AcGePoint3d& p, const AcGePoint3d& a, const AcGePoint3d& b)
{
    double dx = b.x - a.x, dy = b.y - a.y;
    double len2 = dx * dx + dy * dy;
    double t = len2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / len2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

constexpr double kTwoPi = 6.283185307179586;

double NormAngle(double a)
{
    a = std::fmod(a, kTwoPi);
    return a < 0 ? a + kTwoPi : a;
}

bool AngleOnArc(double ang, double start, double end)
{
    double sweep = NormAngle(end - start);
    if (sweep == 0) sweep = kTwoPi;
    return NormAngle(ang - start) <= sweep;
}

double PieceDistance(const AcGePoint3d& p, const Piece& pc)
{
    if (pc.kind == Piece::kLine) return SegmentDistance(p, pc.a, pc.b);
    double ang = std::atan2(p.y - pc.center.y, p.x - pc.center.x);
    if (AngleOnArc(ang, pc.startAng, pc.endAng)) return std::fabs(Dist2d(p, pc.center) - pc.radius);
    return std::min(Dist2d(p, pc.a), Dist2d(p, pc.b));
}

// The piece as segments (arcs as 32 chords a full turn), for box tests.
void PieceSegments(const Piece& pc, std::vector<std::pair<AcGePoint3d, AcGePoint3d>>& out)
{
    if (pc.kind == Piece::kLine) {
        out.emplace_back(pc.a, pc.b);
        return;
    }
    double sweep = NormAngle(pc.endAng - pc.startAng);
    if (sweep == 0) sweep = kTwoPi;
    int n = std::max(2, static_cast<int>(std::ceil(sweep / kTwoPi * 32)));
    AcGePoint3d prev;
    for (int i = 0; i <= n; ++i) {
        double a = pc.startAng + sweep * i / n;
        AcGePoint3d q(pc.center.x + pc.radius * std::cos(a), pc.center.y + pc.radius * std::sin(a), 0);
        if (i) out.emplace_back(prev, q);
        prev = q;
    }
}

// Liang-Barsky: does the segment touch the box?
bool SegmentMeetsBox(const AcGePoint3d& a, const AcGePoint3d& b, double x0, double y0, double x1, double y1)
{
    double t0 = 0, t1 = 1, dx = b.x - a.x, dy = b.y - a.y;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {a.x - x0, x1 - a.x, a.y - y0, y1 - a.y};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) return false;
        } else {
            double r = q[i] / p[i];
            if (p[i] < 0) t0 = std::max(t0, r);
            else t1 = std::min(t1, r);
            if (t0 > t1) return false;
        }
    }
    return true;
}

struct OpenEntity {
    AcDbEntity* ent = nullptr;
    explicit OpenEntity(AcDbObjectId id) { acdbOpenAcDbEntity(ent, id, AcDb::kForRead); }
    ~OpenEntity() { if (ent) ent->close(); }
};

}  // namespace

AcDbDatabase* CurrentDatabase() { return acdbHostApplicationServices()->workingDatabase(); }

std::vector<AcDbObjectId> CurrentSpaceEntities()
{
    AcDbDatabase* db = CurrentDatabase();
    if (!db) return {};
    AcDbBlockTableRecord* space = nullptr;
    if (acdbOpenObject(space, db->currentSpaceId(), AcDb::kForRead) != Acad::eOk) return {};
    std::vector<AcDbObjectId> ids = space->entityIds(false);
    space->close();
    return ids;
}

bool IsPickable(AcDbObjectId id)
{
    OpenEntity e(id);
    if (!e.ent || e.ent->visibility() != AcDb::kVisible) return false;
    AcDbLayerTableRecord* layer = nullptr;
    if (acdbOpenObject(layer, e.ent->layerId(), AcDb::kForRead) != Acad::eOk) return true;
    bool shown = !layer->isOff() && !layer->isFrozen();
    layer->close();
    return shown;
}

double PickAperture() { return GetShortVar(u"PICKBOX", 3) * GetRealVar(u"PIXELSIZE", 1.0); }

AcDbObjectId PickAt(const AcGePoint3d& pt)
{
    const double aperture = PickAperture();
    std::vector<AcDbObjectId> ids = CurrentSpaceEntities();
    for (auto it = ids.rbegin(); it != ids.rend(); ++it) {
        if (!IsPickable(*it)) continue;
        OpenEntity e(*it);
        if (!e.ent) continue;
        std::vector<Piece> pieces;
        e.ent->getGeomPieces(pieces);
        if (pieces.empty()) {
            AcDbExtents ext;
            if (e.ent->getGeomExtents(ext) == Acad::eOk) {
                AcGePoint3d lo = ext.minPoint(), hi = ext.maxPoint();
                if (pt.x >= lo.x - aperture && pt.x <= hi.x + aperture && pt.y >= lo.y - aperture &&
                    pt.y <= hi.y + aperture)
                    return *it;
            }
            continue;
        }
        for (const Piece& pc : pieces)
            if (PieceDistance(pt, pc) <= aperture) return *it;
    }
    return AcDbObjectId();
}

std::vector<AcDbObjectId> SelectBox(const AcGePoint3d& a, const AcGePoint3d& b, bool crossing)
{
    double x0 = std::min(a.x, b.x), x1 = std::max(a.x, b.x), y0 = std::min(a.y, b.y), y1 = std::max(a.y, b.y);
    std::vector<AcDbObjectId> out;
    for (AcDbObjectId id : CurrentSpaceEntities()) {
        if (!IsPickable(id)) continue;
        OpenEntity e(id);
        if (!e.ent) continue;
        AcDbExtents ext;
        bool hasExt = e.ent->getGeomExtents(ext) == Acad::eOk;
        if (!hasExt) continue;
        AcGePoint3d lo = ext.minPoint(), hi = ext.maxPoint();
        bool inside = lo.x >= x0 && hi.x <= x1 && lo.y >= y0 && hi.y <= y1;
        if (inside) {
            out.push_back(id);
            continue;
        }
        if (!crossing) continue;
        std::vector<Piece> pieces;
        e.ent->getGeomPieces(pieces);
        bool meets = false;
        if (pieces.empty()) {
            meets = lo.x <= x1 && hi.x >= x0 && lo.y <= y1 && hi.y >= y0;
        } else {
            std::vector<std::pair<AcGePoint3d, AcGePoint3d>> segs;
            for (const Piece& pc : pieces) PieceSegments(pc, segs);
            for (const auto& s : segs)
                if (SegmentMeetsBox(s.first, s.second, x0, y0, x1, y1)) { meets = true; break; }
        }
        if (meets) out.push_back(id);
    }
    return out;
}

AcDbObjectId EntityByHandle(const AcDbHandle& h, CString& why, bool* missed)
{
    if (missed) *missed = false;
    AcDbDatabase* db = CurrentDatabase();
    AcDbObjectId id;
    if (!db || acdbGetObjectId(id, db, h) != Acad::eOk || id.isNull() || id.isErased()) {
        why.Format(u"no object with handle %s in the current drawing", h.text().GetString());
        return AcDbObjectId();
    }
    std::vector<AcDbObjectId> ids = CurrentSpaceEntities();
    if (std::find(ids.begin(), ids.end(), id) == ids.end()) {
        why.Format(u"handle %s is not an entity of the current space", h.text().GetString());
        if (missed) *missed = true;
        return AcDbObjectId();
    }
    return id;
}

CString HighlightedText()
{
    CString text = u"<highlighted:";
    bool any = false;
    for (AcDbObjectId id : CurrentSpaceEntities()) {
        OpenEntity e(id);
        if (!e.ent || !e.ent->isHighlighted()) continue;
        text += u" #" + id.handle().text();
        any = true;
    }
    if (!any) text += u" none";
    return text + u">";
}

AcGePoint3d FirstGeometryPoint(AcDbObjectId id)
{
    OpenEntity e(id);
    if (!e.ent) return AcGePoint3d();
    std::vector<Piece> pieces;
    e.ent->getGeomPieces(pieces);
    if (!pieces.empty()) return pieces.front().a;
    AcDbExtents ext;
    if (e.ent->getGeomExtents(ext) == Acad::eOk) return ext.minPoint();
    return AcGePoint3d();
}

}  // namespace vked::detail
