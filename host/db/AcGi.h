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
    // Text hung on an alignment point as texts of drawings are: hMode 0 left, 1 centre, 2 right
    // (each line on its own); vMode 0 baseline and 1 bottom (the descender line below it) of
    // the last line, 2 middle of the lines, 3 top of the first line's capitals. A capital
    // letter is height tall; baselines lie lineSpacing heights apart. Collectors that place no
    // text themselves get the first baseline's start from the characters' estimated widths.
    virtual bool alignedText(const AcGePoint3d& alignPoint, const AcGeVector3d& direction, double height,
                             const CString& text, int hMode, int vMode, double lineSpacing);
    // A filled area bounded by the points (closed by itself).
    virtual bool polygon(int nbPoints, const AcGePoint3d* points);
    // A filled area of several outlines: what lies inside an odd number of them, so that
    // inner outlines are holes and outlines inside those islands. points holds the outlines
    // one after another, loopSizes their numbers of points.
    virtual bool polyPolygon(int numLoops, const int* loopSizes, const AcGePoint3d* points);
    virtual void setLineWidth(double width) {}  // world width of the curves that follow (0: thin)
    // Line style of the curves that follow: a linetype by name with the scale of its dashes
    // ("ByLayer", "ByBlock" as entities give them), a line weight (AcDb::LineWeight).
    virtual void setLinetype(const CString& name, double scale) {}
    virtual void setLineWeight(int weight) {}
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
