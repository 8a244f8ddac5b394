// Deep cloning: the reference kinds that objects file decide what comes along.
#include "host/db/DeepClone.h"

#include <deque>
#include <map>
#include <memory>
#include <set>
#include <unordered_map>

#include "host/db/AcDbEntities.h"
#include "host/db/AcDbSymbolTables.h"
#include "host/db/DwgFormatFilers.h"
#include "host/db/detail/CopyFiler.h"
#include "host/db/detail/DbInternals.h"

namespace vkclone {
namespace {

using vkdb::DbAccess;

struct Item {
    AcDbObjectId old;
    const AcRxClass* cls = nullptr;
    vkdb::FieldList fields;
    AcDbObjectId oldOwner;
    bool primary = false;
    bool tableRecord = false;         // a symbol table record that travels into dest's table
    CString recordName;
    std::vector<AcDbObjectId> blockParts;  // a block's begin, entities and end, in order
    AcDbObjectId newId;
    AcDbHandle newHandle;
    std::unique_ptr<AcDbObject> clone;
};

bool carried(AcDb::ReferenceKind k) { return k != AcDb::kSoftPointer; }

// The largest handle an object may take: the file keeps the next handle after it.
constexpr std::uint64_t kLastHandle = ~std::uint64_t{0} - 1;

// Exactly the identity (a wblock to base point 0,0,0): nothing to transform.
bool isIdentity(const AcGeMatrix3d& m)
{
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            if (m.entry[r][c] != (r == c ? 1.0 : 0.0)) return false;
    return true;
}

// Appends resident objects to an owner's list of them (a block's entities, a table's records).
Acad::ErrorStatus appendOwned(AcDbObjectId ownerId, const std::vector<AcDbObjectId>& ids)
{
    if (ids.empty()) return Acad::eOk;
    AcDbObject* owner = nullptr;
    Acad::ErrorStatus es = acdbOpenAcDbObject(owner, ownerId, AcDb::kForWrite);
    if (es != Acad::eOk) return es;
    es = DbAccess::appendOwned(owner, ids);
    owner->close();
    return es;
}

class Cloner {
public:
    Cloner(const CloneRequest& req, IdPairs& idMap) : m_req(req), m_idMap(idMap), m_dest(req.dest) {}

    Acad::ErrorStatus run()
    {
        if (!m_dest) return Acad::eNoDatabase;
        for (AcDbObjectId id : m_req.ids) {
            if (id.isNull() || !id.isValid()) return Acad::eNullObjectId;
            if (!m_src) m_src = id.database();
            if (id.database() != m_src) return Acad::eWrongDatabase;
        }
        if (!m_src) return Acad::eOk;  // nothing to clone
        if (!m_req.owner.isNull() && m_req.owner.database() != m_dest) return Acad::eWrongDatabase;
        for (AcDbObjectId id : m_req.ids) collect(id, true);
        for (size_t i = 0; i < m_items.size(); ++i) record(m_items[i]);
        if (m_status != Acad::eOk) return m_status;
        mapPrimaryOwners();
        if (Acad::ErrorStatus es = reserve(); es != Acad::eOk) return es;
        if (Acad::ErrorStatus es = fill(); es != Acad::eOk) return es;
        return attach();
    }

private:
    // Queues an object to be cloned, unless it is queued already or maps onto a record that
    // dest has under the same name.
    void collect(AcDbObjectId id, bool primary)
    {
        if (id.isNull() || id.database() != m_src || m_index.count(id)) return;
        if (!DbAccess::peek(id) || (primary && id.isErased())) return;
        Item item;
        item.old = id;
        item.primary = primary;
        m_index.emplace(id, m_items.size());
        m_items.push_back(std::move(item));
    }

    AcDbObjectId destTableFor(const AcDbObject* rec) const
    {
        if (AcDbBlockTableRecord::cast(rec)) return m_dest->blockTableId();
        if (AcDbLayerTableRecord::cast(rec)) return m_dest->layerTableId();
        return AcDbObjectId();
    }

    void record(Item& item)
    {
        vkdwg::ObjectReadScope scope(item.old);
        const AcDbObject* obj = scope.get();
        if (!obj) {
            m_status = Acad::eNullObjectPointer;
            return;
        }
        item.cls = obj->isA();
        item.oldOwner = obj->ownerId();
        if (const auto* rec = AcDbSymbolTableRecord::cast(obj)) {
            rec->getName(item.recordName);
            item.tableRecord = !item.primary || m_req.renameRecord;
        }
        if (const auto* block = AcDbBlockTableRecord::cast(obj)) {
            item.blockParts.push_back(block->blockBeginId());
            for (AcDbObjectId e : block->entityIds(true)) item.blockParts.push_back(e);
            item.blockParts.push_back(block->blockEndId());
        }
        vkdb::FieldRecorder rec(m_req.filerType, m_src);
        Acad::ErrorStatus es = obj->dwgOutFields(&rec);
        if (es != Acad::eOk) {
            m_status = es;
            return;
        }
        std::vector<vkdb::FieldRef> refs = rec.references();
        item.fields = rec.takeFields();
        for (const vkdb::FieldRef& r : refs) {
            if (!carried(r.kind) || r.id.isNull() || m_index.count(r.id)) continue;
            // A record that the referencing object needs (a block, a layer) is shared, not
            // duplicated: within a database it stays, in another the one of the same name
            // is used when there is one.
            if (const auto* target = AcDbSymbolTableRecord::cast(DbAccess::peek(r.id))) {
                if (m_src == m_dest) continue;
                CString name;
                target->getName(name);
                auto* table = AcDbSymbolTable::cast(DbAccess::peek(destTableFor(target)));
                AcDbObjectId existing;
                if (table && table->getAt(name, existing) == Acad::eOk) {
                    m_shared.emplace(r.id, existing);
                    continue;
                }
                if (!table) continue;  // nowhere to put it
            }
            collect(r.id, false);
        }
    }

    // The owner the primary objects leave stands for the one they join: an object carried
    // along from the same owner (a valve a chosen pipe points at) joins it too, and references
    // to that owner are translated to it.
    void mapPrimaryOwners()
    {
        if (m_req.owner.isNull()) return;
        for (const Item& item : m_items)
            if (item.primary && !item.tableRecord && !item.oldOwner.isNull() && !m_index.count(item.oldOwner))
                m_shared.emplace(item.oldOwner, m_req.owner);
    }

    // Every clone takes a handle from the handseed on: a drawing with too few handles left
    // gets none of the clones.
    Acad::ErrorStatus reserve()
    {
        std::uint64_t next = m_dest->handseed().value();
        const std::uint64_t left = next > kLastHandle ? 0 : kLastHandle - next + 1;
        if (m_items.size() > left) return Acad::eOutOfMemory;
        for (Item& item : m_items) {
            item.newHandle = AcDbHandle(next++);
            m_dest->getAcDbObjectId(item.newId, true, item.newHandle);
        }
        return Acad::eOk;
    }

    AcDbObjectId translate(AcDbObjectId old) const
    {
        if (old.isNull()) return old;
        if (auto it = m_index.find(old); it != m_index.end()) return m_items[it->second].newId;
        if (auto it = m_shared.find(old); it != m_shared.end()) return it->second;
        return old.database() == m_dest ? old : AcDbObjectId();
    }

    Acad::ErrorStatus fill()
    {
        auto translator = [this](AcDbObjectId old, AcDb::ReferenceKind) { return translate(old); };
        for (Item& item : m_items) {
            item.clone.reset(AcDbObject::cast(item.cls->create()));
            if (!item.clone) return Acad::eNotThatKindOfClass;
            vkdb::FieldPlayer play(item.fields, m_req.filerType, m_dest, translator);
            Acad::ErrorStatus es = item.clone->dwgInFields(&play);
            if (es == Acad::eOk) es = play.filerStatus();
            if (es != Acad::eOk) return es;
            if (item.primary && m_req.renameRecord)
                if (auto* rec = AcDbSymbolTableRecord::cast(item.clone.get())) {
                    if ((es = rec->setName(m_req.renameRecord)) != Acad::eOk) return es;
                    item.recordName = m_req.renameRecord;
                    if (auto* block = AcDbBlockTableRecord::cast(rec)) block->setOrigin(AcGePoint3d::kOrigin);
                }
            if (item.primary && m_req.xform && !isIdentity(*m_req.xform))
                if (auto* ent = AcDbEntity::cast(item.clone.get())) ent->transformBy(*m_req.xform);
        }
        return Acad::eOk;
    }

    AcDbObjectId newOwnerOf(const Item& item) const
    {
        if (item.tableRecord) return destTableFor(item.clone.get());
        if (item.primary) return m_req.owner;
        return translate(item.oldOwner);
    }

    // Makes one clone resident and reports it; a block brings its begin, entities and end
    // right after itself, in that order.
    Acad::ErrorStatus add(Item& item)
    {
        if (!item.clone) return Acad::eOk;  // added already
        AcDbObjectId owner = newOwnerOf(item);
        AcDbObject* obj = item.clone.release();
        Acad::ErrorStatus es =
            m_req.notify && !item.old.isErased() ? DbAccess::addObjectWithHandleNotify(m_dest, obj, item.newHandle, owner, item.old.isErased())
                         : DbAccess::addObjectWithHandle(m_dest, obj, item.newHandle, owner, item.old.isErased());
        if (es != Acad::eOk) {
            delete obj;
            return es;
        }
        m_idMap.emplace_back(item.old, item.newId);
        if (AcDbEntity* ent = AcDbEntity::cast(obj)) {
            m_layers.insert(ent->layer());
            m_linetypes.insert(ent->linetype());
        }
        // Whoever owns the clone in dest and was not cloned itself learns of it.
        if (!m_index.count(item.oldOwner) || item.primary || item.tableRecord) {
            if (item.tableRecord) m_tableAdds[owner].push_back(item.newId);
            else if (AcDbEntity::cast(obj) && AcDbBlockTableRecord::cast(DbAccess::peek(owner)))
                m_blockAdds[owner].push_back(item.newId);
        }
        for (AcDbObjectId part : item.blockParts)
            if (auto it = m_index.find(part); it != m_index.end())
                if ((es = add(m_items[it->second])) != Acad::eOk) return es;
        return Acad::eOk;
    }

    Acad::ErrorStatus attach()
    {
        // Records (blocks with their contents) first, so that what refers to them comes after.
        for (Item& item : m_items)
            if (item.tableRecord && !item.primary)
                if (Acad::ErrorStatus es = add(item); es != Acad::eOk) return es;
        for (Item& item : m_items)
            if (Acad::ErrorStatus es = add(item); es != Acad::eOk) return es;
        for (auto& [table, ids] : m_tableAdds)
            if (Acad::ErrorStatus es = appendOwned(table, ids); es != Acad::eOk) return es;
        for (auto& [block, ids] : m_blockAdds)
            if (Acad::ErrorStatus es = appendToBlock(block, ids); es != Acad::eOk) return es;
        ensureLayers();
        return Acad::eOk;
    }

    // Entities keep their layer names: a layer missing in dest comes from the source's layer
    // of that name, or is made.
    void ensureLayers()
    {
        if (m_src == m_dest) return;
        for (const CString& name : m_layers) {
            if (name.IsEmpty() || acdbEnsureLayer(m_dest, name.GetString(), false)) continue;
            AcDbLayerTable* srcLayers = nullptr;
            AcDbLayerTableRecord* src = nullptr;
            if (m_src->getLayerTable(srcLayers, AcDb::kForRead) == Acad::eOk) {
                srcLayers->getAt(name.GetString(), src, AcDb::kForRead);
                srcLayers->close();
            }
            AcDbLayerTable* destLayers = nullptr;
            if (src && m_dest->getLayerTable(destLayers, AcDb::kForWrite) == Acad::eOk) {
                auto* copy = new AcDbLayerTableRecord;
                vkdb::FieldRecorder rec(AcDb::kWblockCloneFiler, m_src);
                src->dwgOutFields(&rec);
                vkdb::FieldPlayer play(rec.fields(), AcDb::kWblockCloneFiler, m_dest,
                                       [](AcDbObjectId, AcDb::ReferenceKind) { return AcDbObjectId(); });
                copy->dwgInFields(&play);
                m_linetypes.insert(copy->linetype());
                AcDbObjectId id;
                if (destLayers->add(id, copy) == Acad::eOk) copy->close();
                else delete copy;
                destLayers->close();
            }
            if (src) src->close();
            acdbEnsureLayer(m_dest, name.GetString(), true);
        }
        ensureLinetypes();
    }

    // Linetypes go by name too: one dest does not define comes from the source's.
    void ensureLinetypes()
    {
        for (const CString& name : m_linetypes) {
            auto* srcTable = AcDbLinetypeTable::cast(DbAccess::peek(m_src->linetypeTableId()));
            AcDbObjectId srcId;
            if (!srcTable || srcTable->getAt(name.GetString(), srcId) != Acad::eOk) continue;
            auto* src = AcDbLinetypeTableRecord::cast(DbAccess::peek(srcId));
            AcDbLinetypeTable* destTable = nullptr;
            if (!src || m_dest->getLinetypeTable(destTable, AcDb::kForWrite) != Acad::eOk) continue;
            if (!destTable->has(name.GetString())) {
                auto* copy = new AcDbLinetypeTableRecord;
                copy->setName(name.GetString());
                copy->setComments(src->comments().GetString());
                copy->setDashes(src->dashes());
                if (destTable->add(copy) == Acad::eOk) copy->close();
                else delete copy;
            }
            destTable->close();
        }
    }

    const CloneRequest& m_req;
    IdPairs& m_idMap;
    AcDbDatabase* m_src = nullptr;
    AcDbDatabase* m_dest;
    std::deque<Item> m_items;
    std::unordered_map<AcDbObjectId, size_t> m_index;
    std::unordered_map<AcDbObjectId, AcDbObjectId> m_shared;
    std::map<AcDbObjectId, std::vector<AcDbObjectId>> m_tableAdds, m_blockAdds;
    std::set<CString> m_layers, m_linetypes;
    Acad::ErrorStatus m_status = Acad::eOk;
};

}  // namespace

Acad::ErrorStatus deepClone(const CloneRequest& req, IdPairs& idMap)
{
    return Cloner(req, idMap).run();
}

Acad::ErrorStatus appendToBlock(AcDbObjectId blockId, const std::vector<AcDbObjectId>& entities)
{
    return appendOwned(blockId, entities);
}

}  // namespace vkclone
