#include "siblings/object/VkQsNodeEntPrototype.h"

#include <cmath>

ACRX_DEFINE_ABSTRACT_MEMBERS(VkQsNodeEntPrototype, VkQsEntity);
ACRX_DEFINE_MEMBERS(VkQsSprinkler, VkQsNodeEntPrototype);

namespace {
constexpr double kSprinklerRadius = 80;
}

void VkQsCommon::Placement3D::transformBy(const AcGeMatrix3d& xform)
{
    m_location.transformBy(xform);
    m_refDirection.transformBy(xform);
    m_refDirection.normalize();
}

Acad::ErrorStatus VkQsNodeEntPrototype::SetPlacement(const VkQsCommon::Placement3D& placement)
{
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_placement = placement;
    return Acad::eOk;
}

void VkQsNodeEntPrototype::list(CString& out) const
{
    VkQsEntity::list(out);
    const AcGePoint3d p = m_placement.GetLocation();
    CString s;
    s.Format(u"  Location: %g, %g, %g\n", p.x, p.y, p.z);
    out += s;
}

Acad::ErrorStatus VkQsNodeEntPrototype::dwgOutFields(AcDbDwgFiler* filer) const
{
    Acad::ErrorStatus es = VkQsEntity::dwgOutFields(filer);
    if (es != Acad::eOk) return es;
    filer->writePoint3d(m_placement.GetLocation(), "location");
    filer->writeVector3d(m_placement.GetRefDirection(), "refDir");
    return filer->filerStatus();
}

Acad::ErrorStatus VkQsNodeEntPrototype::dwgInFields(AcDbDwgFiler* filer)
{
    Acad::ErrorStatus es = VkQsEntity::dwgInFields(filer);
    if (es != Acad::eOk) return es;
    AcGePoint3d location = m_placement.GetLocation();
    AcGeVector3d refDir = m_placement.GetRefDirection();
    filer->readPoint3d(&location, "location");
    filer->readVector3d(&refDir, "refDir");
    if (filer->filerStatus() != Acad::eOk) return filer->filerStatus();
    if (refDir.isZeroLength()) return Acad::eInvalidInput;
    // A direction of unit length is kept as it was written: normalizing it again may change its
    // last bit, and a drawing read and written again would not be the same.
    if (std::fabs(refDir.length() - 1) > 1e-12) refDir.normalize();
    m_placement = VkQsCommon::Placement3D(location, refDir);
    return Acad::eOk;
}

Acad::ErrorStatus VkQsNodeEntPrototype::subTransformBy(const AcGeMatrix3d& xform)
{
    m_placement.transformBy(xform);
    return Acad::eOk;
}

void VkQsSprinkler::getGeomPieces(std::vector<GeomPiece>& pieces) const
{
    const VkQsCommon::Placement3D pl = GetPlacement();
    const AcGePoint3d c = pl.GetLocation();
    const AcGeVector3d u = pl.GetRefDirection().normal() * kSprinklerRadius;
    const AcGeVector3d v = AcGeVector3d::kZAxis.crossProduct(u);
    addCircle(pieces, c, kSprinklerRadius);
    addLine(pieces, c - u, c + u);
    addLine(pieces, c - v, c + v);
}
