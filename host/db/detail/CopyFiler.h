#pragma once
// Field recording and playback: the in-memory representation of one object's fields, used
// by clone() and by deep cloning. FieldRecorder records what dwgOutFields writes; FieldPlayer
// plays it back into dwgInFields, translating references through a hook.
#include <functional>
#include <string>
#include <variant>
#include <vector>

#include "host/db/AcDbFiler.h"

namespace vkdb {

struct FieldRef {
    AcDbObjectId id;
    AcDb::ReferenceKind kind = AcDb::kHardPointer;
};
struct FieldArrayBegin {
    Adesk::Int32 count = 0;
};
struct FieldArrayEnd {};

// One filed value. name is the field name as written (a pointer to the writer's literal;
// null inside arrays).
struct Field {
    using Value = std::variant<bool, Adesk::Int32, Adesk::Int64, double, CString, AcGePoint2d,
                               AcGePoint3d, AcGeVector3d, AcGeMatrix3d, FieldRef,
                               std::vector<unsigned char>, FieldArrayBegin, FieldArrayEnd>;
    Value value;
    const char* name = nullptr;
};
using FieldList = std::vector<Field>;

class FieldRecorder : public AcDbDwgWriteOnlyFiler {
public:
    // Room for the fields of most objects at once: each growth moves every field recorded so far.
    explicit FieldRecorder(AcDb::FilerType type = AcDb::kCopyFiler, AcDbDatabase* db = nullptr)
        : m_type(type), m_db(db)
    {
        m_fields.reserve(32);
    }
    AcDb::FilerType filerType() const override { return m_type; }
    Acad::ErrorStatus filerStatus() const override { return m_status; }
    AcDbDatabase* database() const override { return m_db; }
    const FieldList& fields() const { return m_fields; }
    FieldList takeFields() { return std::move(m_fields); }
    // Every reference recorded so far (deep clone walks these to find what to carry along).
    std::vector<FieldRef> references() const;

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
    Acad::ErrorStatus add(Field::Value v, const char* name);
    Acad::ErrorStatus refusedRead() override;  // sticks, as any other filer error
    AcDb::FilerType m_type;
    AcDbDatabase* m_db;
    Acad::ErrorStatus m_status = Acad::eOk;
    FieldList m_fields;
};

class FieldPlayer : public AcDbDwgReadOnlyFiler {
public:
    // Translates a recorded reference into the id to hand to dwgInFields.
    using RefTranslator = std::function<AcDbObjectId(AcDbObjectId, AcDb::ReferenceKind)>;
    // The fields are not copied: they must outlive the player.
    explicit FieldPlayer(const FieldList& fields, AcDb::FilerType type = AcDb::kCopyFiler,
                         AcDbDatabase* db = nullptr, RefTranslator translate = {})
        : m_fields(fields), m_type(type), m_db(db), m_translate(std::move(translate)) {}
    AcDb::FilerType filerType() const override { return m_type; }
    Acad::ErrorStatus filerStatus() const override { return m_status; }
    AcDbDatabase* database() const override { return m_db; }
    bool atEnd() const { return m_pos >= m_fields.size(); }
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
    template <class T>
    Acad::ErrorStatus take(T* out);
    Acad::ErrorStatus refusedWrite() override;  // sticks, as any other filer error
    const FieldList& m_fields;
    size_t m_pos = 0;
    AcDb::FilerType m_type;
    AcDbDatabase* m_db;
    RefTranslator m_translate;
    Acad::ErrorStatus m_status = Acad::eOk;
};

}  // namespace vkdb
