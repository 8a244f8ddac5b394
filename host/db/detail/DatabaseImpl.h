#pragma once
// The database's private state and the back door to AcDbObject's bookkeeping, for the
// database core's own source files.
#include <map>
#include <unordered_set>
#include <vector>

#include "host/db/detail/DbInternals.h"

namespace vkdb {
// The drawing file whose objects are made on their first open (host/db/DwgFormatReader.cpp):
// it keeps the file's bytes and knows every record's class and owner.
class ObjectSource {
public:
    virtual ~ObjectSource() = default;
    // Makes the object of s from its record (s->record) and makes it resident, closed;
    // eDwgObjectImproperlyRead when its class reads it differently from how it was written.
    virtual Acad::ErrorStatus load(AcDbStub* s) = 0;
    // The class the object of s will have once made (s->record set), from its record.
    virtual AcRxClass* classOf(const AcDbStub* s) const = 0;
};
}  // namespace vkdb

// A database's stubs by handle, in handle order. New handles mostly ascend (new objects, a
// file's records), so the stubs lie in one sorted array, appended to, with a side map for a
// handle below the last; the side map is merged in when it grows. 16 bytes a stub.
class HandleIndex {
public:
    AcDbStub* find(Adesk::UInt64 h) const;
    void insert(Adesk::UInt64 h, AcDbStub* s);  // h must not be in the index
    size_t size() const { return m_sorted.size() + m_side.size(); }
    void reserve(size_t n) { m_sorted.reserve(n); }
    void clear();
    template <class F>
    void forEach(F&& f) const  // f(AcDbStub*) in ascending handle order
    {
        auto side = m_side.begin();
        for (const auto& [h, s] : m_sorted) {
            for (; side != m_side.end() && side->first < h; ++side) f(side->second);
            f(s);
        }
        for (; side != m_side.end(); ++side) f(side->second);
    }

private:
    void mergeSide();
    std::vector<std::pair<Adesk::UInt64, AcDbStub*>> m_sorted;
    std::map<Adesk::UInt64, AcDbStub*> m_side;
};

struct AcDbDatabaseImpl {
    HandleIndex byHandle;  // handle order for allObjectIds and saving
    Adesk::UInt64 handseed = 1;
    // Stubs whose object is open in any mode, in no order; each stub knows its slot here
    // (AcDbStub::openSlot), so that an open or a close costs no search and no allocation.
    std::vector<AcDbStub*> open;
    std::vector<AcDbDatabaseReactor*> reactors;
    AcDbObjectId blockTable, layerTable, linetypeTable;
    vkdb::DbFileSlot file;
    bool silent = false;  // while the default content is built: no events
    std::unique_ptr<vkdb::ObjectSource> source;  // the file of the objects not yet made, if any
    bool undoTracked = false;  // changes go to the undo journal (a document's drawing)
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
void retireStubs(const std::vector<AcDbStub*>& stubs);  // the same for many, at one go

// Makes obj resident under a new or given handle; shared by every way of adding objects.
Acad::ErrorStatus makeResident(AcDbDatabase* db, AcDbObject* obj, Adesk::UInt64 handle,
                               AcDbObjectId owner, bool erased, bool openForWrite, AcDbObjectId* idOut);
void trackOpen(AcDbStub* s);    // call after any change of the object's open state
// The object of a live stub, made from the drawing source first when it is not yet; null for
// a reserved handle, a dead stub or a record that does not read (*es says which).
AcDbObject* residentObject(AcDbStub* s, Acad::ErrorStatus* es = nullptr);
bool hasObject(const AcDbStub* s);  // made or still in the source

// The undo journal (UndoJournal.cpp): an object about to change under a write open, an object
// just added, a drawing about to go.
void undoNoteWrite(AcDbStub* s);
void undoNoteAppended(AcDbStub* s);
void undoForget(AcDbDatabase* db);

}  // namespace vkdb
