// Raster images: a file placed by a corner and the vectors of its pixels.
#include <cmath>

#include "host/db/AcDbPlanEntities.h"
#include "host/db/detail/GeomPieces.h"

ACRX_DEFINE_MEMBERS(AcDbRasterImage, AcDbEntity)

namespace {

bool finite(const AcGeVector3d& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

bool validPlacement(const AcGePoint3d& o, const AcGeVector3d& u, const AcGeVector3d& v, const AcGePoint2d& size)
{
    return finite(o.asVector()) && finite(u) && finite(v) && u.crossProduct(v).length() > 0 && size.x > 0 &&
           size.y > 0 && std::isfinite(size.x) && std::isfinite(size.y);
}

}  // namespace

Acad::ErrorStatus AcDbRasterImage::setImageFile(const CString& path)
{
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_file = path;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbRasterImage::setPlacement(const AcGePoint3d& origin, const AcGeVector3d& u,
                                                const AcGeVector3d& v, const AcGePoint2d& size)
{
    if (!validPlacement(origin, u, v, size)) return Acad::eInvalidInput;
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_origin = origin, m_u = u, m_v = v, m_size = size;
    return Acad::eOk;
}

std::vector<AcGePoint3d> AcDbRasterImage::frame() const
{
    const AcGeVector3d w = m_u * m_size.x, h = m_v * m_size.y;
    return {m_origin, m_origin + w, m_origin + w + h, m_origin + h};
}

void AcDbRasterImage::getGeomPieces(std::vector<GeomPiece>& pieces) const
{
    vkdb::addPolylinePieces(pieces, frame(), true);
}

bool AcDbRasterImage::subWorldDraw(AcGiWorldDraw* wd) const
{
    std::vector<AcGePoint3d> pts = frame();
    pts.push_back(pts.front());
    wd->geometry().polyline(static_cast<int>(pts.size()), pts.data());
    return true;
}

void AcDbRasterImage::list(CString& out) const
{
    AcDbEntity::list(out);
    out.AppendFormat(u"  Image file: %s\n", m_file.GetString());
    out.AppendFormat(u"  Size: %.0f x %.0f pixels\n", m_size.x, m_size.y);
}

Acad::ErrorStatus AcDbRasterImage::subTransformBy(const AcGeMatrix3d& xform)
{
    m_origin = xform * m_origin;
    m_u = xform * m_u;
    m_v = xform * m_v;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbRasterImage::dwgOutFields(AcDbDwgFiler* filer) const
{
    Acad::ErrorStatus es = AcDbEntity::dwgOutFields(filer);
    if (es != Acad::eOk) return es;
    filer->writeString(m_file, "file");
    filer->writePoint3d(m_origin, "origin");
    filer->writeVector3d(m_u, "uVector");
    filer->writeVector3d(m_v, "vVector");
    filer->writePoint2d(m_size, "size");
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbRasterImage::dwgInFields(AcDbDwgFiler* filer)
{
    Acad::ErrorStatus es = AcDbEntity::dwgInFields(filer);
    if (es != Acad::eOk) return es;
    CString file = m_file;
    AcGePoint3d o = m_origin;
    AcGeVector3d u = m_u, v = m_v;
    AcGePoint2d size = m_size;
    if ((es = filer->readString(&file, "file")) != Acad::eOk) return es;
    if ((es = filer->readPoint3d(&o, "origin")) != Acad::eOk) return es;
    if ((es = filer->readVector3d(&u, "uVector")) != Acad::eOk) return es;
    if ((es = filer->readVector3d(&v, "vVector")) != Acad::eOk) return es;
    if ((es = filer->readPoint2d(&size, "size")) != Acad::eOk) return es;
    if (!validPlacement(o, u, v, size)) return Acad::eInvalidInput;
    m_file = file, m_origin = o, m_u = u, m_v = v, m_size = size;
    return Acad::eOk;
}
