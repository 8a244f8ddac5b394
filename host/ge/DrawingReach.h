#pragma once
// How far from the origin a drawing's geometry may lie. Beyond this the gaps between numbers
// a double holds exceed a thousandth of a drawing unit, so shapes lose their form and sums
// overflow: a command refuses such a point before it changes anything.
#include <cmath>

#include "host/ge/AcGeVectors.h"

namespace vkge {

inline constexpr double kDrawingReach = 1e12;

inline bool DrawingCanHold(double coordinate)
{
    return std::isfinite(coordinate) && std::fabs(coordinate) <= kDrawingReach;
}

inline bool DrawingCanHold(const AcGePoint3d& p)
{
    return DrawingCanHold(p.x) && DrawingCanHold(p.y) && DrawingCanHold(p.z);
}

}  // namespace vkge
