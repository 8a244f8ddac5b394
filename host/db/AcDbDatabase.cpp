// The in-memory database: objects by handle, open tracking, reactors, default content.
#include "host/db/AcDbDatabase.h"

#include <algorithm>
#include <cstdio>
#include <mutex>
#include <utility>

#include "host/db/AcDbOpenObjects.h"
#include "host/db/AcDbSymbolTables.h"
#include "host/db/detail/DatabaseImpl.h"

using Access = AcDbObjectAccess;

namespace {

std::vector<AcDbDatabaseReactor*>& globalReactors()
{
    static auto* r = new std::vector<AcDbDatabaseReactor*>;
    return *r;
}

bool contains(const std::vector<AcDbDatabaseReactor*>& v, AcDbDatabaseReactor* r)
{
    return std::find(v.begin(), v.end(), r) != v.end();
}

// Reactors may add or remove reactors while hearing an event: iterate over a copy and skip
// those removed meanwhile.
template <class F>
void notifyAll(AcDbDatabase* db, F&& f)
{
    if (!db || db->impl()->silent) return;
    auto local = db->impl()->reactors;
    for (AcDbDatabaseReactor* r : local)
        if (contains(db->impl()->reactors, r)) f(r);
    auto global = globalReactors();
    for (AcDbDatabaseReactor* r : global)
        if (contains(globalReactors(), r)) f(r);
}

// The largest handle an object may take: the file keeps the next handle after it.
constexpr Adesk::UInt64 kLastHandle = ~Adesk::UInt64{0} - 1;

struct OpenReports {
    std::mutex mutex;
    std::vector<CString> reports;
};
OpenReports& openReports()
{
    static auto* r = new OpenReports;
    return *r;
}

void deleteAllObjects(AcDbDatabaseImpl& impl)
{
    std::vector<AcDbStub*> stubs;
    stubs.reserve(impl.byHandle.size());
    impl.byHandle.forEach([&](AcDbStub* s) {
        stubs.push_back(s);
        AcDbObject* o = s->object;
        if (!o) return;
        Access::stub(o) = nullptr;
        s->object = nullptr;
        if (s->openSlot < 0) delete o;  // else its holder still uses it: it leaves the database
    });
    vkdb::retireStubs(stubs);
    impl.byHandle.clear();
    impl.source.reset();
    for (AcDbStub* s : impl.open) s->openSlot = -1;
    impl.open.clear();
    impl.blockTable = impl.layerTable = impl.linetypeTable = AcDbObjectId();
    impl.handseed = 1;
}

template <class Table>
AcDbObjectId addTable(AcDbDatabase* db, Table*& table)
{
    table = new Table;
    AcDbObjectId id;
    db->addAcDbObject(id, table);
    return id;
}

void addRecord(AcDbSymbolTable* table, AcDbSymbolTableRecord* rec, const char16_t* name)
{
    rec->setName(name);
    table->add(rec);
    rec->close();
}

}  // namespace

AcDbDatabase::AcDbDatabase(bool buildDefaultDrawing, bool noDocument) : m_impl(std::make_unique<AcDbDatabaseImpl>())
{
    if (!buildDefaultDrawing) return;
    m_impl->silent = true;
    AcDbBlockTable* blocks = nullptr;
    AcDbLayerTable* layers = nullptr;
    m_impl->blockTable = addTable(this, blocks);
    m_impl->layerTable = addTable(this, layers);
    addRecord(layers, new AcDbLayerTableRecord, u"0");
    addRecord(blocks, new AcDbBlockTableRecord, ACDB_MODEL_SPACE);
    addRecord(blocks, new AcDbBlockTableRecord, ACDB_PAPER_SPACE);
    blocks->close();
    layers->close();
    m_impl->silent = false;
}

AcDbDatabase::~AcDbDatabase()
{
    notifyAll(this, [this](AcDbDatabaseReactor* r) { r->databaseToBeDestroyed(this); });
    vkdb::undoForget(this);
    if (acdbHostApplicationServices()->workingDatabase() == this)
        acdbHostApplicationServices()->setWorkingDatabase(nullptr);
    if (!m_impl->open.empty()) {
        CString report = CString(u"a drawing was deleted with objects open: ") + acdbDescribeOpenObjects(this);
        std::fprintf(stderr, "vkcad host: %s\n", report.ToUtf8().c_str());
        OpenReports& r = openReports();
        std::lock_guard lock(r.mutex);
        r.reports.push_back(report);
    }
    deleteAllObjects(*m_impl);
}

Acad::ErrorStatus AcDbDatabase::getBlockTable(AcDbBlockTable*& table, AcDb::OpenMode mode)
{
    table = nullptr;
    if (m_impl->blockTable.isNull()) return Acad::eNullObjectId;
    return acdbOpenObject(table, m_impl->blockTable, mode);
}

Acad::ErrorStatus AcDbDatabase::getLayerTable(AcDbLayerTable*& table, AcDb::OpenMode mode)
{
    table = nullptr;
    if (m_impl->layerTable.isNull()) return Acad::eNullObjectId;
    return acdbOpenObject(table, m_impl->layerTable, mode);
}

Acad::ErrorStatus AcDbDatabase::getLinetypeTable(AcDbLinetypeTable*& table, AcDb::OpenMode mode)
{
    table = nullptr;
    if (m_impl->linetypeTable.isNull() || m_impl->linetypeTable.isErased()) {
        if (mode != AcDb::kForWrite || m_impl->blockTable.isNull()) return Acad::eNullObjectId;
        m_impl->linetypeTable = addTable(this, table);
        return m_impl->linetypeTable.isNull() ? Acad::eOutOfMemory : Acad::eOk;
    }
    return acdbOpenObject(table, m_impl->linetypeTable, mode);
}

AcDbObjectId AcDbDatabase::blockTableId() const { return m_impl->blockTable; }
AcDbObjectId AcDbDatabase::linetypeTableId() const { return m_impl->linetypeTable; }
AcDbObjectId AcDbDatabase::layerTableId() const { return m_impl->layerTable; }

AcDbObjectId AcDbDatabase::modelSpaceId() const
{
    auto* table = AcDbBlockTable::cast(vkdb::DbAccess::peek(m_impl->blockTable));
    AcDbObjectId id;
    if (table) table->getAt(ACDB_MODEL_SPACE, id);
    return id;
}

Acad::ErrorStatus AcDbDatabase::addAcDbObject(AcDbObjectId& id, AcDbObject* obj)
{
    id = AcDbObjectId();
    Acad::ErrorStatus es = vkdb::makeResident(this, obj, 0, AcDbObjectId(), false, true, &id);
    if (es == Acad::eOk) vkdb::DbAccess::notifyAppended(this, obj);
    return es;
}

Acad::ErrorStatus AcDbDatabase::getAcDbObjectId(AcDbObjectId& id, bool createIfNotFound, const AcDbHandle& h)
{
    id = AcDbObjectId();
    if (h.isNull()) return Acad::eNullHandle;
    if (AcDbStub* s = m_impl->byHandle.find(h.value())) {
        id = AcDbObjectId(s);
        return Acad::eOk;
    }
    if (!createIfNotFound) return Acad::eUnknownHandle;
    if (h.value() > kLastHandle) return Acad::eOutOfMemory;  // no handle would be left after it
    AcDbStub* s = vkdb::allocateStub();
    s->db = this;
    s->handle = h;
    m_impl->byHandle.insert(h.value(), s);
    m_impl->handseed = std::max(m_impl->handseed, h.value() + 1);
    id = AcDbObjectId(s);
    return Acad::eOk;
}

AcDbHandle AcDbDatabase::handseed() const { return AcDbHandle(m_impl->handseed); }

void AcDbDatabase::addReactor(AcDbDatabaseReactor* r)
{
    if (r && !contains(m_impl->reactors, r)) m_impl->reactors.push_back(r);
}

void AcDbDatabase::removeReactor(AcDbDatabaseReactor* r)
{
    auto& v = m_impl->reactors;
    v.erase(std::remove(v.begin(), v.end(), r), v.end());
}

void AcDbDatabase::addGlobalReactor(AcDbDatabaseReactor* r)
{
    if (r && !contains(globalReactors(), r)) globalReactors().push_back(r);
}

void AcDbDatabase::removeGlobalReactor(AcDbDatabaseReactor* r)
{
    auto& v = globalReactors();
    v.erase(std::remove(v.begin(), v.end(), r), v.end());
}

std::vector<AcDbObjectId> AcDbDatabase::openObjectIds() const
{
    std::vector<AcDbObjectId> out;
    for (AcDbStub* s : m_impl->open) out.emplace_back(s);
    std::sort(out.begin(), out.end(), [](AcDbObjectId a, AcDbObjectId b) { return a.handle() < b.handle(); });
    return out;
}

int AcDbDatabase::numOpenObjects() const { return static_cast<int>(m_impl->open.size()); }

std::vector<AcDbObjectId> AcDbDatabase::allObjectIds(bool includeErased) const
{
    std::vector<AcDbObjectId> out;
    out.reserve(m_impl->byHandle.size());
    m_impl->byHandle.forEach([&](AcDbStub* s) {
        if (vkdb::hasObject(s) && (includeErased || !s->erased)) out.emplace_back(s);
    });
    return out;
}

CString acdbDescribeOpenObjects(const AcDbDatabase* db)
{
    CString out;
    if (!db) return out;
    for (AcDbObjectId id : db->openObjectIds()) {
        const AcDbObject* obj = vkdb::DbAccess::peek(id);
        if (!obj) continue;
        if (!out.IsEmpty()) out += u", ";
        int state = Access::openState(obj);
        CString how = state == AcDbObjectAccess::kOpenWrite ? CString(u"open for write")
                      : state > 0                          ? CString(u"open for read")
                                                           : CString(u"open for notify");
        out += CString(obj->isA()->name()) + u" #" + id.handle().text() + u" (" + how + u")";
    }
    return out;
}

std::vector<CString> acdbTakeOpenObjectReports()
{
    OpenReports& r = openReports();
    std::lock_guard lock(r.mutex);
    return std::exchange(r.reports, {});
}

AcDbHostApplicationServices* acdbHostApplicationServices()
{
    static AcDbHostApplicationServices services;
    return &services;
}

// ---- stubs by handle ------------------------------------------------------------------------

AcDbStub* HandleIndex::find(Adesk::UInt64 h) const
{
    auto it = std::lower_bound(m_sorted.begin(), m_sorted.end(), h,
                               [](const auto& e, Adesk::UInt64 v) { return e.first < v; });
    if (it != m_sorted.end() && it->first == h) return it->second;
    if (m_side.empty()) return nullptr;
    auto side = m_side.find(h);
    return side == m_side.end() ? nullptr : side->second;
}

void HandleIndex::insert(Adesk::UInt64 h, AcDbStub* s)
{
    if (m_sorted.empty() || m_sorted.back().first < h) {
        m_sorted.emplace_back(h, s);
        return;
    }
    m_side.emplace(h, s);
    if (m_side.size() > 64 + m_sorted.size() / 8) mergeSide();  // keeps insertion amortised O(log n)
}

void HandleIndex::mergeSide()
{
    std::vector<std::pair<Adesk::UInt64, AcDbStub*>> merged;
    merged.reserve(size());
    forEach([&](AcDbStub* s) { merged.emplace_back(s->handle.value(), s); });
    m_sorted = std::move(merged);
    m_side.clear();
}

void HandleIndex::clear()
{
    m_sorted = {};
    m_side.clear();
}

// ---- internals shared with the file, clone and JSON code ---------------------------------

namespace vkdb {

Acad::ErrorStatus makeResident(AcDbDatabase* db, AcDbObject* obj, Adesk::UInt64 handle, AcDbObjectId owner,
                               bool erased, bool openForWrite, AcDbObjectId* idOut)
{
    if (idOut) *idOut = AcDbObjectId();
    if (!db) return Acad::eNoDatabase;
    if (!obj) return Acad::eNullObjectPointer;
    if (Access::stub(obj)) return Acad::eAlreadyInDb;
    AcDbDatabaseImpl& impl = *db->impl();
    AcDbStub* s = nullptr;
    if (handle == 0) {
        handle = impl.handseed;
        while (handle <= kLastHandle && impl.byHandle.find(handle)) ++handle;  // reserved ones are skipped
    }
    if (handle > kLastHandle) return Acad::eOutOfMemory;  // the drawing has no handle left
    if (AcDbStub* reserved = impl.byHandle.find(handle)) {
        if (hasObject(reserved)) return Acad::eHandleExists;
        s = reserved;  // reserved by an earlier reference: its ids now reach the object
    } else {
        s = allocateStub();
        s->db = db;
        s->handle = AcDbHandle(handle);
        impl.byHandle.insert(handle, s);
    }
    impl.handseed = std::max(impl.handseed, handle + 1);
    s->object = obj;
    s->erased = erased;
    Access::stub(obj) = s;
    Access::owner(obj) = owner;
    Access::openState(obj) = openForWrite ? AcDbObjectAccess::kOpenWrite : 0;
    Access::modified(obj) = false;
    trackOpen(s);
    if (idOut) *idOut = AcDbObjectId(s);
    return Acad::eOk;
}

AcDbObject* residentObject(AcDbStub* s, Acad::ErrorStatus* es)
{
    if (es) *es = Acad::eOk;
    if (!s || !s->db) return nullptr;
    if (!s->object && s->record && s->db->impl()->source) {
        Acad::ErrorStatus loaded = s->db->impl()->source->load(s);
        if (es) *es = loaded;
    }
    return s->object;
}

bool hasObject(const AcDbStub* s) { return s->object || s->record; }

}  // namespace vkdb

AcRxClass* AcDbObjectId::objectClass() const
{
    AcDbStub* s = stub();
    if (!s || !s->db) return nullptr;
    if (s->object) return s->object->isA();
    const vkdb::ObjectSource* source = s->db->impl()->source.get();
    return s->record && source ? source->classOf(s) : nullptr;
}

namespace vkdb {

void trackOpen(AcDbStub* s)
{
    if (!s || !s->db || !s->object) return;
    auto& open = s->db->impl()->open;
    const bool isOpen = Access::openState(s->object) != 0 || s->notifyOpens > 0;
    if (isOpen == (s->openSlot >= 0)) return;
    if (isOpen) {
        s->openSlot = static_cast<int>(open.size());
        open.push_back(s);
        return;
    }
    // The last stub takes the closed one's slot.
    AcDbStub* last = open.back();
    open[static_cast<size_t>(s->openSlot)] = last;
    last->openSlot = s->openSlot;
    open.pop_back();
    s->openSlot = -1;
}

Acad::ErrorStatus DbAccess::addObjectWithHandle(AcDbDatabase* db, AcDbObject* obj, AcDbHandle h, AcDbObjectId owner,
                                                bool erased, AcDbObjectId* idOut)
{
    if (h.isNull()) return Acad::eNullHandle;
    Acad::ErrorStatus es = makeResident(db, obj, h.value(), owner, erased, false, idOut);
    if (es == Acad::eOk) Access::isNew(obj) = false;
    return es;
}

Acad::ErrorStatus DbAccess::addObjectWithHandleNotify(AcDbDatabase* db, AcDbObject* obj, AcDbHandle h,
                                                      AcDbObjectId owner, bool erased, AcDbObjectId* idOut)
{
    if (h.isNull()) return Acad::eNullHandle;
    Acad::ErrorStatus es = makeResident(db, obj, h.value(), owner, erased, false, idOut);
    if (es == Acad::eOk) notifyAppended(db, obj);
    return es;
}

Acad::ErrorStatus DbAccess::addObjectClosed(AcDbDatabase* db, AcDbObject* obj, AcDbObjectId owner, AcDbObjectId* idOut)
{
    Acad::ErrorStatus es = makeResident(db, obj, 0, owner, false, false, idOut);
    if (es == Acad::eOk) notifyAppended(db, obj);
    return es;
}

void DbAccess::setTables(AcDbDatabase* db, AcDbObjectId blockTableId, AcDbObjectId layerTableId)
{
    db->impl()->blockTable = blockTableId;
    db->impl()->layerTable = layerTableId;
}

void DbAccess::setLinetypeTable(AcDbDatabase* db, AcDbObjectId id) { db->impl()->linetypeTable = id; }

void DbAccess::setHandseed(AcDbDatabase* db, AcDbHandle seed)
{
    db->impl()->handseed = std::max(db->impl()->handseed, seed.value());
}

void DbAccess::clearContents(AcDbDatabase* db) { deleteAllObjects(*db->impl()); }
DbFileSlot& DbAccess::fileSlot(AcDbDatabase* db) { return db->impl()->file; }

// What a save would write has changed (the default content of a new drawing does not count).
static void markModified(AcDbDatabase* db)
{
    if (db && !db->impl()->silent) db->impl()->file.modified = true;
}

void DbAccess::notifyAppended(AcDbDatabase* db, const AcDbObject* obj)
{
    markModified(db);
    undoNoteAppended(Access::stub(obj));
    notifyAll(db, [&](AcDbDatabaseReactor* r) { r->objectAppended(db, obj); });
}

void DbAccess::notifyModified(AcDbDatabase* db, const AcDbObject* obj)
{
    markModified(db);
    notifyAll(db, [&](AcDbDatabaseReactor* r) { r->objectModified(db, obj); });
}

void DbAccess::notifyErased(AcDbDatabase* db, const AcDbObject* obj, bool erased)
{
    markModified(db);
    notifyAll(db, [&](AcDbDatabaseReactor* r) { r->objectErased(db, obj, erased); });
}

AcDbObject* DbAccess::peek(AcDbObjectId id)
{
    return residentObject(id.stub());
}

void DbAccess::setOwner(AcDbObject* obj, AcDbObjectId owner)
{
    if (obj) Access::owner(obj) = owner;
}

void DbAccess::setErasedFlag(AcDbObjectId id, bool erased)
{
    if (id.isValid()) id.stub()->erased = erased;
}

bool DbAccess::isOpen(const AcDbObject* obj)
{
    const AcDbStub* s = obj ? Access::stub(obj) : nullptr;
    return s && s->db && (Access::openState(obj) != 0 || s->notifyOpens > 0);
}

}  // namespace vkdb
