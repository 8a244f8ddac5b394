#include "siblings/object/StandRoomNotifier.h"

#include <unordered_set>

#include "host/db/AcDbDatabase.h"
#include "host/db/AcDbUndo.h"
#include "siblings/object/AcDbQsStandRoom.h"
#include "siblings/object/QsGlobalVariable.h"
#include "siblings/object/VkQsEntity.h"
#include "siblings/region/AcDbVkRoom.h"

namespace {

std::unordered_set<AcDbObjectId>& pending()
{
    static auto* set = new std::unordered_set<AcDbObjectId>;  // outlives every database
    return *set;
}

bool isOpenElsewhere(Acad::ErrorStatus es)
{
    return es == Acad::eWasOpenForRead || es == Acad::eWasOpenForWrite || es == Acad::eWasOpenForNotify ||
           es == Acad::eAtMaxReaders;
}

// Writes change type 1; false when the marker is open elsewhere (try again later).
bool markChanged(AcDbObjectId markerId)
{
    AcDbQsStandRoom* marker = nullptr;
    const Acad::ErrorStatus es = acdbOpenObject(marker, markerId, AcDb::kForWrite);
    if (es != Acad::eOk) return !isOpenElsewhere(es);  // erased, gone or no marker: nothing to do
    StandRoomNotifier::clearPending(markerId);  // so that GetChgType answers what is stored
    if (marker->GetChgType() != 1) marker->SetChgType(1);
    marker->close();
    return true;
}

class ChangeTypeReactor : public AcDbDatabaseReactor {
public:
    ChangeTypeReactor() { AcDbDatabase::addGlobalReactor(this); }
    ~ChangeTypeReactor() override { AcDbDatabase::removeGlobalReactor(this); }

    void objectAppended(const AcDbDatabase*, const AcDbObject*) override { safePoint(nullptr, nullptr); }
    void objectModified(const AcDbDatabase* db, const AcDbObject* obj) override { safePoint(db, obj); }
    void objectErased(const AcDbDatabase* db, const AcDbObject* obj, bool) override { safePoint(db, obj); }

private:
    // Our own writes to markers notify again; those nested events are ignored.
    void safePoint(const AcDbDatabase* db, const AcDbObject* obj)
    {
        if (m_busy || vkundo::isApplying()) return;  // an undo puts the change types back itself
        m_busy = true;
        StandRoomNotifier::flush();
        if (obj && QsGlobalVariable::NotifySRoomEnabled()) markCopiesOf(db, obj);
        m_busy = false;
    }

    static void markCopiesOf(const AcDbDatabase* db, const AcDbObject* obj)
    {
        std::vector<AcDbObjectId> markers;
        if (const VkQsEntity* comp = VkQsEntity::cast(obj)) {
            if (!comp->GetAssositSRoom().isNull()) markers.push_back(comp->GetAssositSRoom());
        } else if (AcDbVkRoom::cast(obj)) {
            markers = AcDbQsStandRoom::FindByRoom(db, obj->objectId());
        }
        for (const AcDbObjectId& id : markers)
            if (!markChanged(id)) pending().insert(id);
    }

    bool m_busy = false;
};

ChangeTypeReactor s_reactor;

}  // namespace

namespace StandRoomNotifier {

bool isPending(AcDbObjectId markerId)
{
    return !markerId.isNull() && pending().count(markerId) != 0;
}

void clearPending(AcDbObjectId markerId)
{
    pending().erase(markerId);
}

int pendingCount()
{
    return static_cast<int>(pending().size());
}

int flush()
{
    int written = 0;
    const std::vector<AcDbObjectId> ids(pending().begin(), pending().end());
    for (const AcDbObjectId& id : ids) {
        if (!markChanged(id)) continue;
        pending().erase(id);
        ++written;
    }
    return written;
}

}  // namespace StandRoomNotifier
