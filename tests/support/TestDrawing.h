#pragma once
// Putting entities into a test drawing: one definition for every test folder.
#include <vector>

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

// What a layer is set to; a colour below 0 leaves the layer's own.
struct LayerState {
    int color = -1;
    bool off = false, frozen = false, locked = false;
};

// Sets the state of the layer `name`, made first when missing; its id, null when that fails.
inline AcDbObjectId SetLayer(AcDbDatabase& db, const char16_t* name, const LayerState& state)
{
    AcDbObjectId id;
    AcDbLayerTableRecord* rec = nullptr;
    if (!acdbEnsureLayer(&db, name, true, &id) || acdbOpenObject(rec, id, AcDb::kForWrite) != Acad::eOk)
        return AcDbObjectId();
    if (state.color >= 0) rec->setColorIndex(static_cast<Adesk::UInt16>(state.color));
    rec->setIsOff(state.off);
    rec->setIsFrozen(state.frozen);
    rec->setIsLocked(state.locked);
    rec->close();
    return id;
}

// The live entities of a block (model space by default), in order; none when it cannot be read.
inline std::vector<AcDbObjectId> EntityIds(AcDbDatabase* db, AcDbObjectId blockId = AcDbObjectId())
{
    std::vector<AcDbObjectId> ids;
    AcDbBlockTableRecord* block = nullptr;
    if (!db || acdbOpenObject(block, blockId.isNull() ? db->modelSpaceId() : blockId, AcDb::kForRead) != Acad::eOk)
        return ids;
    ids = block->entityIds();
    block->close();
    return ids;
}

// The live entities of the block named `name`.
inline std::vector<AcDbObjectId> BlockEntityIds(AcDbDatabase* db, const char16_t* name)
{
    AcDbBlockTable* table = nullptr;
    if (!db || db->getBlockTable(table, AcDb::kForRead) != Acad::eOk) return {};
    AcDbObjectId id;
    const bool found = table->getAt(name, id) == Acad::eOk;
    table->close();
    return found ? EntityIds(db, id) : std::vector<AcDbObjectId>{};
}

// Those of the ids whose entity is a T.
template <class T>
std::vector<AcDbObjectId> IdsOf(const std::vector<AcDbObjectId>& ids)
{
    std::vector<AcDbObjectId> found;
    for (const AcDbObjectId& id : ids) {
        AcDbEntity* ent = nullptr;
        if (acdbOpenAcDbEntity(ent, id, AcDb::kForRead) != Acad::eOk) continue;
        if (T::cast(ent)) found.push_back(id);
        ent->close();
    }
    return found;
}

// The class names of the ids' entities, in order.
inline std::vector<CString> ClassNames(const std::vector<AcDbObjectId>& ids)
{
    std::vector<CString> names;
    for (const AcDbObjectId& id : ids) {
        AcDbEntity* ent = nullptr;
        if (acdbOpenAcDbEntity(ent, id, AcDb::kForRead) != Acad::eOk) continue;
        names.push_back(ent->isA()->name());
        ent->close();
    }
    return names;
}

}  // namespace vktest
