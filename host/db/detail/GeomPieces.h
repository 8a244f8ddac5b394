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
// The box that a text fills (estimated from its characters), as four lines.
void addTextBox(std::vector<Piece>& pieces, const AcGePoint3d& alignPoint, double rotation, double height,
                const CString& text, int hMode, int vMode, double lineSpacing);
// Line pieces joining the points in order (closed: back to the first).
void addPolylinePieces(std::vector<Piece>& pieces, const std::vector<AcGePoint3d>& points, bool closed);
// A block's entities as its references show them (attribute definitions only when constant),
// through m (block space to world): their pieces, or their drawing with the owner's colour
// for "by block" and its layer for layer "0".
void blockPieces(AcDbObjectId blockId, const AcGeMatrix3d& m, std::vector<Piece>& pieces);
void drawBlock(const AcDbEntity& owner, AcDbObjectId blockId, const AcGeMatrix3d& m, AcGiWorldDraw* wd);
// Points common to two bounded pieces, within the global tolerance.
void intersectPieces(const Piece& a, const Piece& b, std::vector<AcGePoint3d>& out);

}  // namespace vkdb
