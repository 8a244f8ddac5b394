// Lines.
#include "host/db/AcDbEntities.h"

ACRX_DEFINE_ABSTRACT_MEMBERS(AcDbCurve, AcDbEntity)
ACRX_DEFINE_MEMBERS(AcDbLine, AcDbCurve)

AcGePoint3d AcDbLine::startPoint() const { return m_start; }
AcGePoint3d AcDbLine::endPoint() const { return m_end; }

Acad::ErrorStatus AcDbLine::setStartPoint(const AcGePoint3d& p)
{
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_start = p;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbLine::setEndPoint(const AcGePoint3d& p)
{
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_end = p;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbLine::getStartPoint(AcGePoint3d& p) const { p = m_start; return Acad::eOk; }
Acad::ErrorStatus AcDbLine::getEndPoint(AcGePoint3d& p) const { p = m_end; return Acad::eOk; }

Acad::ErrorStatus AcDbLine::getOffsetCurves(double dist, std::vector<AcDbCurve*>& curves) const
{
    AcGeVector3d dir = m_end - m_start;
    dir.z = 0;
    if (dir.isZeroLength()) return Acad::eNotApplicable;
    dir.normalize();
    const AcGeVector3d left{-dir.y, dir.x, 0};
    auto* line = new AcDbLine(m_start + left * dist, m_end + left * dist);
    line->setPropertiesFrom(this);
    curves.push_back(line);
    return Acad::eOk;
}

void AcDbLine::getGeomPieces(std::vector<GeomPiece>& pieces) const
{
    GeomPiece p;
    p.kind = GeomPiece::kLine;
    p.a = m_start;
    p.b = m_end;
    pieces.push_back(p);
}

void AcDbLine::list(CString& out) const
{
    AcDbEntity::list(out);
    out.AppendFormat(u"  from point, X=%.4f  Y=%.4f  Z=%.4f\n", m_start.x, m_start.y, m_start.z);
    out.AppendFormat(u"  to point,   X=%.4f  Y=%.4f  Z=%.4f\n", m_end.x, m_end.y, m_end.z);
    out.AppendFormat(u"  Length = %.4f\n", m_start.distanceTo(m_end));
}

Acad::ErrorStatus AcDbLine::subTransformBy(const AcGeMatrix3d& xform)
{
    m_start = xform * m_start;
    m_end = xform * m_end;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbLine::dwgOutFields(AcDbDwgFiler* filer) const
{
    Acad::ErrorStatus es = AcDbEntity::dwgOutFields(filer);
    if (es != Acad::eOk) return es;
    filer->writePoint3d(m_start, "start");
    filer->writePoint3d(m_end, "end");
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbLine::dwgInFields(AcDbDwgFiler* filer)
{
    Acad::ErrorStatus es = AcDbEntity::dwgInFields(filer);
    if (es != Acad::eOk) return es;
    if ((es = filer->readPoint3d(&m_start, "start")) != Acad::eOk) return es;
    return filer->readPoint3d(&m_end, "end");
}
