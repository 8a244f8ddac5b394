#include "siblings/object/VkQsNode.h"

ACRX_DEFINE_MEMBERS(VkQsNode, VkQsEntity);

Acad::ErrorStatus VkQsNode::SetInsertPoint(const AcGePoint3d& p)
{
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_insertPt = p;
    return Acad::eOk;
}

Acad::ErrorStatus VkQsNode::setRadius(double r)
{
    if (!(r > 0)) return Acad::eInvalidInput;
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_radius = r;
    return Acad::eOk;
}

void VkQsNode::getGeomPieces(std::vector<GeomPiece>& pieces) const
{
    addCircle(pieces, m_insertPt, m_radius);
}

void VkQsNode::list(CString& out) const
{
    VkQsEntity::list(out);
    CString s;
    s.Format(u"  Insertion point: %g, %g, %g\n", m_insertPt.x, m_insertPt.y, m_insertPt.z);
    out += s;
}

Acad::ErrorStatus VkQsNode::dwgOutFields(AcDbDwgFiler* filer) const
{
    Acad::ErrorStatus es = VkQsEntity::dwgOutFields(filer);
    if (es != Acad::eOk) return es;
    filer->writePoint3d(m_insertPt, "insertPt");
    filer->writeDouble(m_radius, "radius");
    return filer->filerStatus();
}

Acad::ErrorStatus VkQsNode::dwgInFields(AcDbDwgFiler* filer)
{
    Acad::ErrorStatus es = VkQsEntity::dwgInFields(filer);
    if (es != Acad::eOk) return es;
    filer->readPoint3d(&m_insertPt, "insertPt");
    filer->readDouble(&m_radius, "radius");
    if (filer->filerStatus() == Acad::eOk && !(m_radius > 0)) return Acad::eInvalidInput;
    return filer->filerStatus();
}

Acad::ErrorStatus VkQsNode::subTransformBy(const AcGeMatrix3d& xform)
{
    m_insertPt.transformBy(xform);
    AcGeVector3d unit = AcGeVector3d::kXAxis;
    m_radius *= unit.transformBy(xform).length();
    return Acad::eOk;
}
