#include "siblings/region/AcDbVkRoom.h"

#include <algorithm>
#include <vector>

ACRX_DEFINE_MEMBERS(AcDbVkRoom, AcDbVkBanBase);

Acad::ErrorStatus AcDbVkRoom::SetIfBelongSR(bool belongs)
{
    if (!assertWriteEnabled(true, false)) return Acad::eNotOpenForWrite;
    m_belongSR = belongs;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbVkRoom::dwgOutFields(AcDbDwgFiler* filer) const
{
    Acad::ErrorStatus es = AcDbVkBanBase::dwgOutFields(filer);
    if (es != Acad::eOk) return es;
    filer->writeBool(m_belongSR, "belongSR");
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbVkRoom::dwgInFields(AcDbDwgFiler* filer)
{
    Acad::ErrorStatus es = AcDbVkBanBase::dwgInFields(filer);
    if (es != Acad::eOk) return es;
    filer->readBool(&m_belongSR, "belongSR");
    return filer->filerStatus();
}

namespace {

// Where the outline's straight chords cross the horizontal line at y, sorted.
std::vector<double> crossingsAt(const AcDbPolyline& pl, double y)
{
    std::vector<double> xs;
    const unsigned int n = pl.numVerts();
    for (unsigned int i = 0; i < n; ++i) {
        AcGePoint2d a, b;
        pl.getPointAt(i, a);
        pl.getPointAt((i + 1) % n, b);
        if ((a.y <= y) == (b.y <= y)) continue;  // half-open rule: a vertex counts once
        xs.push_back(a.x + (y - a.y) * (b.x - a.x) / (b.y - a.y));
    }
    std::sort(xs.begin(), xs.end());
    return xs;
}

}  // namespace

void AcDbVkRoom::AdjustTextPosition(AcGePoint3d& pt)
{
    const std::vector<double> xs = crossingsAt(*this, pt.y);
    double bestWidth = -1, bestMid = pt.x;
    for (size_t i = 0; i + 1 < xs.size(); i += 2) {
        if (pt.x >= xs[i] && pt.x <= xs[i + 1]) return;  // already inside
        if (xs[i + 1] - xs[i] > bestWidth) {
            bestWidth = xs[i + 1] - xs[i];
            bestMid = (xs[i] + xs[i + 1]) / 2;
        }
    }
    pt.x = bestMid;
}

AcDbVkBanBase* AcDbVkRoom::CreateNew()
{
    return new AcDbVkRoom();
}
