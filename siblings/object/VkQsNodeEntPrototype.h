#pragma once
// Point-like components placed by a full placement (location and reference direction), such
// as sprinklers and detectors.
#include "siblings/object/VkQsEntity.h"

namespace VkQsCommon {
// A location with a reference direction in the XY plane.
class Placement3D {
public:
    Placement3D() = default;
    Placement3D(const AcGePoint3d& location, const AcGeVector3d& refDirection)
        : m_location(location), m_refDirection(refDirection) {}
    AcGePoint3d GetLocation() const { return m_location; }
    AcGeVector3d GetRefDirection() const { return m_refDirection; }
    void transformBy(const AcGeMatrix3d& xform);

private:
    AcGePoint3d m_location;
    AcGeVector3d m_refDirection = AcGeVector3d::kXAxis;
};
}  // namespace VkQsCommon

class VkQsNodeEntPrototype : public VkQsEntity {
public:
    ACRX_DECLARE_MEMBERS(VkQsNodeEntPrototype);
    VkQsNodeEntPrototype() = default;
    explicit VkQsNodeEntPrototype(const VkQsCommon::Placement3D& placement) : m_placement(placement) {}

    VkQsCommon::Placement3D GetPlacement() const { return m_placement; }
    Acad::ErrorStatus SetPlacement(const VkQsCommon::Placement3D& placement);

    AcGePoint3d referencePoint() const override { return m_placement.GetLocation(); }
    void list(CString& out) const override;
    // "location", "refDir"
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;

protected:
    Acad::ErrorStatus subTransformBy(const AcGeMatrix3d& xform) override;

private:
    VkQsCommon::Placement3D m_placement;
};

// A sprinkler head: a circle with a cross along its reference direction.
class VkQsSprinkler : public VkQsNodeEntPrototype {
public:
    ACRX_DECLARE_MEMBERS(VkQsSprinkler);
    VkQsSprinkler() = default;
    explicit VkQsSprinkler(const VkQsCommon::Placement3D& placement) : VkQsNodeEntPrototype(placement) {}
    void getGeomPieces(std::vector<GeomPiece>& pieces) const override;
};
