#pragma once
// A straight stretch with a width, from start to end: the geometry that beams and duct pieces
// share. It files as "start", "end", "width", draws as its outline (the centre line when the
// width is 0), and scales its width with a uniform scale. StraightBandCurve<Base> is a curve
// class made of one band: beams (on AcDbCurve) and duct pieces (on VkQsEntity) derive from it.
#include <vector>

#include "host/db/AcDbObject.h"

struct StraightBand {
    AcGePoint3d start, end;
    double width = 0;

    // The outline's corners in order round it: four, or the two ends when the band has no width
    // or no length (its centre line). Returns how many.
    int corners(AcGePoint3d out[4]) const;
    void getGeomPieces(std::vector<AcDbEntity::GeomPiece>& pieces) const;
    void getExtents(AcDbExtents& ext) const;  // of the corners
    void transformBy(const AcGeMatrix3d& xform);
    void list(CString& out) const;
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const;
    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer);  // eInvalidInput for a negative width
};

template <class Base>
class StraightBandCurve : public Base {
public:
    StraightBandCurve() = default;
    StraightBandCurve(const AcGePoint3d& start, const AcGePoint3d& end, double width) : m_band{start, end, width} {}

    AcGePoint3d startPoint() const { return m_band.start; }
    AcGePoint3d endPoint() const { return m_band.end; }
    double width() const { return m_band.width; }
    Acad::ErrorStatus setStartPoint(const AcGePoint3d& p) { return set(m_band.start, p); }
    Acad::ErrorStatus setEndPoint(const AcGePoint3d& p) { return set(m_band.end, p); }
    Acad::ErrorStatus setWidth(double w) { return w < 0 ? Acad::eInvalidInput : set(m_band.width, w); }

    Acad::ErrorStatus getStartPoint(AcGePoint3d& p) const override
    {
        p = m_band.start;
        return Acad::eOk;
    }
    Acad::ErrorStatus getEndPoint(AcGePoint3d& p) const override
    {
        p = m_band.end;
        return Acad::eOk;
    }
    // The outline: both long sides and both ends (the centre line when the width is 0).
    void getGeomPieces(std::vector<AcDbEntity::GeomPiece>& pieces) const override { m_band.getGeomPieces(pieces); }
    void list(CString& out) const override
    {
        Base::list(out);
        m_band.list(out);
    }
    // "start", "end", "width" after the base's fields.
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override
    {
        Acad::ErrorStatus es = Base::dwgOutFields(filer);
        return es != Acad::eOk ? es : m_band.dwgOutFields(filer);
    }
    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override
    {
        Acad::ErrorStatus es = Base::dwgInFields(filer);
        return es != Acad::eOk ? es : m_band.dwgInFields(filer);
    }

protected:
    Acad::ErrorStatus subGetGeomExtents(AcDbExtents& ext) const override
    {
        m_band.getExtents(ext);
        return Acad::eOk;
    }
    Acad::ErrorStatus subTransformBy(const AcGeMatrix3d& xform) override
    {
        m_band.transformBy(xform);
        return Acad::eOk;
    }

private:
    template <class T>
    Acad::ErrorStatus set(T& field, const T& value)
    {
        if (!this->assertWriteEnabled()) return Acad::eNotOpenForWrite;
        field = value;
        return Acad::eOk;
    }

    StraightBand m_band;
};
