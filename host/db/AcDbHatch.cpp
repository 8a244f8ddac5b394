// Hatches: boundary loops, filled solid or with pattern lines clipped to the boundary.
#include <algorithm>
#include <cmath>

#include "host/db/AcDbPlanEntities.h"
#include "host/db/detail/GeomPieces.h"

ACRX_DEFINE_MEMBERS(AcDbHatch, AcDbEntity)

namespace {

constexpr double kTwoPi = vkdb::kTwoPi;

bool isFinite(double v) { return std::isfinite(v); }
bool finite(const AcGePoint2d& p) { return std::isfinite(p.x) && std::isfinite(p.y); }
bool finite(const AcGeVector2d& v) { return std::isfinite(v.x) && std::isfinite(v.y); }

// The sweep of an arc from its start to its end angle: the whole turn when they meet.
double sweepOf(double start, double end)
{
    const double raw = end - start;
    if (std::abs(raw) >= kTwoPi - 1e-9) return kTwoPi;
    const double s = vkdb::normalizeAngle(raw);
    return s == 0 ? kTwoPi : s;
}

int stepsFor(double sweep) { return std::max(4, static_cast<int>(std::ceil(sweep / kTwoPi * 64))); }

// The parameter of the point of an ellipse (minor/major = ratio) seen at that angle from its
// centre, measured from the major axis.
double paramOfAngle(double ratio, double angle) { return std::atan2(std::sin(angle) / ratio, std::cos(angle)); }

}  // namespace

std::vector<AcGePoint2d> AcDbHatchEdge::points() const
{
    std::vector<AcGePoint2d> out;
    switch (type) {
    case kLine: out = {start, end}; break;
    case kCirArc:
    case kEllArc: {
        // Clockwise arcs keep DXF's angles: their points lie at minus the angles from start to end.
        const double sweep = sweepOf(startAngle, endAngle);
        const int steps = stepsFor(sweep);
        const double len = type == kCirArc ? radius : majorAxis.length();
        const double rot = type == kCirArc ? 0 : std::atan2(majorAxis.y, majorAxis.x);
        for (int i = 0; i <= steps; ++i) {
            double a = startAngle + sweep * i / steps;
            if (!ccw) a = -a;
            if (type == kCirArc) {
                out.emplace_back(center.x + radius * std::cos(a), center.y + radius * std::sin(a));
            } else {
                const double t = paramOfAngle(ratio, a), x = len * std::cos(t), y = len * ratio * std::sin(t);
                out.emplace_back(center.x + x * std::cos(rot) - y * std::sin(rot), center.y + x * std::sin(rot) + y * std::cos(rot));
            }
        }
        break;
    }
    case kSpline:
        if (vkge::IsValidNurbs(spline))
            for (const AcGePoint3d& p : vkge::SampleNurbs(spline, 8, 400)) out.emplace_back(p.x, p.y);
        break;
    }
    return out;
}

std::vector<AcGePoint2d> AcDbHatchLoop::points() const
{
    std::vector<AcGePoint2d> out;
    if (isPolyline()) {
        const size_t n = vertices.size();
        for (size_t i = 0; i < n; ++i) {
            out.push_back(vertices[i]);
            const double b = i < bulges.size() ? bulges[i] : 0;
            if (b == 0 || n < 2) continue;
            const AcGePoint2d& p = vertices[i];
            const AcGePoint2d& q = vertices[(i + 1) % n];
            const AcDbEntity::GeomPiece arc = vkdb::arcFromBulge({p.x, p.y, 0}, {q.x, q.y, 0}, b);
            const double sweep = vkdb::sweepOf(arc);
            const int steps = stepsFor(sweep);
            for (int k = 1; k < steps; ++k) {
                const double a = b > 0 ? arc.startAng + sweep * k / steps : arc.startAng + sweep * (steps - k) / steps;
                out.emplace_back(arc.center.x + arc.radius * std::cos(a), arc.center.y + arc.radius * std::sin(a));
            }
        }
        return out;
    }
    for (const AcDbHatchEdge& e : edges) {
        std::vector<AcGePoint2d> pts = e.points();
        // Edges meet end to start: the joint once.
        const size_t from = (!out.empty() && !pts.empty() && out.back().isEqualTo(pts.front())) ? 1 : 0;
        out.insert(out.end(), pts.begin() + static_cast<long>(std::min(from, pts.size())), pts.end());
    }
    if (out.size() > 1 && out.back().isEqualTo(out.front())) out.pop_back();
    return out;
}

Acad::ErrorStatus AcDbHatch::setSolidFill()
{
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_solid = true;
    m_pattern = u"SOLID";
    m_patternType = kPreDefined;
    m_lines.clear();
    m_angle = 0, m_scale = 1, m_double = false;
    return Acad::eOk;
}

namespace {
bool validLines(const std::vector<AcDbHatchPatternLine>& lines)
{
    for (const AcDbHatchPatternLine& l : lines) {
        if (!isFinite(l.angle) || !finite(l.base) || !finite(l.offset) || l.dashes.size() > 64) return false;
        for (double d : l.dashes)
            if (!isFinite(d)) return false;
    }
    return true;
}
}  // namespace

Acad::ErrorStatus AcDbHatch::setPattern(HatchPatternType type, const char16_t* name, double angle, double scale,
                                        const std::vector<AcDbHatchPatternLine>& lines, bool isDouble)
{
    if (!name || !*name || type < kUserDefined || type > kCustomDefined || !isFinite(angle) || !(scale > 0) ||
        !isFinite(scale) || !validLines(lines))
        return Acad::eInvalidInput;
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_solid = false;
    m_pattern = name;
    m_patternType = type;
    m_angle = angle, m_scale = scale, m_double = isDouble;
    m_lines = lines;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbHatch::setHatchStyle(HatchStyle style)
{
    if (style < kNormal || style > kIgnore) return Acad::eInvalidInput;
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_style = style;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbHatch::setElevation(double z)
{
    if (!isFinite(z)) return Acad::eInvalidInput;
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_elevation = z;
    return Acad::eOk;
}

namespace {
bool validLoop(const AcDbHatchLoop& loop)
{
    if (loop.isPolyline()) {
        if (loop.vertices.size() < 2 || loop.bulges.size() != loop.vertices.size()) return false;
        for (size_t i = 0; i < loop.vertices.size(); ++i)
            if (!finite(loop.vertices[i]) || !isFinite(loop.bulges[i])) return false;
        return true;
    }
    if (loop.edges.empty()) return false;
    for (const AcDbHatchEdge& e : loop.edges) {
        switch (e.type) {
        case AcDbHatchEdge::kLine:
            if (!finite(e.start) || !finite(e.end)) return false;
            break;
        case AcDbHatchEdge::kCirArc:
            if (!finite(e.center) || !(e.radius > 0) || !isFinite(e.radius) || !isFinite(e.startAngle) || !isFinite(e.endAngle))
                return false;
            break;
        case AcDbHatchEdge::kEllArc:
            if (!finite(e.center) || !finite(e.majorAxis) || !(e.majorAxis.length() > 0) || !(e.ratio > 0) ||
                e.ratio > 1 + 1e-9 || !isFinite(e.startAngle) || !isFinite(e.endAngle))
                return false;
            break;
        case AcDbHatchEdge::kSpline:
            if (!vkge::IsValidNurbs(e.spline)) return false;
            break;
        default: return false;
        }
    }
    return true;
}
}  // namespace

Acad::ErrorStatus AcDbHatch::appendLoop(const AcDbHatchLoop& loop)
{
    if (!validLoop(loop)) return Acad::eInvalidInput;
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_loops.push_back(loop);
    return Acad::eOk;
}

bool AcDbHatch::patternSegments(std::vector<std::pair<AcGePoint2d, AcGePoint2d>>& out, size_t maxSegments) const
{
    out.clear();
    std::vector<std::vector<AcGePoint2d>> rings;
    double minX = 1e300, minY = 1e300, maxX = -1e300, maxY = -1e300;
    for (const AcDbHatchLoop& l : m_loops) {
        rings.push_back(l.points());
        for (const AcGePoint2d& p : rings.back())
            minX = std::min(minX, p.x), maxX = std::max(maxX, p.x), minY = std::min(minY, p.y), maxY = std::max(maxY, p.y);
    }
    if (minX > maxX) return true;
    std::vector<double> xs;
    for (const AcDbHatchPatternLine& line : m_lines) {
        const AcGeVector2d d{std::cos(line.angle), std::sin(line.angle)}, n{-d.y, d.x};
        double h = line.offset.dotProduct(n);  // the spacing of the family's lines
        if (!(std::abs(h) > 1e-9 * std::max({1.0, maxX - minX, maxY - minY}))) continue;
        // The family's lines that cross the boundary's box.
        double lo = 1e300, hi = -1e300;
        for (double x : {minX, maxX})
            for (double y : {minY, maxY}) {
                const double t = (AcGePoint2d(x, y) - line.base).dotProduct(n) / h;
                lo = std::min(lo, t), hi = std::max(hi, t);
            }
        const double first = std::ceil(lo), last = std::floor(hi);
        if (last - first > double(maxSegments)) return out.clear(), false;
        double period = 0;
        for (double dash : line.dashes) period += std::abs(dash);
        for (double k = first; k <= last; ++k) {
            const AcGePoint2d origin = line.base + line.offset * k;
            // Where the line crosses the loops, along it; inside between odd and even crossings.
            xs.clear();
            for (const std::vector<AcGePoint2d>& ring : rings) {
                const size_t m = ring.size();
                for (size_t i = 0; m > 1 && i < m; ++i) {
                    const AcGePoint2d& p = ring[i];
                    const AcGePoint2d& q = ring[(i + 1) % m];
                    const double tp = (p - origin).dotProduct(n), tq = (q - origin).dotProduct(n);
                    if ((tp > 0) == (tq > 0)) continue;
                    const double f = tp / (tp - tq);
                    xs.push_back((p + (q - p) * f - origin).dotProduct(d));
                }
            }
            std::sort(xs.begin(), xs.end());
            for (size_t i = 0; i + 1 < xs.size(); i += 2) {
                const double x0 = xs[i], x1 = xs[i + 1];
                auto add = [&](double a, double b) {
                    out.emplace_back(origin + d * a, origin + d * b);
                    return out.size() <= maxSegments;
                };
                if (line.dashes.empty() || !(period > 0)) {
                    if (!add(x0, x1)) return out.clear(), false;
                    continue;
                }
                if ((x1 - x0) / period * double(line.dashes.size()) > double(maxSegments)) return out.clear(), false;
                for (double start = std::floor(x0 / period) * period; start < x1; start += period) {
                    double at = start;
                    for (double dash : line.dashes) {
                        const double len = std::abs(dash);
                        if (dash >= 0) {
                            const double a = std::max(at, x0), b = std::min(at + len, x1);
                            if ((dash == 0 && at >= x0 && at <= x1) || (dash > 0 && b > a))
                                if (!add(a, dash == 0 ? a : b)) return out.clear(), false;
                        }
                        at += len;
                    }
                }
            }
        }
    }
    return true;
}

void AcDbHatch::getGeomPieces(std::vector<GeomPiece>& pieces) const
{
    for (const AcDbHatchLoop& l : m_loops) {
        std::vector<AcGePoint3d> pts;
        for (const AcGePoint2d& p : l.points()) pts.emplace_back(p.x, p.y, m_elevation);
        vkdb::addPolylinePieces(pieces, pts, true);
    }
}

bool AcDbHatch::subWorldDraw(AcGiWorldDraw* wd) const
{
    AcGiWorldGeometry& g = wd->geometry();
    if (m_solid) {
        std::vector<AcGePoint3d> pts;
        std::vector<int> sizes;
        for (const AcDbHatchLoop& l : m_loops) {
            const std::vector<AcGePoint2d> ring = l.points();
            if (ring.size() < 3) continue;
            for (const AcGePoint2d& p : ring) pts.emplace_back(p.x, p.y, m_elevation);
            sizes.push_back(static_cast<int>(ring.size()));
        }
        if (!sizes.empty()) g.polyPolygon(static_cast<int>(sizes.size()), sizes.data(), pts.data());
        return true;
    }
    std::vector<std::pair<AcGePoint2d, AcGePoint2d>> segments;
    patternSegments(segments);
    for (const auto& [a, b] : segments) {
        const AcGePoint3d pts[2] = {{a.x, a.y, m_elevation}, {b.x, b.y, m_elevation}};
        g.polyline(a.isEqualTo(b) ? 1 : 2, pts);
    }
    return true;
}

void AcDbHatch::list(CString& out) const
{
    AcDbEntity::list(out);
    out.AppendFormat(u"  Pattern: %s%s\n", m_pattern.GetString(), m_solid ? u" (solid fill)" : u"");
    out.AppendFormat(u"  Loops: %d\n", numLoops());
}

Acad::ErrorStatus AcDbHatch::subTransformBy(const AcGeMatrix3d& xform)
{
    const AcGeVector3d x = xform * AcGeVector3d::kXAxis;
    const double scale = x.length(), alpha = std::atan2(x.y, x.x);
    const bool mirror = vkdb::reversesXY(xform);
    auto point = [&](const AcGePoint2d& p) {
        const AcGePoint3d q = xform * AcGePoint3d(p.x, p.y, m_elevation);
        return AcGePoint2d(q.x, q.y);
    };
    auto vector = [&](const AcGeVector2d& v) {
        const AcGeVector3d w = xform * AcGeVector3d(v.x, v.y, 0);
        return AcGeVector2d(w.x, w.y);
    };
    for (AcDbHatchLoop& l : m_loops) {
        for (AcGePoint2d& p : l.vertices) p = point(p);
        if (mirror)
            for (double& b : l.bulges) b = -b;
        for (AcDbHatchEdge& e : l.edges) {
            e.start = point(e.start), e.end = point(e.end), e.center = point(e.center);
            e.radius *= scale;
            if (e.type == AcDbHatchEdge::kCirArc) {
                // Angles from +X: a turn adds to them, a mirror runs the arc the other way.
                const bool ccw = e.ccw != mirror;
                e.startAngle += ccw ? alpha : -alpha;
                e.endAngle += ccw ? alpha : -alpha;
                e.ccw = ccw;
            } else if (e.type == AcDbHatchEdge::kEllArc) {
                // Angles from the major axis, which turns along; a mirror runs the arc the other way.
                e.majorAxis = vector(e.majorAxis);
                e.ccw = e.ccw != mirror;
            }
            for (AcGePoint3d& p : e.spline.points) p = xform * p, p.z = 0;
        }
    }
    for (AcDbHatchPatternLine& line : m_lines) {
        line.base = point(line.base);
        line.offset = vector(line.offset);
        const AcGeVector2d d = vector({std::cos(line.angle), std::sin(line.angle)});
        line.angle = std::atan2(d.y, d.x);
        for (double& dash : line.dashes) dash *= scale;
    }
    m_angle = vkdb::normalizeAngle(mirror ? alpha - m_angle : alpha + m_angle);
    m_scale *= scale;
    m_elevation = (xform * AcGePoint3d(0, 0, m_elevation)).z;
    return Acad::eOk;
}

// ---- filing

namespace {

void writeNumbers(AcDbDwgFiler* filer, const std::vector<double>& v)
{
    filer->writeArrayBegin(static_cast<Adesk::Int32>(v.size()));
    for (double d : v) filer->writeDouble(d);
    filer->writeArrayEnd();
}

std::vector<double> edgeNumbers(const AcDbHatchEdge& e)
{
    std::vector<double> v{double(e.type)};
    switch (e.type) {
    case AcDbHatchEdge::kLine: v.insert(v.end(), {e.start.x, e.start.y, e.end.x, e.end.y}); break;
    case AcDbHatchEdge::kCirArc:
        v.insert(v.end(), {e.center.x, e.center.y, e.radius, e.startAngle, e.endAngle, e.ccw ? 1.0 : 0.0});
        break;
    case AcDbHatchEdge::kEllArc:
        v.insert(v.end(), {e.center.x, e.center.y, e.majorAxis.x, e.majorAxis.y, e.ratio, e.startAngle, e.endAngle,
                           e.ccw ? 1.0 : 0.0});
        break;
    case AcDbHatchEdge::kSpline: {
        const vkge::Nurbs& s = e.spline;
        v.insert(v.end(), {double(s.degree), double(s.knots.size())});
        v.insert(v.end(), s.knots.begin(), s.knots.end());
        v.push_back(double(s.points.size()));
        for (size_t i = 0; i < s.points.size(); ++i)
            v.insert(v.end(), {s.points[i].x, s.points[i].y, s.weights.empty() ? 1.0 : s.weights[i]});
        v.push_back(s.weights.empty() ? 0.0 : 1.0);
        break;
    }
    }
    return v;
}

// Reads numbers in order; false past the end.
struct NumberReader {
    const std::vector<double>& v;
    size_t at = 0;
    bool next(double& out)
    {
        if (at >= v.size()) return false;
        out = v[at++];
        return true;
    }
    bool count(size_t& out, size_t max)
    {
        double d = 0;
        if (!next(d) || !(d >= 0) || d > double(max) || d != std::floor(d)) return false;
        out = static_cast<size_t>(d);
        return true;
    }
};

bool edgeFrom(const std::vector<double>& v, AcDbHatchEdge& e)
{
    NumberReader r{v};
    double type = 0, ccw = 1;
    if (!r.next(type)) return false;
    e = AcDbHatchEdge();
    if (type == 1) {
        e.type = AcDbHatchEdge::kLine;
        if (!r.next(e.start.x) || !r.next(e.start.y) || !r.next(e.end.x) || !r.next(e.end.y)) return false;
    } else if (type == 2) {
        e.type = AcDbHatchEdge::kCirArc;
        if (!r.next(e.center.x) || !r.next(e.center.y) || !r.next(e.radius) || !r.next(e.startAngle) ||
            !r.next(e.endAngle) || !r.next(ccw))
            return false;
    } else if (type == 3) {
        e.type = AcDbHatchEdge::kEllArc;
        if (!r.next(e.center.x) || !r.next(e.center.y) || !r.next(e.majorAxis.x) || !r.next(e.majorAxis.y) ||
            !r.next(e.ratio) || !r.next(e.startAngle) || !r.next(e.endAngle) || !r.next(ccw))
            return false;
    } else if (type == 4) {
        e.type = AcDbHatchEdge::kSpline;
        double degree = 0, rational = 0;
        size_t nk = 0, np = 0;
        if (!r.next(degree) || !r.count(nk, v.size())) return false;
        e.spline.degree = static_cast<int>(degree);
        e.spline.knots.resize(nk);
        for (double& k : e.spline.knots)
            if (!r.next(k)) return false;
        if (!r.count(np, v.size())) return false;
        std::vector<double> weights(np);
        e.spline.points.resize(np);
        for (size_t i = 0; i < np; ++i)
            if (!r.next(e.spline.points[i].x) || !r.next(e.spline.points[i].y) || !r.next(weights[i])) return false;
        if (!r.next(rational)) return false;
        if (rational != 0) e.spline.weights = std::move(weights);
    } else {
        return false;
    }
    e.ccw = ccw != 0;
    return r.at == v.size();
}

Acad::ErrorStatus readNumbers(AcDbDwgFiler* filer, std::vector<double>& out)
{
    Adesk::Int32 n = 0;
    Acad::ErrorStatus es = filer->readArrayBegin(&n);
    if (es != Acad::eOk) return es;
    if (n < 0 || n > 1000000) return Acad::eInvalidInput;
    out.assign(static_cast<size_t>(n), 0.0);
    for (double& d : out)
        if ((es = filer->readDouble(&d)) != Acad::eOk) return es;
    return filer->readArrayEnd();
}

}  // namespace

Acad::ErrorStatus AcDbHatch::dwgOutFields(AcDbDwgFiler* filer) const
{
    Acad::ErrorStatus es = AcDbEntity::dwgOutFields(filer);
    if (es != Acad::eOk) return es;
    filer->writeDouble(m_elevation, "elevation");
    filer->writeString(m_pattern, "pattern");
    filer->writeBool(m_solid, "solid");
    filer->writeInt32(m_patternType, "patternType");
    filer->writeDouble(m_angle, "patternAngle");
    filer->writeDouble(m_scale, "patternScale");
    filer->writeBool(m_double, "patternDouble");
    filer->writeInt32(m_style, "style");
    filer->writeArrayBegin(static_cast<Adesk::Int32>(m_loops.size()), "loops");
    for (const AcDbHatchLoop& l : m_loops) {
        filer->writeArrayBegin(static_cast<Adesk::Int32>(1 + (l.isPolyline() ? 1 : l.edges.size())));
        filer->writeInt32(l.flags);
        if (l.isPolyline()) {
            std::vector<double> v;
            for (size_t i = 0; i < l.vertices.size(); ++i) v.insert(v.end(), {l.vertices[i].x, l.vertices[i].y, l.bulges[i]});
            writeNumbers(filer, v);
        } else {
            for (const AcDbHatchEdge& e : l.edges) writeNumbers(filer, edgeNumbers(e));
        }
        filer->writeArrayEnd();
    }
    filer->writeArrayEnd();
    filer->writeArrayBegin(static_cast<Adesk::Int32>(m_lines.size()), "patternLines");
    for (const AcDbHatchPatternLine& line : m_lines) {
        std::vector<double> v{line.angle, line.base.x, line.base.y, line.offset.x, line.offset.y};
        v.insert(v.end(), line.dashes.begin(), line.dashes.end());
        writeNumbers(filer, v);
    }
    filer->writeArrayEnd();
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbHatch::dwgInFields(AcDbDwgFiler* filer)
{
    Acad::ErrorStatus es = AcDbEntity::dwgInFields(filer);
    if (es != Acad::eOk) return es;
    double elevation = m_elevation, angle = m_angle, scale = m_scale;
    CString pattern = m_pattern;
    bool solid = m_solid, isDouble = m_double;
    Adesk::Int32 type = m_patternType, style = m_style;
    if ((es = filer->readDouble(&elevation, "elevation")) != Acad::eOk) return es;
    if ((es = filer->readString(&pattern, "pattern")) != Acad::eOk) return es;
    if ((es = filer->readBool(&solid, "solid")) != Acad::eOk) return es;
    if ((es = filer->readInt32(&type, "patternType")) != Acad::eOk) return es;
    if ((es = filer->readDouble(&angle, "patternAngle")) != Acad::eOk) return es;
    if ((es = filer->readDouble(&scale, "patternScale")) != Acad::eOk) return es;
    if ((es = filer->readBool(&isDouble, "patternDouble")) != Acad::eOk) return es;
    if ((es = filer->readInt32(&style, "style")) != Acad::eOk) return es;
    std::vector<AcDbHatchLoop> loops = m_loops;
    Adesk::Int32 n = 0;
    es = filer->readArrayBegin(&n, "loops");
    if (es == Acad::eOk) {
        if (n < 0 || n > 100000) return Acad::eInvalidInput;
        loops.assign(static_cast<size_t>(n), AcDbHatchLoop());
        for (AcDbHatchLoop& l : loops) {
            Adesk::Int32 items = 0, flags = 0;
            if ((es = filer->readArrayBegin(&items)) != Acad::eOk) return es;
            if ((es = filer->readInt32(&flags)) != Acad::eOk) return es;
            if (items < 2 || flags < 0 || flags > 255) return Acad::eInvalidInput;
            l.flags = flags;
            std::vector<double> v;
            if (l.isPolyline()) {
                if (items != 2) return Acad::eInvalidInput;
                if ((es = readNumbers(filer, v)) != Acad::eOk) return es;
                if (v.size() % 3) return Acad::eInvalidInput;
                for (size_t i = 0; i < v.size(); i += 3) {
                    l.vertices.emplace_back(v[i], v[i + 1]);
                    l.bulges.push_back(v[i + 2]);
                }
            } else {
                for (Adesk::Int32 i = 1; i < items; ++i) {
                    if ((es = readNumbers(filer, v)) != Acad::eOk) return es;
                    AcDbHatchEdge e;
                    if (!edgeFrom(v, e)) return Acad::eInvalidInput;
                    l.edges.push_back(std::move(e));
                }
            }
            if ((es = filer->readArrayEnd()) != Acad::eOk) return es;
            if (!validLoop(l)) return Acad::eInvalidInput;
        }
        if ((es = filer->readArrayEnd()) != Acad::eOk) return es;
    } else if (es != Acad::eKeyNotFound) {
        return es;
    }
    std::vector<AcDbHatchPatternLine> lines = m_lines;
    es = filer->readArrayBegin(&n, "patternLines");
    if (es == Acad::eOk) {
        if (n < 0 || n > 10000) return Acad::eInvalidInput;
        lines.assign(static_cast<size_t>(n), AcDbHatchPatternLine());
        for (AcDbHatchPatternLine& line : lines) {
            std::vector<double> v;
            if ((es = readNumbers(filer, v)) != Acad::eOk) return es;
            if (v.size() < 5) return Acad::eInvalidInput;
            line.angle = v[0];
            line.base.set(v[1], v[2]);
            line.offset = AcGeVector2d(v[3], v[4]);
            line.dashes.assign(v.begin() + 5, v.end());
        }
        if ((es = filer->readArrayEnd()) != Acad::eOk) return es;
    } else if (es != Acad::eKeyNotFound) {
        return es;
    }
    if (!isFinite(elevation) || pattern.IsEmpty() || type < kUserDefined || type > kCustomDefined || !isFinite(angle) ||
        !(scale > 0) || !isFinite(scale) || style < kNormal || style > kIgnore || !validLines(lines))
        return Acad::eInvalidInput;
    m_elevation = elevation;
    m_pattern = pattern;
    m_solid = solid, m_double = isDouble;
    m_patternType = static_cast<HatchPatternType>(type);
    m_angle = angle, m_scale = scale;
    m_style = static_cast<HatchStyle>(style);
    m_loops = std::move(loops);
    m_lines = std::move(lines);
    return Acad::eOk;
}
