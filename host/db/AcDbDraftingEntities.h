#pragma once
// The drafting entities that plans from other programs bring: circles, arcs, points and
// single-line texts, all in planes parallel to XY.
#include "host/db/AcDbEntities.h"

class AcDbCircle : public AcDbCurve {
public:
    ACRX_DECLARE_MEMBERS(AcDbCircle);
    AcDbCircle() = default;
    AcDbCircle(const AcGePoint3d& center, double radius) : m_center(center), m_radius(radius) {}
    AcGePoint3d center() const;
    Acad::ErrorStatus setCenter(const AcGePoint3d& p);
    double radius() const;
    Acad::ErrorStatus setRadius(double r);  // eInvalidInput unless > 0
    bool isClosed() const override { return true; }
    Acad::ErrorStatus getStartPoint(AcGePoint3d& p) const override;
    Acad::ErrorStatus getEndPoint(AcGePoint3d& p) const override;
    void getGeomPieces(std::vector<GeomPiece>& pieces) const override;
    void list(CString& out) const override;
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;  // "center", "radius"
    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;

protected:
    Acad::ErrorStatus subTransformBy(const AcGeMatrix3d& xform) override;

private:
    AcGePoint3d m_center;
    double m_radius = 1;
};

// Counter-clockwise about +Z from the start angle to the end angle (radians from +X).
class AcDbArc : public AcDbCurve {
public:
    ACRX_DECLARE_MEMBERS(AcDbArc);
    AcDbArc() = default;
    AcDbArc(const AcGePoint3d& center, double radius, double startAngle, double endAngle)
        : m_center(center), m_radius(radius), m_start(startAngle), m_end(endAngle) {}
    AcGePoint3d center() const;
    Acad::ErrorStatus setCenter(const AcGePoint3d& p);
    double radius() const;
    Acad::ErrorStatus setRadius(double r);  // eInvalidInput unless > 0
    double startAngle() const;
    Acad::ErrorStatus setStartAngle(double a);
    double endAngle() const;
    Acad::ErrorStatus setEndAngle(double a);
    Acad::ErrorStatus getStartPoint(AcGePoint3d& p) const override;
    Acad::ErrorStatus getEndPoint(AcGePoint3d& p) const override;
    void getGeomPieces(std::vector<GeomPiece>& pieces) const override;
    void list(CString& out) const override;
    // "center", "radius", "startAngle", "endAngle"
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;

protected:
    Acad::ErrorStatus subTransformBy(const AcGeMatrix3d& xform) override;

private:
    AcGePoint3d m_center;
    double m_radius = 1, m_start = 0, m_end = 0;
};

class AcDbPoint : public AcDbEntity {
public:
    ACRX_DECLARE_MEMBERS(AcDbPoint);
    AcDbPoint() = default;
    explicit AcDbPoint(const AcGePoint3d& p) : m_position(p) {}
    AcGePoint3d position() const;
    Acad::ErrorStatus setPosition(const AcGePoint3d& p);
    void getGeomPieces(std::vector<GeomPiece>& pieces) const override;  // a line of no length
    void list(CString& out) const override;
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;  // "position"
    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;

protected:
    Acad::ErrorStatus subTransformBy(const AcGeMatrix3d& xform) override;
    bool subWorldDraw(AcGiWorldDraw* wd) const override;

private:
    AcGePoint3d m_position;
};

namespace AcDb {
enum TextHorzMode { kTextLeft = 0, kTextCenter = 1, kTextRight = 2 };
enum TextVertMode { kTextBase = 0, kTextBottom = 1, kTextVertMid = 2, kTextTop = 3 };
}  // namespace AcDb

// A text: its string drawn at a height along a rotation, placed by its alignment point (the
// baseline's left end for left/baseline). Lines of a string are separated by '\n'.
class AcDbText : public AcDbEntity {
public:
    ACRX_DECLARE_MEMBERS(AcDbText);
    AcDbText() = default;
    AcDbText(const AcGePoint3d& position, const CString& text, double height = 2.5, double rotation = 0)
        : m_position(position), m_text(text), m_height(height), m_rotation(rotation) {}
    AcGePoint3d position() const;
    Acad::ErrorStatus setPosition(const AcGePoint3d& p);
    CString textString() const;
    Acad::ErrorStatus setTextString(const CString& text);
    double height() const;
    Acad::ErrorStatus setHeight(double h);  // eInvalidInput unless > 0
    double rotation() const;
    Acad::ErrorStatus setRotation(double angle);
    AcDb::TextHorzMode horizontalMode() const;
    Acad::ErrorStatus setHorizontalMode(AcDb::TextHorzMode m);
    AcDb::TextVertMode verticalMode() const;
    Acad::ErrorStatus setVerticalMode(AcDb::TextVertMode m);
    // Outline: the box the text fills, estimated from its characters (wide ones count double).
    void getGeomPieces(std::vector<GeomPiece>& pieces) const override;
    void list(CString& out) const override;
    // "position", "text", "height", "rotation", "hMode", "vMode"
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
    // Where the first baseline starts, from the alignment point and the estimated size.
    AcGePoint3d baselineStart() const;

protected:
    Acad::ErrorStatus subTransformBy(const AcGeMatrix3d& xform) override;
    bool subWorldDraw(AcGiWorldDraw* wd) const override;

private:
    AcGePoint3d m_position;
    CString m_text;
    double m_height = 2.5, m_rotation = 0;
    AcDb::TextHorzMode m_hMode = AcDb::kTextLeft;
    AcDb::TextVertMode m_vMode = AcDb::kTextBase;
};
