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

// What relinking knows of a drawing: what happened to it since the last relink, and, once
// something was erased, who holds links to what. So a relink opens only the holders that
// changed or link to what was erased, whatever the size of the drawing; finding every holder
// (by class, without reading the other objects) is needed once, at the first erasure.
struct LinkIndex {
    AcDbObjectId blockTable;         // a drawing read anew gets a new one
    Adesk::UInt64 expectedSeed = 0;  // the handle seed that the appended events explain
    bool holdersKnown = false;       // holdersOf covers every holder of the drawing
    bool wholeCheck = false;         // objects came without a word: look at every holder
    std::unordered_map<AcDbObjectId, std::vector<AcDbObjectId>> holdersOf;
    std::unordered_set<AcDbObjectId> changed;  // holders appended or modified since
    std::vector<AcDbObjectId> erased;          // objects erased since
};

// Hears every drawing of the process from the start, so that what happened before a drawing's
// first relink is known too.
class LinkWatcher : public AcDbDatabaseReactor {
public:
    LinkWatcher() { AcDbDatabase::addGlobalReactor(this); }
    ~LinkWatcher() override { AcDbDatabase::removeGlobalReactor(this); }

    void objectAppended(const AcDbDatabase* db, const AcDbObject* obj) override
    {
        LinkIndex& index = of(db);
        index.expectedSeed = std::max(index.expectedSeed, obj->objectId().handle().value() + 1);
        if (holdsLinks(obj->isA())) index.changed.insert(obj->objectId());
    }
    void objectModified(const AcDbDatabase* db, const AcDbObject* obj) override
    {
        if (holdsLinks(obj->isA())) of(db).changed.insert(obj->objectId());
    }
    void objectErased(const AcDbDatabase* db, const AcDbObject* obj, bool erased) override
    {
        if (erased) of(db).erased.push_back(obj->objectId());
    }
    void databaseToBeDestroyed(AcDbDatabase* db) override { m_indexes.erase(db); }

    LinkIndex& of(const AcDbDatabase* db)
    {
        auto& slot = m_indexes[db];
        if (!slot) slot = fresh(db);
        return *slot;
    }
    // The index of db for a relink. One that no longer fits db (read anew, objects added
    // without events, as a JSON load adds them) starts afresh, asking for every holder to be
    // looked at. Only checked here: an insertion reserves its handles before the events come.
    LinkIndex& checked(const AcDbDatabase* db)
    {
        auto& slot = m_indexes[db];
        if (!slot) {
            slot = fresh(db);
        } else if (slot->blockTable != db->blockTableId() || slot->expectedSeed != db->handseed().value()) {
            slot = fresh(db);
            slot->wholeCheck = true;
        }
        return *slot;
    }

private:
    static std::unique_ptr<LinkIndex> fresh(const AcDbDatabase* db)
    {
        auto index = std::make_unique<LinkIndex>();
        index->blockTable = db->blockTableId();
        index->expectedSeed = db->handseed().value();
        return index;
    }
    std::unordered_map<const AcDbDatabase*, std::unique_ptr<LinkIndex>> m_indexes;
};

LinkWatcher g_watcher;

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

// Every holder of db, found by class without reading the other objects.
std::vector<AcDbObjectId> allHolders(AcDbDatabase* db)
{
    std::vector<AcDbObjectId> out;
    const AcRxClass* last = nullptr;
    bool lastHolds = false;
    for (const AcDbObjectId& id : db->allObjectIds()) {
        const AcRxClass* cls = id.objectClass();
        if (cls != last) lastHolds = holdsLinks(last = cls);
        if (lastHolds) out.push_back(id);
    }
    return out;
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
    LinkIndex& index = g_watcher.checked(db);
    std::vector<AcDbObjectId> suspects;
    if (index.wholeCheck || (!index.erased.empty() && !index.holdersKnown)) {
        suspects = allHolders(db);
        index.holdersOf.clear();
        index.holdersKnown = true;
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
    index.wholeCheck = false;
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
