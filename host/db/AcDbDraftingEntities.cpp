// Circles, arcs, points and texts.
#include "host/db/AcDbDraftingEntities.h"

#include <algorithm>
#include <cmath>

#include "host/db/AcGiText.h"
#include "host/db/detail/GeomPieces.h"

ACRX_DEFINE_MEMBERS(AcDbCircle, AcDbCurve)
ACRX_DEFINE_MEMBERS(AcDbArc, AcDbCurve)
ACRX_DEFINE_MEMBERS(AcDbPoint, AcDbEntity)
ACRX_DEFINE_MEMBERS(AcDbText, AcDbEntity)

namespace {

// Length that a unit length of the XY plane takes under the matrix (uniform scales).
double planeScale(const AcGeMatrix3d& m) { return (m * AcGeVector3d::kXAxis).length(); }

AcGePoint3d onCircle(const AcGePoint3d& c, double r, double a)
{
    return {c.x + r * std::cos(a), c.y + r * std::sin(a), c.z};
}

}  // namespace

// ---- circle

AcGePoint3d AcDbCircle::center() const { return m_center; }
double AcDbCircle::radius() const { return m_radius; }

Acad::ErrorStatus AcDbCircle::setCenter(const AcGePoint3d& p)
{
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_center = p;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbCircle::setRadius(double r)
{
    if (!(r > 0) || !std::isfinite(r)) return Acad::eInvalidInput;
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_radius = r;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbCircle::getStartPoint(AcGePoint3d& p) const { p = onCircle(m_center, m_radius, 0); return Acad::eOk; }
Acad::ErrorStatus AcDbCircle::getEndPoint(AcGePoint3d& p) const { return getStartPoint(p); }

void AcDbCircle::getGeomPieces(std::vector<GeomPiece>& pieces) const
{
    pieces.push_back(vkdb::makeArcPiece(m_center, m_radius, 0, vkdb::kTwoPi));
}

void AcDbCircle::list(CString& out) const
{
    AcDbEntity::list(out);
    out.AppendFormat(u"  center point, X=%.4f  Y=%.4f  Z=%.4f\n", m_center.x, m_center.y, m_center.z);
    out.AppendFormat(u"  radius %.4f\n", m_radius);
}

Acad::ErrorStatus AcDbCircle::subTransformBy(const AcGeMatrix3d& xform)
{
    m_center = xform * m_center;
    m_radius *= planeScale(xform);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbCircle::dwgOutFields(AcDbDwgFiler* filer) const
{
    Acad::ErrorStatus es = AcDbCurve::dwgOutFields(filer);
    if (es != Acad::eOk) return es;
    filer->writePoint3d(m_center, "center");
    filer->writeDouble(m_radius, "radius");
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbCircle::dwgInFields(AcDbDwgFiler* filer)
{
    Acad::ErrorStatus es = AcDbCurve::dwgInFields(filer);
    if (es != Acad::eOk) return es;
    AcGePoint3d c = m_center;
    double r = m_radius;
    if ((es = filer->readPoint3d(&c, "center")) != Acad::eOk) return es;
    if ((es = filer->readDouble(&r, "radius")) != Acad::eOk) return es;
    // Radius 0: a degenerate circle as some files bring it, kept as it came.
    if (!(r >= 0) || !std::isfinite(r)) return Acad::eInvalidInput;
    m_center = c;
    m_radius = r;
    return Acad::eOk;
}

// ---- arc

AcGePoint3d AcDbArc::center() const { return m_center; }
double AcDbArc::radius() const { return m_radius; }
double AcDbArc::startAngle() const { return m_start; }
double AcDbArc::endAngle() const { return m_end; }

Acad::ErrorStatus AcDbArc::setCenter(const AcGePoint3d& p)
{
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_center = p;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbArc::setRadius(double r)
{
    if (!(r > 0) || !std::isfinite(r)) return Acad::eInvalidInput;
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_radius = r;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbArc::setStartAngle(double a)
{
    if (!std::isfinite(a)) return Acad::eInvalidInput;
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_start = vkdb::normalizeAngle(a);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbArc::setEndAngle(double a)
{
    if (!std::isfinite(a)) return Acad::eInvalidInput;
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_end = vkdb::normalizeAngle(a);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbArc::getStartPoint(AcGePoint3d& p) const { p = onCircle(m_center, m_radius, m_start); return Acad::eOk; }
Acad::ErrorStatus AcDbArc::getEndPoint(AcGePoint3d& p) const { p = onCircle(m_center, m_radius, m_end); return Acad::eOk; }

void AcDbArc::getGeomPieces(std::vector<GeomPiece>& pieces) const
{
    pieces.push_back(vkdb::makeArcPiece(m_center, m_radius, m_start, m_end));
}

void AcDbArc::list(CString& out) const
{
    AcDbEntity::list(out);
    const double deg = 180 / 3.14159265358979323846;
    out.AppendFormat(u"  center point, X=%.4f  Y=%.4f  Z=%.4f\n", m_center.x, m_center.y, m_center.z);
    out.AppendFormat(u"  radius %.4f\n", m_radius);
    out.AppendFormat(u"  start angle %.4f\n  end angle %.4f\n", m_start * deg, m_end * deg);
}

Acad::ErrorStatus AcDbArc::subTransformBy(const AcGeMatrix3d& xform)
{
    // Through the arc's curve piece, which knows that a mirror swaps the ends.
    GeomPiece p = vkdb::transformPiece(vkdb::makeArcPiece(m_center, m_radius, m_start, m_end), xform);
    m_center = p.center;
    m_radius = p.radius;
    m_start = vkdb::normalizeAngle(p.startAng);
    m_end = vkdb::normalizeAngle(p.endAng);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbArc::dwgOutFields(AcDbDwgFiler* filer) const
{
    Acad::ErrorStatus es = AcDbCurve::dwgOutFields(filer);
    if (es != Acad::eOk) return es;
    filer->writePoint3d(m_center, "center");
    filer->writeDouble(m_radius, "radius");
    filer->writeDouble(m_start, "startAngle");
    filer->writeDouble(m_end, "endAngle");
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbArc::dwgInFields(AcDbDwgFiler* filer)
{
    Acad::ErrorStatus es = AcDbCurve::dwgInFields(filer);
    if (es != Acad::eOk) return es;
    AcGePoint3d c = m_center;
    double r = m_radius, a0 = m_start, a1 = m_end;
    if ((es = filer->readPoint3d(&c, "center")) != Acad::eOk) return es;
    if ((es = filer->readDouble(&r, "radius")) != Acad::eOk) return es;
    if ((es = filer->readDouble(&a0, "startAngle")) != Acad::eOk) return es;
    if ((es = filer->readDouble(&a1, "endAngle")) != Acad::eOk) return es;
    if (!(r >= 0) || !std::isfinite(r) || !std::isfinite(a0) || !std::isfinite(a1)) return Acad::eInvalidInput;
    m_center = c;
    m_radius = r;
    m_start = vkdb::normalizeAngle(a0);
    m_end = vkdb::normalizeAngle(a1);
    return Acad::eOk;
}

// ---- point

AcGePoint3d AcDbPoint::position() const { return m_position; }

Acad::ErrorStatus AcDbPoint::setPosition(const AcGePoint3d& p)
{
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_position = p;
    return Acad::eOk;
}

void AcDbPoint::getGeomPieces(std::vector<GeomPiece>& pieces) const
{
    GeomPiece p;
    p.a = p.b = m_position;
    pieces.push_back(p);
}

bool AcDbPoint::subWorldDraw(AcGiWorldDraw* wd) const
{
    wd->geometry().polyline(1, &m_position);
    return true;
}

void AcDbPoint::list(CString& out) const
{
    AcDbEntity::list(out);
    out.AppendFormat(u"  at point, X=%.4f  Y=%.4f  Z=%.4f\n", m_position.x, m_position.y, m_position.z);
}

Acad::ErrorStatus AcDbPoint::subTransformBy(const AcGeMatrix3d& xform)
{
    m_position = xform * m_position;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbPoint::dwgOutFields(AcDbDwgFiler* filer) const
{
    Acad::ErrorStatus es = AcDbEntity::dwgOutFields(filer);
    if (es != Acad::eOk) return es;
    filer->writePoint3d(m_position, "position");
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbPoint::dwgInFields(AcDbDwgFiler* filer)
{
    Acad::ErrorStatus es = AcDbEntity::dwgInFields(filer);
    if (es != Acad::eOk) return es;
    return filer->readPoint3d(&m_position, "position");
}

// ---- text

AcGePoint3d AcDbText::position() const { return m_position; }
CString AcDbText::textString() const { return m_text; }
double AcDbText::height() const { return m_height; }
double AcDbText::rotation() const { return m_rotation; }
AcDb::TextHorzMode AcDbText::horizontalMode() const { return m_hMode; }
AcDb::TextVertMode AcDbText::verticalMode() const { return m_vMode; }

Acad::ErrorStatus AcDbText::setPosition(const AcGePoint3d& p)
{
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_position = p;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbText::setTextString(const CString& text)
{
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_text = text;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbText::setHeight(double h)
{
    if (!(h > 0) || !std::isfinite(h)) return Acad::eInvalidInput;
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_height = h;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbText::setRotation(double angle)
{
    if (!std::isfinite(angle)) return Acad::eInvalidInput;
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_rotation = vkdb::normalizeAngle(angle);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbText::setHorizontalMode(AcDb::TextHorzMode m)
{
    if (m < AcDb::kTextLeft || m > AcDb::kTextRight) return Acad::eInvalidInput;
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_hMode = m;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbText::setVerticalMode(AcDb::TextVertMode m)
{
    if (m < AcDb::kTextBase || m > AcDb::kTextTop) return Acad::eInvalidInput;
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_vMode = m;
    return Acad::eOk;
}

AcGePoint3d AcDbText::baselineStart() const
{
    int lines = 1;
    double width = 0;
    AcGiText::estimatedBlock(m_text, width, lines);
    const int nl = m_text.Find(u'\n');
    double dx = 0, dy = 0;
    AcGiText::lineOrigin(0, lines, AcGiText::estimatedWidth(nl < 0 ? m_text : m_text.Left(nl)), m_hMode, m_vMode,
                         AcGiText::kLineSpacing, dx, dy);
    const double c = std::cos(m_rotation), s = std::sin(m_rotation);
    dx *= m_height, dy *= m_height;
    return {m_position.x + dx * c - dy * s, m_position.y + dx * s + dy * c, m_position.z};
}

void AcDbText::getGeomPieces(std::vector<GeomPiece>& pieces) const
{
    vkdb::addTextBox(pieces, m_position, m_rotation, m_height, m_text, m_hMode, m_vMode, AcGiText::kLineSpacing);
}

bool AcDbText::subWorldDraw(AcGiWorldDraw* wd) const
{
    const AcGeVector3d dir{std::cos(m_rotation), std::sin(m_rotation), 0};
    wd->geometry().alignedText(m_position, dir, m_height, m_text, m_hMode, m_vMode, AcGiText::kLineSpacing);
    return true;
}

void AcDbText::list(CString& out) const
{
    AcDbEntity::list(out);
    out.AppendFormat(u"  text \"%s\"\n", m_text.GetString());
    out.AppendFormat(u"  at point, X=%.4f  Y=%.4f  Z=%.4f\n", m_position.x, m_position.y, m_position.z);
    out.AppendFormat(u"  height %.4f\n  rotation angle %.4f\n", m_height, m_rotation * 180 / 3.14159265358979323846);
}

Acad::ErrorStatus AcDbText::subTransformBy(const AcGeMatrix3d& xform)
{
    AcGeVector3d dir = xform * AcGeVector3d(std::cos(m_rotation), std::sin(m_rotation), 0);
    // A mirrored text stays readable: it keeps reading left to right, its alignment mirrored.
    if (vkdb::reversesXY(xform) && dir.x < 0) {
        dir = -dir;
        if (m_hMode != AcDb::kTextCenter)
            m_hMode = m_hMode == AcDb::kTextLeft ? AcDb::kTextRight : AcDb::kTextLeft;
    }
    m_position = xform * m_position;
    m_height *= planeScale(xform);
    m_rotation = vkdb::normalizeAngle(std::atan2(dir.y, dir.x));
    return Acad::eOk;
}

Acad::ErrorStatus AcDbText::dwgOutFields(AcDbDwgFiler* filer) const
{
    Acad::ErrorStatus es = AcDbEntity::dwgOutFields(filer);
    if (es != Acad::eOk) return es;
    filer->writePoint3d(m_position, "position");
    filer->writeString(m_text, "text");
    filer->writeDouble(m_height, "height");
    filer->writeDouble(m_rotation, "rotation");
    filer->writeInt32(m_hMode, "hMode");
    filer->writeInt32(m_vMode, "vMode");
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbText::dwgInFields(AcDbDwgFiler* filer)
{
    Acad::ErrorStatus es = AcDbEntity::dwgInFields(filer);
    if (es != Acad::eOk) return es;
    AcGePoint3d pos = m_position;
    CString text = m_text;
    double h = m_height, rot = m_rotation;
    Adesk::Int32 hm = m_hMode, vm = m_vMode;
    if ((es = filer->readPoint3d(&pos, "position")) != Acad::eOk) return es;
    if ((es = filer->readString(&text, "text")) != Acad::eOk) return es;
    if ((es = filer->readDouble(&h, "height")) != Acad::eOk) return es;
    if ((es = filer->readDouble(&rot, "rotation")) != Acad::eOk) return es;
    if ((es = filer->readInt32(&hm, "hMode")) != Acad::eOk) return es;
    if ((es = filer->readInt32(&vm, "vMode")) != Acad::eOk) return es;
    if (!(h > 0) || !std::isfinite(h) || !std::isfinite(rot) || hm < AcDb::kTextLeft || hm > AcDb::kTextRight ||
        vm < AcDb::kTextBase || vm > AcDb::kTextTop)
        return Acad::eInvalidInput;
    m_position = pos;
    m_text = text;
    m_height = h;
    m_rotation = rot;
    m_hMode = static_cast<AcDb::TextHorzMode>(hm);
    m_vMode = static_cast<AcDb::TextVertMode>(vm);
    return Acad::eOk;
}
