#include "siblings/services/AddToModelSpace.h"

#include "host/db/AcDb.h"

Acad::ErrorStatus addToModelSpace(AcDbObjectId& id, AcDbEntity* ent)
{
    id = AcDbObjectId();
    AcDbDatabase* db = acdbCurDwg();
    if (!ent) return Acad::eNullObjectPointer;
    if (!db) return Acad::eNoDatabase;
    AcDbBlockTableRecord* ms = nullptr;
    Acad::ErrorStatus es = acdbOpenObject(ms, db->modelSpaceId(), AcDb::kForWrite);
    if (es != Acad::eOk) return es;
    es = ms->appendAcDbEntity(id, ent);
    ms->close();
    if (es == Acad::eOk) ent->close();
    return es;
}
