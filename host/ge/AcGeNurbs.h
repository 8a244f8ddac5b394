#pragma once
// Non-uniform rational B-spline curves: evaluation, sampling, and the cubic through given
// points (splines known by their fit points only).
#include <vector>

#include "host/ge/AcGeVectors.h"

namespace vkge {

// Degree p, n control points with their weights (empty: all 1), n + p + 1 knots.
struct Nurbs {
    int degree = 3;
    std::vector<double> knots;
    std::vector<AcGePoint3d> points;
    std::vector<double> weights;
};

// Degree 1 to 11, enough points, as many knots as they need, non-decreasing and finite,
// weights positive, a parameter range that is not empty.
bool IsValidNurbs(const Nurbs& c);
// The point at parameter t, clamped to the curve's range (valid curves only).
AcGePoint3d NurbsPoint(const Nurbs& c, double t);
// Points along a valid curve from its start to its end: segmentsPerSpan a knot span (fewer
// when the whole would pass maxPoints).
std::vector<AcGePoint3d> SampleNurbs(const Nurbs& c, int segmentsPerSpan = 16, int maxPoints = 4000);
// The cubic B-spline through the points in their order (chord-length parameters), leaving
// along startTangent and arriving along endTangent (their directions; zero: estimated from
// the points). False for fewer than two points or points that coincide in a row.
bool InterpolateNurbs(const std::vector<AcGePoint3d>& fit, const AcGeVector3d& startTangent,
                      const AcGeVector3d& endTangent, Nurbs& out);

}  // namespace vkge
