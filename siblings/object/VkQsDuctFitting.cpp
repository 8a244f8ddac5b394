#include "siblings/object/VkQsDuctFitting.h"

namespace {
constexpr double kHalfSize = 60;
}

ACRX_DEFINE_MEMBERS(VkQsDuctFitting, VkQsFittingBase);

Acad::ErrorStatus VkQsDuctFitting::SetRefDlps(const AcDbObjectIdArray& ids)
{
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_dlps = ids;
    return Acad::eOk;
}

Acad::ErrorStatus VkQsDuctFitting::removeDlp(AcDbObjectId dlpId)
{
    if (!m_dlps.contains(dlpId)) return Acad::eKeyNotFound;
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_dlps.remove(dlpId);
    return Acad::eOk;
}

void VkQsDuctFitting::getGeomPieces(std::vector<GeomPiece>& pieces) const
{
    const AcGePoint3d p = position();
    const AcGeVector3d dx(2 * kHalfSize, 0, 0), dy(0, 2 * kHalfSize, 0);
    addLine(pieces, p - dx, p - dy);
    addLine(pieces, p - dy, p + dx);
    addLine(pieces, p + dx, p + dy);
    addLine(pieces, p + dy, p - dx);
}

Acad::ErrorStatus VkQsDuctFitting::dwgOutFields(AcDbDwgFiler* filer) const
{
    Acad::ErrorStatus es = VkQsFittingBase::dwgOutFields(filer);
    if (es != Acad::eOk) return es;
    filer->writeIdArray(m_dlps, AcDb::kSoftPointer, "dlps");
    return filer->filerStatus();
}

Acad::ErrorStatus VkQsDuctFitting::dwgInFields(AcDbDwgFiler* filer)
{
    Acad::ErrorStatus es = VkQsFittingBase::dwgInFields(filer);
    if (es != Acad::eOk) return es;
    filer->readIdArray(&m_dlps, AcDb::kSoftPointer, "dlps");
    return filer->filerStatus();
}
