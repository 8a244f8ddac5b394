#pragma once
// The database's private state and the back door to AcDbObject's bookkeeping, for the
// database core's own source files.
#include <map>
#include <unordered_set>
#include <vector>

#include "host/db/detail/DbInternals.h"

struct AcDbDatabaseImpl {
    std::map<Adesk::UInt64, AcDbStub*> byHandle;  // handle order for allObjectIds and saving
    Adesk::UInt64 handseed = 1;
    std::unordered_set<AcDbStub*> open;          // stubs whose object is open in any mode
    std::vector<AcDbDatabaseReactor*> reactors;
    AcDbObjectId blockTable, layerTable;
    vkdb::DbFileSlot file;
    bool silent = false;  // while the default content is built: no events
};

// AcDbObject's private bookkeeping, for the database core.
class AcDbObjectAccess {
public:
    static constexpr int kOpenWrite = -1;
    static AcDbStub*& stub(AcDbObject* o) { return o->m_stub; }
    static AcDbStub* stub(const AcDbObject* o) { return o->m_stub; }
    static int& openState(AcDbObject* o) { return o->m_openState; }
    static int openState(const AcDbObject* o) { return o->m_openState; }
    static bool& modified(AcDbObject* o) { return o->m_modified; }
    static bool& isNew(AcDbObject* o) { return o->m_new; }
    static AcDbObjectId& owner(AcDbObject* o) { return o->m_owner; }
    static Acad::ErrorStatus subOpen(AcDbObject* o, AcDb::OpenMode m) { return o->subOpen(m); }
    static Acad::ErrorStatus subClose(AcDbObject* o) { return o->subClose(); }
};

namespace vkdb {

// The process-wide pool of stubs (see DbInternals.h).
AcDbStub* allocateStub();
void retireStub(AcDbStub* s);  // marks it dead and queues it for reuse

// Makes obj resident under a new or given handle; shared by every way of adding objects.
Acad::ErrorStatus makeResident(AcDbDatabase* db, AcDbObject* obj, Adesk::UInt64 handle,
                               AcDbObjectId owner, bool erased, bool openForWrite, AcDbObjectId* idOut);
void trackOpen(AcDbStub* s);    // call after any change of the object's open state

}  // namespace vkdb
