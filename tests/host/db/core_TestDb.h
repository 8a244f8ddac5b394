#pragma once
// Helpers of the database core tests: a drawing with entities in model space.
#include "host/db/AcDb.h"

namespace coretest {

inline AcDbObjectId appendToModelSpace(AcDbDatabase& db, AcDbEntity* ent)
{
    AcDbBlockTableRecord* ms = nullptr;
    AcDbObjectId id;
    if (acdbOpenObject(ms, db.modelSpaceId(), AcDb::kForWrite) != Acad::eOk) return id;
    if (ms->appendAcDbEntity(id, ent) == Acad::eOk) ent->close();
    ms->close();
    return id;
}

inline AcDbObjectId addLine(AcDbDatabase& db, AcGePoint3d a, AcGePoint3d b)
{
    return appendToModelSpace(db, new AcDbLine(a, b));
}

}  // namespace coretest
