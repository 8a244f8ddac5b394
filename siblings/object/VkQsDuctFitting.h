#pragma once
// A duct fitting: joins ducts (its pipes) and holds the duct pieces that make up its body
// (soft pointers). Drawn as a diamond.
#include "siblings/object/VkQsFittingBase.h"

class VkQsDuctFitting : public VkQsFittingBase {
public:
    ACRX_DECLARE_MEMBERS(VkQsDuctFitting);
    VkQsDuctFitting() = default;
    explicit VkQsDuctFitting(const AcGePoint3d& position) : VkQsFittingBase(position) {}

    AcDbObjectIdArray GetRefDlps() const { return m_dlps; }
    void GetRefDlps(AcDbObjectIdArray& ids) const { ids = m_dlps; }
    Acad::ErrorStatus SetRefDlps(const AcDbObjectIdArray& ids);
    Acad::ErrorStatus removeDlp(AcDbObjectId dlpId);  // eKeyNotFound when not held

    void getGeomPieces(std::vector<GeomPiece>& pieces) const override;
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;  // "dlps" (soft pointers)
    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;

private:
    AcDbObjectIdArray m_dlps;
};
