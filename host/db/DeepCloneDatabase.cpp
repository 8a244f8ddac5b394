// Copying content between drawings: deep clone, wblock and the two forms of insert.
#include "host/db/AcDbDatabase.h"
#include "host/db/AcDbSymbolTables.h"
#include "host/db/DeepClone.h"

namespace {

std::vector<AcDbObjectId> modelSpaceEntities(AcDbDatabase* db)
{
    AcDbObjectPointer<AcDbBlockTableRecord> ms(db->modelSpaceId(), AcDb::kForRead);
    return ms ? ms->entityIds() : std::vector<AcDbObjectId>{};
}

AcDbObjectIdArray toArray(const std::vector<AcDbObjectId>& v)
{
    AcDbObjectIdArray a(static_cast<int>(v.size()));
    for (AcDbObjectId id : v) a.append(id);
    return a;
}

}  // namespace

Acad::ErrorStatus AcDbDatabase::deepCloneObjects(const AcDbObjectIdArray& ids, AcDbObjectId owner,
                                                 std::vector<std::pair<AcDbObjectId, AcDbObjectId>>& idMap)
{
    if (owner.isNull()) return Acad::eNullObjectId;
    if (!owner.isValid()) return Acad::eWrongDatabase;
    vkclone::CloneRequest req;
    req.ids = ids;
    req.dest = owner.database();
    req.owner = owner;
    return vkclone::deepClone(req, idMap);
}

Acad::ErrorStatus AcDbDatabase::wblock(AcDbDatabase*& pOutDb, const AcDbObjectIdArray& ids, const AcGePoint3d& basePoint)
{
    pOutDb = nullptr;
    for (AcDbObjectId id : ids)
        if (id.database() != this) return Acad::eWrongDatabase;
    auto out = std::make_unique<AcDbDatabase>(true);
    vkclone::CloneRequest req;
    req.ids = ids;
    req.dest = out.get();
    req.owner = out->modelSpaceId();
    req.filerType = AcDb::kWblockCloneFiler;
    AcGeMatrix3d toOrigin = AcGeMatrix3d::translation(AcGePoint3d::kOrigin - basePoint);
    req.xform = &toOrigin;
    vkclone::IdPairs map;
    if (Acad::ErrorStatus es = vkclone::deepClone(req, map); es != Acad::eOk) return es;
    pOutDb = out.release();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbDatabase::insert(AcDbObjectId& blockId, const char16_t* blockName, AcDbDatabase* source, bool)
{
    blockId = AcDbObjectId();
    if (!blockName || !*blockName) return Acad::eNullBlockName;
    if (!source) return Acad::eNoDatabase;
    if (source == this) return Acad::eSelfReference;
    AcDbObjectId sourceSpace = source->modelSpaceId();
    if (sourceSpace.isNull()) return Acad::eNotInBlock;
    {
        AcDbObjectPointer<AcDbBlockTable> table(blockTableId(), AcDb::kForRead);
        if (!table) return table.openStatus();
        if (table->has(blockName)) return Acad::eDuplicateKey;  // an existing block stays as it is
    }
    // The source's model space travels as a whole and takes the new name, so its begin,
    // entities and end are reported in that order.
    vkclone::CloneRequest req;
    req.ids.append(sourceSpace);
    req.dest = this;
    req.owner = blockTableId();
    req.filerType = AcDb::kWblockCloneFiler;
    req.renameRecord = blockName;
    vkclone::IdPairs map;
    if (Acad::ErrorStatus es = vkclone::deepClone(req, map); es != Acad::eOk) return es;
    for (const auto& [oldId, newId] : map)
        if (oldId == sourceSpace) blockId = newId;
    return blockId.isNull() ? Acad::eNotInBlock : Acad::eOk;
}

Acad::ErrorStatus AcDbDatabase::insert(const AcGeMatrix3d& xform, AcDbDatabase* source, bool)
{
    if (!source) return Acad::eNoDatabase;
    if (source == this) return Acad::eSelfReference;
    if (modelSpaceId().isNull()) return Acad::eNotInBlock;
    vkclone::CloneRequest req;
    req.ids = toArray(modelSpaceEntities(source));
    req.dest = this;
    req.owner = modelSpaceId();
    req.filerType = AcDb::kWblockCloneFiler;
    req.xform = &xform;
    vkclone::IdPairs map;
    return vkclone::deepClone(req, map);
}
