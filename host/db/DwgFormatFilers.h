#pragma once
// The binary filers of the drawing format: an object's fields as a tagged byte payload.
// Host-internal.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "host/db/AcDbFiler.h"
#include "host/db/DwgFormat.h"

namespace vkdwg {

// Appends each filed value, preceded by its tag, to a byte string. References are filed as
// (kind, handle); a reference into another database than db is filed as null. With a keep
// test, a reference to an object that is not kept (not written to the file) is dropped from
// an array of references, filed as null when soft or owning, and refused (eWasErased) when it
// is a hard pointer that the object needs.
class DwgOutFiler : public AcDbDwgWriteOnlyFiler {
public:
    using KeepTest = std::function<bool(AcDbObjectId)>;
    DwgOutFiler(std::string& out, AcDbDatabase* db, KeepTest keep = {})
        : m_out(out), m_db(db), m_keep(std::move(keep)) {}
    // The reference that made the filer refuse (null when none did).
    AcDbObjectId refusedReference() const { return m_refused; }
    AcDb::FilerType filerType() const override { return AcDb::kFileFiler; }
    Acad::ErrorStatus filerStatus() const override { return m_status; }
    AcDbDatabase* database() const override { return m_db; }

    Acad::ErrorStatus writeBool(bool v, const char* name = nullptr) override;
    Acad::ErrorStatus writeInt32(Adesk::Int32 v, const char* name = nullptr) override;
    Acad::ErrorStatus writeInt64(Adesk::Int64 v, const char* name = nullptr) override;
    Acad::ErrorStatus writeDouble(double v, const char* name = nullptr) override;
    Acad::ErrorStatus writeString(const CString& v, const char* name = nullptr) override;
    Acad::ErrorStatus writePoint2d(const AcGePoint2d& v, const char* name = nullptr) override;
    Acad::ErrorStatus writePoint3d(const AcGePoint3d& v, const char* name = nullptr) override;
    Acad::ErrorStatus writeVector3d(const AcGeVector3d& v, const char* name = nullptr) override;
    Acad::ErrorStatus writeMatrix3d(const AcGeMatrix3d& v, const char* name = nullptr) override;
    Acad::ErrorStatus writeReference(const AcDbObjectId& id, AcDb::ReferenceKind kind,
                                     const char* name = nullptr) override;
    Acad::ErrorStatus writeBytes(const void* data, size_t n, const char* name = nullptr) override;
    Acad::ErrorStatus writeArrayBegin(Adesk::Int32 count, const char* name = nullptr) override;
    Acad::ErrorStatus writeArrayEnd() override;


private:
    void tag(FieldTag t) { m_out.push_back(static_cast<char>(t)); }
    struct OpenArray {
        size_t countPos;
        Adesk::Int32 count;
    };
    std::string& m_out;
    AcDbDatabase* m_db;
    KeepTest m_keep;
    std::vector<OpenArray> m_arrays;
    AcDbObjectId m_refused;
    Acad::ErrorStatus m_status = Acad::eOk;
};

// Reads a payload written by DwgOutFiler. A value of another type than asked for, a read
// past the end or a length beyond the payload answers eDwgObjectImproperlyRead, which then
// sticks; the variable asked for stays unchanged.
class DwgInFiler : public AcDbDwgReadOnlyFiler {
public:
    using Resolver = std::function<AcDbObjectId(std::uint64_t handle)>;
    DwgInFiler(std::string_view payload, AcDbDatabase* db, Resolver resolve)
        : m_in(payload), m_db(db), m_resolve(std::move(resolve)) {}
    AcDb::FilerType filerType() const override { return AcDb::kFileFiler; }
    Acad::ErrorStatus filerStatus() const override { return m_status; }
    AcDbDatabase* database() const override { return m_db; }
    bool atEnd() const { return m_pos == m_in.size(); }
    bool hasMoreFields() const override { return !atEnd(); }

    Acad::ErrorStatus readBool(bool* v, const char* name = nullptr) override;
    Acad::ErrorStatus readInt32(Adesk::Int32* v, const char* name = nullptr) override;
    Acad::ErrorStatus readInt64(Adesk::Int64* v, const char* name = nullptr) override;
    Acad::ErrorStatus readDouble(double* v, const char* name = nullptr) override;
    Acad::ErrorStatus readString(CString* v, const char* name = nullptr) override;
    Acad::ErrorStatus readPoint2d(AcGePoint2d* v, const char* name = nullptr) override;
    Acad::ErrorStatus readPoint3d(AcGePoint3d* v, const char* name = nullptr) override;
    Acad::ErrorStatus readVector3d(AcGeVector3d* v, const char* name = nullptr) override;
    Acad::ErrorStatus readMatrix3d(AcGeMatrix3d* v, const char* name = nullptr) override;
    Acad::ErrorStatus readReference(AcDbObjectId* id, AcDb::ReferenceKind kind,
                                    const char* name = nullptr) override;
    Acad::ErrorStatus readBytes(std::vector<unsigned char>* data, const char* name = nullptr) override;
    Acad::ErrorStatus readArrayBegin(Adesk::Int32* count, const char* name = nullptr) override;
    Acad::ErrorStatus readArrayEnd() override;


private:
    bool expect(FieldTag t, size_t bodySize);  // checks tag and room; on success past the tag
    void doubles(double* out, int n);
    std::string_view m_in;
    size_t m_pos = 0;
    AcDbDatabase* m_db;
    Resolver m_resolve;
    Acad::ErrorStatus m_status = Acad::eOk;
};

// One reference inside a payload: where its handle lies, its kind and the handle.
struct PayloadRef {
    size_t handleOffset = 0;
    AcDb::ReferenceKind kind = AcDb::kHardPointer;
    std::uint64_t handle = 0;
};
// Walks a payload without knowing its class: checks tags, lengths and array nesting, and
// lists the references (refs may be null). False for a malformed payload.
bool scanPayload(std::string_view payload, std::vector<PayloadRef>* refs);
// Files every value of a well-formed payload (one scanPayload took) into filer, the
// references as resolve gives them: an unread object's record is saved as its object would
// file itself.
Acad::ErrorStatus replayPayload(std::string_view payload, AcDbDwgFiler* filer,
                                const std::function<AcDbObjectId(std::uint64_t)>& resolve);

}  // namespace vkdwg

namespace vkdwg {

// Read access to a resident object for saving, cloning and dumping: opens it for read
// (erased ones too) for the scope's lifetime; an object that its holder has open for write
// is read as it stands.
class ObjectReadScope {
public:
    explicit ObjectReadScope(AcDbObjectId id);
    ~ObjectReadScope();
    ObjectReadScope(const ObjectReadScope&) = delete;
    ObjectReadScope& operator=(const ObjectReadScope&) = delete;
    const AcDbObject* get() const { return m_obj; }

private:
    AcDbObject* m_obj = nullptr;
    bool m_opened = false;
};

}  // namespace vkdwg
