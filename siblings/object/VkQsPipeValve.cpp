#include "siblings/object/VkQsPipeValve.h"

#include <cmath>

#include "siblings/object/CDealReactor.h"
#include "siblings/object/VkQsObjectLinks.h"
#include "siblings/object/VkQsPolyForValve.h"

ACRX_DEFINE_MEMBERS(VkQsPipeValve, VkQsEntity);

Acad::ErrorStatus VkQsPipeValve::SetPipeId(AcDbObjectId pipeId)
{
    if (!assertWriteEnabled(true, false)) return Acad::eNotOpenForWrite;
    m_pipe = pipeId;
    return Acad::eOk;
}

Acad::ErrorStatus VkQsPipeValve::setPosition(const AcGePoint3d& p)
{
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_position = p;
    return Acad::eOk;
}

Acad::ErrorStatus VkQsPipeValve::setAngle(double a)
{
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_angle = a;
    return Acad::eOk;
}

Acad::ErrorStatus VkQsPipeValve::setSize(double s)
{
    if (!(s > 0)) return Acad::eInvalidInput;
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_size = s;
    return Acad::eOk;
}

void VkQsPipeValve::getGeomPieces(std::vector<GeomPiece>& pieces) const
{
    const AcGeVector3d along(std::cos(m_angle) * m_size / 2, std::sin(m_angle) * m_size / 2, 0);
    const AcGeVector3d across = AcGeVector3d::kZAxis.crossProduct(along) * 0.6;
    const AcGePoint3d a = m_position - along + across, b = m_position + along - across;
    const AcGePoint3d c = m_position + along + across, d = m_position - along - across;
    addLine(pieces, a, b);  // the two diagonals meet at the position
    addLine(pieces, b, c);
    addLine(pieces, c, d);
    addLine(pieces, d, a);
}

void VkQsPipeValve::list(CString& out) const
{
    VkQsEntity::list(out);
    CString s;
    s.Format(u"  Position: %g, %g, %g\n  Angle: %g\n", m_position.x, m_position.y, m_position.z, m_angle);
    out += s;
    if (!m_pipe.isNull()) out += CString(u"  Pipe: ") + m_pipe.handle().text() + u"\n";
}

Acad::ErrorStatus VkQsPipeValve::dwgOutFields(AcDbDwgFiler* filer) const
{
    Acad::ErrorStatus es = VkQsEntity::dwgOutFields(filer);
    if (es != Acad::eOk) return es;
    filer->writeSoftPointerId(m_pipe, "pipe");
    filer->writePoint3d(m_position, "position");
    filer->writeDouble(m_angle, "angle");
    filer->writeDouble(m_size, "size");
    return filer->filerStatus();
}

Acad::ErrorStatus VkQsPipeValve::dwgInFields(AcDbDwgFiler* filer)
{
    Acad::ErrorStatus es = VkQsEntity::dwgInFields(filer);
    if (es != Acad::eOk) return es;
    filer->readSoftPointerId(&m_pipe, "pipe");
    filer->readPoint3d(&m_position, "position");
    filer->readDouble(&m_angle, "angle");
    filer->readDouble(&m_size, "size");
    if (filer->filerStatus() == Acad::eOk && !(m_size > 0)) return Acad::eInvalidInput;
    return filer->filerStatus();
}

Acad::ErrorStatus VkQsPipeValve::subTransformBy(const AcGeMatrix3d& xform)
{
    AcGeVector3d dir(std::cos(m_angle), std::sin(m_angle), 0);
    dir.transformBy(xform);
    const double scale = dir.length();
    m_position.transformBy(xform);
    if (scale > 0) {
        m_angle = std::atan2(dir.y, dir.x);
        m_size *= scale;
    }
    if (!objectId().isNull()) VkQsPipeTrans::recordValve(objectId());
    return Acad::eOk;
}

Acad::ErrorStatus VkQsPipeValve::subErase(bool erasing)
{
    if (m_pipe.isNull() || VkQsObjectLinks::CascadeScope::isCascading(m_pipe)) return VkQsEntity::subErase(erasing);
    AcDbObject* obj = nullptr;
    const Acad::ErrorStatus es = acdbOpenObject(obj, m_pipe, AcDb::kForWrite);
    VkQsPolyForValve* pipe = es == Acad::eOk ? VkQsPolyForValve::cast(obj) : nullptr;
    if (pipe) {
        if (erasing) pipe->removeValve(objectId());
        else pipe->addValve(objectId());
    } else if (erasing && es != Acad::eOk) {
        VkQsObjectLinks::recordValveRemoval(m_pipe, objectId());
    }
    if (obj) obj->close();
    return VkQsEntity::subErase(erasing);
}
