#pragma once
// World drawing: an entity draws itself into a geometry collector (previews, pictures, picks).
#include "host/db/AcDbCore.h"

class AcDbPolyline;

class AcGiWorldGeometry {
public:
    virtual ~AcGiWorldGeometry() = default;
    virtual bool polyline(int nbPoints, const AcGePoint3d* points) = 0;
    virtual bool circle(const AcGePoint3d& center, double radius, const AcGeVector3d& normal) = 0;
    virtual bool circularArc(const AcGePoint3d& center, double radius, const AcGeVector3d& normal,
                             const AcGeVector3d& startVector, double sweepAngle) = 0;
    virtual bool text(const AcGePoint3d& position, double height, const CString& text) = 0;
    // Text written along a direction (its baseline); lines are separated by '\n'. Collectors
    // that know no direction take it as horizontal.
    virtual bool textAlong(const AcGePoint3d& position, const AcGeVector3d& direction, double height,
                           const CString& text)
    {
        return this->text(position, height, text);
    }
    virtual void setLineWidth(double width) {}  // world width of the curves that follow (0: thin)
    // A lightweight polyline's segments from fromIndex, numSegs of them (0: all), as lines
    // and arcs at its elevation; a segment that closes it only when it is closed.
    virtual bool pline(const AcDbPolyline& pline, unsigned int fromIndex = 0, unsigned int numSegs = 0);
    virtual void setColor(int aci) {}           // colour index of what follows
    // Layer of what follows; inside a block reference, layer "0" means the reference's layer.
    virtual void setLayer(const CString& layer) {}
    virtual void pushTransform(const AcGeMatrix3d& m) {}  // block references draw through it
    virtual void popTransform() {}
};

class AcGiWorldDraw {
public:
    virtual ~AcGiWorldDraw() = default;
    virtual AcGiWorldGeometry& geometry() = 0;
    virtual bool isDragging() const { return false; }
};
