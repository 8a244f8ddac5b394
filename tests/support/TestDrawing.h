#pragma once
// Putting entities into a test drawing: one definition for every test folder.
#include "host/db/AcDb.h"

namespace vktest {

// Appends ent to the block and closes it; the null id (and ent deleted) when that fails.
inline AcDbObjectId appendTo(AcDbObjectId blockId, AcDbEntity* ent)
{
    AcDbBlockTableRecord* block = nullptr;
    AcDbObjectId id;
    if (acdbOpenObject(block, blockId, AcDb::kForWrite) != Acad::eOk) {
        delete ent;
        return id;
    }
    if (block->appendAcDbEntity(id, ent) == Acad::eOk) ent->close();
    else delete ent;
    block->close();
    return id;
}

inline AcDbObjectId appendToModelSpace(AcDbDatabase& db, AcDbEntity* ent) { return appendTo(db.modelSpaceId(), ent); }

// Adds an empty block definition named `name`; its id, the null id when that fails.
inline AcDbObjectId addBlockDefinition(AcDbDatabase& db, const char16_t* name)
{
    AcDbBlockTable* table = nullptr;
    AcDbObjectId id;
    if (db.getBlockTable(table, AcDb::kForWrite) != Acad::eOk) return id;
    auto* rec = new AcDbBlockTableRecord;
    rec->setName(name);
    if (table->add(id, rec) == Acad::eOk) rec->close();
    else delete rec;
    table->close();
    return id;
}

}  // namespace vktest
