#pragma once
// A drawing: its objects, symbol tables, file, reactors; copying content between drawings.
#include <memory>
#include <vector>

#include "host/db/AcDbObject.h"
#include "host/ge/AcGeMatrix3d.h"

class AcDbBlockTable;
class AcDbLayerTable;
class AcDbLinetypeTable;
class AcDbDatabase;
struct AcDbDatabaseImpl;
struct SecurityParams;

// Database events, in the order they happen. An insertion that brings a block definition
// along reports that block's begin, entities and end as appended objects too.
class AcDbDatabaseReactor {
public:
    virtual ~AcDbDatabaseReactor() = default;
    virtual void objectAppended(const AcDbDatabase* db, const AcDbObject* obj) {}
    virtual void objectModified(const AcDbDatabase* db, const AcDbObject* obj) {}
    virtual void objectErased(const AcDbDatabase* db, const AcDbObject* obj, bool erased) {}
    virtual void databaseToBeDestroyed(AcDbDatabase* db) {}
};

class AcDbDatabase {
public:
    // With buildDefaultDrawing: the block table with "*Model_Space" and "*Paper_Space", the
    // layer table with layer "0". Without: empty, ready for readDwgFile.
    explicit AcDbDatabase(bool buildDefaultDrawing = true, bool noDocument = false);
    ~AcDbDatabase();  // releases the file it holds; every object it owns is deleted
    AcDbDatabase(const AcDbDatabase&) = delete;
    AcDbDatabase& operator=(const AcDbDatabase&) = delete;

    // Reads a drawing file (a Windows path). shareMode _SH_DENYWR keeps the file locked
    // against writers until the database is deleted; _SH_DENYNO reads and lets go.
    // eFileNotFound for a missing file, eFileSharingViolation when another holder writes it,
    // eBadDwgHeader for a foreign file, eDwgCRCDoesNotMatch for a damaged one, eInvalidDwgVersion
    // for an unknown version. A refused read leaves the database empty.
    Acad::ErrorStatus readDwgFile(const char16_t* fileName, int shareMode = 0x20 /*_SH_DENYWR*/,
                                  bool bAllowCPConversion = false, const char16_t* password = nullptr);
    // Atomic save (temporary file, flush, rename). With bBakAndRename an existing file is
    // kept as NAME.bak. A database may save over the file it was read from.
    Acad::ErrorStatus saveAs(const char16_t* fileName, bool bBakAndRename = true,
                             AcDb::AcDbDwgVersion ver = AcDb::kDHL_CURRENT,
                             const SecurityParams* security = nullptr);
    Acad::ErrorStatus save();                                   // to getFilename
    Acad::ErrorStatus getFilename(const char16_t*& name) const;  // eNotApplicable before a save/read
    CString filename() const;

    // Copies ids (entities of one block) into a new database whose model space holds copies
    // placed so that basePoint is the origin. The caller deletes pOutDb.
    Acad::ErrorStatus wblock(AcDbDatabase*& pOutDb, const AcDbObjectIdArray& ids,
                             const AcGePoint3d& basePoint);
    // Block form: a block definition named blockName made from the source's model space.
    Acad::ErrorStatus insert(AcDbObjectId& blockId, const char16_t* blockName, AcDbDatabase* source,
                             bool preserveSourceDatabase = true);
    // Transform form: copies of the source's model space entities, transformed, appended to
    // this model space.
    Acad::ErrorStatus insert(const AcGeMatrix3d& xform, AcDbDatabase* source,
                             bool preserveSourceDatabase = true);
    // Deep clone of objects into an owner of this or another database; idMap gets old -> new.
    Acad::ErrorStatus deepCloneObjects(const AcDbObjectIdArray& ids, AcDbObjectId owner,
                                       std::vector<std::pair<AcDbObjectId, AcDbObjectId>>& idMap);

    Acad::ErrorStatus getBlockTable(AcDbBlockTable*& table, AcDb::OpenMode mode);
    Acad::ErrorStatus getLayerTable(AcDbLayerTable*& table, AcDb::OpenMode mode);
    // The linetype table: drawings made before linetypes were kept have none until one is
    // opened for write, which makes it.
    Acad::ErrorStatus getLinetypeTable(AcDbLinetypeTable*& table, AcDb::OpenMode mode);
    AcDbObjectId blockTableId() const;
    AcDbObjectId layerTableId() const;
    AcDbObjectId linetypeTableId() const;  // null while the drawing has none
    AcDbObjectId modelSpaceId() const;
    AcDbObjectId currentSpaceId() const { return modelSpaceId(); }

    // Makes obj resident (owner not set); it stays open for write until closed.
    Acad::ErrorStatus addAcDbObject(AcDbObjectId& id, AcDbObject* obj);
    // With create, a handle not yet used is reserved (loading keeps given handles).
    Acad::ErrorStatus getAcDbObjectId(AcDbObjectId& id, bool createIfNotFound, const AcDbHandle& h);
    AcDbHandle handseed() const;

    void addReactor(AcDbDatabaseReactor* r);
    void removeReactor(AcDbDatabaseReactor* r);
    // Reactors that hear every database of the process (the sibling libraries use them).
    static void addGlobalReactor(AcDbDatabaseReactor* r);
    static void removeGlobalReactor(AcDbDatabaseReactor* r);

    // Objects currently open, for checks that an operation left nothing open.
    std::vector<AcDbObjectId> openObjectIds() const;
    int numOpenObjects() const;
    // Every object id of the database, in handle order.
    std::vector<AcDbObjectId> allObjectIds(bool includeErased = false) const;

    AcDbDatabaseImpl* impl() const { return m_impl.get(); }

private:
    std::unique_ptr<AcDbDatabaseImpl> m_impl;
};

// The host's application services: the working database, switchable.
class AcDbHostApplicationServices {
public:
    AcDbDatabase* workingDatabase() const { return m_working; }
    void setWorkingDatabase(AcDbDatabase* db) { m_working = db; }

private:
    AcDbDatabase* m_working = nullptr;
};
AcDbHostApplicationServices* acdbHostApplicationServices();
inline AcDbDatabase* acdbCurDwg() { return acdbHostApplicationServices()->workingDatabase(); }
