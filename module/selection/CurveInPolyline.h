#pragma once
// The curve relation without a curve object: for callers that hold only a chord's ends.
#include "host/db/AcDb.h"

// IsCurveInPolyline's code for a curve running from s to e. `curve` is that curve, from which
// the offsets are taken when they are needed; null stands for the straight line from s to e,
// which is then made (and freed) only if the offsets are needed.
int CurveInPolylineCode(AcDbPolyline* boundary, const AcGePoint3d& s, const AcGePoint3d& e, double tol,
                        const AcDbCurve* curve);

// The points GetPolylineInterePoint appends for `first` and a two-vertex straight polyline
// from s to e (elevation 0, as the chord of a curve is built), without building that polyline.
void AppendChordInterePoint(AcDbPolyline* first, const AcGePoint2d& s, const AcGePoint2d& e,
                            AcArray<AcGePoint3d>& points);
