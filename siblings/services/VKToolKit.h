#pragma once
// Geometry and selection helpers.
#include "host/db/AcDbCore.h"
#include "host/ge/AcDbExtents.h"
#include "host/win/CString.h"

class AcDbPolyline;
class AcDbCurve;

class VKToolKit {
public:
    // Classifies a point against a polyline taken as closed (bulges are arcs), on the XY
    // projection: z of the point and of the polyline is ignored. Negative outside, 0 when the
    // point lies within |tol| of the outline, positive inside. Null or fewer than two vertices: -1.
    // Inside means a non-zero winding number, so both loops of a self-crossing outline are inside.
    static int IsPtInPolyline(const AcDbPolyline* pline, const AcGePoint3d& pt, double tol);
    // True when the boxes overlap (touching counts); false when either is empty.
    static bool ExtentsInter(const AcDbExtents& a, const AcDbExtents& b);
    // The curve offset by `dist` (the curve's own side convention), a new object owned by the
    // caller, or null in `out` when there is none. eOk when a curve was made.
    static Acad::ErrorStatus GetOffsetCurve(const AcDbCurve* curve, double dist, AcDbCurve*& out);
    // Ids of model-space entities of the working database on `layer` (case-insensitive), in
    // drawing order. `filter` (empty) and `color` (-1: any) narrow nothing else here.
    static AcDbObjectIdArray SelectEntity(const CString& layer, const CString& filter, int color);
};
