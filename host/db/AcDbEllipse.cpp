// Ellipses and their parts.
#include <algorithm>
#include <cmath>

#include "host/db/AcDbPlanEntities.h"
#include "host/db/detail/GeomPieces.h"

ACRX_DEFINE_MEMBERS(AcDbEllipse, AcDbCurve)

namespace {

constexpr double kTwoPi = vkdb::kTwoPi;

bool finitePoint(const AcGePoint3d& p) { return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z); }

// Start in [0, 2pi) and a sweep in (0, 2pi]: the whole ellipse when start and end meet.
void normalizeParams(double& start, double& end)
{
    double sweep = end - start;
    if (std::abs(sweep) >= kTwoPi - 1e-12 || std::abs(sweep) < 1e-12) sweep = kTwoPi;
    else sweep = vkdb::normalizeAngle(sweep);
    if (sweep == 0) sweep = kTwoPi;
    start = vkdb::normalizeAngle(start);
    end = start + sweep;
}

}  // namespace

Acad::ErrorStatus AcDbEllipse::set(const AcGePoint3d& center, const AcGeVector3d& majorAxis, double radiusRatio,
                                   double startParam, double endParam)
{
    AcGeVector3d major{majorAxis.x, majorAxis.y, 0};
    if (!finitePoint(center) || !std::isfinite(major.x) || !std::isfinite(major.y) || !(major.length() > 0) ||
        !(radiusRatio > 0) || radiusRatio > 1 + 1e-9 || !std::isfinite(startParam) || !std::isfinite(endParam))
        return Acad::eInvalidInput;
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_center = center;
    m_major = major;
    m_ratio = std::min(radiusRatio, 1.0);
    m_start = startParam, m_end = endParam;
    normalizeParams(m_start, m_end);
    return Acad::eOk;
}

AcGeVector3d AcDbEllipse::minorAxis() const { return AcGeVector3d(-m_major.y, m_major.x, 0) * m_ratio; }

AcGePoint3d AcDbEllipse::pointAtParam(double t) const
{
    return m_center + m_major * std::cos(t) + minorAxis() * std::sin(t);
}

bool AcDbEllipse::isClosed() const { return m_end - m_start >= kTwoPi - 1e-12; }

Acad::ErrorStatus AcDbEllipse::getStartPoint(AcGePoint3d& p) const { p = pointAtParam(m_start); return Acad::eOk; }
Acad::ErrorStatus AcDbEllipse::getEndPoint(AcGePoint3d& p) const { p = pointAtParam(m_end); return Acad::eOk; }

std::vector<AcGePoint3d> AcDbEllipse::samples() const
{
    const double sweep = m_end - m_start;
    const int steps = std::max(8, static_cast<int>(std::ceil(sweep / kTwoPi * 96)));
    std::vector<AcGePoint3d> pts;
    pts.reserve(static_cast<size_t>(steps) + 1);
    for (int i = 0; i <= steps; ++i) pts.push_back(pointAtParam(m_start + sweep * i / steps));
    if (isClosed()) pts.back() = pts.front();
    return pts;
}

void AcDbEllipse::getGeomPieces(std::vector<GeomPiece>& pieces) const
{
    vkdb::addPolylinePieces(pieces, samples(), false);
}

bool AcDbEllipse::subWorldDraw(AcGiWorldDraw* wd) const
{
    const std::vector<AcGePoint3d> pts = samples();
    wd->geometry().polyline(static_cast<int>(pts.size()), pts.data());
    return true;
}

void AcDbEllipse::list(CString& out) const
{
    AcDbEntity::list(out);
    out.AppendFormat(u"  Center: X=%.4f  Y=%.4f  Z=%.4f\n", m_center.x, m_center.y, m_center.z);
    out.AppendFormat(u"  Major Axis: X=%.4f  Y=%.4f\n", m_major.x, m_major.y);
    out.AppendFormat(u"  Radius Ratio: %.4f\n", m_ratio);
    if (!isClosed()) out.AppendFormat(u"  Start Parameter: %.4f\n  End Parameter: %.4f\n", m_start, m_end);
}

Acad::ErrorStatus AcDbEllipse::subTransformBy(const AcGeMatrix3d& xform)
{
    // The images of two conjugate half-axes; the new principal axes are where the image is
    // longest and shortest (the eigenvectors of A^T A).
    const AcGeVector3d a = xform * m_major, b = xform * minorAxis();
    const double p = a.x * a.x + a.y * a.y, q = a.x * b.x + a.y * b.y, r = b.x * b.x + b.y * b.y;
    const double t0 = 0.5 * std::atan2(2 * q, p - r);
    const AcGeVector3d major = a * std::cos(t0) + b * std::sin(t0);
    const AcGeVector3d minor = a * -std::sin(t0) + b * std::cos(t0);
    const double len = std::hypot(major.x, major.y);
    if (!(len > 0) || !std::isfinite(len)) return Acad::eInvalidInput;
    double start = m_start - t0, end = m_end - t0;
    // A mirror runs the ellipse the other way round: parameters change sign.
    if (a.x * b.y - a.y * b.x < 0) start = t0 - m_end, end = t0 - m_start;
    m_center = xform * m_center;
    m_major = AcGeVector3d(major.x, major.y, 0);
    m_ratio = std::min(1.0, std::hypot(minor.x, minor.y) / len);
    m_start = start, m_end = end;
    normalizeParams(m_start, m_end);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbEllipse::dwgOutFields(AcDbDwgFiler* filer) const
{
    Acad::ErrorStatus es = AcDbCurve::dwgOutFields(filer);
    if (es != Acad::eOk) return es;
    filer->writePoint3d(m_center, "center");
    filer->writeVector3d(m_major, "majorAxis");
    filer->writeDouble(m_ratio, "radiusRatio");
    filer->writeDouble(m_start, "startParam");
    filer->writeDouble(m_end, "endParam");
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbEllipse::dwgInFields(AcDbDwgFiler* filer)
{
    Acad::ErrorStatus es = AcDbCurve::dwgInFields(filer);
    if (es != Acad::eOk) return es;
    AcGePoint3d c = m_center;
    AcGeVector3d major = m_major;
    double ratio = m_ratio, t0 = m_start, t1 = m_end;
    if ((es = filer->readPoint3d(&c, "center")) != Acad::eOk) return es;
    if ((es = filer->readVector3d(&major, "majorAxis")) != Acad::eOk) return es;
    if ((es = filer->readDouble(&ratio, "radiusRatio")) != Acad::eOk) return es;
    if ((es = filer->readDouble(&t0, "startParam")) != Acad::eOk) return es;
    if ((es = filer->readDouble(&t1, "endParam")) != Acad::eOk) return es;
    if (!finitePoint(c) || !std::isfinite(major.x) || !std::isfinite(major.y) || !(std::hypot(major.x, major.y) > 0) ||
        !(ratio > 0) || ratio > 1 + 1e-9 || !std::isfinite(t0) || !std::isfinite(t1))
        return Acad::eInvalidInput;
    m_center = c;
    m_major = AcGeVector3d(major.x, major.y, 0);
    m_ratio = std::min(ratio, 1.0);
    m_start = t0, m_end = t1;
    normalizeParams(m_start, m_end);
    return Acad::eOk;
}
