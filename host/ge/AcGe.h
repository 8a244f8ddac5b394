#pragma once
// Everything of the geometry layer.
#include "host/ge/AcDbExtents.h"
#include "host/ge/AcGeCurves.h"
#include "host/ge/AcGeMatrix3d.h"
#include "host/ge/AcGePlane.h"
#include "host/ge/AcGeTol.h"
#include "host/ge/AcGeVectors.h"
#include "host/ge/DrawingReach.h"
