#pragma once
// The arc of a polyline segment from its bulge (the tangent of a quarter of its included angle,
// positive counter-clockwise): one formula for every reader of polylines.

namespace vkge {

struct BulgeCentre {
    double x, y;
};

// The centre of the arc from (ax, ay) to (bx, by) with a non-zero bulge: off the chord's
// midpoint along its left normal (-dy, dx) by chord * (1 - b^2) / (4b); the sign of b puts it
// on the correct side.
inline BulgeCentre ArcCentreFromBulge(double ax, double ay, double bx, double by, double bulge)
{
    const double dx = bx - ax, dy = by - ay;
    const double k = (1.0 - bulge * bulge) / (4.0 * bulge);
    return {ax + dx * 0.5 - dy * k, ay + dy * 0.5 + dx * k};
}

}  // namespace vkge
