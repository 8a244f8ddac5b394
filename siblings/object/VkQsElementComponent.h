#pragma once
// Equipment: a component that stands for a product (a pump, a fan coil, a cabinet), placed
// at the product's location, drawn as its footprint.
#include <memory>

#include "siblings/object/VkQsEntity.h"

namespace VkQsCore {
struct Product {
    CString name;
    AcGePoint3d location;
    double angle = 0;                 // footprint rotation, from +X
    double width = 600, depth = 400;  // footprint
};
// The location of a product; the origin for none.
AcGePoint3d GetProductLocation(const std::shared_ptr<const Product>& product);
}  // namespace VkQsCore

class VkQsElementComponent : public VkQsEntity {
public:
    ACRX_DECLARE_MEMBERS(VkQsElementComponent);
    VkQsElementComponent();
    explicit VkQsElementComponent(const VkQsCore::Product& product);

    // A shared handle to the product as it is now; it stays valid after the entity closes.
    const std::shared_ptr<const VkQsCore::Product>& GetProduct() const { return m_product; }
    Acad::ErrorStatus SetProduct(const VkQsCore::Product& product);  // eInvalidInput for a bad footprint

    AcGePoint3d referencePoint() const override { return m_product->location; }
    void getGeomPieces(std::vector<GeomPiece>& pieces) const override;
    void list(CString& out) const override;
    // "product" (its name), "location", "angle", "width", "depth"
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;

protected:
    Acad::ErrorStatus subTransformBy(const AcGeMatrix3d& xform) override;

private:
    // Replaced, never changed in place, so handles given out keep what they saw.
    std::shared_ptr<const VkQsCore::Product> m_product;
};
