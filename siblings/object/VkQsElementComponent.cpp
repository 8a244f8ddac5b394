#include "siblings/object/VkQsElementComponent.h"

#include <cmath>

ACRX_DEFINE_MEMBERS(VkQsElementComponent, VkQsEntity);

AcGePoint3d VkQsCore::GetProductLocation(const std::shared_ptr<const Product>& product)
{
    return product ? product->location : AcGePoint3d::kOrigin;
}

namespace {
bool validFootprint(const VkQsCore::Product& p)
{
    return p.width > 0 && p.depth > 0;
}
}  // namespace

VkQsElementComponent::VkQsElementComponent() : m_product(std::make_shared<const VkQsCore::Product>()) {}

VkQsElementComponent::VkQsElementComponent(const VkQsCore::Product& product)
    : m_product(std::make_shared<const VkQsCore::Product>(product))
{
}

Acad::ErrorStatus VkQsElementComponent::SetProduct(const VkQsCore::Product& product)
{
    if (!validFootprint(product)) return Acad::eInvalidInput;
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_product = std::make_shared<const VkQsCore::Product>(product);
    return Acad::eOk;
}

void VkQsElementComponent::getGeomPieces(std::vector<GeomPiece>& pieces) const
{
    const VkQsCore::Product& p = *m_product;
    const AcGeVector3d u(std::cos(p.angle) * p.width / 2, std::sin(p.angle) * p.width / 2, 0);
    const AcGeVector3d v = AcGeVector3d::kZAxis.crossProduct(u).normal() * (p.depth / 2);
    const AcGePoint3d c = p.location;
    addLine(pieces, c - u - v, c + u - v);
    addLine(pieces, c + u - v, c + u + v);
    addLine(pieces, c + u + v, c - u + v);
    addLine(pieces, c - u + v, c - u - v);
}

void VkQsElementComponent::list(CString& out) const
{
    VkQsEntity::list(out);
    CString s;
    s.Format(u"  Product: %s\n  Location: %g, %g, %g\n", m_product->name.GetString(), m_product->location.x,
             m_product->location.y, m_product->location.z);
    out += s;
}

Acad::ErrorStatus VkQsElementComponent::dwgOutFields(AcDbDwgFiler* filer) const
{
    Acad::ErrorStatus es = VkQsEntity::dwgOutFields(filer);
    if (es != Acad::eOk) return es;
    filer->writeString(m_product->name, "product");
    filer->writePoint3d(m_product->location, "location");
    filer->writeDouble(m_product->angle, "angle");
    filer->writeDouble(m_product->width, "width");
    filer->writeDouble(m_product->depth, "depth");
    return filer->filerStatus();
}

Acad::ErrorStatus VkQsElementComponent::dwgInFields(AcDbDwgFiler* filer)
{
    Acad::ErrorStatus es = VkQsEntity::dwgInFields(filer);
    if (es != Acad::eOk) return es;
    VkQsCore::Product p = *m_product;
    filer->readString(&p.name, "product");
    filer->readPoint3d(&p.location, "location");
    filer->readDouble(&p.angle, "angle");
    filer->readDouble(&p.width, "width");
    filer->readDouble(&p.depth, "depth");
    if (filer->filerStatus() != Acad::eOk) return filer->filerStatus();
    if (!validFootprint(p)) return Acad::eInvalidInput;
    m_product = std::make_shared<const VkQsCore::Product>(p);
    return Acad::eOk;
}

Acad::ErrorStatus VkQsElementComponent::subTransformBy(const AcGeMatrix3d& xform)
{
    VkQsCore::Product p = *m_product;
    AcGeVector3d u(std::cos(p.angle), std::sin(p.angle), 0);
    u.transformBy(xform);
    const double scale = u.length();
    p.location.transformBy(xform);
    if (scale > 0) {
        p.angle = std::atan2(u.y, u.x);
        p.width *= scale;
        p.depth *= scale;
    }
    m_product = std::make_shared<const VkQsCore::Product>(p);
    return Acad::eOk;
}
