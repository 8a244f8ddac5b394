#include "siblings/region/AcDbVkBanBase.h"

#include <algorithm>
#include <cmath>

ACRX_DEFINE_ABSTRACT_MEMBERS(AcDbVkBanBase, AcDbPolyline);

Acad::ErrorStatus AcDbVkBanBase::SetAttname(const CString& name)
{
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_attName = name;
    return Acad::eOk;
}

AcGePoint3d AcDbVkBanBase::GetTextBasePoint() const
{
    const unsigned int n = numVerts();
    if (n == 0) return AcGePoint3d(0, 0, elevation());
    double area2 = 0, cx = 0, cy = 0, sx = 0, sy = 0;
    for (unsigned int i = 0; i < n; ++i) {
        AcGePoint2d a, b;
        getPointAt(i, a);
        getPointAt((i + 1) % n, b);
        const double cross = a.x * b.y - b.x * a.y;
        area2 += cross;
        cx += (a.x + b.x) * cross;
        cy += (a.y + b.y) * cross;
        sx += a.x;
        sy += a.y;
    }
    if (std::fabs(area2) < 1e-9) return AcGePoint3d(sx / n, sy / n, elevation());
    return AcGePoint3d(cx / (3 * area2), cy / (3 * area2), elevation());
}

double AcDbVkBanBase::GetTextHeight() const
{
    AcDbExtents ext;
    if (getGeomExtents(ext) != Acad::eOk) return 100.0;
    const AcGeVector3d size = ext.maxPoint() - ext.minPoint();
    return std::clamp(std::min(size.x, size.y) / 8.0, 1.0, 300.0);
}

bool AcDbVkBanBase::subWorldDraw(AcGiWorldDraw* wd) const
{
    const bool drawn = AcDbPolyline::subWorldDraw(wd);
    if (m_attName.IsEmpty()) return drawn;
    // The kind hooks are the region's own (non-const by their published signature); they
    // only compute a position or draw.
    auto* self = const_cast<AcDbVkBanBase*>(this);
    AcGePoint3d at = GetTextBasePoint();
    self->AdjustTextPosition(at);
    // The name is centred on its point, which lies inside the outline.
    wd->geometry().alignedText(at, AcGeVector3d::kXAxis, GetTextHeight(), m_attName, 1, 2, 1.0);
    self->DrawSympol(wd, at);
    return drawn;
}

Acad::ErrorStatus AcDbVkBanBase::dwgOutFields(AcDbDwgFiler* filer) const
{
    Acad::ErrorStatus es = AcDbPolyline::dwgOutFields(filer);
    if (es != Acad::eOk) return es;
    filer->writeString(m_attName, "attName");
    filer->writeString(m_attIndex, "attIndex");
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbVkBanBase::dwgInFields(AcDbDwgFiler* filer)
{
    Acad::ErrorStatus es = AcDbPolyline::dwgInFields(filer);
    if (es != Acad::eOk) return es;
    filer->readString(&m_attName, "attName");
    filer->readString(&m_attIndex, "attIndex");
    return filer->filerStatus();
}

void AcDbVkBanBase::list(CString& out) const
{
    AcDbPolyline::list(out);
    out += CString(u"  Name: ") + m_attName + u"\n";
    out += CString(u"  Attribute index: ") + m_attIndex + u"\n";
}
