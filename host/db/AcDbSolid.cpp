// Solids: filled triangles and quadrilaterals.
#include <cmath>

#include "host/db/AcDbPlanEntities.h"
#include "host/db/detail/GeomPieces.h"

ACRX_DEFINE_MEMBERS(AcDbSolid, AcDbEntity)

AcDbSolid::AcDbSolid(const AcGePoint3d& p0, const AcGePoint3d& p1, const AcGePoint3d& p2, const AcGePoint3d& p3)
    : m_points{p0, p1, p2, p3}
{
}

Acad::ErrorStatus AcDbSolid::getPointAt(int index, AcGePoint3d& p) const
{
    if (index < 0 || index > 3) return Acad::eInvalidIndex;
    p = m_points[index];
    return Acad::eOk;
}

Acad::ErrorStatus AcDbSolid::setPointAt(int index, const AcGePoint3d& p)
{
    if (index < 0 || index > 3) return Acad::eInvalidIndex;
    if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z)) return Acad::eInvalidInput;
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_points[index] = p;
    return Acad::eOk;
}

std::vector<AcGePoint3d> AcDbSolid::outline() const
{
    // DXF's order: the third and fourth corners are crossed over; a triangle repeats its third.
    std::vector<AcGePoint3d> pts{m_points[0], m_points[1], m_points[3]};
    if (!m_points[3].isEqualTo(m_points[2])) pts.push_back(m_points[2]);
    return pts;
}

void AcDbSolid::getGeomPieces(std::vector<GeomPiece>& pieces) const { vkdb::addPolylinePieces(pieces, outline(), true); }

bool AcDbSolid::subWorldDraw(AcGiWorldDraw* wd) const
{
    const std::vector<AcGePoint3d> pts = outline();
    wd->geometry().polygon(static_cast<int>(pts.size()), pts.data());
    return true;
}

void AcDbSolid::list(CString& out) const
{
    AcDbEntity::list(out);
    for (int i = 0; i < 4; ++i)
        out.AppendFormat(u"  Point %d: X=%.4f  Y=%.4f  Z=%.4f\n", i + 1, m_points[i].x, m_points[i].y, m_points[i].z);
}

Acad::ErrorStatus AcDbSolid::subTransformBy(const AcGeMatrix3d& xform)
{
    for (AcGePoint3d& p : m_points) p = xform * p;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbSolid::dwgOutFields(AcDbDwgFiler* filer) const
{
    Acad::ErrorStatus es = AcDbEntity::dwgOutFields(filer);
    if (es != Acad::eOk) return es;
    filer->writeArrayBegin(4, "corners");
    for (const AcGePoint3d& p : m_points) filer->writePoint3d(p);
    filer->writeArrayEnd();
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbSolid::dwgInFields(AcDbDwgFiler* filer)
{
    Acad::ErrorStatus es = AcDbEntity::dwgInFields(filer);
    if (es != Acad::eOk) return es;
    Adesk::Int32 n = 0;
    es = filer->readArrayBegin(&n, "corners");
    if (es == Acad::eKeyNotFound) return Acad::eOk;
    if (es != Acad::eOk) return es;
    if (n != 3 && n != 4) return Acad::eInvalidInput;
    AcGePoint3d pts[4];
    for (Adesk::Int32 i = 0; i < n; ++i)
        if ((es = filer->readPoint3d(&pts[i])) != Acad::eOk) return es;
    if (n == 3) pts[3] = pts[2];
    if ((es = filer->readArrayEnd()) != Acad::eOk) return es;
    for (const AcGePoint3d& p : pts)
        if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z)) return Acad::eInvalidInput;
    for (int i = 0; i < 4; ++i) m_points[i] = pts[i];
    return Acad::eOk;
}
