#pragma once
// Database-resident objects and entities, and the calls that open and close them.
//
// Access goes through the open calls with a mode. Rules (misuse answers a status, never
// undefined behaviour):
// - any number of read opens at once; one write open, and none while read opens exist
//   (eWasOpenForRead / eWasOpenForWrite);
// - an erased object opens only when asked (openErased), else eWasErased;
// - an entity on a locked layer opens for read only: a write open or upgradeOpen answers
//   eOnLockedLayer (the database's own reading, cloning and loading are not affected);
// - changing an object needs a write open: assertWriteEnabled() on a read open is refused
//   and the setter answers eNotOpenForWrite;
// - close() ends one open; when the last write open closes, the object is reported modified
//   to the database reactors (once per write open that changed it).
// An object not yet in a database is owned by its creator and may be used freely.
#include "host/db/AcDbFiler.h"
#include "host/db/AcGi.h"
#include "host/ge/AcDbExtents.h"
#include "host/rx/AcRxObject.h"

class AcGePlane;

class AcDbObject : public AcRxObject {
public:
    ACRX_DECLARE_MEMBERS(AcDbObject);
    AcDbObject();
    ~AcDbObject() override;
    AcDbObject(const AcDbObject&) = delete;
    AcDbObject& operator=(const AcDbObject&) = delete;

    AcDbObjectId objectId() const;
    AcDbObjectId ownerId() const;
    Acad::ErrorStatus setOwnerId(AcDbObjectId owner);
    AcDbDatabase* database() const;
    AcDbHandle handle() const { return objectId().handle(); }

    bool isErased() const;
    bool isReadEnabled() const;
    bool isWriteEnabled() const;
    bool isNotifyEnabled() const;
    bool isNewObject() const;                  // created in this session
    // Guards of every getter and setter: false when the object is not open suitably.
    bool assertReadEnabled() const;
    bool assertWriteEnabled(bool autoUndo = true, bool recordModified = true);

    Acad::ErrorStatus upgradeOpen();           // read -> write; refused while other readers exist
    Acad::ErrorStatus downgradeOpen();         // write -> read
    Acad::ErrorStatus close();                 // ends one open of a database-resident object
    // Erases (or unerases) an object open for write. subErase runs first and may refuse.
    Acad::ErrorStatus erase(bool erasing = true);

    // The one field list of a class: each class files its own fields and calls its parent's
    // first. The base files nothing of its own (handle and owner are the database's).
    virtual Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const;
    virtual Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer);
    virtual Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const;
    virtual Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer);

    // A copy of this object, not in any database, made through a copy filer.
    virtual AcRxObject* clone() const;

    // Undo: this host keeps no undo records, so undoFiler() is always null and nothing ever
    // calls applyPartialUndo on its own; classes that record partial undo still read their
    // records back through it. The base answers eNotApplicable.
    AcDbDwgFiler* undoFiler() const { return nullptr; }
    virtual Acad::ErrorStatus applyPartialUndo(AcDbDwgFiler* undoFiler, AcRxClass* classObj);

protected:
    // Hooks for derived classes.
    virtual Acad::ErrorStatus subErase(bool erasing) { return Acad::eOk; }
    virtual Acad::ErrorStatus subOpen(AcDb::OpenMode mode) { return Acad::eOk; }
    virtual Acad::ErrorStatus subClose() { return Acad::eOk; }

private:
    friend struct AcDbStub;
    friend class AcDbDatabase;
    friend class AcDbObjectAccess;  // the database's internals
    AcDbStub* m_stub = nullptr;
    AcDbObjectId m_owner;
    int m_openState = 0;            // managed by the database: readers (> 0) or kOpenWrite
    bool m_modified = false;        // changed during the current write open
    bool m_new = true;              // made in this session rather than loaded
};

class AcDbEntity : public AcDbObject {
public:
    ACRX_DECLARE_MEMBERS(AcDbEntity);
    AcDbEntity();

    const CString& layer() const;  // the entity's own copy: valid while the entity lives unchanged
    Acad::ErrorStatus setLayer(const char16_t* layerName, bool doSubents = true);
    AcDbObjectId layerId() const;              // null while not in a database or layer missing
    Adesk::UInt16 colorIndex() const { return m_color; }
    Acad::ErrorStatus setColorIndex(Adesk::UInt16 aci);
    AcDb::Visibility visibility() const { return m_visibility; }
    Acad::ErrorStatus setVisibility(AcDb::Visibility v);
    // The line style: a linetype of the drawing's linetype table by name ("ByLayer" and
    // "ByBlock" take the layer's or the block reference's, "Continuous" is solid), the scale
    // of its dashes, and the line weight.
    const CString& linetype() const { return m_linetype; }
    Acad::ErrorStatus setLinetype(const char16_t* name);  // eInvalidInput for an empty name
    double linetypeScale() const { return m_linetypeScale; }
    Acad::ErrorStatus setLinetypeScale(double scale);     // eInvalidInput unless > 0
    AcDb::LineWeight lineWeight() const { return m_lineWeight; }
    Acad::ErrorStatus setLineWeight(AcDb::LineWeight weight);
    // Inherit layer, colour and line style from another entity.
    Acad::ErrorStatus setPropertiesFrom(const AcDbEntity* other);

    Acad::ErrorStatus highlight();
    Acad::ErrorStatus unhighlight();
    bool isHighlighted() const { return m_highlighted; }

    Acad::ErrorStatus getGeomExtents(AcDbExtents& ext) const;  // eInvalidExtents when it has none
    Acad::ErrorStatus transformBy(const AcGeMatrix3d& xform);  // needs a write open when resident
    bool worldDraw(AcGiWorldDraw* wd) const;
    // Points where this entity meets another (both bounded); appended to points.
    Acad::ErrorStatus intersectWith(const AcDbEntity* other, AcDb::Intersect type,
                                    AcGePoint3dArray& points) const;
    // Text for the LIST command: "  Layer: ...", one property a line.
    virtual void list(CString& out) const;
    // The plane the entity lies in; the base answers eNotApplicable.
    virtual Acad::ErrorStatus getPlane(AcGePlane& plane, AcDb::Planarity& planarity) const;

    // "layer", "color", "visibility"; then "linetype", "linetypeScale", "lineWeight" when one
    // of them is not the default (ByLayer, 1, ByLayer).
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;

    // The entity as plain curves, for intersections, picks and extents; entities that are no
    // curves answer what outlines them. Default: nothing.
    struct GeomPiece {
        enum Kind { kLine, kArc } kind = kLine;
        AcGePoint3d a, b;        // line: ends; arc: start and end
        AcGePoint3d center;      // arc only
        double radius = 0;       // arc only
        double startAng = 0, endAng = 0;  // arc: counter-clockwise about +Z from +X
    };
    virtual void getGeomPieces(std::vector<GeomPiece>& pieces) const {}

protected:
    virtual Acad::ErrorStatus subGetGeomExtents(AcDbExtents& ext) const;  // default: from pieces
    virtual Acad::ErrorStatus subTransformBy(const AcGeMatrix3d& xform) { return Acad::eNotApplicable; }
    virtual bool subWorldDraw(AcGiWorldDraw* wd) const;                     // default: draws pieces

private:
    CString m_layer = u"0";
    Adesk::UInt16 m_color = 256;   // by layer
    AcDb::Visibility m_visibility = AcDb::kVisible;
    bool m_highlighted = false;
    CString m_linetype = u"ByLayer";
    double m_linetypeScale = 1;
    AcDb::LineWeight m_lineWeight = AcDb::kLnWtByLayer;
};

// Open by id. The object must be closed with close() by the caller.
Acad::ErrorStatus acdbOpenObject(AcDbObject*& obj, AcDbObjectId id, AcDb::OpenMode mode,
                                 bool openErased = false);
Acad::ErrorStatus acdbOpenAcDbObject(AcDbObject*& obj, AcDbObjectId id, AcDb::OpenMode mode,
                                     bool openErased = false);
Acad::ErrorStatus acdbOpenAcDbEntity(AcDbEntity*& ent, AcDbObjectId id, AcDb::OpenMode mode,
                                     bool openErased = false);  // eNotAnEntity -> eWrongObjectType
template <class T>
Acad::ErrorStatus acdbOpenObject(T*& obj, AcDbObjectId id, AcDb::OpenMode mode, bool openErased = false)
{
    AcDbObject* p = nullptr;
    obj = nullptr;
    Acad::ErrorStatus es = acdbOpenAcDbObject(p, id, mode, openErased);
    if (es != Acad::eOk) return es;
    obj = T::cast(p);
    if (!obj) {
        p->close();
        return Acad::eNotThatKindOfClass;
    }
    return Acad::eOk;
}
// The entity's layer is locked, so that a write open of it is refused (eOnLockedLayer).
bool acdbIsOnLockedLayer(const AcDbEntity* ent);
// The id behind a handle of a database.
Acad::ErrorStatus acdbGetObjectId(AcDbObjectId& id, AcDbDatabase* db, const AcDbHandle& h);

// An open object closed at the end of its scope, or earlier by close().
template <class T>
class AcDbObjectPointer {
public:
    AcDbObjectPointer() = default;
    AcDbObjectPointer(AcDbObjectId id, AcDb::OpenMode mode, bool openErased = false) { open(id, mode, openErased); }
    ~AcDbObjectPointer() { close(); }
    AcDbObjectPointer(const AcDbObjectPointer&) = delete;
    AcDbObjectPointer& operator=(const AcDbObjectPointer&) = delete;
    // Closes what it holds, then opens id.
    Acad::ErrorStatus open(AcDbObjectId id, AcDb::OpenMode mode, bool openErased = false)
    {
        close();
        return m_status = acdbOpenObject(m_p, id, mode, openErased);
    }
    Acad::ErrorStatus close()
    {
        if (!m_p) return Acad::eNullObjectPointer;
        T* p = m_p;
        m_p = nullptr;
        return p->close();
    }
    Acad::ErrorStatus openStatus() const { return m_status; }
    T* operator->() const { return m_p; }
    T* object() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }

private:
    T* m_p = nullptr;
    Acad::ErrorStatus m_status = Acad::eNullObjectId;
};
