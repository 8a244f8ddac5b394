#pragma once
// The host's own entity classes.
#include <cstdint>

#include "host/db/AcDbObject.h"
#include "host/ge/AcGeCurves.h"

class AcDbCurve : public AcDbEntity {
public:
    ACRX_DECLARE_MEMBERS(AcDbCurve);
    virtual bool isClosed() const { return false; }
    virtual Acad::ErrorStatus getStartPoint(AcGePoint3d& p) const { return Acad::eNotApplicable; }
    virtual Acad::ErrorStatus getEndPoint(AcGePoint3d& p) const { return Acad::eNotApplicable; }
    // Curves offset by a signed distance (positive: to the left of the direction of travel,
    // for curves in the XY plane); appended to curves, owned by the caller.
    virtual Acad::ErrorStatus getOffsetCurves(double dist, std::vector<AcDbCurve*>& curves) const
    {
        return Acad::eNotApplicable;
    }
    virtual Acad::ErrorStatus getDistAtPoint(const AcGePoint3d& p, double& dist) const { return Acad::eNotApplicable; }
};

class AcDbLine : public AcDbCurve {
public:
    ACRX_DECLARE_MEMBERS(AcDbLine);
    AcDbLine() = default;
    AcDbLine(const AcGePoint3d& start, const AcGePoint3d& end) : m_start(start), m_end(end) {}
    AcGePoint3d startPoint() const;
    AcGePoint3d endPoint() const;
    Acad::ErrorStatus setStartPoint(const AcGePoint3d& p);
    Acad::ErrorStatus setEndPoint(const AcGePoint3d& p);
    Acad::ErrorStatus getStartPoint(AcGePoint3d& p) const override;
    Acad::ErrorStatus getEndPoint(AcGePoint3d& p) const override;
    Acad::ErrorStatus getOffsetCurves(double dist, std::vector<AcDbCurve*>& curves) const override;
    void getGeomPieces(std::vector<GeomPiece>& pieces) const override;
    void list(CString& out) const override;
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;  // "start", "end"
    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;

protected:
    Acad::ErrorStatus subTransformBy(const AcGeMatrix3d& xform) override;

private:
    AcGePoint3d m_start, m_end;
};

// A lightweight polyline in a plane parallel to XY at its elevation: vertices with bulges
// and widths, open or closed.
class AcDbPolyline : public AcDbCurve {
public:
    ACRX_DECLARE_MEMBERS(AcDbPolyline);
    enum SegType { kLine = 0, kArc = 1, kCoincident = 2, kPoint = 3, kEmpty = 4 };
    AcDbPolyline() = default;
    explicit AcDbPolyline(unsigned int numVerts) { m_verts.reserve(numVerts); }

    unsigned int numVerts() const;
    Acad::ErrorStatus addVertexAt(unsigned int index, const AcGePoint2d& pt, double bulge = 0.0,
                                  double startWidth = -1.0, double endWidth = -1.0);
    Acad::ErrorStatus removeVertexAt(unsigned int index);
    Acad::ErrorStatus getPointAt(unsigned int index, AcGePoint3d& pt) const;  // at the elevation
    Acad::ErrorStatus getPointAt(unsigned int index, AcGePoint2d& pt) const;
    Acad::ErrorStatus setPointAt(unsigned int index, const AcGePoint2d& pt);
    Acad::ErrorStatus getBulgeAt(unsigned int index, double& bulge) const;
    // The points and bulges of the first min(count, numVerts()) vertices in one call, for code
    // that walks the whole outline; returns numVerts(). Either array may be null.
    unsigned int getPointsAndBulges(AcGePoint2d* points, double* bulges, unsigned int count) const;
    Acad::ErrorStatus setBulgeAt(unsigned int index, double bulge);
    Acad::ErrorStatus getWidthsAt(unsigned int index, double& startWidth, double& endWidth) const;
    Acad::ErrorStatus setWidthsAt(unsigned int index, double startWidth, double endWidth);
    // Segment index i runs from vertex i to vertex i+1 (to vertex 0 for the last of a closed
    // polyline). kCoincident when its ends coincide, kEmpty past the last segment.
    SegType segType(unsigned int index) const;
    Acad::ErrorStatus getLineSegAt(unsigned int index, AcGeLineSeg3d& seg) const;
    Acad::ErrorStatus getLineSegAt(unsigned int index, AcGeLineSeg2d& seg) const;
    Acad::ErrorStatus getArcSegAt(unsigned int index, AcGeCircArc3d& arc) const;
    Acad::ErrorStatus getArcSegAt(unsigned int index, AcGeCircArc2d& arc) const;
    bool isClosed() const override { return m_closed; }
    void setClosed(bool closed);
    double elevation() const;
    void setElevation(double elev);
    AcGeVector3d normal() const { return AcGeVector3d::kZAxis; }
    // A stamp of the outline as it stands. Every change of vertices, bulges, widths, closure or
    // elevation gives a new one, and no two polylines of this process ever share one, so code
    // that prepares an outline for many questions can tell whether its preparation still holds.
    std::uint64_t outlineStamp() const { return m_stamp; }

    Acad::ErrorStatus getStartPoint(AcGePoint3d& p) const override;
    Acad::ErrorStatus getEndPoint(AcGePoint3d& p) const override;
    Acad::ErrorStatus getOffsetCurves(double dist, std::vector<AcDbCurve*>& curves) const override;
    void getGeomPieces(std::vector<GeomPiece>& pieces) const override;
    void list(CString& out) const override;
    // "vertices" ([x, y, bulge, startWidth, endWidth] each), "closed", "elevation"
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;

protected:
    Acad::ErrorStatus subTransformBy(const AcGeMatrix3d& xform) override;
    bool subWorldDraw(AcGiWorldDraw* wd) const override;  // segments with their widths

private:
    struct Vertex {
        AcGePoint2d pt;
        double bulge = 0, startWidth = -1, endWidth = -1;
    };
    static std::uint64_t newStamp();
    std::vector<Vertex> m_verts;
    bool m_closed = false;
    double m_elevation = 0;
    std::uint64_t m_stamp = newStamp();
};

class AcDbAttribute;

class AcDbBlockReference : public AcDbEntity {
public:
    ACRX_DECLARE_MEMBERS(AcDbBlockReference);
    // References nested deeper than this (a block that holds itself) are not drawn.
    static constexpr int kMaxNesting = 32;
    AcDbBlockReference() = default;
    AcDbBlockReference(const AcGePoint3d& position, AcDbObjectId blockTableRecord);
    AcDbObjectId blockTableRecord() const;
    Acad::ErrorStatus setBlockTableRecord(AcDbObjectId id);
    AcGePoint3d position() const;
    Acad::ErrorStatus setPosition(const AcGePoint3d& p);
    double rotation() const;
    Acad::ErrorStatus setRotation(double angle);
    AcGeMatrix3d blockTransform() const;   // block space -> world
    Acad::ErrorStatus setBlockTransform(const AcGeMatrix3d& m);
    // Its attributes, owned by it, in world coordinates: they move, turn and go with it.
    // appendAttribute needs the reference open for write and in a database; the attribute
    // stays open for write until the caller closes it.
    Acad::ErrorStatus appendAttribute(AcDbObjectId& id, AcDbAttribute* attribute);
    const std::vector<AcDbObjectId>& attributeIds() const { return m_attributes; }
    void getGeomPieces(std::vector<GeomPiece>& pieces) const override;  // its block's, transformed
    void list(CString& out) const override;
    // "block" (hard pointer), "position", "transform"; then "attributes" (hard ownership) when
    // it has some
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;

protected:
    Acad::ErrorStatus subTransformBy(const AcGeMatrix3d& xform) override;
    Acad::ErrorStatus subErase(bool erasing) override;  // its attributes with it
    bool subWorldDraw(AcGiWorldDraw* wd) const override;

private:
    AcDbObjectId m_block;
    AcGeMatrix3d m_xform;  // includes the position
    std::vector<AcDbObjectId> m_attributes;
};

// The first and last objects of every block table record.
class AcDbBlockBegin : public AcDbEntity {
public:
    ACRX_DECLARE_MEMBERS(AcDbBlockBegin);
};
class AcDbBlockEnd : public AcDbEntity {
public:
    ACRX_DECLARE_MEMBERS(AcDbBlockEnd);
};
