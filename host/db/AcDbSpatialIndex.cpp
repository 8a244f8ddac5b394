#include "host/db/AcDbSpatialIndex.h"

#include <algorithm>
#include <boost/geometry.hpp>
#include <boost/geometry/index/rtree.hpp>
#include <memory>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "host/db/AcDb.h"
#include "host/db/detail/DatabaseImpl.h"

namespace {

namespace bg = boost::geometry;
namespace bgi = boost::geometry::index;
using Point = bg::model::point<double, 2, bg::cs::cartesian>;
using Box = bg::model::box<Point>;
using Value = std::pair<Box, Adesk::UInt64>;  // plan box, model-space position
using Tree = bgi::rtree<Value, bgi::quadratic<16>>;

bool g_enabled = true;

Box planBox(const AcDbExtents& e)
{
    return Box(Point(e.minPoint().x, e.minPoint().y), Point(e.maxPoint().x, e.maxPoint().y));
}

Acad::ErrorStatus modelSpaceIds(AcDbDatabase* db, std::vector<AcDbObjectId>& ids, bool includeErased)
{
    AcDbBlockTableRecord* space = nullptr;
    const Acad::ErrorStatus es = acdbOpenObject(space, db->modelSpaceId(), AcDb::kForRead);
    if (es != Acad::eOk) return es;
    ids = space->entityIds(includeErased);
    space->close();
    return Acad::eOk;
}

// What the index cannot learn from events: objects added or removed without them.
struct Fingerprint {
    size_t objects = 0;
    AcDbObjectId blockTable, modelSpace;
    bool operator==(const Fingerprint&) const = default;
};

class ModelSpaceIndex : public AcDbDatabaseReactor {
public:
    explicit ModelSpaceIndex(AcDbDatabase* db) : m_db(db) { db->addReactor(this); }
    ~ModelSpaceIndex() override { m_db->removeReactor(this); }

    void objectAppended(const AcDbDatabase*, const AcDbObject* obj) override { note(obj, true); }
    void objectModified(const AcDbDatabase*, const AcDbObject* obj) override { note(obj, false); }
    void objectErased(const AcDbDatabase*, const AcDbObject* obj, bool) override { note(obj, false); }
    void databaseToBeDestroyed(AcDbDatabase* db) override;

    Acad::ErrorStatus update()
    {
        if (m_dirty || current() != m_seen) {
            const Acad::ErrorStatus es = rebuild();
            if (es != Acad::eOk) return es;
        }
        refreshPending();
        if (m_dirty) {
            const Acad::ErrorStatus es = rebuild();
            if (es != Acad::eOk) return es;
            refreshPending();
        }
        return Acad::eOk;
    }

    Acad::ErrorStatus bounds(AcDbExtents& ext)
    {
        const Acad::ErrorStatus es = update();
        if (es != Acad::eOk) return es;
        if (m_tree.empty()) return Acad::eInvalidExtents;
        const Box b = m_tree.bounds();
        ext = AcDbExtents(AcGePoint3d(b.min_corner().get<0>(), b.min_corner().get<1>(), 0),
                          AcGePoint3d(b.max_corner().get<0>(), b.max_corner().get<1>(), 0));
        return Acad::eOk;
    }

    Acad::ErrorStatus query(const AcDbExtents& window, AcDbObjectIdArray& ids)
    {
        if (const Acad::ErrorStatus es = update(); es != Acad::eOk) return es;
        std::vector<Adesk::UInt64> hits;
        if (window.isValid()) {
            const Box box = planBox(window);
            for (auto it = m_tree.qbegin(bgi::intersects(box)); it != m_tree.qend(); ++it) hits.push_back(it->second);
        }
        // Entities the index could not read yet: the caller decides on them.
        for (const AcDbObjectId& id : m_pending)
            if (!id.isErased()) hits.push_back(m_entries.at(id).seq);
        std::sort(hits.begin(), hits.end());
        ids.setPhysicalLength(ids.length() + static_cast<int>(hits.size()));  // one allocation, not one per growth step
        for (Adesk::UInt64 seq : hits) ids.append(m_bySeq[seq]);
        return Acad::eOk;
    }

    int rebuilds = 0;
    size_t entries() const { return m_tree.size(); }

private:
    struct Entry {
        Adesk::UInt64 seq = 0;
        bool inTree = false;
        Box box;
    };

    Fingerprint current() const
    {
        return {m_db->impl()->byHandle.size(), m_db->blockTableId(), m_db->modelSpaceId()};
    }

    void note(const AcDbObject* obj, bool appended)
    {
        Fingerprint expected = m_seen;
        if (appended) ++expected.objects;
        if (current() != expected) m_dirty = true;  // something came or went without a word
        m_seen = current();
        if (m_dirty) return;
        const AcDbObjectId id = obj->objectId();
        const AcDbObjectId space = m_db->modelSpaceId();
        if (AcDbEntity::cast(obj)) {
            // A new entity is announced before its block takes it; its owner is checked when
            // it is read. One inside another block may have moved references to that block.
            const AcDbObjectId owner = obj->ownerId();
            if (!owner.isNull() && owner != space) {
                m_dirty = true;
                return;
            }
            auto found = m_entries.find(id);
            if (found == m_entries.end()) {
                if (!appended) {
                    m_dirty = true;
                    return;
                }
                found = m_entries.emplace(id, Entry{m_bySeq.size(), false, Box()}).first;
                m_bySeq.push_back(id);
            }
            m_pending.insert(id);
        } else if (AcDbBlockTableRecord::cast(obj) && id != space) {
            m_dirty = true;
        }
    }

    Acad::ErrorStatus rebuild()
    {
        std::vector<AcDbObjectId> ids;
        const Acad::ErrorStatus es = modelSpaceIds(m_db, ids, true);
        if (es != Acad::eOk) return es;
        m_entries.clear();
        m_pending.clear();
        m_bySeq = ids;
        std::vector<Value> values;
        values.reserve(ids.size());
        for (size_t i = 0; i < ids.size(); ++i) {
            Entry& entry = m_entries[ids[i]];
            entry.seq = i;
            if (ids[i].isErased()) continue;
            switch (readBox(ids[i], entry.box)) {
            case Read::kBox:
                entry.inTree = true;
                values.emplace_back(entry.box, entry.seq);
                break;
            case Read::kUnreadable:
                m_pending.insert(ids[i]);
                break;
            case Read::kNoBox:
            case Read::kOtherBlock:
                break;
            }
        }
        m_tree = Tree(values.begin(), values.end());  // packed: faster queries than inserting
        m_dirty = false;
        m_seen = current();
        ++rebuilds;
        return Acad::eOk;
    }

    enum class Read { kBox, kNoBox, kUnreadable, kOtherBlock };

    Read readBox(AcDbObjectId id, Box& box) const
    {
        AcDbEntity* ent = nullptr;
        if (acdbOpenAcDbEntity(ent, id, AcDb::kForRead) != Acad::eOk) return Read::kUnreadable;
        AcDbExtents ext;
        const AcDbObjectId owner = ent->ownerId();
        const bool ok = ent->getGeomExtents(ext) == Acad::eOk && ext.isValid();
        ent->close();
        if (owner != m_db->modelSpaceId()) return owner.isNull() ? Read::kNoBox : Read::kOtherBlock;
        if (!ok) return Read::kNoBox;
        box = planBox(ext);
        return Read::kBox;
    }

    void refreshPending()
    {
        std::unordered_set<AcDbObjectId> unreadable;
        for (const AcDbObjectId& id : m_pending) {
            Entry& entry = m_entries.at(id);
            if (entry.inTree) m_tree.remove(Value(entry.box, entry.seq));
            entry.inTree = false;
            if (id.isErased()) continue;
            switch (readBox(id, entry.box)) {
            case Read::kBox:
                entry.inTree = true;
                m_tree.insert(Value(entry.box, entry.seq));
                break;
            case Read::kUnreadable:
                unreadable.insert(id);
                break;
            case Read::kOtherBlock:
                m_dirty = true;
                break;
            case Read::kNoBox:
                break;
            }
        }
        m_pending.swap(unreadable);
    }

    AcDbDatabase* m_db;
    Tree m_tree;
    std::unordered_map<AcDbObjectId, Entry> m_entries;
    std::vector<AcDbObjectId> m_bySeq;  // model-space position -> id
    std::unordered_set<AcDbObjectId> m_pending;
    Fingerprint m_seen;
    bool m_dirty = true;
};

std::unordered_map<const AcDbDatabase*, std::unique_ptr<ModelSpaceIndex>>& registry()
{
    static std::unordered_map<const AcDbDatabase*, std::unique_ptr<ModelSpaceIndex>> indexes;
    return indexes;
}

void ModelSpaceIndex::databaseToBeDestroyed(AcDbDatabase* db)
{
    registry().erase(db);  // deletes this index
}

ModelSpaceIndex* find(const AcDbDatabase* db)
{
    auto it = registry().find(db);
    return it == registry().end() ? nullptr : it->second.get();
}

}  // namespace

Acad::ErrorStatus AcDbSpatialIndex::queryModelSpace(AcDbDatabase* db, const AcDbExtents& window,
                                                    AcDbObjectIdArray& ids)
{
    if (!db) return Acad::eNullObjectPointer;
    if (!g_enabled) {
        std::vector<AcDbObjectId> all;
        const Acad::ErrorStatus es = modelSpaceIds(db, all, false);
        if (es != Acad::eOk) return es;
        for (const AcDbObjectId& id : all) ids.append(id);
        return Acad::eOk;
    }
    ModelSpaceIndex* index = find(db);
    if (!index) index = registry().emplace(db, std::make_unique<ModelSpaceIndex>(db)).first->second.get();
    return index->query(window, ids);
}

Acad::ErrorStatus AcDbSpatialIndex::modelSpaceExtents(AcDbDatabase* db, AcDbExtents& ext)
{
    if (!db) return Acad::eNullObjectPointer;
    ModelSpaceIndex* index = find(db);
    if (!index) index = registry().emplace(db, std::make_unique<ModelSpaceIndex>(db)).first->second.get();
    return index->bounds(ext);
}

void AcDbSpatialIndex::setEnabled(bool enabled) { g_enabled = enabled; }
bool AcDbSpatialIndex::isEnabled() { return g_enabled; }

int AcDbSpatialIndex::rebuildCount(const AcDbDatabase* db)
{
    const ModelSpaceIndex* index = find(db);
    return index ? index->rebuilds : 0;
}

size_t AcDbSpatialIndex::entryCount(const AcDbDatabase* db)
{
    const ModelSpaceIndex* index = find(db);
    return index ? index->entries() : 0;
}
