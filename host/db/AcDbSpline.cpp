// Splines: NURBS curves by their control points, or cubics through their fit points.
#include <cmath>

#include "host/db/AcDbPlanEntities.h"
#include "host/db/detail/GeomPieces.h"

ACRX_DEFINE_MEMBERS(AcDbSpline, AcDbCurve)

namespace {

bool finiteVector(const AcGeVector3d& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

bool finitePoints(const std::vector<AcGePoint3d>& pts)
{
    for (const AcGePoint3d& p : pts)
        if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z)) return false;
    return true;
}

void writePoints(AcDbDwgFiler* filer, const std::vector<AcGePoint3d>& pts, const char* name)
{
    filer->writeArrayBegin(static_cast<Adesk::Int32>(pts.size()), name);
    for (const AcGePoint3d& p : pts) filer->writePoint3d(p);
    filer->writeArrayEnd();
}

void writeDoubles(AcDbDwgFiler* filer, const std::vector<double>& v, const char* name)
{
    filer->writeArrayBegin(static_cast<Adesk::Int32>(v.size()), name);
    for (double d : v) filer->writeDouble(d);
    filer->writeArrayEnd();
}

// Arrays read whole or not at all; an absent JSON field keeps what was there.
template <class T, class Read>
Acad::ErrorStatus readArray(AcDbDwgFiler* filer, std::vector<T>& out, const char* name, Read read)
{
    Adesk::Int32 n = 0;
    Acad::ErrorStatus es = filer->readArrayBegin(&n, name);
    if (es == Acad::eKeyNotFound) return Acad::eOk;
    if (es != Acad::eOk) return es;
    if (n < 0 || n > 1000000) return Acad::eInvalidInput;
    std::vector<T> v(static_cast<size_t>(n));
    for (T& x : v)
        if ((es = read(&x)) != Acad::eOk) return es;
    if ((es = filer->readArrayEnd()) != Acad::eOk) return es;
    out = std::move(v);
    return Acad::eOk;
}

}  // namespace

Acad::ErrorStatus AcDbSpline::setNurbsData(const vkge::Nurbs& curve, int flags)
{
    if (!vkge::IsValidNurbs(curve)) return Acad::eInvalidInput;
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_curve = curve;
    m_flags = (flags & (kClosed | kPeriodic | kPlanar | kLinear)) | (curve.weights.empty() ? 0 : kRational);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbSpline::setFitData(const std::vector<AcGePoint3d>& fitPoints, const AcGeVector3d& startTangent,
                                         const AcGeVector3d& endTangent)
{
    vkge::Nurbs probe;
    if (!finitePoints(fitPoints) || !finiteVector(startTangent) || !finiteVector(endTangent) ||
        !vkge::InterpolateNurbs(fitPoints, startTangent, endTangent, probe))
        return Acad::eInvalidInput;
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_fit = fitPoints;
    m_startTangent = startTangent;
    m_endTangent = endTangent;
    return Acad::eOk;
}

bool AcDbSpline::drawnCurve(vkge::Nurbs& curve) const
{
    if (!m_curve.points.empty()) {
        curve = m_curve;
        return vkge::IsValidNurbs(curve);
    }
    return vkge::InterpolateNurbs(m_fit, m_startTangent, m_endTangent, curve);
}

std::vector<AcGePoint3d> AcDbSpline::samples() const
{
    vkge::Nurbs c;
    if (!drawnCurve(c)) return m_fit;
    return vkge::SampleNurbs(c);
}

Acad::ErrorStatus AcDbSpline::getStartPoint(AcGePoint3d& p) const
{
    vkge::Nurbs c;
    if (!drawnCurve(c)) return Acad::eNotApplicable;
    p = vkge::NurbsPoint(c, c.knots[static_cast<size_t>(c.degree)]);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbSpline::getEndPoint(AcGePoint3d& p) const
{
    vkge::Nurbs c;
    if (!drawnCurve(c)) return Acad::eNotApplicable;
    p = vkge::NurbsPoint(c, c.knots[c.points.size()]);
    return Acad::eOk;
}

void AcDbSpline::getGeomPieces(std::vector<GeomPiece>& pieces) const
{
    vkdb::addPolylinePieces(pieces, samples(), false);
}

bool AcDbSpline::subWorldDraw(AcGiWorldDraw* wd) const
{
    const std::vector<AcGePoint3d> pts = samples();
    wd->geometry().polyline(static_cast<int>(pts.size()), pts.data());
    return true;
}

void AcDbSpline::list(CString& out) const
{
    AcDbEntity::list(out);
    out.AppendFormat(u"  Degree: %d\n", m_curve.degree);
    out.AppendFormat(u"  Control Points: %d\n  Fit Points: %d\n", static_cast<int>(m_curve.points.size()),
                     static_cast<int>(m_fit.size()));
}

Acad::ErrorStatus AcDbSpline::subTransformBy(const AcGeMatrix3d& xform)
{
    for (AcGePoint3d& p : m_curve.points) p = xform * p;
    for (AcGePoint3d& p : m_fit) p = xform * p;
    m_startTangent = xform * m_startTangent;
    m_endTangent = xform * m_endTangent;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbSpline::dwgOutFields(AcDbDwgFiler* filer) const
{
    Acad::ErrorStatus es = AcDbCurve::dwgOutFields(filer);
    if (es != Acad::eOk) return es;
    filer->writeInt32(m_flags, "flags");
    filer->writeInt32(m_curve.degree, "degree");
    writeDoubles(filer, m_curve.knots, "knots");
    writePoints(filer, m_curve.points, "controlPoints");
    writeDoubles(filer, m_curve.weights, "weights");
    writePoints(filer, m_fit, "fitPoints");
    filer->writeVector3d(m_startTangent, "startTangent");
    filer->writeVector3d(m_endTangent, "endTangent");
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbSpline::dwgInFields(AcDbDwgFiler* filer)
{
    Acad::ErrorStatus es = AcDbCurve::dwgInFields(filer);
    if (es != Acad::eOk) return es;
    Adesk::Int32 flags = m_flags, degree = m_curve.degree;
    vkge::Nurbs c = m_curve;
    std::vector<AcGePoint3d> fit = m_fit;
    AcGeVector3d t0 = m_startTangent, t1 = m_endTangent;
    auto point = [&](AcGePoint3d* p) { return filer->readPoint3d(p); };
    auto number = [&](double* d) { return filer->readDouble(d); };
    if ((es = filer->readInt32(&flags, "flags")) != Acad::eOk) return es;
    if ((es = filer->readInt32(&degree, "degree")) != Acad::eOk) return es;
    if ((es = readArray<double>(filer, c.knots, "knots", number)) != Acad::eOk) return es;
    if ((es = readArray<AcGePoint3d>(filer, c.points, "controlPoints", point)) != Acad::eOk) return es;
    if ((es = readArray<double>(filer, c.weights, "weights", number)) != Acad::eOk) return es;
    if ((es = readArray<AcGePoint3d>(filer, fit, "fitPoints", point)) != Acad::eOk) return es;
    if ((es = filer->readVector3d(&t0, "startTangent")) != Acad::eOk) return es;
    if ((es = filer->readVector3d(&t1, "endTangent")) != Acad::eOk) return es;
    c.degree = degree;
    // A curve by its control points, one by its fit points (two or more), or none yet.
    const bool byControl = !c.points.empty();
    if ((byControl && !vkge::IsValidNurbs(c)) || (!byControl && fit.size() == 1) || !finitePoints(fit) ||
        !finiteVector(t0) || !finiteVector(t1) || flags < 0 || flags > 31 || degree < 1 || degree > 11)
        return Acad::eInvalidInput;
    m_flags = flags;
    m_curve = std::move(c);
    m_fit = std::move(fit);
    m_startTangent = t0, m_endTangent = t1;
    return Acad::eOk;
}
