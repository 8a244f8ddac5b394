#include "siblings/object/VkQsPolyForValve.h"

#include "siblings/object/CDealReactor.h"
#include "siblings/object/VkQsObjectLinks.h"

ACRX_DEFINE_ABSTRACT_MEMBERS(VkQsPolyForValve, VkQsEntity);

Acad::ErrorStatus VkQsPolyForValve::setStartPoint(const AcGePoint3d& p)
{
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_start = p;
    return Acad::eOk;
}

Acad::ErrorStatus VkQsPolyForValve::setEndPoint(const AcGePoint3d& p)
{
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_end = p;
    return Acad::eOk;
}

Acad::ErrorStatus VkQsPolyForValve::addValve(AcDbObjectId valveId)
{
    if (valveId.isNull()) return Acad::eNullObjectId;
    if (m_valves.contains(valveId)) return Acad::eDuplicateKey;
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_valves.append(valveId);
    return Acad::eOk;
}

Acad::ErrorStatus VkQsPolyForValve::removeValve(AcDbObjectId valveId)
{
    if (!m_valves.contains(valveId)) return Acad::eKeyNotFound;
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_valves.remove(valveId);
    return Acad::eOk;
}

Acad::ErrorStatus VkQsPolyForValve::getStartPoint(AcGePoint3d& p) const
{
    p = m_start;
    return Acad::eOk;
}

Acad::ErrorStatus VkQsPolyForValve::getEndPoint(AcGePoint3d& p) const
{
    p = m_end;
    return Acad::eOk;
}

Acad::ErrorStatus VkQsPolyForValve::getOffsetCurves(double dist, std::vector<AcDbCurve*>& curves) const
{
    const AcGeVector3d dir = (m_end - m_start).normal();
    if (dir.isZeroLength()) return Acad::eNotApplicable;
    const AcGeVector3d left = AcGeVector3d::kZAxis.crossProduct(dir) * dist;
    curves.push_back(new AcDbLine(m_start + left, m_end + left));
    return Acad::eOk;
}

Acad::ErrorStatus VkQsPolyForValve::getDistAtPoint(const AcGePoint3d& p, double& dist) const
{
    const AcGeVector3d axis = m_end - m_start;
    const double len = axis.length();
    if (len <= AcGeContext::gTol.equalPoint()) return Acad::eNotApplicable;
    const double along = (p - m_start).dotProduct(axis) / len;
    const AcGePoint3d foot = m_start + axis * (along / len);
    const double tol = 1e-6;
    if (foot.distanceTo(p) > tol || along < -tol || along > len + tol) return Acad::eInvalidInput;
    dist = along;
    return Acad::eOk;
}

AcGePoint3d VkQsPolyForValve::referencePoint() const
{
    return m_start + (m_end - m_start) / 2;
}

void VkQsPolyForValve::getGeomPieces(std::vector<GeomPiece>& pieces) const
{
    addLine(pieces, m_start, m_end);
}

void VkQsPolyForValve::list(CString& out) const
{
    VkQsEntity::list(out);
    CString s;
    s.Format(u"  Start: %g, %g, %g\n  End: %g, %g, %g\n  Valves: %d\n", m_start.x, m_start.y, m_start.z,
             m_end.x, m_end.y, m_end.z, m_valves.length());
    out += s;
}

Acad::ErrorStatus VkQsPolyForValve::dwgOutFields(AcDbDwgFiler* filer) const
{
    Acad::ErrorStatus es = VkQsEntity::dwgOutFields(filer);
    if (es != Acad::eOk) return es;
    filer->writePoint3d(m_start, "start");
    filer->writePoint3d(m_end, "end");
    filer->writeIdArray(m_valves, AcDb::kHardPointer, "valves");
    return filer->filerStatus();
}

Acad::ErrorStatus VkQsPolyForValve::dwgInFields(AcDbDwgFiler* filer)
{
    Acad::ErrorStatus es = VkQsEntity::dwgInFields(filer);
    if (es != Acad::eOk) return es;
    filer->readPoint3d(&m_start, "start");
    filer->readPoint3d(&m_end, "end");
    filer->readIdArray(&m_valves, AcDb::kHardPointer, "valves");
    return filer->filerStatus();
}

Acad::ErrorStatus VkQsPolyForValve::subTransformBy(const AcGeMatrix3d& xform)
{
    m_start.transformBy(xform);
    m_end.transformBy(xform);
    if (!objectId().isNull() && !m_valves.isEmpty()) VkQsPipeTrans::recordPipe(objectId(), xform);
    return Acad::eOk;
}

Acad::ErrorStatus VkQsPolyForValve::subErase(bool erasing)
{
    VkQsObjectLinks::CascadeScope cascade(objectId());
    for (const AcDbObjectId& id : m_valves) {
        AcDbObject* obj = nullptr;
        if (acdbOpenObject(obj, id, AcDb::kForWrite, !erasing) != Acad::eOk) continue;
        if (obj->isErased() != erasing) obj->erase(erasing);
        obj->close();
    }
    return VkQsEntity::subErase(erasing);
}
