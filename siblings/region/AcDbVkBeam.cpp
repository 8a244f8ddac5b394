#include "siblings/region/AcDbVkBeam.h"

ACRX_DEFINE_MEMBERS(AcDbVkBeam, AcDbCurve);

Acad::ErrorStatus AcDbVkBeam::setStartPoint(const AcGePoint3d& p)
{
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_band.start = p;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbVkBeam::setEndPoint(const AcGePoint3d& p)
{
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_band.end = p;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbVkBeam::setWidth(double w)
{
    if (w < 0) return Acad::eInvalidInput;
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_band.width = w;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbVkBeam::getStartPoint(AcGePoint3d& p) const
{
    p = m_band.start;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbVkBeam::getEndPoint(AcGePoint3d& p) const
{
    p = m_band.end;
    return Acad::eOk;
}

void AcDbVkBeam::getGeomPieces(std::vector<GeomPiece>& pieces) const
{
    m_band.getGeomPieces(pieces);
}

void AcDbVkBeam::list(CString& out) const
{
    AcDbCurve::list(out);
    m_band.list(out);
}

Acad::ErrorStatus AcDbVkBeam::dwgOutFields(AcDbDwgFiler* filer) const
{
    Acad::ErrorStatus es = AcDbCurve::dwgOutFields(filer);
    return es != Acad::eOk ? es : m_band.dwgOutFields(filer);
}

Acad::ErrorStatus AcDbVkBeam::dwgInFields(AcDbDwgFiler* filer)
{
    Acad::ErrorStatus es = AcDbCurve::dwgInFields(filer);
    return es != Acad::eOk ? es : m_band.dwgInFields(filer);
}

Acad::ErrorStatus AcDbVkBeam::subTransformBy(const AcGeMatrix3d& xform)
{
    m_band.transformBy(xform);
    return Acad::eOk;
}
