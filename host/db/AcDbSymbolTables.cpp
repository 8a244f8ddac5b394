// Symbol tables and their records: the block table, blocks, the layer table, layers, the
// linetype table and linetypes.
#include "host/db/AcDbSymbolTables.h"

#include <algorithm>
#include <cmath>

#include "host/db/AcDbDatabase.h"
#include "host/db/AcDbEntities.h"
#include "host/db/detail/DbInternals.h"

ACRX_DEFINE_ABSTRACT_MEMBERS(AcDbSymbolTableRecord, AcDbObject)
ACRX_DEFINE_ABSTRACT_MEMBERS(AcDbSymbolTable, AcDbObject)
ACRX_DEFINE_MEMBERS(AcDbBlockTable, AcDbSymbolTable)
ACRX_DEFINE_MEMBERS(AcDbBlockTableRecord, AcDbSymbolTableRecord)
ACRX_DEFINE_MEMBERS(AcDbLayerTable, AcDbSymbolTable)
ACRX_DEFINE_MEMBERS(AcDbLayerTableRecord, AcDbSymbolTableRecord)
ACRX_DEFINE_MEMBERS(AcDbLinetypeTable, AcDbSymbolTable)
ACRX_DEFINE_MEMBERS(AcDbLinetypeTableRecord, AcDbSymbolTableRecord)

using vkdb::DbAccess;

namespace {

// Names are not empty, hold none of the characters that files and commands reserve, and
// have no surrounding spaces; '*' may only lead (as in "*Model_Space").
bool isValidSymbolName(const CString& name)
{
    if (name.IsEmpty() || name[0] == u' ' || name[name.GetLength() - 1] == u' ') return false;
    static const char16_t kBad[] = u"<>/\\\":;?|,=`";
    for (int i = 0; i < name.GetLength(); ++i) {
        char16_t c = name[i];
        if (c < 0x20 || std::char_traits<char16_t>::find(kBad, sizeof kBad / 2 - 1, c)) return false;
        if (c == u'*' && i > 0) return false;
    }
    return true;
}

const AcDbSymbolTableRecord* peekRecord(AcDbObjectId id)
{
    return AcDbSymbolTableRecord::cast(DbAccess::peek(id));
}

}  // namespace

// ---- records ------------------------------------------------------------------------------

Acad::ErrorStatus AcDbSymbolTableRecord::getName(CString& name) const
{
    name = m_name;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbSymbolTableRecord::getName(const char16_t*& name) const
{
    name = m_name.GetString();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbSymbolTableRecord::setName(const char16_t* name)
{
    CString n(name);
    if (!isValidSymbolName(n)) return Acad::eInvalidSymbolTableName;
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    // Renaming onto another record of the same table would make lookups ambiguous.
    if (auto* table = AcDbSymbolTable::cast(DbAccess::peek(ownerId()))) {
        AcDbObjectId other;
        if (table->getAt(n, other) == Acad::eOk && other != objectId()) return Acad::eDuplicateKey;
    }
    m_name = n;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbSymbolTableRecord::dwgOutFields(AcDbDwgFiler* filer) const
{
    Acad::ErrorStatus es = AcDbObject::dwgOutFields(filer);
    if (es != Acad::eOk) return es;
    return filer->writeString(m_name, "name");
}

Acad::ErrorStatus AcDbSymbolTableRecord::dwgInFields(AcDbDwgFiler* filer)
{
    Acad::ErrorStatus es = AcDbObject::dwgInFields(filer);
    if (es != Acad::eOk) return es;
    return filer->readString(&m_name, "name");
}

// ---- tables -------------------------------------------------------------------------------

bool AcDbSymbolTable::has(const char16_t* name) const
{
    AcDbObjectId id;
    return getAt(name, id) == Acad::eOk;
}

bool AcDbSymbolTable::has(AcDbObjectId id) const
{
    return !id.isErased() && std::find(m_records.begin(), m_records.end(), id) != m_records.end();
}

Acad::ErrorStatus AcDbSymbolTable::getAt(const char16_t* name, AcDbObjectId& id, bool getErased) const
{
    id = AcDbObjectId();
    if (!name || !*name) return Acad::eInvalidInput;
    for (AcDbObjectId rid : m_records) {
        const AcDbSymbolTableRecord* rec = peekRecord(rid);
        if (!rec || (rid.isErased() && !getErased)) continue;
        CString n;
        rec->getName(n);
        if (n.CompareNoCase(name) == 0) {
            id = rid;
            return Acad::eOk;
        }
    }
    return Acad::eKeyNotFound;
}

Acad::ErrorStatus AcDbSymbolTable::add(AcDbObjectId& id, AcDbSymbolTableRecord* rec)
{
    id = AcDbObjectId();
    if (!rec) return Acad::eNullObjectPointer;
    AcDbDatabase* db = database();
    if (!db) return Acad::eNoDatabase;
    if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
    if (rec->objectId().isValid()) return Acad::eAlreadyInDb;
    CString name;
    rec->getName(name);
    if (!isValidSymbolName(name)) return Acad::eInvalidSymbolTableName;
    if (has(name)) return Acad::eDuplicateKey;
    if (isKindOf(AcDbBlockTable::desc()) != (AcDbBlockTableRecord::cast(rec) != nullptr)) return Acad::eWrongObjectType;
    if (isKindOf(AcDbLayerTable::desc()) != (AcDbLayerTableRecord::cast(rec) != nullptr)) return Acad::eWrongObjectType;
    if (isKindOf(AcDbLinetypeTable::desc()) != (AcDbLinetypeTableRecord::cast(rec) != nullptr))
        return Acad::eWrongObjectType;

    Acad::ErrorStatus es = db->addAcDbObject(id, rec);
    if (es != Acad::eOk) return es;
    assertWriteEnabled();
    DbAccess::setOwner(rec, objectId());
    m_records.push_back(id);
    if (auto* block = AcDbBlockTableRecord::cast(rec)) {
        if (block->m_begin.isNull()) DbAccess::addObjectClosed(db, new AcDbBlockBegin, id, &block->m_begin);
        if (block->m_end.isNull()) DbAccess::addObjectClosed(db, new AcDbBlockEnd, id, &block->m_end);
    }
    return Acad::eOk;
}

std::vector<AcDbObjectId> AcDbSymbolTable::recordIds(bool includeErased) const
{
    std::vector<AcDbObjectId> out;
    for (AcDbObjectId id : m_records)
        if (includeErased || !id.isErased()) out.push_back(id);
    return out;
}

Acad::ErrorStatus AcDbSymbolTable::dwgOutFields(AcDbDwgFiler* filer) const
{
    Acad::ErrorStatus es = AcDbObject::dwgOutFields(filer);
    if (es != Acad::eOk) return es;
    filer->writeArrayBegin(static_cast<Adesk::Int32>(m_records.size()), "records");
    for (AcDbObjectId id : m_records) filer->writeSoftOwnershipId(id);
    filer->writeArrayEnd();
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbSymbolTable::dwgInFields(AcDbDwgFiler* filer)
{
    Acad::ErrorStatus es = AcDbObject::dwgInFields(filer);
    if (es != Acad::eOk) return es;
    AcDbObjectIdArray ids;
    for (AcDbObjectId id : m_records) ids.append(id);
    if ((es = filer->readIdArray(&ids, AcDb::kSoftOwnership, "records")) != Acad::eOk) return es;
    m_records.assign(ids.begin(), ids.end());
    return Acad::eOk;
}

// ---- blocks -------------------------------------------------------------------------------

AcDbBlockTableRecord::AcDbBlockTableRecord() = default;

AcGePoint3d AcDbBlockTableRecord::origin() const { return m_origin; }

Acad::ErrorStatus AcDbBlockTableRecord::setOrigin(const AcGePoint3d& p)
{
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_origin = p;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockTableRecord::appendAcDbEntity(AcDbObjectId& id, AcDbEntity* ent)
{
    id = AcDbObjectId();
    if (!ent) return Acad::eNullObjectPointer;
    AcDbDatabase* db = database();
    if (!db) return Acad::eNoDatabase;
    if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
    if (ent->objectId().isValid()) return Acad::eAlreadyInDb;
    Acad::ErrorStatus es = db->addAcDbObject(id, ent);
    if (es != Acad::eOk) return es;
    assertWriteEnabled();
    DbAccess::setOwner(ent, objectId());
    m_entities.push_back(id);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockTableRecord::newIterator(AcDbBlockTableRecordIterator*& it, bool atBeginning,
                                                    bool skipDeleted) const
{
    it = new AcDbBlockTableRecordIterator;
    it->m_ids = m_entities;
    it->start(atBeginning, skipDeleted);
    return Acad::eOk;
}

std::vector<AcDbObjectId> AcDbBlockTableRecord::entityIds(bool includeErased) const
{
    std::vector<AcDbObjectId> out;
    out.reserve(m_entities.size());
    for (AcDbObjectId id : m_entities)
        if (includeErased || !id.isErased()) out.push_back(id);
    return out;
}

bool AcDbBlockTableRecord::isLayout() const
{
    CString n;
    getName(n);
    return n.CompareNoCase(ACDB_MODEL_SPACE) == 0 || n.CompareNoCase(ACDB_PAPER_SPACE) == 0;
}

Acad::ErrorStatus AcDbBlockTableRecord::dwgOutFields(AcDbDwgFiler* filer) const
{
    Acad::ErrorStatus es = AcDbSymbolTableRecord::dwgOutFields(filer);
    if (es != Acad::eOk) return es;
    filer->writePoint3d(m_origin, "origin");
    filer->writeHardOwnershipId(m_begin, "begin");
    filer->writeArrayBegin(static_cast<Adesk::Int32>(m_entities.size()), "entities");
    for (AcDbObjectId id : m_entities) filer->writeHardOwnershipId(id);
    filer->writeArrayEnd();
    filer->writeHardOwnershipId(m_end, "end");
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbBlockTableRecord::dwgInFields(AcDbDwgFiler* filer)
{
    Acad::ErrorStatus es = AcDbSymbolTableRecord::dwgInFields(filer);
    if (es != Acad::eOk) return es;
    if ((es = filer->readPoint3d(&m_origin, "origin")) != Acad::eOk) return es;
    if ((es = filer->readHardOwnershipId(&m_begin, "begin")) != Acad::eOk) return es;
    // What it holds stays when the field is absent. Sized at once: growing by the growth
    // length would copy a large block's list once per 8 entities, at every copy or undo.
    AcDbObjectIdArray ids(static_cast<int>(m_entities.size()));
    for (AcDbObjectId id : m_entities) ids.append(id);
    if ((es = filer->readIdArray(&ids, AcDb::kHardOwnership, "entities")) != Acad::eOk) return es;
    m_entities.assign(ids.begin(), ids.end());
    return filer->readHardOwnershipId(&m_end, "end");
}

Acad::ErrorStatus DbAccess::appendOwned(AcDbObject* owner, const std::vector<AcDbObjectId>& ids)
{
    if (!owner) return Acad::eNullObjectPointer;
    std::vector<AcDbObjectId>* list = ownedList(owner);
    if (!list) return Acad::eWrongObjectType;
    if (!owner->assertWriteEnabled()) return Acad::eNotOpenForWrite;
    list->insert(list->end(), ids.begin(), ids.end());
    return Acad::eOk;
}

std::vector<AcDbObjectId>* DbAccess::ownedList(AcDbObject* owner)
{
    if (auto* block = AcDbBlockTableRecord::cast(owner)) return &block->m_entities;
    if (auto* table = AcDbSymbolTable::cast(owner)) return &table->m_records;
    return nullptr;
}

// ---- iterator -----------------------------------------------------------------------------

AcDbBlockTableRecordIterator::~AcDbBlockTableRecordIterator() = default;

void AcDbBlockTableRecordIterator::start(bool atBeginning, bool skipDeleted)
{
    m_skipDeleted = skipDeleted;
    m_pos = atBeginning ? 0 : static_cast<int>(m_ids.size()) - 1;
    while (!done() && skipDeleted && m_ids[static_cast<size_t>(m_pos)].isErased()) m_pos += atBeginning ? 1 : -1;
}

bool AcDbBlockTableRecordIterator::done() const { return m_pos < 0 || m_pos >= static_cast<int>(m_ids.size()); }

void AcDbBlockTableRecordIterator::step(bool forward, bool skipDeleted)
{
    if (done()) return;
    do {
        m_pos += forward ? 1 : -1;
    } while (!done() && skipDeleted && m_ids[static_cast<size_t>(m_pos)].isErased());
}

Acad::ErrorStatus AcDbBlockTableRecordIterator::getEntityId(AcDbObjectId& id) const
{
    if (done()) return Acad::eInvalidIndex;
    id = m_ids[static_cast<size_t>(m_pos)];
    return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockTableRecordIterator::getEntity(AcDbEntity*& ent, AcDb::OpenMode mode, bool openErased) const
{
    ent = nullptr;
    if (done()) return Acad::eInvalidIndex;
    return acdbOpenAcDbEntity(ent, m_ids[static_cast<size_t>(m_pos)], mode, openErased);
}

// ---- layers -------------------------------------------------------------------------------

bool AcDbLayerTableRecord::isOff() const { return m_off; }
void AcDbLayerTableRecord::setIsOff(bool off) { if (assertWriteEnabled()) m_off = off; }
bool AcDbLayerTableRecord::isFrozen() const { return m_frozen; }
Acad::ErrorStatus AcDbLayerTableRecord::setIsFrozen(bool frozen)
{
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_frozen = frozen;
    return Acad::eOk;
}
bool AcDbLayerTableRecord::isLocked() const { return m_locked; }
void AcDbLayerTableRecord::setIsLocked(bool locked) { if (assertWriteEnabled()) m_locked = locked; }
Adesk::UInt16 AcDbLayerTableRecord::colorIndex() const { return m_color; }
void AcDbLayerTableRecord::setColorIndex(Adesk::UInt16 aci) { if (assertWriteEnabled()) m_color = aci; }

Acad::ErrorStatus AcDbLayerTableRecord::setLinetype(const char16_t* name)
{
    if (!name || !*name) return Acad::eInvalidInput;
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_linetype = name;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbLayerTableRecord::setLineWeight(AcDb::LineWeight weight)
{
    if (!acdbIsValidLineWeight(weight) || weight == AcDb::kLnWtByLayer || weight == AcDb::kLnWtByBlock)
        return Acad::eInvalidInput;
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_lineWeight = weight;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbLayerTableRecord::dwgOutFields(AcDbDwgFiler* filer) const
{
    Acad::ErrorStatus es = AcDbSymbolTableRecord::dwgOutFields(filer);
    if (es != Acad::eOk) return es;
    filer->writeBool(m_off, "off");
    filer->writeBool(m_frozen, "frozen");
    filer->writeBool(m_locked, "locked");
    filer->writeInt32(m_color, "color");
    // Filed last and only when set, so that layers of earlier drawings read as they were.
    if (m_linetype.CompareNoCase(u"Continuous") != 0 || m_lineWeight != AcDb::kLnWtByLwDefault) {
        filer->writeString(m_linetype, "linetype");
        filer->writeInt32(m_lineWeight, "lineWeight");
    }
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbLayerTableRecord::dwgInFields(AcDbDwgFiler* filer)
{
    Acad::ErrorStatus es = AcDbSymbolTableRecord::dwgInFields(filer);
    if (es != Acad::eOk) return es;
    Adesk::Int32 color = m_color, weight = m_lineWeight;
    CString linetype = m_linetype;
    if ((es = filer->readBool(&m_off, "off")) != Acad::eOk) return es;
    if ((es = filer->readBool(&m_frozen, "frozen")) != Acad::eOk) return es;
    if ((es = filer->readBool(&m_locked, "locked")) != Acad::eOk) return es;
    if ((es = filer->readInt32(&color, "color")) != Acad::eOk) return es;
    if (filer->hasMoreFields()) {
        if ((es = filer->readString(&linetype, "linetype")) != Acad::eOk) return es;
        if ((es = filer->readInt32(&weight, "lineWeight")) != Acad::eOk) return es;
    }
    if (color < 0 || color > 256 || linetype.IsEmpty() || !acdbIsValidLineWeight(weight) ||
        weight == AcDb::kLnWtByLayer || weight == AcDb::kLnWtByBlock)
        return Acad::eInvalidInput;
    m_color = static_cast<Adesk::UInt16>(color);
    m_linetype = linetype;
    m_lineWeight = static_cast<AcDb::LineWeight>(weight);
    return Acad::eOk;
}

// ---- linetypes ----------------------------------------------------------------------------

Acad::ErrorStatus AcDbLinetypeTableRecord::setComments(const char16_t* text)
{
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_comments = text ? text : u"";
    return Acad::eOk;
}

namespace {
bool validDashes(const std::vector<double>& dashes)
{
    if (dashes.size() > 12) return false;
    for (double d : dashes)
        if (!std::isfinite(d) || std::abs(d) > 1e12) return false;
    return true;
}
}  // namespace

Acad::ErrorStatus AcDbLinetypeTableRecord::setDashes(const std::vector<double>& dashes)
{
    if (!validDashes(dashes)) return Acad::eInvalidInput;
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_dashes = dashes;
    return Acad::eOk;
}

double AcDbLinetypeTableRecord::patternLength() const
{
    double sum = 0;
    for (double d : m_dashes) sum += std::abs(d);
    return sum;
}

Acad::ErrorStatus AcDbLinetypeTableRecord::dwgOutFields(AcDbDwgFiler* filer) const
{
    Acad::ErrorStatus es = AcDbSymbolTableRecord::dwgOutFields(filer);
    if (es != Acad::eOk) return es;
    filer->writeString(m_comments, "comments");
    filer->writeArrayBegin(static_cast<Adesk::Int32>(m_dashes.size()), "dashes");
    for (double d : m_dashes) filer->writeDouble(d);
    filer->writeArrayEnd();
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbLinetypeTableRecord::dwgInFields(AcDbDwgFiler* filer)
{
    Acad::ErrorStatus es = AcDbSymbolTableRecord::dwgInFields(filer);
    if (es != Acad::eOk) return es;
    CString comments = m_comments;
    if ((es = filer->readString(&comments, "comments")) != Acad::eOk) return es;
    std::vector<double> dashes = m_dashes;
    Adesk::Int32 n = 0;
    es = filer->readArrayBegin(&n, "dashes");
    if (es == Acad::eOk) {
        if (n < 0 || n > 12) return Acad::eInvalidInput;
        dashes.assign(static_cast<size_t>(n), 0.0);
        for (double& d : dashes)
            if ((es = filer->readDouble(&d)) != Acad::eOk) return es;
        if ((es = filer->readArrayEnd()) != Acad::eOk) return es;
    } else if (es != Acad::eKeyNotFound) {
        return es;
    }
    if (!validDashes(dashes)) return Acad::eInvalidInput;
    m_comments = comments;
    m_dashes = std::move(dashes);
    return Acad::eOk;
}

std::vector<double> acdbLinetypeDashes(AcDbDatabase* db, const CString& name)
{
    if (!db) return {};
    auto* table = AcDbLinetypeTable::cast(DbAccess::peek(db->linetypeTableId()));
    AcDbObjectId id;
    if (!table || table->getAt(name.GetString(), id) != Acad::eOk) return {};
    auto* rec = AcDbLinetypeTableRecord::cast(DbAccess::peek(id));
    return rec ? rec->dashes() : std::vector<double>{};
}

bool acdbEnsureLayer(AcDbDatabase* db, const char16_t* name, bool create, AcDbObjectId* id)
{
    if (id) *id = AcDbObjectId();
    if (!db || !name) return false;
    auto* peeked = AcDbLayerTable::cast(DbAccess::peek(db->layerTableId()));
    if (!peeked) return false;
    AcDbObjectId found;
    if (peeked->getAt(name, found) == Acad::eOk) {
        if (id) *id = found;
        return true;
    }
    if (!create) return false;
    AcDbLayerTable* table = nullptr;
    if (db->getLayerTable(table, AcDb::kForWrite) != Acad::eOk) return false;
    auto* rec = new AcDbLayerTableRecord;
    bool ok = rec->setName(name) == Acad::eOk && table->add(found, rec) == Acad::eOk;
    if (ok) rec->close();
    else delete rec;
    table->close();
    if (ok && id) *id = found;
    return ok;
}
