// Lightweight polylines: vertices with bulges and widths, segments, offsets, transforms.
#include <algorithm>
#include <atomic>
#include <cmath>
#include <optional>

#include "host/db/AcDbEntities.h"
#include "host/db/detail/GeomPieces.h"

ACRX_DEFINE_MEMBERS(AcDbPolyline, AcDbCurve)

namespace {

const double kBulgeTol = 1e-12;

AcGePoint3d at(const AcGePoint2d& p, double z) { return {p.x, p.y, z}; }

// An offset segment as an unbounded element for joining: a line through two points or a
// circle; the segment's own offset ends come along.
struct OffsetSeg {
    bool arc = false;
    AcGePoint2d s, e;       // offset ends
    AcGePoint2d center;     // arc
    double radius = 0;      // arc
    bool ccw = true;        // arc
};

void lineCircle(const AcGePoint2d& p, const AcGeVector2d& d, const AcGePoint2d& c, double r,
                std::vector<AcGePoint2d>& out)
{
    const AcGeVector2d f = p - c;
    const double a = d.dotProduct(d), b = 2 * f.dotProduct(d), cc = f.dotProduct(f) - r * r;
    double disc = b * b - 4 * a * cc;
    if (a == 0 || disc < -1e-12 * (b * b + 1)) return;
    disc = std::sqrt(std::max(0.0, disc));
    out.push_back(p + d * ((-b - disc) / (2 * a)));
    out.push_back(p + d * ((-b + disc) / (2 * a)));
}

void circleCircle(const AcGePoint2d& c1, double r1, const AcGePoint2d& c2, double r2, std::vector<AcGePoint2d>& out)
{
    const double d = c1.distanceTo(c2);
    if (d < 1e-12 || d > r1 + r2 + 1e-9 || d < std::fabs(r1 - r2) - 1e-9) return;
    const double a = (r1 * r1 - r2 * r2 + d * d) / (2 * d);
    const double h = std::sqrt(std::max(0.0, r1 * r1 - a * a));
    const AcGeVector2d u = (c2 - c1) * (1 / d);
    const AcGePoint2d m = c1 + u * a;
    out.push_back(m + AcGeVector2d(-u.y, u.x) * h);
    out.push_back(m - AcGeVector2d(-u.y, u.x) * h);
}

// Where two consecutive offset segments meet: the intersection of their elements nearest to
// the gap between them; none when the elements miss each other.
std::optional<AcGePoint2d> joinPoint(const OffsetSeg& a, const OffsetSeg& b)
{
    if (a.e.isEqualTo(b.s, AcGeTol(1e-9, 1e-12))) return a.e;
    std::vector<AcGePoint2d> cands;
    if (!a.arc && !b.arc) {
        const AcGeVector2d da = a.e - a.s, db = b.e - b.s;
        const double den = da.x * db.y - da.y * db.x;
        if (std::fabs(den) < 1e-12 * da.length() * db.length()) return std::nullopt;
        const AcGeVector2d w = b.s - a.s;
        const double t = (w.x * db.y - w.y * db.x) / den;
        return a.s + da * t;
    }
    if (a.arc && b.arc)
        circleCircle(a.center, a.radius, b.center, b.radius, cands);
    else if (a.arc)
        lineCircle(b.s, b.e - b.s, a.center, a.radius, cands);
    else
        lineCircle(a.s, a.e - a.s, b.center, b.radius, cands);
    if (cands.empty()) return std::nullopt;
    const AcGePoint2d gap{(a.e.x + b.s.x) / 2, (a.e.y + b.s.y) / 2};
    AcGePoint2d best = cands[0];
    for (const AcGePoint2d& c : cands)
        if (c.distanceTo(gap) < best.distanceTo(gap)) best = c;
    return best;
}

double bulgeOnCircle(const OffsetSeg& seg, const AcGePoint2d& s, const AcGePoint2d& e)
{
    double a0 = std::atan2(s.y - seg.center.y, s.x - seg.center.x);
    double a1 = std::atan2(e.y - seg.center.y, e.x - seg.center.x);
    double sweep = seg.ccw ? vkdb::normalizeAngle(a1 - a0) : -vkdb::normalizeAngle(a0 - a1);
    return std::tan(sweep / 4);
}

}  // namespace

std::uint64_t AcDbPolyline::newStamp()
{
    static std::atomic<std::uint64_t> last{0};
    return last.fetch_add(1, std::memory_order_relaxed) + 1;
}

unsigned int AcDbPolyline::numVerts() const { return static_cast<unsigned int>(m_verts.size()); }

Acad::ErrorStatus AcDbPolyline::addVertexAt(unsigned int index, const AcGePoint2d& pt, double bulge,
                                            double startWidth, double endWidth)
{
    if (index > m_verts.size()) return Acad::eInvalidIndex;
    if (!std::isfinite(pt.x) || !std::isfinite(pt.y) || !std::isfinite(bulge)) return Acad::eInvalidInput;
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_verts.insert(m_verts.begin() + index, Vertex{pt, bulge, startWidth, endWidth});
    m_stamp = newStamp();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::removeVertexAt(unsigned int index)
{
    if (index >= m_verts.size()) return Acad::eInvalidIndex;
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_verts.erase(m_verts.begin() + index);
    m_stamp = newStamp();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::getPointAt(unsigned int index, AcGePoint3d& pt) const
{
    if (index >= m_verts.size()) return Acad::eInvalidIndex;
    pt = at(m_verts[index].pt, m_elevation);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::getPointAt(unsigned int index, AcGePoint2d& pt) const
{
    if (index >= m_verts.size()) return Acad::eInvalidIndex;
    pt = m_verts[index].pt;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::setPointAt(unsigned int index, const AcGePoint2d& pt)
{
    if (index >= m_verts.size()) return Acad::eInvalidIndex;
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_verts[index].pt = pt;
    m_stamp = newStamp();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::getBulgeAt(unsigned int index, double& bulge) const
{
    if (index >= m_verts.size()) return Acad::eInvalidIndex;
    bulge = m_verts[index].bulge;
    return Acad::eOk;
}

unsigned int AcDbPolyline::getPointsAndBulges(AcGePoint2d* points, double* bulges, unsigned int count) const
{
    const unsigned int n = numVerts(), k = std::min(count, n);
    for (unsigned int i = 0; i < k; ++i) {
        if (points) points[i] = m_verts[i].pt;
        if (bulges) bulges[i] = m_verts[i].bulge;
    }
    return n;
}

Acad::ErrorStatus AcDbPolyline::setBulgeAt(unsigned int index, double bulge)
{
    if (index >= m_verts.size()) return Acad::eInvalidIndex;
    if (!std::isfinite(bulge)) return Acad::eInvalidInput;
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_verts[index].bulge = bulge;
    m_stamp = newStamp();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::getWidthsAt(unsigned int index, double& startWidth, double& endWidth) const
{
    if (index >= m_verts.size()) return Acad::eInvalidIndex;
    startWidth = m_verts[index].startWidth;
    endWidth = m_verts[index].endWidth;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::setWidthsAt(unsigned int index, double startWidth, double endWidth)
{
    if (index >= m_verts.size()) return Acad::eInvalidIndex;
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_verts[index].startWidth = startWidth;
    m_verts[index].endWidth = endWidth;
    m_stamp = newStamp();
    return Acad::eOk;
}

AcDbPolyline::SegType AcDbPolyline::segType(unsigned int index) const
{
    const size_t n = m_verts.size();
    if (n == 0) return kEmpty;
    if (n == 1) return index == 0 ? kPoint : kEmpty;
    const size_t segs = m_closed ? n : n - 1;
    if (index >= segs) return kEmpty;
    const AcGePoint2d& a = m_verts[index].pt;
    const AcGePoint2d& b = m_verts[(index + 1) % n].pt;
    if (a.isEqualTo(b)) return kCoincident;
    return std::fabs(m_verts[index].bulge) > kBulgeTol ? kArc : kLine;
}

Acad::ErrorStatus AcDbPolyline::getLineSegAt(unsigned int index, AcGeLineSeg3d& seg) const
{
    SegType t = segType(index);
    if (t == kEmpty) return Acad::eInvalidIndex;
    if (t != kLine) return Acad::eNotApplicable;
    seg.set(at(m_verts[index].pt, m_elevation), at(m_verts[(index + 1) % m_verts.size()].pt, m_elevation));
    return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::getLineSegAt(unsigned int index, AcGeLineSeg2d& seg) const
{
    SegType t = segType(index);
    if (t == kEmpty) return Acad::eInvalidIndex;
    if (t != kLine) return Acad::eNotApplicable;
    seg = AcGeLineSeg2d(m_verts[index].pt, m_verts[(index + 1) % m_verts.size()].pt);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::getArcSegAt(unsigned int index, AcGeCircArc3d& arc) const
{
    SegType t = segType(index);
    if (t == kEmpty) return Acad::eInvalidIndex;
    if (t != kArc) return Acad::eNotApplicable;
    arc = AcGeCircArc3d::fromBulge(at(m_verts[index].pt, m_elevation),
                                   at(m_verts[(index + 1) % m_verts.size()].pt, m_elevation), m_verts[index].bulge);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::getArcSegAt(unsigned int index, AcGeCircArc2d& arc) const
{
    SegType t = segType(index);
    if (t == kEmpty) return Acad::eInvalidIndex;
    if (t != kArc) return Acad::eNotApplicable;
    arc = AcGeCircArc2d::fromBulge(m_verts[index].pt, m_verts[(index + 1) % m_verts.size()].pt, m_verts[index].bulge);
    return Acad::eOk;
}

void AcDbPolyline::setClosed(bool closed)
{
    if (!assertWriteEnabled()) return;
    m_closed = closed;
    m_stamp = newStamp();
}

double AcDbPolyline::elevation() const { return m_elevation; }
void AcDbPolyline::setElevation(double elev)
{
    if (!assertWriteEnabled()) return;
    m_elevation = elev;
    m_stamp = newStamp();
}

Acad::ErrorStatus AcDbPolyline::getStartPoint(AcGePoint3d& p) const { return getPointAt(0, p); }

Acad::ErrorStatus AcDbPolyline::getEndPoint(AcGePoint3d& p) const
{
    if (m_verts.empty()) return Acad::eInvalidIndex;
    return getPointAt(m_closed ? 0 : numVerts() - 1, p);
}

void AcDbPolyline::getGeomPieces(std::vector<GeomPiece>& pieces) const
{
    const size_t n = m_verts.size();
    for (unsigned int i = 0; i < n; ++i) {
        SegType t = segType(i);
        if (t != kLine && t != kArc) continue;
        const AcGePoint3d a = at(m_verts[i].pt, m_elevation), b = at(m_verts[(i + 1) % n].pt, m_elevation);
        if (t == kArc) {
            pieces.push_back(vkdb::arcFromBulge(a, b, m_verts[i].bulge));
        } else {
            GeomPiece p;
            p.a = a;
            p.b = b;
            pieces.push_back(p);
        }
    }
}

bool AcDbPolyline::subWorldDraw(AcGiWorldDraw* wd) const
{
    // Each segment at the mean of its two widths (a tapering segment is drawn evenly).
    AcGiWorldGeometry& g = wd->geometry();
    const size_t n = m_verts.size();
    for (unsigned int i = 0; i < n; ++i) {
        SegType t = segType(i);
        if (t != kLine && t != kArc) continue;
        const Vertex& v = m_verts[i];
        const double w = (std::max(v.startWidth, 0.0) + std::max(v.endWidth, 0.0)) / 2;
        g.setLineWidth(w);
        const AcGePoint3d a = at(v.pt, m_elevation), b = at(m_verts[(i + 1) % n].pt, m_elevation);
        if (t == kArc) {
            vkdb::drawPiece(vkdb::arcFromBulge(a, b, v.bulge), g);
        } else {
            AcGePoint3d pts[2] = {a, b};
            g.polyline(2, pts);
        }
    }
    g.setLineWidth(0);
    return true;
}

Acad::ErrorStatus AcDbPolyline::getOffsetCurves(double dist, std::vector<AcDbCurve*>& curves) const
{
    // Each segment moves sideways (arcs by a change of radius); neighbours are then re-joined
    // where their moved elements meet, or by a straight piece across the gap.
    const size_t n = m_verts.size();
    std::vector<OffsetSeg> segs;
    for (unsigned int i = 0; i < n; ++i) {
        SegType t = segType(i);
        if (t != kLine && t != kArc) continue;
        const AcGePoint2d a = m_verts[i].pt, b = m_verts[(i + 1) % n].pt;
        OffsetSeg s;
        if (t == kLine) {
            AcGeVector2d d = (b - a).normal();
            AcGeVector2d left{-d.y, d.x};
            s.s = a + left * dist;
            s.e = b + left * dist;
        } else {
            GeomPiece arc = vkdb::arcFromBulge(at(a, 0), at(b, 0), m_verts[i].bulge);
            s.arc = true;
            s.ccw = m_verts[i].bulge > 0;
            s.center = {arc.center.x, arc.center.y};
            // Left of a counter-clockwise arc is towards its centre.
            s.radius = s.ccw ? arc.radius - dist : arc.radius + dist;
            if (s.radius <= 1e-9) return Acad::eNotApplicable;
            const double k = s.radius / arc.radius;
            s.s = s.center + (a - s.center) * k;
            s.e = s.center + (b - s.center) * k;
        }
        segs.push_back(s);
    }
    if (segs.empty()) return Acad::eNotApplicable;

    // Where neighbours meet; a gap that no meeting point closes gets a straight bridge.
    std::vector<AcGePoint2d> starts(segs.size()), ends(segs.size());
    for (size_t i = 0; i < segs.size(); ++i) { starts[i] = segs[i].s; ends[i] = segs[i].e; }
    std::vector<bool> bridged(segs.size(), false);  // a gap before segment i
    const size_t joins = m_closed ? segs.size() : segs.size() - 1;
    for (size_t j = 0; j < joins; ++j) {
        const size_t a = j, b = (j + 1) % segs.size();
        if (auto p = joinPoint(segs[a], segs[b])) {
            ends[a] = *p;
            starts[b] = *p;
        } else {
            bridged[b] = true;
        }
    }
    auto* pl = new AcDbPolyline;
    pl->setPropertiesFrom(this);
    pl->m_elevation = m_elevation;
    pl->m_closed = m_closed;
    auto segBulge = [&](size_t i) { return segs[i].arc ? bulgeOnCircle(segs[i], starts[i], ends[i]) : 0.0; };
    // Each segment's start carries its bulge; a bridge starts at the previous segment's end.
    for (size_t i = 0; i < segs.size(); ++i) {
        if (i > 0 && bridged[i]) pl->m_verts.push_back(Vertex{ends[i - 1], 0.0});
        pl->m_verts.push_back(Vertex{starts[i], segBulge(i)});
    }
    if (m_closed && bridged[0]) pl->m_verts.push_back(Vertex{ends.back(), 0.0});  // bridge closes
    if (!m_closed) pl->m_verts.push_back(Vertex{ends.back(), 0.0});
    pl->m_stamp = newStamp();
    curves.push_back(pl);
    return Acad::eOk;
}

void AcDbPolyline::list(CString& out) const
{
    AcDbEntity::list(out);
    out += m_closed ? u"  Closed\n" : u"  Open\n";
    out.AppendFormat(u"  Constant width    0.0000\n  elevation %.4f\n", m_elevation);
    for (const Vertex& v : m_verts) {
        out.AppendFormat(u"  at point  X=%.4f  Y=%.4f\n", v.pt.x, v.pt.y);
        if (std::fabs(v.bulge) > kBulgeTol) out.AppendFormat(u"  bulge %.4f\n", v.bulge);
    }
}

Acad::ErrorStatus AcDbPolyline::subTransformBy(const AcGeMatrix3d& xform)
{
    // The result must stay parallel to XY.
    const AcGeVector3d z = xform * AcGeVector3d::kZAxis;
    if (!z.isParallelTo(AcGeVector3d::kZAxis)) return Acad::eNotApplicable;
    const bool flip = vkdb::reversesXY(xform);
    const double scale = (xform * AcGeVector3d::kXAxis).length();
    double elev = (xform * AcGePoint3d(0, 0, m_elevation)).z;
    for (Vertex& v : m_verts) {
        AcGePoint3d p = xform * at(v.pt, m_elevation);
        v.pt = {p.x, p.y};
        elev = p.z;
        if (flip) v.bulge = -v.bulge;
        if (v.startWidth > 0) v.startWidth *= scale;
        if (v.endWidth > 0) v.endWidth *= scale;
    }
    m_elevation = elev;
    m_stamp = newStamp();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::dwgOutFields(AcDbDwgFiler* filer) const
{
    Acad::ErrorStatus es = AcDbEntity::dwgOutFields(filer);
    if (es != Acad::eOk) return es;
    filer->writeArrayBegin(static_cast<Adesk::Int32>(m_verts.size()), "vertices");
    for (const Vertex& v : m_verts) {
        filer->writeArrayBegin(5);
        filer->writeDouble(v.pt.x);
        filer->writeDouble(v.pt.y);
        filer->writeDouble(v.bulge);
        filer->writeDouble(v.startWidth);
        filer->writeDouble(v.endWidth);
        filer->writeArrayEnd();
    }
    filer->writeArrayEnd();
    filer->writeBool(m_closed, "closed");
    filer->writeDouble(m_elevation, "elevation");
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbPolyline::dwgInFields(AcDbDwgFiler* filer)
{
    m_stamp = newStamp();
    Acad::ErrorStatus es = AcDbEntity::dwgInFields(filer);
    if (es != Acad::eOk) return es;
    Adesk::Int32 n = 0;
    es = filer->readArrayBegin(&n, "vertices");
    if (es == Acad::eOk) {
        if (n < 0) return Acad::eFilerError;
        std::vector<Vertex> verts;
        for (Adesk::Int32 i = 0; i < n; ++i) {
            // A vertex is [x, y] at least; bulge and widths may be left out.
            Adesk::Int32 k = 0;
            if ((es = filer->readArrayBegin(&k)) != Acad::eOk) return es;
            if (k < 2 || k > 5) return Acad::eFilerError;
            double vals[5] = {0, 0, 0, -1, -1};
            for (Adesk::Int32 j = 0; j < k; ++j)
                if ((es = filer->readDouble(&vals[j])) != Acad::eOk) return es;
            if ((es = filer->readArrayEnd()) != Acad::eOk) return es;
            for (double v : vals)
                if (!std::isfinite(v)) return Acad::eInvalidInput;
            verts.push_back(Vertex{{vals[0], vals[1]}, vals[2], vals[3], vals[4]});
        }
        if ((es = filer->readArrayEnd()) != Acad::eOk) return es;
        m_verts = std::move(verts);
    } else if (es != Acad::eKeyNotFound) {
        return es;
    }
    if ((es = filer->readBool(&m_closed, "closed")) != Acad::eOk) return es;
    return filer->readDouble(&m_elevation, "elevation");
}

bool AcGiWorldGeometry::pline(const AcDbPolyline& pl, unsigned int fromIndex, unsigned int numSegs)
{
    std::vector<AcDbEntity::GeomPiece> pieces;
    const unsigned int n = pl.numVerts();
    const unsigned int segs = pl.isClosed() ? n : (n ? n - 1 : 0);
    const unsigned int end = numSegs == 0 ? segs : std::min(segs, fromIndex + numSegs);
    for (unsigned int i = fromIndex; i < end; ++i) {
        const AcDbPolyline::SegType t = pl.segType(i);
        if (t != AcDbPolyline::kLine && t != AcDbPolyline::kArc) continue;
        AcGePoint3d a, b;
        pl.getPointAt(i, a);
        pl.getPointAt((i + 1) % n, b);
        double bulge = 0;
        pl.getBulgeAt(i, bulge);
        AcDbEntity::GeomPiece piece;
        if (t == AcDbPolyline::kArc) {
            piece = vkdb::arcFromBulge(a, b, bulge);
        } else {
            piece.a = a;
            piece.b = b;
        }
        vkdb::drawPiece(piece, *this);
    }
    return true;
}
