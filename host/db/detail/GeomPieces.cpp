#include "host/db/detail/GeomPieces.h"

#include <algorithm>
#include <cmath>

#include "host/db/AcGiText.h"
#include "host/ge/AcGeCurves.h"

namespace vkdb {

double normalizeAngle(double a)
{
    a = std::fmod(a, kTwoPi);
    if (a < 0) a += kTwoPi;
    return a >= kTwoPi ? 0 : a;
}

double sweepOf(const Piece& arc)
{
    double s = arc.endAng - arc.startAng;
    if (std::fabs(s) > kTwoPi) s = std::fmod(s, kTwoPi);  // whole turns either way
    if (s <= 0) s += kTwoPi;
    return s;
}

static AcGePoint3d pointAt(const AcGePoint3d& c, double r, double ang)
{
    return {c.x + r * std::cos(ang), c.y + r * std::sin(ang), c.z};
}

Piece makeArcPiece(const AcGePoint3d& center, double radius, double startAng, double endAng)
{
    Piece p;
    p.kind = Piece::kArc;
    p.center = center;
    p.radius = radius;
    double sweep = endAng - startAng;
    if (sweep <= 0 || sweep > kTwoPi) {
        Piece tmp;
        tmp.startAng = startAng;
        tmp.endAng = endAng;
        sweep = sweepOf(tmp);
    }
    p.startAng = normalizeAngle(startAng);
    p.endAng = p.startAng + sweep;
    p.a = pointAt(center, radius, p.startAng);
    p.b = pointAt(center, radius, p.endAng);
    return p;
}

Piece arcFromBulge(const AcGePoint3d& start, const AcGePoint3d& end, double bulge)
{
    const double dx = end.x - start.x, dy = end.y - start.y;
    const double chord = std::hypot(dx, dy);
    // The centre lies on the chord's perpendicular bisector, to the left for a
    // counter-clockwise (positive) bulge smaller than a half circle.
    const double k = (1 - bulge * bulge) / (4 * bulge);
    AcGePoint3d c{(start.x + end.x) / 2 - dy * k, (start.y + end.y) / 2 + dx * k, start.z};
    const double r = chord * (1 + bulge * bulge) / (4 * std::fabs(bulge));
    const double a0 = std::atan2(start.y - c.y, start.x - c.x);
    const double a1 = std::atan2(end.y - c.y, end.x - c.x);
    Piece p = bulge > 0 ? makeArcPiece(c, r, a0, a1) : makeArcPiece(c, r, a1, a0);
    // Exact ends, not recomputed ones.
    p.a = bulge > 0 ? start : end;
    p.b = bulge > 0 ? end : start;
    return p;
}

bool reversesXY(const AcGeMatrix3d& m)
{
    AcGeVector3d x = m * AcGeVector3d::kXAxis, y = m * AcGeVector3d::kYAxis;
    return x.crossProduct(y).z < 0;
}

Piece transformPiece(const Piece& p, const AcGeMatrix3d& m)
{
    if (p.kind == Piece::kLine) {
        Piece out = p;
        out.a = m * p.a;
        out.b = m * p.b;
        return out;
    }
    const double sweep = sweepOf(p);
    const AcGePoint3d c = m * p.center;
    const double r = p.radius * (m * AcGeVector3d::kXAxis).length();
    AcGePoint3d s = m * p.a;
    const double a = std::atan2(s.y - c.y, s.x - c.x);
    // A mirror turns the arc clockwise: it then ends where it used to start.
    Piece out = reversesXY(m) ? makeArcPiece(c, r, a - sweep, a) : makeArcPiece(c, r, a, a + sweep);
    return out;
}

void addPieceExtents(const Piece& p, AcDbExtents& ext)
{
    ext.addPoint(p.a);
    ext.addPoint(p.b);
    if (p.kind != Piece::kArc) return;
    const double sweep = sweepOf(p);
    for (int k = 0; k < 8; ++k) {  // axis extremes within the arc
        double ang = k * (kTwoPi / 4);
        if (ang >= p.startAng && ang <= p.startAng + sweep) ext.addPoint(pointAt(p.center, p.radius, ang));
    }
}

void drawPiece(const Piece& p, AcGiWorldGeometry& g)
{
    if (p.kind == Piece::kLine) {
        AcGePoint3d pts[2] = {p.a, p.b};
        g.polyline(2, pts);
        return;
    }
    AcGeVector3d start{std::cos(p.startAng), std::sin(p.startAng), 0};
    g.circularArc(p.center, p.radius, AcGeVector3d::kZAxis, start, sweepOf(p));
}

void addTextBox(std::vector<Piece>& pieces, const AcGePoint3d& alignPoint, double rotation, double height,
                const CString& text, int hMode, int vMode, double lineSpacing)
{
    double width = 0;
    int lines = 1;
    AcGiText::estimatedBlock(text, width, lines);
    // Every line's extent along the baseline, and the block from the first capitals to the
    // last baseline.
    double left = 0, right = 0, top = 0, bottom = 0;
    int from = 0;
    for (int i = 0; i < lines; ++i) {
        int to = text.Find(u'\n', from);
        if (to < 0) to = text.GetLength();
        const double w = std::max(AcGiText::estimatedWidth(text.Mid(from, to - from)), i == 0 ? 0.5 : 0.0);
        double dx = 0, dy = 0;
        AcGiText::lineOrigin(i, lines, w, hMode, vMode, lineSpacing, dx, dy);
        left = i == 0 ? dx : std::min(left, dx);
        right = i == 0 ? dx + w : std::max(right, dx + w);
        if (i == 0) top = dy + 1;
        bottom = dy;
        from = to + 1;
    }
    const double c = std::cos(rotation), s = std::sin(rotation);
    auto corner = [&](double x, double y) {
        x *= height, y *= height;
        return AcGePoint3d(alignPoint.x + x * c - y * s, alignPoint.y + x * s + y * c, alignPoint.z);
    };
    addPolylinePieces(pieces, {corner(left, bottom), corner(right, bottom), corner(right, top), corner(left, top)}, true);
}

void addPolylinePieces(std::vector<Piece>& pieces, const std::vector<AcGePoint3d>& points, bool closed)
{
    const size_t n = points.size();
    if (n == 1) {
        Piece p;
        p.a = p.b = points[0];
        pieces.push_back(p);
    }
    for (size_t i = 0; n > 1 && i < (closed ? n : n - 1); ++i) {
        Piece p;
        p.a = points[i];
        p.b = points[(i + 1) % n];
        pieces.push_back(p);
    }
}

static AcGeCircArc3d geArc(const Piece& p)
{
    return AcGeCircArc3d(p.center, AcGeVector3d::kZAxis, AcGeVector3d::kXAxis, p.radius, p.startAng,
                         p.startAng + sweepOf(p));
}

void intersectPieces(const Piece& a, const Piece& b, std::vector<AcGePoint3d>& out)
{
    int n = 0;
    AcGePoint3d p1, p2;
    if (a.kind == Piece::kLine && b.kind == Piece::kLine) {
        if (AcGeLineSeg3d(a.a, a.b).intersectWith(AcGeLineSeg3d(b.a, b.b), p1)) out.push_back(p1);
        return;
    }
    if (a.kind == Piece::kArc && b.kind == Piece::kArc)
        geArc(a).intersectWith(geArc(b), n, p1, p2);
    else if (a.kind == Piece::kArc)
        geArc(a).intersectWith(AcGeLineSeg3d(b.a, b.b), n, p1, p2);
    else
        geArc(b).intersectWith(AcGeLineSeg3d(a.a, a.b), n, p1, p2);
    if (n >= 1) out.push_back(p1);
    if (n >= 2) out.push_back(p2);
}

}  // namespace vkdb
