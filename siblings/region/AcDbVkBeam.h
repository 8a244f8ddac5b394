#pragma once
// An architectural beam: a straight curve from start to end with a width, drawn as its
// outline. Recognised elsewhere by its exact class name "AcDbVkBeam".
#include "host/db/AcDbEntities.h"
#include "siblings/region/StraightBand.h"

class AcDbVkBeam : public AcDbCurve {
public:
    ACRX_DECLARE_MEMBERS(AcDbVkBeam);
    AcDbVkBeam() = default;
    AcDbVkBeam(const AcGePoint3d& start, const AcGePoint3d& end, double width)
        : m_band{start, end, width} {}

    AcGePoint3d startPoint() const { return m_band.start; }
    AcGePoint3d endPoint() const { return m_band.end; }
    double width() const { return m_band.width; }
    Acad::ErrorStatus setStartPoint(const AcGePoint3d& p);
    Acad::ErrorStatus setEndPoint(const AcGePoint3d& p);
    Acad::ErrorStatus setWidth(double w);  // eInvalidInput below 0

    Acad::ErrorStatus getStartPoint(AcGePoint3d& p) const override;
    Acad::ErrorStatus getEndPoint(AcGePoint3d& p) const override;
    // The outline: both long sides and both ends (the centre line when the width is 0).
    void getGeomPieces(std::vector<GeomPiece>& pieces) const override;
    void list(CString& out) const override;
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;  // "start", "end", "width"
    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;

protected:
    Acad::ErrorStatus subTransformBy(const AcGeMatrix3d& xform) override;

private:
    StraightBand m_band;
};
