#pragma once
// Filers: the one path through which an object's fields travel, for saving, reading, deep
// cloning, undo-free copying and the JSON views. A class files its fields once, in
// dwgOutFields/dwgInFields, naming each field; binary filers ignore the names, the JSON
// filers use them. A reference is filed with its kind, which alone decides what a deep clone
// carries along (hard and soft ownership, hard pointers: carried; soft pointers: translated
// when their target is in the cloned set, else kept in the same database and nulled in
// another).
//
// Arrays: writeArrayBegin(name, n) then n items (items inside an array pass a null name),
// then writeArrayEnd(); readArrayBegin gives the count that was written.
// Reading a named field that a JSON object does not hold leaves the variable unchanged and
// answers eOk, so that fixtures may leave out fields.
#include <variant>
#include <vector>

#include "host/db/AcDbCore.h"
#include "host/ge/AcGeMatrix3d.h"

namespace AcDb {
enum FilerType { kFileFiler = 0, kCopyFiler = 1, kUndoFiler = 2, kDeepCloneFiler = 5,
                 kWblockCloneFiler = 7, kIdFiler = 8, kJsonFiler = 20 };
enum ReferenceKind { kHardPointer = 0, kSoftPointer = 1, kHardOwnership = 2, kSoftOwnership = 3 };
}  // namespace AcDb

class AcDbDwgFiler {
public:
    virtual ~AcDbDwgFiler() = default;
    virtual AcDb::FilerType filerType() const = 0;
    virtual Acad::ErrorStatus filerStatus() const = 0;  // first error met, sticky
    virtual AcDbDatabase* database() const { return nullptr; }

    virtual Acad::ErrorStatus writeBool(bool v, const char* name = nullptr) = 0;
    virtual Acad::ErrorStatus writeInt32(Adesk::Int32 v, const char* name = nullptr) = 0;
    virtual Acad::ErrorStatus writeInt64(Adesk::Int64 v, const char* name = nullptr) = 0;
    virtual Acad::ErrorStatus writeDouble(double v, const char* name = nullptr) = 0;
    virtual Acad::ErrorStatus writeString(const CString& v, const char* name = nullptr) = 0;
    virtual Acad::ErrorStatus writePoint2d(const AcGePoint2d& v, const char* name = nullptr) = 0;
    virtual Acad::ErrorStatus writePoint3d(const AcGePoint3d& v, const char* name = nullptr) = 0;
    virtual Acad::ErrorStatus writeVector3d(const AcGeVector3d& v, const char* name = nullptr) = 0;
    virtual Acad::ErrorStatus writeMatrix3d(const AcGeMatrix3d& v, const char* name = nullptr) = 0;
    virtual Acad::ErrorStatus writeReference(const AcDbObjectId& id, AcDb::ReferenceKind kind,
                                             const char* name = nullptr) = 0;
    virtual Acad::ErrorStatus writeBytes(const void* data, size_t n, const char* name = nullptr) = 0;
    virtual Acad::ErrorStatus writeArrayBegin(Adesk::Int32 count, const char* name = nullptr) = 0;
    virtual Acad::ErrorStatus writeArrayEnd() = 0;

    virtual Acad::ErrorStatus readBool(bool* v, const char* name = nullptr) = 0;
    virtual Acad::ErrorStatus readInt32(Adesk::Int32* v, const char* name = nullptr) = 0;
    virtual Acad::ErrorStatus readInt64(Adesk::Int64* v, const char* name = nullptr) = 0;
    virtual Acad::ErrorStatus readDouble(double* v, const char* name = nullptr) = 0;
    virtual Acad::ErrorStatus readString(CString* v, const char* name = nullptr) = 0;
    virtual Acad::ErrorStatus readPoint2d(AcGePoint2d* v, const char* name = nullptr) = 0;
    virtual Acad::ErrorStatus readPoint3d(AcGePoint3d* v, const char* name = nullptr) = 0;
    virtual Acad::ErrorStatus readVector3d(AcGeVector3d* v, const char* name = nullptr) = 0;
    virtual Acad::ErrorStatus readMatrix3d(AcGeMatrix3d* v, const char* name = nullptr) = 0;
    virtual Acad::ErrorStatus readReference(AcDbObjectId* id, AcDb::ReferenceKind kind,
                                            const char* name = nullptr) = 0;
    virtual Acad::ErrorStatus readBytes(std::vector<unsigned char>* data, const char* name = nullptr) = 0;
    // The count of the array; for an absent JSON field, *count is left unchanged and
    // eKeyNotFound is answered so that the caller keeps what it has.
    virtual Acad::ErrorStatus readArrayBegin(Adesk::Int32* count, const char* name = nullptr) = 0;
    virtual Acad::ErrorStatus readArrayEnd() = 0;
    // While reading: false once every value filed has been read. A class reads the fields it
    // files last only when it has them (added after drawings without them were written) while
    // this holds; named (JSON) filers find fields by name and always answer true.
    virtual bool hasMoreFields() const { return true; }

    // Conveniences in the host's style.
    Acad::ErrorStatus writeHardPointerId(const AcDbObjectId& id, const char* n = nullptr) { return writeReference(id, AcDb::kHardPointer, n); }
    Acad::ErrorStatus writeSoftPointerId(const AcDbObjectId& id, const char* n = nullptr) { return writeReference(id, AcDb::kSoftPointer, n); }
    Acad::ErrorStatus writeHardOwnershipId(const AcDbObjectId& id, const char* n = nullptr) { return writeReference(id, AcDb::kHardOwnership, n); }
    Acad::ErrorStatus writeSoftOwnershipId(const AcDbObjectId& id, const char* n = nullptr) { return writeReference(id, AcDb::kSoftOwnership, n); }
    Acad::ErrorStatus readHardPointerId(AcDbObjectId* id, const char* n = nullptr) { return readReference(id, AcDb::kHardPointer, n); }
    Acad::ErrorStatus readSoftPointerId(AcDbObjectId* id, const char* n = nullptr) { return readReference(id, AcDb::kSoftPointer, n); }
    Acad::ErrorStatus readHardOwnershipId(AcDbObjectId* id, const char* n = nullptr) { return readReference(id, AcDb::kHardOwnership, n); }
    Acad::ErrorStatus readSoftOwnershipId(AcDbObjectId* id, const char* n = nullptr) { return readReference(id, AcDb::kSoftOwnership, n); }
    // An id array filed as an array of references of one kind.
    Acad::ErrorStatus writeIdArray(const AcDbObjectIdArray& ids, AcDb::ReferenceKind kind, const char* name);
    Acad::ErrorStatus readIdArray(AcDbObjectIdArray* ids, AcDb::ReferenceKind kind, const char* name);
};

// A filer that only writes: every read is refused through refusedRead (eIsWriting).
class AcDbDwgWriteOnlyFiler : public AcDbDwgFiler {
public:
    Acad::ErrorStatus readBool(bool*, const char* = nullptr) override { return refusedRead(); }
    Acad::ErrorStatus readInt32(Adesk::Int32*, const char* = nullptr) override { return refusedRead(); }
    Acad::ErrorStatus readInt64(Adesk::Int64*, const char* = nullptr) override { return refusedRead(); }
    Acad::ErrorStatus readDouble(double*, const char* = nullptr) override { return refusedRead(); }
    Acad::ErrorStatus readString(CString*, const char* = nullptr) override { return refusedRead(); }
    Acad::ErrorStatus readPoint2d(AcGePoint2d*, const char* = nullptr) override { return refusedRead(); }
    Acad::ErrorStatus readPoint3d(AcGePoint3d*, const char* = nullptr) override { return refusedRead(); }
    Acad::ErrorStatus readVector3d(AcGeVector3d*, const char* = nullptr) override { return refusedRead(); }
    Acad::ErrorStatus readMatrix3d(AcGeMatrix3d*, const char* = nullptr) override { return refusedRead(); }
    Acad::ErrorStatus readReference(AcDbObjectId*, AcDb::ReferenceKind, const char* = nullptr) override { return refusedRead(); }
    Acad::ErrorStatus readBytes(std::vector<unsigned char>*, const char* = nullptr) override { return refusedRead(); }
    Acad::ErrorStatus readArrayBegin(Adesk::Int32*, const char* = nullptr) override { return refusedRead(); }
    Acad::ErrorStatus readArrayEnd() override { return refusedRead(); }

protected:
    virtual Acad::ErrorStatus refusedRead() { return Acad::eIsWriting; }
};

// A filer that only reads: every write is refused through refusedWrite (eIsReading).
class AcDbDwgReadOnlyFiler : public AcDbDwgFiler {
public:
    Acad::ErrorStatus writeBool(bool, const char* = nullptr) override { return refusedWrite(); }
    Acad::ErrorStatus writeInt32(Adesk::Int32, const char* = nullptr) override { return refusedWrite(); }
    Acad::ErrorStatus writeInt64(Adesk::Int64, const char* = nullptr) override { return refusedWrite(); }
    Acad::ErrorStatus writeDouble(double, const char* = nullptr) override { return refusedWrite(); }
    Acad::ErrorStatus writeString(const CString&, const char* = nullptr) override { return refusedWrite(); }
    Acad::ErrorStatus writePoint2d(const AcGePoint2d&, const char* = nullptr) override { return refusedWrite(); }
    Acad::ErrorStatus writePoint3d(const AcGePoint3d&, const char* = nullptr) override { return refusedWrite(); }
    Acad::ErrorStatus writeVector3d(const AcGeVector3d&, const char* = nullptr) override { return refusedWrite(); }
    Acad::ErrorStatus writeMatrix3d(const AcGeMatrix3d&, const char* = nullptr) override { return refusedWrite(); }
    Acad::ErrorStatus writeReference(const AcDbObjectId&, AcDb::ReferenceKind, const char* = nullptr) override { return refusedWrite(); }
    Acad::ErrorStatus writeBytes(const void*, size_t, const char* = nullptr) override { return refusedWrite(); }
    Acad::ErrorStatus writeArrayBegin(Adesk::Int32, const char* = nullptr) override { return refusedWrite(); }
    Acad::ErrorStatus writeArrayEnd() override { return refusedWrite(); }

protected:
    virtual Acad::ErrorStatus refusedWrite() { return Acad::eIsReading; }
};

// One DXF item: a group code and its value.
struct AcDbDxfItem {
    int groupCode = 0;
    std::variant<std::monostate, double, Adesk::Int32, CString, AcGePoint3d, AcDbObjectId> value;
};

// DXF-style filing with group codes; available to classes that want it, not used for files.
// Reading: readItem gives the items in order (eEndOfFile past the last); pushBackItem makes
// the next readItem give the last item again; atSubclassData consumes the subclass marker
// (group 100) of that name when it is next. setError records the first error, with a
// printf-style message, and answers it; filerStatus answers it from then on.
class AcDbDxfFiler {
public:
    virtual ~AcDbDxfFiler() = default;
    virtual Acad::ErrorStatus writeItem(int groupCode, double v) = 0;
    virtual Acad::ErrorStatus writeItem(int groupCode, Adesk::Int32 v) = 0;
    virtual Acad::ErrorStatus writeItem(int groupCode, const CString& v) = 0;
    virtual Acad::ErrorStatus writeItem(int groupCode, const AcGePoint3d& v) = 0;
    virtual Acad::ErrorStatus writeItem(int groupCode, const AcDbObjectId& v) = 0;
    virtual Acad::ErrorStatus writeSubclassMarker(const char16_t* name) = 0;
    Acad::ErrorStatus writeInt16(int groupCode, Adesk::Int32 v) { return writeItem(groupCode, v); }

    virtual Acad::ErrorStatus readItem(AcDbDxfItem* item) = 0;
    virtual Acad::ErrorStatus pushBackItem() = 0;
    virtual bool atSubclassData(const char16_t* name) = 0;
    virtual Acad::ErrorStatus filerStatus() const = 0;
    Acad::ErrorStatus setError(Acad::ErrorStatus es, const char16_t* format, ...);
    CString errorMessage() const { return m_error; }

protected:
    virtual void recordError(Acad::ErrorStatus es) = 0;

private:
    CString m_error;
};

// DXF items kept in memory: what is written is read back in the same order.
class AcDbDxfMemoryFiler : public AcDbDxfFiler {
public:
    Acad::ErrorStatus writeItem(int groupCode, double v) override { return put(groupCode, v); }
    Acad::ErrorStatus writeItem(int groupCode, Adesk::Int32 v) override { return put(groupCode, v); }
    Acad::ErrorStatus writeItem(int groupCode, const CString& v) override { return put(groupCode, v); }
    Acad::ErrorStatus writeItem(int groupCode, const AcGePoint3d& v) override { return put(groupCode, v); }
    Acad::ErrorStatus writeItem(int groupCode, const AcDbObjectId& v) override { return put(groupCode, v); }
    Acad::ErrorStatus writeSubclassMarker(const char16_t* name) override { return put(100, CString(name)); }
    Acad::ErrorStatus readItem(AcDbDxfItem* item) override;
    Acad::ErrorStatus pushBackItem() override;
    bool atSubclassData(const char16_t* name) override;
    Acad::ErrorStatus filerStatus() const override { return m_status; }
    const std::vector<AcDbDxfItem>& items() const { return m_items; }
    void rewind() { m_pos = 0; }

protected:
    void recordError(Acad::ErrorStatus es) override
    {
        if (m_status == Acad::eOk) m_status = es;
    }

private:
    template <class T>
    Acad::ErrorStatus put(int groupCode, const T& v)
    {
        AcDbDxfItem& item = m_items.emplace_back();
        item.groupCode = groupCode;
        item.value.template emplace<T>(v);
        return m_status;
    }
    std::vector<AcDbDxfItem> m_items;
    size_t m_pos = 0;
    Acad::ErrorStatus m_status = Acad::eOk;
};
