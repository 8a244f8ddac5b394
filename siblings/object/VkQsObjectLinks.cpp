#include "siblings/object/VkQsObjectLinks.h"

#include <algorithm>
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
    for (const AcDbObjectId& id : db->allObjectIds()) {
        AcDbObject* obj = nullptr;
        if (acdbOpenObject(obj, id, AcDb::kForRead) != Acad::eOk) continue;
        dropped += dropDeadReferences(obj);
        obj->close();
    }
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
