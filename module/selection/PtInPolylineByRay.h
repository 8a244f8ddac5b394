#pragma once
// Point against polyline by casting a ray towards -X and counting crossings.
#include "host/db/AcDb.h"
#include "host/ge/AcGe.h"

// 1 inside, 0 on the outline (within tol), -1 outside or for a null polyline. Works in three
// dimensions: a point off the polyline's elevation by tol or more meets nothing.
int IsPtInPolylineByRay(AcDbPolyline* pline, AcGePoint3d pt, double tol);
