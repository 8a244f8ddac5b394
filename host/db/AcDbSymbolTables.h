#pragma once
// Symbol tables: the block table with its records, the layer table and the linetype table.
#include <memory>

#include "host/db/AcDbObject.h"

class AcDbSymbolTableRecord : public AcDbObject {
public:
    ACRX_DECLARE_MEMBERS(AcDbSymbolTableRecord);
    Acad::ErrorStatus getName(CString& name) const;
    Acad::ErrorStatus getName(const char16_t*& name) const;  // valid while the record is open
    Acad::ErrorStatus setName(const char16_t* name);         // eInvalidSymbolTableName for bad names
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;  // "name"
    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;

private:
    CString m_name;
};

class AcDbBlockTableRecord;
class AcDbBlockTableRecordIterator;
namespace vkdb {
class DbAccess;
}

// Records by name, case-insensitive, in order of addition.
class AcDbSymbolTable : public AcDbObject {
public:
    ACRX_DECLARE_MEMBERS(AcDbSymbolTable);
    bool has(const char16_t* name) const;
    bool has(AcDbObjectId id) const;
    Acad::ErrorStatus getAt(const char16_t* name, AcDbObjectId& id, bool getErased = false) const;
    template <class R>
    Acad::ErrorStatus getAt(const char16_t* name, R*& rec, AcDb::OpenMode mode, bool openErased = false) const
    {
        AcDbObjectId id;
        rec = nullptr;
        Acad::ErrorStatus es = getAt(name, id, openErased);
        return es == Acad::eOk ? acdbOpenObject(rec, id, mode, openErased) : es;
    }
    // Adds a record (the table must be open for write); eDuplicateKey when the name exists.
    Acad::ErrorStatus add(AcDbObjectId& id, AcDbSymbolTableRecord* rec);
    Acad::ErrorStatus add(AcDbSymbolTableRecord* rec) { AcDbObjectId id; return add(id, rec); }
    std::vector<AcDbObjectId> recordIds(bool includeErased = false) const;
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;  // "records" (soft ownership)
    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;

private:
    friend class vkdb::DbAccess;  // cloning appends records
    std::vector<AcDbObjectId> m_records;
};

class AcDbBlockTable : public AcDbSymbolTable {
public:
    ACRX_DECLARE_MEMBERS(AcDbBlockTable);
};

constexpr const char16_t* ACDB_MODEL_SPACE = u"*Model_Space";
constexpr const char16_t* ACDB_PAPER_SPACE = u"*Paper_Space";

// A block: an origin and its entities, between its block begin and block end.
class AcDbBlockTableRecord : public AcDbSymbolTableRecord {
public:
    ACRX_DECLARE_MEMBERS(AcDbBlockTableRecord);
    AcDbBlockTableRecord();
    AcGePoint3d origin() const;
    Acad::ErrorStatus setOrigin(const AcGePoint3d& p);
    // Appends an entity (the record open for write and in a database); the entity becomes
    // resident and stays open for write until the caller closes it.
    Acad::ErrorStatus appendAcDbEntity(AcDbObjectId& id, AcDbEntity* ent);
    Acad::ErrorStatus appendAcDbEntity(AcDbEntity* ent) { AcDbObjectId id; return appendAcDbEntity(id, ent); }
    // Iterator over the entities in order of appending; erased ones only when asked.
    Acad::ErrorStatus newIterator(AcDbBlockTableRecordIterator*& it, bool atBeginning = true,
                                  bool skipDeleted = true) const;
    std::vector<AcDbObjectId> entityIds(bool includeErased = false) const;
    bool isLayout() const;                    // model or paper space
    AcDbObjectId blockBeginId() const { return m_begin; }
    AcDbObjectId blockEndId() const { return m_end; }
    // "origin", "begin", "entities" (hard ownership), "end"
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;

private:
    friend class AcDbDatabase;
    friend class AcDbSymbolTable;  // gives a new block its begin and end
    friend class vkdb::DbAccess;   // cloning appends entities
    AcGePoint3d m_origin;
    AcDbObjectId m_begin, m_end;
    std::vector<AcDbObjectId> m_entities;
};

class AcDbBlockTableRecordIterator {
public:
    ~AcDbBlockTableRecordIterator();
    void start(bool atBeginning = true, bool skipDeleted = true);
    bool done() const;
    void step(bool forward = true, bool skipDeleted = true);
    Acad::ErrorStatus getEntityId(AcDbObjectId& id) const;
    Acad::ErrorStatus getEntity(AcDbEntity*& ent, AcDb::OpenMode mode, bool openErased = false) const;

private:
    friend class AcDbBlockTableRecord;
    std::vector<AcDbObjectId> m_ids;
    int m_pos = 0;
    bool m_skipDeleted = true;
};

class AcDbLayerTable : public AcDbSymbolTable {
public:
    ACRX_DECLARE_MEMBERS(AcDbLayerTable);
};

class AcDbLayerTableRecord : public AcDbSymbolTableRecord {
public:
    ACRX_DECLARE_MEMBERS(AcDbLayerTableRecord);
    bool isOff() const;
    void setIsOff(bool off);
    bool isFrozen() const;
    Acad::ErrorStatus setIsFrozen(bool frozen);
    bool isLocked() const;
    void setIsLocked(bool locked);
    Adesk::UInt16 colorIndex() const;
    void setColorIndex(Adesk::UInt16 aci);
    // The line style of the layer's entities whose own is "ByLayer".
    const CString& linetype() const { return m_linetype; }
    Acad::ErrorStatus setLinetype(const char16_t* name);  // eInvalidInput for an empty name
    AcDb::LineWeight lineWeight() const { return m_lineWeight; }
    Acad::ErrorStatus setLineWeight(AcDb::LineWeight weight);  // not ByLayer or ByBlock
    // "off", "frozen", "locked", "color"; then "linetype", "lineWeight" when either is not the
    // default (Continuous, the default weight).
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;

private:
    bool m_off = false, m_frozen = false, m_locked = false;
    Adesk::UInt16 m_color = 7;
    CString m_linetype = u"Continuous";
    AcDb::LineWeight m_lineWeight = AcDb::kLnWtByLwDefault;
};

class AcDbLinetypeTable : public AcDbSymbolTable {
public:
    ACRX_DECLARE_MEMBERS(AcDbLinetypeTable);
};

// A linetype: its dash pattern, repeated along a line from its start. Dashes are lengths in
// drawing units: positive is drawn, negative is a gap, zero a dot. "ByLayer", "ByBlock" and
// "Continuous" are no records: every drawing knows them.
class AcDbLinetypeTableRecord : public AcDbSymbolTableRecord {
public:
    ACRX_DECLARE_MEMBERS(AcDbLinetypeTableRecord);
    const CString& comments() const { return m_comments; }
    Acad::ErrorStatus setComments(const char16_t* text);
    const std::vector<double>& dashes() const { return m_dashes; }
    Acad::ErrorStatus setDashes(const std::vector<double>& dashes);  // finite, at most 12
    double patternLength() const;  // the sum of the dashes' lengths
    // "comments", "dashes"
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;

private:
    CString m_comments;
    std::vector<double> m_dashes;
};

// The dashes of a linetype of a database (empty for "Continuous" and for names the drawing
// does not define).
std::vector<double> acdbLinetypeDashes(AcDbDatabase* db, const CString& name);

// Looks up a layer of a database by name; true when it exists (and, with create, makes it).
bool acdbEnsureLayer(AcDbDatabase* db, const char16_t* name, bool create, AcDbObjectId* id = nullptr);
