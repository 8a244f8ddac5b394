#include "siblings/object/VkQsFittingBase.h"

ACRX_DEFINE_ABSTRACT_MEMBERS(VkQsFittingBase, VkQsEntity);
ACRX_DEFINE_MEMBERS(VkQsPipeFitting, VkQsFittingBase);

namespace {
constexpr double kHalfSize = 60;  // half the drawn body
}

Acad::ErrorStatus VkQsFittingBase::setPosition(const AcGePoint3d& p)
{
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_position = p;
    return Acad::eOk;
}

Acad::ErrorStatus VkQsFittingBase::SetRefPipes(const AcDbObjectIdArray& ids)
{
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_pipes = ids;
    return Acad::eOk;
}

Acad::ErrorStatus VkQsFittingBase::removePipe(AcDbObjectId pipeId)
{
    if (!m_pipes.contains(pipeId)) return Acad::eKeyNotFound;
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_pipes.remove(pipeId);
    return Acad::eOk;
}

void VkQsFittingBase::list(CString& out) const
{
    VkQsEntity::list(out);
    CString s;
    s.Format(u"  Position: %g, %g, %g\n  Pipes: %d\n", m_position.x, m_position.y, m_position.z, m_pipes.length());
    out += s;
}

Acad::ErrorStatus VkQsFittingBase::dwgOutFields(AcDbDwgFiler* filer) const
{
    Acad::ErrorStatus es = VkQsEntity::dwgOutFields(filer);
    if (es != Acad::eOk) return es;
    filer->writeIdArray(m_pipes, AcDb::kSoftPointer, "pipes");
    filer->writePoint3d(m_position, "position");
    return filer->filerStatus();
}

Acad::ErrorStatus VkQsFittingBase::dwgInFields(AcDbDwgFiler* filer)
{
    Acad::ErrorStatus es = VkQsEntity::dwgInFields(filer);
    if (es != Acad::eOk) return es;
    filer->readIdArray(&m_pipes, AcDb::kSoftPointer, "pipes");
    filer->readPoint3d(&m_position, "position");
    return filer->filerStatus();
}

Acad::ErrorStatus VkQsFittingBase::subTransformBy(const AcGeMatrix3d& xform)
{
    m_position.transformBy(xform);
    return Acad::eOk;
}

void VkQsPipeFitting::getGeomPieces(std::vector<GeomPiece>& pieces) const
{
    const AcGePoint3d p = position();
    const AcGeVector3d dx(kHalfSize, 0, 0), dy(0, kHalfSize, 0);
    addLine(pieces, p - dx - dy, p + dx - dy);
    addLine(pieces, p + dx - dy, p + dx + dy);
    addLine(pieces, p + dx + dy, p - dx + dy);
    addLine(pieces, p - dx + dy, p - dx - dy);
}

