#include "siblings/object/VkQsDlpEnt.h"

ACRX_DEFINE_MEMBERS(VkQsDlpEnt, VkQsEntity);

Acad::ErrorStatus VkQsDlpEnt::setStartPoint(const AcGePoint3d& p)
{
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_start = p;
    return Acad::eOk;
}

Acad::ErrorStatus VkQsDlpEnt::setEndPoint(const AcGePoint3d& p)
{
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_end = p;
    return Acad::eOk;
}

Acad::ErrorStatus VkQsDlpEnt::setWidth(double w)
{
    if (w < 0) return Acad::eInvalidInput;
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_width = w;
    return Acad::eOk;
}

Acad::ErrorStatus VkQsDlpEnt::getStartPoint(AcGePoint3d& p) const
{
    p = m_start;
    return Acad::eOk;
}

Acad::ErrorStatus VkQsDlpEnt::getEndPoint(AcGePoint3d& p) const
{
    p = m_end;
    return Acad::eOk;
}

void VkQsDlpEnt::getGeomPieces(std::vector<GeomPiece>& pieces) const
{
    const AcGeVector3d dir = (m_end - m_start).normal();
    if (m_width <= 0 || dir.isZeroLength()) {
        addLine(pieces, m_start, m_end);
        return;
    }
    const AcGeVector3d side = AcGeVector3d::kZAxis.crossProduct(dir) * (m_width / 2);
    addLine(pieces, m_start + side, m_end + side);
    addLine(pieces, m_end + side, m_end - side);
    addLine(pieces, m_end - side, m_start - side);
    addLine(pieces, m_start - side, m_start + side);
}

void VkQsDlpEnt::list(CString& out) const
{
    VkQsEntity::list(out);
    CString s;
    s.Format(u"  Start: %g, %g, %g\n  End: %g, %g, %g\n  Width: %g\n", m_start.x, m_start.y, m_start.z,
             m_end.x, m_end.y, m_end.z, m_width);
    out += s;
}

Acad::ErrorStatus VkQsDlpEnt::dwgOutFields(AcDbDwgFiler* filer) const
{
    Acad::ErrorStatus es = VkQsEntity::dwgOutFields(filer);
    if (es != Acad::eOk) return es;
    filer->writePoint3d(m_start, "start");
    filer->writePoint3d(m_end, "end");
    filer->writeDouble(m_width, "width");
    return filer->filerStatus();
}

Acad::ErrorStatus VkQsDlpEnt::dwgInFields(AcDbDwgFiler* filer)
{
    Acad::ErrorStatus es = VkQsEntity::dwgInFields(filer);
    if (es != Acad::eOk) return es;
    filer->readPoint3d(&m_start, "start");
    filer->readPoint3d(&m_end, "end");
    filer->readDouble(&m_width, "width");
    if (filer->filerStatus() == Acad::eOk && m_width < 0) return Acad::eInvalidInput;
    return filer->filerStatus();
}

Acad::ErrorStatus VkQsDlpEnt::subTransformBy(const AcGeMatrix3d& xform)
{
    m_start.transformBy(xform);
    m_end.transformBy(xform);
    AcGeVector3d unit = AcGeVector3d::kXAxis;
    m_width *= unit.transformBy(xform).length();
    return Acad::eOk;
}
