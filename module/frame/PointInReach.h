#pragma once
// A point the user gives for a room (the base point of a room being defined, where a copy is
// placed) must lie where a drawing can hold it.
#include "host/ge/AcGeVectors.h"

namespace vkroom {
// True when the drawing can hold the point; otherwise the command line says so.
bool PointInReach(const AcGePoint3d& pt);
}  // namespace vkroom
