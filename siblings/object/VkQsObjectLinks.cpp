#include "siblings/object/VkQsObjectLinks.h"

#include <algorithm>
#include <memory>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "siblings/object/VkQsDuctFitting.h"
#include "siblings/object/VkQsPolyForValve.h"

namespace {

std::vector<std::pair<AcDbObjectId, AcDbObjectId>>& pendingRemovals()
{
    static auto* v = new std::vector<std::pair<AcDbObjectId, AcDbObjectId>>;
    return *v;
}

std::vector<AcDbObjectId>& cascading()
{
    static auto* v = new std::vector<AcDbObjectId>;
    return *v;
}

bool isDead(const AcDbObjectId& id)
{
    return !id.isValid() || id.isErased();
}

AcDbObjectIdArray deadOf(const AcDbObjectIdArray& ids)
{
    AcDbObjectIdArray dead;
    for (const AcDbObjectId& id : ids)
        if (isDead(id)) dead.append(id);
    return dead;
}

// Applies the recorded valve removals of db; entries whose pipe is still open stay.
int applyPendingRemovals(AcDbDatabase* db)
{
    int dropped = 0;
    auto& pend = pendingRemovals();
    for (auto it = pend.begin(); it != pend.end();) {
        if (it->first.database() != db && it->first.isValid()) {
            ++it;
            continue;
        }
        AcDbObject* obj = nullptr;
        const Acad::ErrorStatus es = acdbOpenObject(obj, it->first, AcDb::kForWrite);
        if (es == Acad::eWasOpenForRead || es == Acad::eWasOpenForWrite || es == Acad::eWasOpenForNotify) {
            ++it;
            continue;
        }
        if (VkQsPolyForValve* pipe = VkQsPolyForValve::cast(obj))
            if (pipe->removeValve(it->second) == Acad::eOk) ++dropped;
        if (obj) obj->close();
        it = pend.erase(it);
    }
    return dropped;
}

// Drops the dead references of one object open for read; upgrades only when there are some.
int dropDeadReferences(AcDbObject* obj)
{
    if (auto* pipe = VkQsPolyForValve::cast(obj)) {
        const AcDbObjectIdArray dead = deadOf(pipe->GetRefValves());
        if (dead.isEmpty() || obj->upgradeOpen() != Acad::eOk) return 0;
        for (const AcDbObjectId& id : dead) pipe->removeValve(id);
        return dead.length();
    }
    auto* fitting = VkQsFittingBase::cast(obj);
    if (!fitting) return 0;
    auto* duct = VkQsDuctFitting::cast(obj);
    const AcDbObjectIdArray deadPipes = deadOf(fitting->GetRefPipes());
    const AcDbObjectIdArray deadDlps = duct ? deadOf(duct->GetRefDlps()) : AcDbObjectIdArray();
    if ((deadPipes.isEmpty() && deadDlps.isEmpty()) || obj->upgradeOpen() != Acad::eOk) return 0;
    for (const AcDbObjectId& id : deadPipes) fitting->removePipe(id);
    for (const AcDbObjectId& id : deadDlps) duct->removeDlp(id);
    return deadPipes.length() + deadDlps.length();
}

bool holdsLinks(const AcRxClass* cls)
{
    return cls && (cls->isDerivedFrom(VkQsPolyForValve::desc()) || cls->isDerivedFrom(VkQsFittingBase::desc()));
}

// The ids an object holds links to (valves of a pipe, pipes and duct pieces of a fitting).
std::vector<AcDbObjectId> linksOf(const AcDbObject* obj)
{
    std::vector<AcDbObjectId> out;
    auto add = [&out](const AcDbObjectIdArray& ids) { out.insert(out.end(), ids.begin(), ids.end()); };
    if (auto* pipe = VkQsPolyForValve::cast(obj)) add(pipe->GetRefValves());
    if (auto* fitting = VkQsFittingBase::cast(obj)) add(fitting->GetRefPipes());
    if (auto* duct = VkQsDuctFitting::cast(obj)) add(duct->GetRefDlps());
    return out;
}

// What relink knows of a drawing it has relinked before: who holds links to what, and what
// happened since, so that the next relink opens only the objects that changed or that link to
// something erased, whatever the size of the drawing.
struct LinkIndex {
    AcDbObjectId blockTable;       // a drawing read anew gets a new one: the index is stale
    Adesk::UInt64 expectedSeed = 0;  // the handle seed that the appended events explain
    std::unordered_map<AcDbObjectId, std::vector<AcDbObjectId>> holdersOf;
    std::unordered_set<AcDbObjectId> changed;  // holders appended or modified since
    std::vector<AcDbObjectId> erased;          // objects erased since
};

// Hears every drawing; keeps a LinkIndex for those relinked before.
class LinkWatcher : public AcDbDatabaseReactor {
public:
    LinkWatcher() { AcDbDatabase::addGlobalReactor(this); }
    ~LinkWatcher() override { AcDbDatabase::removeGlobalReactor(this); }

    void objectAppended(const AcDbDatabase* db, const AcDbObject* obj) override
    {
        LinkIndex* index = find(db);
        if (!index) return;
        index->expectedSeed = std::max(index->expectedSeed, obj->objectId().handle().value() + 1);
        if (holdsLinks(obj->isA())) index->changed.insert(obj->objectId());
    }
    void objectModified(const AcDbDatabase* db, const AcDbObject* obj) override
    {
        if (LinkIndex* index = find(db); index && holdsLinks(obj->isA())) index->changed.insert(obj->objectId());
    }
    void objectErased(const AcDbDatabase* db, const AcDbObject* obj, bool erased) override
    {
        if (LinkIndex* index = find(db); index && erased) index->erased.push_back(obj->objectId());
    }
    void databaseToBeDestroyed(AcDbDatabase* db) override { m_indexes.erase(db); }

    LinkIndex* find(const AcDbDatabase* db)
    {
        auto it = m_indexes.find(db);
        return it == m_indexes.end() ? nullptr : it->second.get();
    }
    // The index of db, made afresh (empty) when there is none or it no longer fits db.
    LinkIndex& fresh(AcDbDatabase* db, bool& made)
    {
        LinkIndex* index = find(db);
        made = !index || index->blockTable != db->blockTableId() || index->expectedSeed != db->handseed().value();
        if (made) {
            auto& slot = m_indexes[db];
            slot = std::make_unique<LinkIndex>();
            index = slot.get();
            index->blockTable = db->blockTableId();
        }
        return *index;
    }

private:
    std::unordered_map<const AcDbDatabase*, std::unique_ptr<LinkIndex>> m_indexes;
};

LinkWatcher& watcher()
{
    static LinkWatcher w;
    return w;
}

// Drops the dead references of one holder and records what it links to now. A holder that
// could not be changed (open elsewhere) is looked at again next time.
int relinkHolder(LinkIndex& index, const AcDbObjectId& id)
{
    AcDbObject* obj = nullptr;
    if (acdbOpenObject(obj, id, AcDb::kForRead) != Acad::eOk) return 0;
    const int dropped = dropDeadReferences(obj);
    for (const AcDbObjectId& to : linksOf(obj)) {
        if (isDead(to)) index.changed.insert(id);
        std::vector<AcDbObjectId>& holders = index.holdersOf[to];
        if (std::find(holders.begin(), holders.end(), id) == holders.end()) holders.push_back(id);
    }
    obj->close();
    return dropped;
}

}  // namespace

namespace VkQsObjectLinks {

void recordValveRemoval(AcDbObjectId pipeId, AcDbObjectId valveId)
{
    pendingRemovals().emplace_back(pipeId, valveId);
}

int pendingValveRemovals()
{
    return static_cast<int>(pendingRemovals().size());
}

int relink(AcDbDatabase* db)
{
    if (!db) return 0;
    int dropped = applyPendingRemovals(db);
    bool whole = false;
    LinkIndex& index = watcher().fresh(db, whole);
    // The holders to look at: every one the first time (found by class, without reading the
    // other objects of the drawing), then those that changed or link to what was erased.
    std::vector<AcDbObjectId> suspects;
    if (whole) {
        for (const AcDbObjectId& id : db->allObjectIds())
            if (holdsLinks(id.objectClass())) suspects.push_back(id);
    } else {
        suspects.assign(index.changed.begin(), index.changed.end());
        for (const AcDbObjectId& gone : index.erased) {
            auto it = index.holdersOf.find(gone);
            if (it == index.holdersOf.end()) continue;
            suspects.insert(suspects.end(), it->second.begin(), it->second.end());
            index.holdersOf.erase(it);
        }
        // In drawing order, as a whole pass goes.
        std::vector<std::pair<AcDbHandle, AcDbObjectId>> byHandle;
        for (const AcDbObjectId& id : suspects) byHandle.emplace_back(id.handle(), id);
        std::sort(byHandle.begin(), byHandle.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
        suspects.clear();
        for (const auto& [handle, id] : byHandle)
            if (suspects.empty() || suspects.back() != id) suspects.push_back(id);
    }
    index.changed.clear();
    index.erased.clear();
    // What relinking itself modifies is heard as changed and looked at again next time: cheap,
    // and a holder left with a dead link (open elsewhere) is retried.
    for (const AcDbObjectId& id : suspects) dropped += relinkHolder(index, id);
    index.expectedSeed = db->handseed().value();
    return dropped;
}

CascadeScope::CascadeScope(AcDbObjectId pipeId) : m_pipe(pipeId)
{
    cascading().push_back(pipeId);
}

CascadeScope::~CascadeScope()
{
    auto& v = cascading();
    v.erase(std::find(v.begin(), v.end(), m_pipe));
}

bool CascadeScope::isCascading(AcDbObjectId pipeId)
{
    const auto& v = cascading();
    return std::find(v.begin(), v.end(), pipeId) != v.end();
}

}  // namespace VkQsObjectLinks
