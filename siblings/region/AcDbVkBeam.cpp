#include "siblings/region/AcDbVkBeam.h"

ACRX_DEFINE_MEMBERS(AcDbVkBeam, AcDbCurve);

Acad::ErrorStatus AcDbVkBeam::setStartPoint(const AcGePoint3d& p)
{
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_start = p;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbVkBeam::setEndPoint(const AcGePoint3d& p)
{
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_end = p;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbVkBeam::setWidth(double w)
{
    if (w < 0) return Acad::eInvalidInput;
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_width = w;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbVkBeam::getStartPoint(AcGePoint3d& p) const
{
    p = m_start;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbVkBeam::getEndPoint(AcGePoint3d& p) const
{
    p = m_end;
    return Acad::eOk;
}

void AcDbVkBeam::getGeomPieces(std::vector<GeomPiece>& pieces) const
{
    auto line = [&](const AcGePoint3d& a, const AcGePoint3d& b) {
        GeomPiece g;
        g.kind = GeomPiece::kLine;
        g.a = a;
        g.b = b;
        pieces.push_back(g);
    };
    const AcGeVector3d dir = (m_end - m_start).normal();
    if (m_width <= 0 || dir.isZeroLength()) {
        line(m_start, m_end);
        return;
    }
    const AcGeVector3d side = AcGeVector3d::kZAxis.crossProduct(dir) * (m_width / 2);
    const AcGePoint3d a = m_start + side, b = m_end + side, c = m_end - side, d = m_start - side;
    line(a, b);
    line(b, c);
    line(c, d);
    line(d, a);
}

void AcDbVkBeam::list(CString& out) const
{
    AcDbCurve::list(out);
    CString s;
    s.Format(u"  Start: %g, %g, %g\n  End: %g, %g, %g\n  Width: %g\n", m_start.x, m_start.y, m_start.z,
             m_end.x, m_end.y, m_end.z, m_width);
    out += s;
}

Acad::ErrorStatus AcDbVkBeam::dwgOutFields(AcDbDwgFiler* filer) const
{
    Acad::ErrorStatus es = AcDbCurve::dwgOutFields(filer);
    if (es != Acad::eOk) return es;
    filer->writePoint3d(m_start, "start");
    filer->writePoint3d(m_end, "end");
    filer->writeDouble(m_width, "width");
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbVkBeam::dwgInFields(AcDbDwgFiler* filer)
{
    Acad::ErrorStatus es = AcDbCurve::dwgInFields(filer);
    if (es != Acad::eOk) return es;
    filer->readPoint3d(&m_start, "start");
    filer->readPoint3d(&m_end, "end");
    filer->readDouble(&m_width, "width");
    if (filer->filerStatus() == Acad::eOk && m_width < 0) return Acad::eInvalidInput;
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbVkBeam::subTransformBy(const AcGeMatrix3d& xform)
{
    m_start.transformBy(xform);
    m_end.transformBy(xform);
    // A uniform scale scales the width too; mirrors and rotations keep it.
    AcGeVector3d unit = AcGeVector3d::kXAxis;
    m_width *= unit.transformBy(xform).length();
    return Acad::eOk;
}
