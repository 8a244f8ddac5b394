#pragma once
// Fittings: point-like components that join pipes (or ducts) at their position. The joined
// pipes are soft pointers.
#include "siblings/object/VkQsEntity.h"

class VkQsFittingBase : public VkQsEntity {
public:
    ACRX_DECLARE_MEMBERS(VkQsFittingBase);
    VkQsFittingBase() = default;
    explicit VkQsFittingBase(const AcGePoint3d& position) : m_position(position) {}

    AcGePoint3d position() const { return m_position; }
    Acad::ErrorStatus setPosition(const AcGePoint3d& p);
    AcDbObjectIdArray GetRefPipes() const { return m_pipes; }
    void GetRefPipes(AcDbObjectIdArray& ids) const { ids = m_pipes; }
    Acad::ErrorStatus SetRefPipes(const AcDbObjectIdArray& ids);
    Acad::ErrorStatus removePipe(AcDbObjectId pipeId);  // eKeyNotFound when not joined

    AcGePoint3d referencePoint() const override { return m_position; }
    void list(CString& out) const override;
    // "pipes" (soft pointers), "position"
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;

protected:
    Acad::ErrorStatus subTransformBy(const AcGeMatrix3d& xform) override;

private:
    AcGePoint3d m_position;
    AcDbObjectIdArray m_pipes;
};

// A pipe fitting (elbow, tee, cross by the number of pipes), drawn as a small square.
class VkQsPipeFitting : public VkQsFittingBase {
public:
    ACRX_DECLARE_MEMBERS(VkQsPipeFitting);
    VkQsPipeFitting() = default;
    explicit VkQsPipeFitting(const AcGePoint3d& position) : VkQsFittingBase(position) {}
    void getGeomPieces(std::vector<GeomPiece>& pieces) const override;
};
