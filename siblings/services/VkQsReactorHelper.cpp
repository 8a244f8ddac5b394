// Records, for the whole process, the objects appended to the working database of the
// moment; GetAllAppendId hands out those of the current working drawing and starts afresh.
#include "siblings/services/VkQsReactorHelper.h"

#include <mutex>
#include <vector>

#include "host/db/AcDbDatabase.h"
#include "siblings/object/StandRoomNotifier.h"

namespace {

class AppendRecorder : public AcDbDatabaseReactor {
public:
    AppendRecorder() { AcDbDatabase::addGlobalReactor(this); }
    ~AppendRecorder() override { AcDbDatabase::removeGlobalReactor(this); }

    void objectAppended(const AcDbDatabase* db, const AcDbObject* obj) override
    {
        // Side databases (library copies read for a preview, drawings being filled) are
        // none of the callers' business and could be large.
        if (db != acdbCurDwg()) return;
        std::lock_guard lock(m_mutex);
        m_appended.emplace_back(db, obj->objectId());
    }
    void databaseToBeDestroyed(AcDbDatabase* db) override
    {
        std::lock_guard lock(m_mutex);
        std::erase_if(m_appended, [db](const auto& e) { return e.first == db; });
    }
    void take(const AcDbDatabase* db, AcDbObjectIdArray& ids)
    {
        std::lock_guard lock(m_mutex);
        for (auto& [from, id] : m_appended)
            if (from == db) ids.append(id);
        m_appended.clear();
    }

private:
    std::mutex m_mutex;
    std::vector<std::pair<const AcDbDatabase*, AcDbObjectId>> m_appended;
};

AppendRecorder g_recorder;

}  // namespace

void VkQsReactorHelper::GetAllAppendId(AcDbObjectIdArray& ids)
{
    ids.setLogicalLength(0);
    g_recorder.take(acdbCurDwg(), ids);
}

void VkQsReactorHelper::FlushGraphic(const CString&)
{
    // Graphics are drawn from the objects on demand here; what can be pending is the
    // change-type notification of markers that were open elsewhere.
    StandRoomNotifier::flush();
}
