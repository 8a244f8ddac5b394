// Database-resident objects: the open/close state machine, erasing, filing, cloning.
#include "host/db/AcDbObject.h"

#include <memory>

#include "host/db/AcDbDatabase.h"
#include "host/db/AcDbSymbolTables.h"
#include "host/db/detail/CopyFiler.h"
#include "host/db/detail/DatabaseImpl.h"

ACRX_DEFINE_ABSTRACT_MEMBERS(AcDbObject, AcRxObject)

using Access = AcDbObjectAccess;

namespace {
constexpr int kMaxReaders = 256;

bool resident(const AcDbObject* o)
{
    const AcDbStub* s = Access::stub(o);
    return s && s->db;
}

// An entity on a locked layer cannot be changed: opening it for write, or upgrading a read
// open, is refused. The database's own work (reading files, cloning, loading) places objects
// without opening them, so it is not affected.
bool LayerLocked(const AcDbEntity* ent, AcDbDatabase* db)
{
    if (!ent || !db) return false;
    AcDbLayerTable* layers = nullptr;
    if (db->getLayerTable(layers, AcDb::kForRead) != Acad::eOk) return false;
    AcDbLayerTableRecord* layer = nullptr;
    const Acad::ErrorStatus es = layers->getAt(ent->layer().GetString(), layer, AcDb::kForRead);
    layers->close();
    if (es != Acad::eOk) return false;
    const bool locked = layer->isLocked();
    layer->close();
    return locked;
}

bool OnLockedLayer(AcDbObject* o, AcDbDatabase* db) { return LayerLocked(AcDbEntity::cast(o), db); }
}  // namespace

bool acdbIsOnLockedLayer(const AcDbEntity* ent) { return ent && LayerLocked(ent, ent->database()); }

AcDbObject::AcDbObject() = default;

AcDbObject::~AcDbObject()
{
    // Only the database deletes resident objects, and it detaches them first; a stray
    // delete still must not leave the stub pointing at freed memory.
    if (m_stub && m_stub->object == this) m_stub->object = nullptr;
}

AcDbObjectId AcDbObject::objectId() const { return resident(this) ? AcDbObjectId(m_stub) : AcDbObjectId(); }
AcDbObjectId AcDbObject::ownerId() const { return m_owner; }
AcDbDatabase* AcDbObject::database() const { return resident(this) ? m_stub->db : nullptr; }

Acad::ErrorStatus AcDbObject::setOwnerId(AcDbObjectId owner)
{
    if (!assertWriteEnabled(false, false)) return Acad::eNotOpenForWrite;
    if (owner == objectId() && !owner.isNull()) return Acad::eSelfReference;
    m_owner = owner;
    return Acad::eOk;
}

bool AcDbObject::isErased() const { return resident(this) && m_stub->erased; }
bool AcDbObject::isReadEnabled() const { return !resident(this) || m_openState != 0 || m_stub->notifyOpens > 0; }
bool AcDbObject::isWriteEnabled() const { return !resident(this) || m_openState == Access::kOpenWrite; }
bool AcDbObject::isNotifyEnabled() const { return resident(this) && m_stub->notifyOpens > 0; }
bool AcDbObject::isNewObject() const { return m_new; }
bool AcDbObject::assertReadEnabled() const { return isReadEnabled(); }

bool AcDbObject::assertWriteEnabled(bool autoUndo, bool recordModified)
{
    if (!resident(this)) return true;
    if (m_openState != Access::kOpenWrite) return false;
    if (recordModified) m_modified = true;
    return true;
}

Acad::ErrorStatus AcDbObject::upgradeOpen()
{
    if (!resident(this)) return Acad::eOk;
    if (m_openState == Access::kOpenWrite) return Acad::eWasOpenForWrite;
    if (m_openState <= 0) return Acad::eNotOpenForRead;
    if (m_openState > 1) return Acad::eWasOpenForRead;  // other readers hold it
    if (OnLockedLayer(this, database())) return Acad::eOnLockedLayer;
    m_openState = Access::kOpenWrite;
    m_modified = false;
    vkdb::undoNoteWrite(m_stub);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbObject::downgradeOpen()
{
    if (!resident(this)) return Acad::eOk;
    if (m_openState != Access::kOpenWrite) return Acad::eNotOpenForWrite;
    bool changed = m_modified;
    m_openState = 1;
    m_modified = false;
    if (changed) vkdb::DbAccess::notifyModified(m_stub->db, this);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbObject::close()
{
    if (!resident(this)) return Acad::eOk;  // the creator owns it; nothing to end
    bool changed = false;
    if (m_openState == Access::kOpenWrite) {
        m_openState = 0;
        changed = m_modified;
        m_modified = false;
    } else if (m_openState > 0) {
        --m_openState;
    } else if (m_stub->notifyOpens > 0) {
        --m_stub->notifyOpens;
    } else {
        return Acad::eNotOpenForRead;
    }
    subClose();
    vkdb::trackOpen(m_stub);
    // Reported after the object is closed, so that a reactor may open it.
    if (changed) vkdb::DbAccess::notifyModified(m_stub->db, this);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbObject::erase(bool erasing)
{
    if (!resident(this)) return Acad::eNotInDatabase;
    if (m_openState != Access::kOpenWrite) return Acad::eNotOpenForWrite;
    if (m_stub->erased == erasing) return erasing ? Acad::eWasErased : Acad::eOk;
    Acad::ErrorStatus es = subErase(erasing);
    if (es != Acad::eOk) return es;
    m_stub->erased = erasing;
    m_modified = true;
    vkdb::DbAccess::notifyErased(m_stub->db, this, erasing);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbObject::dwgOutFields(AcDbDwgFiler* filer) const
{
    return filer ? filer->filerStatus() : Acad::eNullObjectPointer;
}

Acad::ErrorStatus AcDbObject::dwgInFields(AcDbDwgFiler* filer)
{
    if (!filer) return Acad::eNullObjectPointer;
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbObject::dxfOutFields(AcDbDxfFiler* filer) const { return Acad::eOk; }
Acad::ErrorStatus AcDbObject::dxfInFields(AcDbDxfFiler* filer) { return Acad::eOk; }

Acad::ErrorStatus AcDbObject::applyPartialUndo(AcDbDwgFiler*, AcRxClass*) { return Acad::eNotApplicable; }

AcRxObject* AcDbObject::clone() const
{
    std::unique_ptr<AcRxObject> made(isA()->create());
    AcDbObject* copy = AcDbObject::cast(made.get());
    if (!copy) return nullptr;
    vkdb::FieldRecorder rec(AcDb::kCopyFiler, database());
    if (dwgOutFields(&rec) != Acad::eOk) return nullptr;
    vkdb::FieldPlayer play(rec.fields(), AcDb::kCopyFiler, database());
    if (copy->dwgInFields(&play) != Acad::eOk) return nullptr;
    copy->m_owner = AcDbObjectId();
    return made.release();
}


Acad::ErrorStatus acdbOpenAcDbObject(AcDbObject*& obj, AcDbObjectId id, AcDb::OpenMode mode, bool openErased)
{
    obj = nullptr;
    AcDbStub* s = id.stub();
    if (!s || !s->db) return Acad::eNullObjectId;
    Acad::ErrorStatus loaded = Acad::eOk;
    AcDbObject* o = vkdb::residentObject(s, &loaded);
    if (loaded != Acad::eOk) return loaded;   // its record in the file does not read
    if (!o) return Acad::eNullObjectPointer;  // a reserved handle whose object never came
    if (s->erased && !openErased) return Acad::eWasErased;
    int& state = Access::openState(o);
    switch (mode) {
    case AcDb::kForRead:
        if (state == Access::kOpenWrite) return Acad::eWasOpenForWrite;
        if (state >= kMaxReaders) return Acad::eAtMaxReaders;
        ++state;
        break;
    case AcDb::kForWrite:
        if (state == Access::kOpenWrite) return Acad::eWasOpenForWrite;
        if (state > 0) return Acad::eWasOpenForRead;
        if (OnLockedLayer(o, s->db)) return Acad::eOnLockedLayer;
        state = Access::kOpenWrite;
        Access::modified(o) = false;
        vkdb::undoNoteWrite(s);
        break;
    case AcDb::kForNotify:
        ++s->notifyOpens;
        break;
    default:
        return Acad::eInvalidInput;
    }
    Acad::ErrorStatus es = Access::subOpen(o, mode);
    if (es != Acad::eOk) {
        if (mode == AcDb::kForRead) --state;
        else if (mode == AcDb::kForWrite) state = 0;
        else --s->notifyOpens;
        return es;
    }
    vkdb::trackOpen(s);
    obj = o;
    return Acad::eOk;
}

Acad::ErrorStatus acdbOpenObject(AcDbObject*& obj, AcDbObjectId id, AcDb::OpenMode mode, bool openErased)
{
    return acdbOpenAcDbObject(obj, id, mode, openErased);
}

Acad::ErrorStatus acdbOpenAcDbEntity(AcDbEntity*& ent, AcDbObjectId id, AcDb::OpenMode mode, bool openErased)
{
    ent = nullptr;
    AcDbObject* o = nullptr;
    Acad::ErrorStatus es = acdbOpenAcDbObject(o, id, mode, openErased);
    if (es != Acad::eOk) return es;
    ent = AcDbEntity::cast(o);
    if (!ent) {
        o->close();
        return Acad::eWrongObjectType;
    }
    return Acad::eOk;
}

Acad::ErrorStatus acdbGetObjectId(AcDbObjectId& id, AcDbDatabase* db, const AcDbHandle& h)
{
    id = AcDbObjectId();
    if (!db) return Acad::eNoDatabase;
    if (h.isNull()) return Acad::eNullHandle;
    AcDbStub* s = db->impl()->byHandle.find(h.value());
    if (!s) return Acad::eUnknownHandle;
    id = AcDbObjectId(s);
    return Acad::eOk;
}
