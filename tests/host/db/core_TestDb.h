#pragma once
// Helpers of the database core tests: a drawing with entities in model space.
#include "host/db/AcDb.h"
#include "tests/support/TestDrawing.h"

namespace coretest {

using vktest::appendToModelSpace;

inline AcDbObjectId addLine(AcDbDatabase& db, AcGePoint3d a, AcGePoint3d b)
{
    return appendToModelSpace(db, new AcDbLine(a, b));
}

}  // namespace coretest
