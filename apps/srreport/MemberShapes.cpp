#include "apps/srreport/MemberShapes.h"

#include <cmath>
#include <numbers>

#include "siblings/object/VkQsEntity.h"

namespace srreport {

namespace {

OutlinePiece PieceOf(const AcDbEntity::GeomPiece& g)
{
    OutlinePiece p;
    p.start = g.a;
    p.end = g.b;
    if (g.kind == AcDbEntity::GeomPiece::kLine) {
        p.middle = g.a + (g.b - g.a) / 2;
        return p;
    }
    p.arc = true;
    p.center = g.center;
    p.radius = g.radius;
    double sweep = g.endAng - g.startAng;
    while (sweep <= 0) sweep += 2 * std::numbers::pi;
    const double mid = g.startAng + sweep / 2;
    p.middle = g.center + AcGeVector3d(std::cos(mid), std::sin(mid), 0) * g.radius;
    return p;
}

bool Near(const AcGePoint3d& a, const AcGePoint3d& b, double tol) { return a.distanceTo(b) <= tol; }

bool SamePiece(const OutlinePiece& a, const OutlinePiece& b, double tol)
{
    if (a.arc != b.arc || a.fullCircle != b.fullCircle) return false;
    if (a.arc && (std::abs(a.radius - b.radius) > tol || !Near(a.center, b.center, tol))) return false;
    if (a.fullCircle) return true;
    // A turn or mirror may run a piece the other way round.
    const bool ends = (Near(a.start, b.start, tol) && Near(a.end, b.end, tol)) ||
                      (Near(a.start, b.end, tol) && Near(a.end, b.start, tol));
    return ends && Near(a.middle, b.middle, tol);
}

// How far apart two pieces lie: the larger distance of their matching sample points.
double PieceDistance(const OutlinePiece& a, const OutlinePiece& b)
{
    const double forward = std::max(a.start.distanceTo(b.start), a.end.distanceTo(b.end));
    const double backward = std::max(a.start.distanceTo(b.end), a.end.distanceTo(b.start));
    double d = std::max(std::min(forward, backward), a.middle.distanceTo(b.middle));
    if (a.arc && b.arc) d = std::max({d, a.center.distanceTo(b.center), std::abs(a.radius - b.radius)});
    return d;
}

double Sweep(const AcDbEntity::GeomPiece& g)
{
    double sweep = g.endAng - g.startAng;
    while (sweep <= 0) sweep += 2 * std::numbers::pi;
    return sweep;
}

// Arcs of one centre and radius that go all the way round are one circle, however the entity
// cuts it: a turned copy's circle starts elsewhere.
std::vector<OutlinePiece> OutlineOf(const std::vector<AcDbEntity::GeomPiece>& pieces)
{
    std::vector<OutlinePiece> outline;
    outline.reserve(pieces.size());
    std::vector<bool> merged(pieces.size(), false);
    for (size_t i = 0; i < pieces.size(); ++i) {
        if (merged[i]) continue;
        const AcDbEntity::GeomPiece& g = pieces[i];
        if (g.kind == AcDbEntity::GeomPiece::kArc) {
            std::vector<size_t> same{i};
            double sweep = Sweep(g);
            for (size_t j = i + 1; j < pieces.size(); ++j) {
                const AcDbEntity::GeomPiece& h = pieces[j];
                if (merged[j] || h.kind != g.kind || std::abs(h.radius - g.radius) > 1e-9 ||
                    h.center.distanceTo(g.center) > 1e-9)
                    continue;
                same.push_back(j);
                sweep += Sweep(h);
            }
            if (sweep >= 2 * std::numbers::pi - 1e-9) {
                for (size_t k : same) merged[k] = true;
                OutlinePiece circle = PieceOf(g);
                circle.fullCircle = true;
                outline.push_back(circle);
                continue;
            }
        }
        outline.push_back(PieceOf(g));
    }
    return outline;
}

CString VectorText(const AcGeVector3d& v)
{
    CString text = FormatNumber(v.x) + u", " + FormatNumber(v.y);
    if (std::abs(v.z) > kShapeTolerance) text += u", " + FormatNumber(v.z);
    return text;
}

MemberShape Shifted(const MemberShape& shape, const AcGeVector3d& by)
{
    return Placed(shape, AcGeMatrix3d::translation(by));
}

}  // namespace

CString FormatNumber(double v)
{
    double rounded = std::round(v * 100) / 100;
    if (rounded == 0) rounded = 0;  // no "-0"
    CString text;
    text.Format(u"%.2f", rounded);
    while (text.Right(1) == u"0") text = text.Left(text.GetLength() - 1);
    if (text.Right(1) == u".") text = text.Left(text.GetLength() - 1);
    return text;
}

MemberShape ShapeOf(const AcDbEntity* ent)
{
    MemberShape shape;
    shape.handle = ent->handle();
    shape.cls = ent->isA()->name();
    if (const VkQsEntity* comp = VkQsEntity::cast(ent)) {
        shape.typePath = comp->GetSmallTypeNamePath();
        shape.hasReference = true;
        shape.reference = comp->referencePoint();
    }
    std::vector<AcDbEntity::GeomPiece> pieces;
    ent->getGeomPieces(pieces);
    shape.outline = OutlineOf(pieces);
    return shape;
}

MemberShape Placed(const MemberShape& shape, const AcGeMatrix3d& xform)
{
    MemberShape placed = shape;
    const double scale = AcGeVector3d(1, 0, 0).transformBy(xform).length();
    placed.reference.transformBy(xform);
    for (OutlinePiece& p : placed.outline) {
        p.start.transformBy(xform);
        p.end.transformBy(xform);
        p.middle.transformBy(xform);
        p.center.transformBy(xform);
        p.radius *= scale;
    }
    return placed;
}

bool SameOutline(const MemberShape& a, const MemberShape& b, double tol)
{
    if (a.outline.size() != b.outline.size()) return false;
    if (a.hasReference != b.hasReference || (a.hasReference && !Near(a.reference, b.reference, tol))) return false;
    // Pieces come in the same order from the same class; only when they do not is each one
    // looked for among the others.
    bool inOrder = true;
    for (size_t i = 0; inOrder && i < a.outline.size(); ++i) inOrder = SamePiece(a.outline[i], b.outline[i], tol);
    if (inOrder) return true;
    std::vector<bool> used(b.outline.size(), false);
    for (const OutlinePiece& p : a.outline) {
        bool found = false;
        for (size_t j = 0; !found && j < b.outline.size(); ++j) {
            if (used[j] || !SamePiece(p, b.outline[j], tol)) continue;
            used[j] = found = true;
        }
        if (!found) return false;
    }
    return true;
}

bool SameMember(const MemberShape& expected, const MemberShape& actual, double tol)
{
    return expected.cls.Compare(actual.cls) == 0 && expected.typePath.Compare(actual.typePath) == 0 &&
           SameOutline(expected, actual, tol);
}

CString DescribeDifference(const MemberShape& expected, const MemberShape& actual, double tol)
{
    CString what;
    auto add = [&what](const CString& part) { what += (what.IsEmpty() ? CString() : CString(u"; ")) + part; };
    if (expected.cls.Compare(actual.cls) != 0) add(u"class " + actual.cls + u" instead of " + expected.cls);
    if (expected.typePath.Compare(actual.typePath) != 0)
        add(u"type path \"" + actual.typePath + u"\" instead of \"" + expected.typePath + u"\"");
    if (SameOutline(expected, actual, tol)) return what;

    // A move: one displacement carries the whole expected shape onto the actual one.
    std::vector<AcGeVector3d> tries;
    if (expected.hasReference && actual.hasReference) tries.push_back(actual.reference - expected.reference);
    if (!expected.outline.empty() && !actual.outline.empty()) {
        tries.push_back(actual.outline[0].start - expected.outline[0].start);
        tries.push_back(actual.outline[0].end - expected.outline[0].start);
    }
    for (const AcGeVector3d& by : tries) {
        if (SameOutline(Shifted(expected, by), actual, tol)) {
            add(u"moved by " + VectorText(by));
            return what;
        }
    }
    if (expected.outline.size() != actual.outline.size()) {
        CString counts;
        counts.Format(u"outline changed (%d pieces instead of %d)", int(actual.outline.size()),
                      int(expected.outline.size()));
        add(counts);
        return what;
    }
    double off = expected.hasReference ? expected.reference.distanceTo(actual.reference) : 0;
    for (size_t i = 0; i < expected.outline.size(); ++i)
        off = std::max(off, PieceDistance(expected.outline[i], actual.outline[i]));
    add(u"outline changed (up to " + FormatNumber(off) + u" off)");
    return what;
}

}  // namespace srreport
