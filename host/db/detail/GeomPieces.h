#pragma once
// Plain curves of entities (lines and counter-clockwise arcs about +Z): transforming,
// bounding, drawing and intersecting them.
#include <vector>

#include "host/db/AcDbObject.h"

namespace vkdb {

using Piece = AcDbEntity::GeomPiece;

constexpr double kTwoPi = 6.283185307179586476925286766559;

double normalizeAngle(double a);              // into [0, 2pi)
double sweepOf(const Piece& arc);             // in (0, 2pi]
Piece makeArcPiece(const AcGePoint3d& center, double radius, double startAng, double endAng);
// The arc that a polyline segment with that bulge traces (bulge not zero).
Piece arcFromBulge(const AcGePoint3d& start, const AcGePoint3d& end, double bulge);
// True when the matrix turns counter-clockwise into clockwise seen from +Z.
bool reversesXY(const AcGeMatrix3d& m);
Piece transformPiece(const Piece& p, const AcGeMatrix3d& m);
void addPieceExtents(const Piece& p, AcDbExtents& ext);
void drawPiece(const Piece& p, AcGiWorldGeometry& g);
// Points common to two bounded pieces, within the global tolerance.
void intersectPieces(const Piece& a, const Piece& b, std::vector<AcGePoint3d>& out);

}  // namespace vkdb
