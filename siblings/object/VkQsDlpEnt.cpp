#include "siblings/object/VkQsDlpEnt.h"

ACRX_DEFINE_MEMBERS(VkQsDlpEnt, VkQsEntity);

Acad::ErrorStatus VkQsDlpEnt::setStartPoint(const AcGePoint3d& p)
{
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_band.start = p;
    return Acad::eOk;
}

Acad::ErrorStatus VkQsDlpEnt::setEndPoint(const AcGePoint3d& p)
{
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_band.end = p;
    return Acad::eOk;
}

Acad::ErrorStatus VkQsDlpEnt::setWidth(double w)
{
    if (w < 0) return Acad::eInvalidInput;
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_band.width = w;
    return Acad::eOk;
}

Acad::ErrorStatus VkQsDlpEnt::getStartPoint(AcGePoint3d& p) const
{
    p = m_band.start;
    return Acad::eOk;
}

Acad::ErrorStatus VkQsDlpEnt::getEndPoint(AcGePoint3d& p) const
{
    p = m_band.end;
    return Acad::eOk;
}

void VkQsDlpEnt::getGeomPieces(std::vector<GeomPiece>& pieces) const
{
    m_band.getGeomPieces(pieces);
}

void VkQsDlpEnt::list(CString& out) const
{
    VkQsEntity::list(out);
    m_band.list(out);
}

Acad::ErrorStatus VkQsDlpEnt::dwgOutFields(AcDbDwgFiler* filer) const
{
    Acad::ErrorStatus es = VkQsEntity::dwgOutFields(filer);
    return es != Acad::eOk ? es : m_band.dwgOutFields(filer);
}

Acad::ErrorStatus VkQsDlpEnt::dwgInFields(AcDbDwgFiler* filer)
{
    Acad::ErrorStatus es = VkQsEntity::dwgInFields(filer);
    return es != Acad::eOk ? es : m_band.dwgInFields(filer);
}

Acad::ErrorStatus VkQsDlpEnt::subTransformBy(const AcGeMatrix3d& xform)
{
    m_band.transformBy(xform);
    return Acad::eOk;
}
