#include "host/dxf/detail/DxfEntities.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <numbers>
#include <string>

namespace vkdxf {

namespace {

constexpr double kDegree = std::numbers::pi / 180;

double toNumber(std::string_view v, double fallback = 0)
{
    std::string s(v);
    s.erase(0, s.find_first_not_of(" \t"));
    char* end = nullptr;
    const double d = std::strtod(s.c_str(), &end);
    return end && end != s.c_str() && std::isfinite(d) ? d : fallback;
}

AcGePoint3d pointOf(const DxfRecord& r, int code)
{
    return {r.number(code), r.number(code + 10), r.number(code + 20)};
}

bool finitePoint(const AcGePoint3d& p) { return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z); }

// Walks a record's pairs in order, taking the codes that come where they are expected.
class Cursor {
public:
    // The next pairs of codes c (x) and c + 10 (y).
    AcGePoint2d point(int c)
    {
        const double x = number(c);
        const double y = number(c + 10);
        return {x, y};
    }
    explicit Cursor(const DxfRecord& r, size_t from = 0) : m_pairs(r.pairs), m_at(from) {}
    bool done() const { return m_at >= m_pairs.size(); }
    int code() const { return done() ? -1 : m_pairs[m_at].first; }
    // Moves to the next pair of that code; false (staying) when there is none.
    bool seek(int c)
    {
        for (size_t i = m_at; i < m_pairs.size(); ++i)
            if (m_pairs[i].first == c) return m_at = i, true;
        return false;
    }
    // The value when the next pair has that code (taken), else the fallback.
    double number(int c, double fallback = 0)
    {
        if (code() != c) return fallback;
        return toNumber(m_pairs[m_at++].second, fallback);
    }
    int integer(int c, int fallback = 0)
    {
        const double d = number(c, fallback);
        return d >= -1e9 && d <= 1e9 ? static_cast<int>(d) : fallback;
    }
    std::string_view text(int c)
    {
        if (code() != c) return {};
        return m_pairs[m_at++].second;
    }
    void skip() { ++m_at; }

private:
    const std::vector<std::pair<int, std::string_view>>& m_pairs;
    size_t m_at;
};

// A count read from the file, bounded by what the record could hold.
size_t boundedCount(int n, const DxfRecord& r) { return n > 0 ? std::min(static_cast<size_t>(n), r.pairs.size()) : 0; }

bool readEdge(Cursor& c, const DxfRecord& r, AcDbHatchEdge& e)
{
    const int type = c.integer(72, 0);
    e = AcDbHatchEdge();
    switch (type) {
    case 1:
        e.type = AcDbHatchEdge::kLine;
        e.start = c.point(10);
        e.end = c.point(11);
        return true;
    case 2:
        e.type = AcDbHatchEdge::kCirArc;
        e.center = c.point(10);
        e.radius = c.number(40);
        e.startAngle = c.number(50) * kDegree;
        e.endAngle = c.number(51) * kDegree;
        e.ccw = c.integer(73, 1) != 0;
        return e.radius > 0;
    case 3:
        e.type = AcDbHatchEdge::kEllArc;
        e.center = c.point(10);
        e.majorAxis = c.point(11) - AcGePoint2d::kOrigin;
        e.ratio = c.number(40, 1);
        e.startAngle = c.number(50) * kDegree;
        e.endAngle = c.number(51) * kDegree;
        e.ccw = c.integer(73, 1) != 0;
        return e.majorAxis.length() > 0 && e.ratio > 0 && e.ratio <= 1;
    case 4: {
        e.type = AcDbHatchEdge::kSpline;
        vkge::Nurbs& s = e.spline;
        s.degree = c.integer(94, 3);
        const bool rational = c.integer(73, 0) != 0;
        c.integer(74, 0);  // periodic: the knots say it
        const size_t knots = boundedCount(c.integer(95, 0), r), points = boundedCount(c.integer(96, 0), r);
        for (size_t i = 0; i < knots && c.code() == 40; ++i) s.knots.push_back(c.number(40));
        for (size_t i = 0; i < points && c.code() == 10; ++i) {
            const AcGePoint2d p = c.point(10);
            s.points.emplace_back(p.x, p.y, 0);
            if (c.code() == 42) s.weights.push_back(c.number(42, 1));
        }
        if (!rational || s.weights.size() != s.points.size()) s.weights.clear();
        // Fit data of later versions: the control points make the curve.
        const size_t fit = boundedCount(c.integer(97, 0), r);
        for (size_t i = 0; i < fit && c.code() == 11; ++i) c.point(11);
        for (int code : {12, 22, 13, 23}) c.number(code);
        return vkge::IsValidNurbs(s);
    }
    default: return false;
    }
}

// A text's place, height, turn and alignment from the codes TEXT, ATTDEF and ATTRIB share
// (vertical alignment in vCode): aligned (3) and fitted (5) texts run from their first point;
// others hang on the second unless they are plain left/baseline texts.
void placeText(AcDbText* t, const DxfRecord& r, const CString& s, int vCode)
{
    const int h = r.integer(72, 0), v = r.integer(vCode, 0);
    const bool second = !(h == 0 && v == 0) && h != 3 && h != 5 && !r.text(11).empty();
    const AcGePoint3d at = second ? pointOf(r, 11) : pointOf(r, 10);
    t->setPosition(finitePoint(at) ? at : AcGePoint3d());
    t->setTextString(s);
    const double height = r.number(40, 2.5);
    if (height > 0 && std::isfinite(height)) t->setHeight(height);
    t->setRotation(r.number(50) * kDegree);
    if (second) {
        t->setHorizontalMode(static_cast<AcDb::TextHorzMode>(std::clamp(h == 4 ? 1 : h, 0, 2)));
        t->setVerticalMode(h == 4 ? AcDb::kTextVertMid : static_cast<AcDb::TextVertMode>(std::clamp(v, 0, 3)));
    }
}

CString tagOf(const DxfRecord& r, const TextCodec& codec)
{
    CString tag = codec.decode(std::string(r.text(2)));
    tag.Trim();
    tag.Replace(u' ', u'_');
    return tag.IsEmpty() ? CString(u"TAG") : tag;
}

}  // namespace

void RecordExtrusion(const DxfRecord& r, double dir[3])
{
    dir[0] = r.number(210, 0), dir[1] = r.number(220, 0), dir[2] = r.number(230, 1);
}

AcDbEllipse* MakeEllipse(const DxfRecord& r)
{
    double dir[3];
    RecordExtrusion(r, dir);
    double start = r.number(41, 0), end = r.number(42, 2 * std::numbers::pi);
    // Seen from below (a mirrored ellipse), the parameters run the other way round.
    if (dir[2] < 0) std::swap(start, end), start = -start, end = -end;
    auto e = std::make_unique<AcDbEllipse>();
    if (e->set(pointOf(r, 10), AcGeVector3d(r.number(11), r.number(21), 0), r.number(40, 1), start, end) != Acad::eOk)
        return nullptr;
    return e.release();
}

AcDbSpline* MakeSpline(const DxfRecord& r)
{
    vkge::Nurbs c;
    c.degree = r.integer(71, 3);
    std::vector<AcGePoint3d> fit;
    for (const auto& [code, v] : r.pairs) {
        if (code == 40) c.knots.push_back(toNumber(v));
        if (code == 41) c.weights.push_back(toNumber(v, 1));
        if (code == 10) c.points.emplace_back(toNumber(v), 0, 0);
        if (code == 20 && !c.points.empty()) c.points.back().y = toNumber(v);
        if (code == 30 && !c.points.empty()) c.points.back().z = toNumber(v);
        if (code == 11) fit.emplace_back(toNumber(v), 0, 0);
        if (code == 21 && !fit.empty()) fit.back().y = toNumber(v);
        if (code == 31 && !fit.empty()) fit.back().z = toNumber(v);
    }
    if (c.weights.size() != c.points.size()) c.weights.clear();
    if (!c.weights.empty() && std::all_of(c.weights.begin(), c.weights.end(), [](double w) { return w == 1; }))
        c.weights.clear();
    auto s = std::make_unique<AcDbSpline>();
    const int flags = r.integer(70, 8) & 31;
    bool any = false;
    if (!c.points.empty()) {
        if (s->setNurbsData(c, flags) != Acad::eOk) return nullptr;
        any = true;
    }
    if (fit.size() >= 2) {
        const AcGeVector3d t0 = pointOf(r, 12).asVector(), t1 = pointOf(r, 13).asVector();
        any = s->setFitData(fit, t0, t1) == Acad::eOk || any;
    }
    return any ? s.release() : nullptr;
}

AcDbHatch* MakeHatch(const DxfRecord& r)
{
    auto h = std::make_unique<AcDbHatch>();
    Cursor c(r);
    if (!c.seek(91)) return nullptr;
    const size_t loops = boundedCount(c.integer(91), r);
    for (size_t i = 0; i < loops; ++i) {
        if (!c.seek(92)) break;
        AcDbHatchLoop loop;
        loop.flags = c.integer(92) & 255;
        if (loop.isPolyline()) {
            const bool bulges = c.integer(72, 0) != 0;
            c.integer(73, 1);  // closed: hatch loops always are
            const size_t n = boundedCount(c.integer(93, 0), r);
            for (size_t k = 0; k < n && c.code() == 10; ++k) {
                loop.vertices.push_back(c.point(10));
                loop.bulges.push_back(bulges ? c.number(42, 0) : 0.0);
            }
        } else {
            const size_t n = boundedCount(c.integer(93, 0), r);
            for (size_t k = 0; k < n && c.code() == 72; ++k) {
                AcDbHatchEdge e;
                if (readEdge(c, r, e)) loop.edges.push_back(std::move(e));
            }
        }
        // References to the boundary's objects are not kept.
        const size_t sources = boundedCount(c.integer(97, 0), r);
        for (size_t k = 0; k < sources && c.code() == 330; ++k) c.skip();
        h->appendLoop(loop);  // a loop that cannot bound anything is left out
    }
    const CString pattern = CString::FromUtf8(std::string(r.text(2, "SOLID"))).Trim();
    if (r.integer(70, 0) & 1) {
        h->setSolidFill();
    } else {
        std::vector<AcDbHatchPatternLine> lines;
        if (c.seek(78)) {
            const size_t n = boundedCount(c.integer(78), r);
            for (size_t k = 0; k < n && c.code() == 53; ++k) {
                AcDbHatchPatternLine line;
                line.angle = c.number(53) * kDegree;
                line.base.x = c.number(43);
                line.base.y = c.number(44);
                line.offset.x = c.number(45);
                line.offset.y = c.number(46);
                const size_t dashes = boundedCount(c.integer(79, 0), r);
                for (size_t d = 0; d < dashes && c.code() == 49; ++d) line.dashes.push_back(c.number(49));
                lines.push_back(std::move(line));
            }
        }
        const int type = std::clamp(r.integer(76, 1), 0, 2);
        const double scale = r.number(41, 1);
        h->setPattern(static_cast<AcDbHatch::HatchPatternType>(type), pattern.IsEmpty() ? u"_USER" : pattern.GetString(),
                      r.number(52) * kDegree, scale > 0 ? scale : 1, lines, r.integer(77, 0) != 0);
    }
    h->setHatchStyle(static_cast<AcDbHatch::HatchStyle>(std::clamp(r.integer(75, 0), 0, 2)));
    h->setElevation(r.number(30, 0));
    return h->numLoops() > 0 ? h.release() : nullptr;
}

AcDbSolid* MakeSolid(const DxfRecord& r)
{
    const AcGePoint3d p0 = pointOf(r, 10), p1 = pointOf(r, 11), p2 = pointOf(r, 12);
    const AcGePoint3d p3 = r.text(13).empty() ? p2 : pointOf(r, 13);
    for (const AcGePoint3d& p : {p0, p1, p2, p3})
        if (!finitePoint(p)) return nullptr;
    return new AcDbSolid(p0, p1, p2, p3);
}

AcDbMText* MakeMText(const DxfRecord& r, const TextCodec& codec)
{
    std::string raw;
    for (const auto& [code, v] : r.pairs)
        if (code == 3) raw += v;
    raw += r.text(1);
    auto t = std::make_unique<AcDbMText>();
    if (t->setLocation(pointOf(r, 10)) != Acad::eOk) return nullptr;
    t->setContents(codec.decode(raw));
    t->setTextHeight(r.number(40, 2.5));
    t->setWidth(std::max(0.0, r.number(41, 0)));
    t->setAttachment(static_cast<AcDbMText::AttachmentPoint>(std::clamp(r.integer(71, 1), 1, 9)));
    // The direction vector when there is one, else the angle (degrees, as every writer puts it).
    const double dx = r.number(11, 0), dy = r.number(21, 0);
    t->setRotation(dx != 0 || dy != 0 ? std::atan2(dy, dx) : r.number(50, 0) * kDegree);
    t->setLineSpacingFactor(std::clamp(r.number(44, 1), 0.25, 4.0));
    return t.release();
}

AcDbDimension* MakeDimension(const DxfRecord& r, const TextCodec& codec)
{
    auto d = std::make_unique<AcDbDimension>();
    const int type = r.integer(70, 0);
    if (d->setKind(static_cast<AcDbDimension::Kind>(std::clamp(type & 7, 0, 6))) != Acad::eOk) return nullptr;
    d->setFlags(type & (32 | 64 | 128));
    const AcGePoint3d points[4] = {pointOf(r, 13), pointOf(r, 14), pointOf(r, 15), pointOf(r, 16)};
    if (d->setPoints(pointOf(r, 10), pointOf(r, 11), points) != Acad::eOk) return nullptr;
    d->setMeasurement(r.number(42, 0));
    d->setDimensionText(codec.decode(std::string(r.text(1))));
    d->setAngles(r.number(50) * kDegree, r.number(53) * kDegree, r.number(40));
    const CString style = codec.decode(std::string(r.text(3)));
    if (!style.IsEmpty()) d->setDimensionStyle(style);
    return d.release();
}

AcDbAttributeDefinition* MakeAttributeDefinition(const DxfRecord& r, const TextCodec& codec)
{
    auto a = std::make_unique<AcDbAttributeDefinition>();
    placeText(a.get(), r, DecodeTextSpecials(codec.decode(std::string(r.text(1)))), 74);
    a->setTag(tagOf(r, codec));
    a->setPrompt(codec.decode(std::string(r.text(3))));
    a->setAttributeFlags(r.integer(70, 0) & 15);
    return a.release();
}

AcDbAttribute* MakeAttribute(const DxfRecord& r, const TextCodec& codec)
{
    auto a = std::make_unique<AcDbAttribute>();
    placeText(a.get(), r, DecodeTextSpecials(codec.decode(std::string(r.text(1)))), 74);
    a->setTag(tagOf(r, codec));
    a->setAttributeFlags(r.integer(70, 0) & 15);
    return a.release();
}

CString LinetypeName(const CString& name)
{
    for (const char16_t* special : {u"ByLayer", u"ByBlock", u"Continuous"})
        if (name.CompareNoCase(special) == 0) return special;
    return name.IsEmpty() ? CString(u"ByLayer") : name;
}

bool IsStandardLinetype(const CString& name)
{
    for (const char16_t* special : {u"ByLayer", u"ByBlock", u"Continuous"})
        if (name.CompareNoCase(special) == 0) return true;
    return false;
}

AcDb::LineWeight LineWeightOf(int dxfWeight)
{
    return acdbIsValidLineWeight(dxfWeight) ? static_cast<AcDb::LineWeight>(dxfWeight) : AcDb::kLnWtByLayer;
}

}  // namespace vkdxf
