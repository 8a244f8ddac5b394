#pragma once
// Internals of the drawing database shared by its parts (file reader and writer, deep clone,
// JSON views). Not for use outside host/db.
//
// Stability: this header only grows. Existing declarations keep their meaning; new ones are
// added at the end of a section with a line saying what they are for.
//
// Ids and stubs. Every object id points at an AcDbStub. Stubs live in a process-wide pool
// that outlives databases: when a database is deleted its stubs are marked dead (db and
// object null) and queued for reuse; a dead stub is reused only after a large number of
// other stubs have died after it, so a stale id keeps answering eNullObjectId for a long time
// while memory stays bounded.
#include <memory>
#include <vector>

#include "host/db/AcDbDatabase.h"
#include "host/win/Windows.h"

struct AcDbStub {
    AcDbDatabase* db = nullptr;    // null once the database is gone (a dead stub)
    AcDbHandle handle;
    AcDbObject* object = nullptr;  // null for a reserved handle whose object is not yet loaded
    bool erased = false;
    int notifyOpens = 0;           // opens for notify; read and write opens are counted on the object
    // Added for objects read on first open: where the object's record lies in the database's
    // drawing source while it is not yet made (0: no record; the object, if any, is resident).
    std::uint64_t record = 0;
    // Added for cheap open tracking: where the stub stands in its database's list of open
    // objects, -1 while its object is closed in every mode.
    int openSlot = -1;
};

namespace vkdb {

// The file a database was read from or saved to. The drawing-file code keeps here the open
// file that holds the share-mode lock (released when the database is deleted) and the name.
struct DbFileSlot {
    std::unique_ptr<SharedFile> file;  // null when the database holds no file
    CString fileName;                  // Windows path; empty before a read or save
    bool modified = false;             // an object was appended, changed or erased since
};

class DbAccess {
public:
    // Makes obj resident under a given handle, closed, with the given owner and erased flag;
    // no appended notification. A handle reserved by getAcDbObjectId(create) is filled in;
    // eHandleExists when the handle already has an object, eNullHandle for a null handle,
    // eAlreadyInDb when obj is resident somewhere. The handseed moves past the handle.
    static Acad::ErrorStatus addObjectWithHandle(AcDbDatabase* db, AcDbObject* obj, AcDbHandle h,
                                                 AcDbObjectId owner, bool erased,
                                                 AcDbObjectId* idOut = nullptr);
    // The same, then reports the object appended to the reactors (deep clone, insert).
    static Acad::ErrorStatus addObjectWithHandleNotify(AcDbDatabase* db, AcDbObject* obj, AcDbHandle h,
                                                       AcDbObjectId owner, bool erased,
                                                       AcDbObjectId* idOut = nullptr);
    // Makes obj resident under a new handle, closed, owned by owner, and reports it appended.
    static Acad::ErrorStatus addObjectClosed(AcDbDatabase* db, AcDbObject* obj, AcDbObjectId owner,
                                             AcDbObjectId* idOut = nullptr);
    // Which objects are the block table and the layer table (a reader sets them after loading).
    static void setTables(AcDbDatabase* db, AcDbObjectId blockTableId, AcDbObjectId layerTableId);
    static void setLinetypeTable(AcDbDatabase* db, AcDbObjectId id);  // null: the drawing has none
    static void setHandseed(AcDbDatabase* db, AcDbHandle seed);  // never moves it backwards
    // Deletes every object (open or not) and makes their ids dead; the database is then as
    // after construction without default content. Reactors and the file slot stay.
    static void clearContents(AcDbDatabase* db);
    static DbFileSlot& fileSlot(AcDbDatabase* db);

    // Reporting from the other parts, in the order the events happen.
    static void notifyAppended(AcDbDatabase* db, const AcDbObject* obj);
    static void notifyModified(AcDbDatabase* db, const AcDbObject* obj);
    static void notifyErased(AcDbDatabase* db, const AcDbObject* obj, bool erased);

    // The resident object behind an id without opening it (null for null/dead/reserved ids).
    // For readers of a database that no one else is changing (saving, cloning).
    static AcDbObject* peek(AcDbObjectId id);
    static void setOwner(AcDbObject* obj, AcDbObjectId owner);  // for any object
    static void setErasedFlag(AcDbObjectId id, bool erased);     // no notification, no hooks
    static bool isOpen(const AcDbObject* obj);
    // Added for cloning into large blocks: appends resident objects to the list an owner keeps
    // of them (a block's entities, a table's records), the owner open for write. Costs what is
    // appended, whatever the owner already holds; eWrongObjectType for an owner without a list.
    static Acad::ErrorStatus appendOwned(AcDbObject* owner, const std::vector<AcDbObjectId>& ids);
    // Added for undo: that list itself, null for an object that keeps none.
    static std::vector<AcDbObjectId>* ownedList(AcDbObject* owner);
};

}  // namespace vkdb
