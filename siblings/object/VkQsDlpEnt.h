#pragma once
// A duct piece: a straight stretch of duct from start to end with a width, drawn as its
// outline.
#include "siblings/object/VkQsEntity.h"
#include "siblings/region/StraightBand.h"

class VkQsDlpEnt : public VkQsEntity {
public:
    ACRX_DECLARE_MEMBERS(VkQsDlpEnt);
    VkQsDlpEnt() = default;
    VkQsDlpEnt(const AcGePoint3d& start, const AcGePoint3d& end, double width)
        : m_band{start, end, width} {}

    AcGePoint3d startPoint() const { return m_band.start; }
    AcGePoint3d endPoint() const { return m_band.end; }
    double width() const { return m_band.width; }
    Acad::ErrorStatus setStartPoint(const AcGePoint3d& p);
    Acad::ErrorStatus setEndPoint(const AcGePoint3d& p);
    Acad::ErrorStatus setWidth(double w);  // eInvalidInput below 0

    Acad::ErrorStatus getStartPoint(AcGePoint3d& p) const override;
    Acad::ErrorStatus getEndPoint(AcGePoint3d& p) const override;
    AcGePoint3d referencePoint() const override { return m_band.start + (m_band.end - m_band.start) / 2; }
    void getGeomPieces(std::vector<GeomPiece>& pieces) const override;
    void list(CString& out) const override;
    // "start", "end", "width"
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;

protected:
    Acad::ErrorStatus subTransformBy(const AcGeMatrix3d& xform) override;

private:
    StraightBand m_band;
};
