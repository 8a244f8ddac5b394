#pragma once
// A node: a point-like component at its insertion point (a junction, an outlet), drawn as
// a circle.
#include "siblings/object/VkQsEntity.h"

class VkQsNode : public VkQsEntity {
public:
    ACRX_DECLARE_MEMBERS(VkQsNode);
    VkQsNode() = default;
    explicit VkQsNode(const AcGePoint3d& insertPt, double radius = 50) : m_insertPt(insertPt), m_radius(radius) {}

    AcGePoint3d GetInsertPoint() const { return m_insertPt; }
    Acad::ErrorStatus SetInsertPoint(const AcGePoint3d& p);
    double radius() const { return m_radius; }
    Acad::ErrorStatus setRadius(double r);  // eInvalidInput unless positive

    AcGePoint3d referencePoint() const override { return m_insertPt; }
    void getGeomPieces(std::vector<GeomPiece>& pieces) const override;
    void list(CString& out) const override;
    // "insertPt", "radius"
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;

protected:
    Acad::ErrorStatus subTransformBy(const AcGeMatrix3d& xform) override;

private:
    AcGePoint3d m_insertPt;
    double m_radius = 50;
};
