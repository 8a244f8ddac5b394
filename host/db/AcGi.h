#pragma once
// World drawing: an entity draws itself into a geometry collector (previews, pictures, picks).
#include "host/db/AcDbCore.h"

class AcGiWorldGeometry {
public:
    virtual ~AcGiWorldGeometry() = default;
    virtual bool polyline(int nbPoints, const AcGePoint3d* points) = 0;
    virtual bool circle(const AcGePoint3d& center, double radius, const AcGeVector3d& normal) = 0;
    virtual bool circularArc(const AcGePoint3d& center, double radius, const AcGeVector3d& normal,
                             const AcGeVector3d& startVector, double sweepAngle) = 0;
    virtual bool text(const AcGePoint3d& position, double height, const CString& text) = 0;
    virtual void setColor(int aci) {}           // colour index of what follows
    virtual void pushTransform(const AcGeMatrix3d& m) {}  // block references draw through it
    virtual void popTransform() {}
};

class AcGiWorldDraw {
public:
    virtual ~AcGiWorldDraw() = default;
    virtual AcGiWorldGeometry& geometry() = 0;
    virtual bool isDragging() const { return false; }
};
