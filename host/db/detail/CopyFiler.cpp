// Recording and playing back an object's fields.
#include "host/db/detail/CopyFiler.h"

namespace vkdb {

std::vector<FieldRef> FieldRecorder::references() const
{
    std::vector<FieldRef> out;
    for (const Field& f : m_fields)
        if (const auto* r = std::get_if<FieldRef>(&f.value)) out.push_back(*r);
    return out;
}

Acad::ErrorStatus FieldRecorder::add(Field::Value v, const char* name)
{
    if (m_status != Acad::eOk) return m_status;
    m_fields.push_back(Field{std::move(v), name});
    return Acad::eOk;
}

Acad::ErrorStatus FieldRecorder::refusedRead()
{
    if (m_status == Acad::eOk) m_status = Acad::eIsWriting;
    return Acad::eIsWriting;
}

Acad::ErrorStatus FieldRecorder::writeBool(bool v, const char* n) { return add(v, n); }
Acad::ErrorStatus FieldRecorder::writeInt32(Adesk::Int32 v, const char* n) { return add(v, n); }
Acad::ErrorStatus FieldRecorder::writeInt64(Adesk::Int64 v, const char* n) { return add(v, n); }
Acad::ErrorStatus FieldRecorder::writeDouble(double v, const char* n) { return add(v, n); }
Acad::ErrorStatus FieldRecorder::writeString(const CString& v, const char* n) { return add(v, n); }
Acad::ErrorStatus FieldRecorder::writePoint2d(const AcGePoint2d& v, const char* n) { return add(v, n); }
Acad::ErrorStatus FieldRecorder::writePoint3d(const AcGePoint3d& v, const char* n) { return add(v, n); }
Acad::ErrorStatus FieldRecorder::writeVector3d(const AcGeVector3d& v, const char* n) { return add(v, n); }
Acad::ErrorStatus FieldRecorder::writeMatrix3d(const AcGeMatrix3d& v, const char* n) { return add(v, n); }
Acad::ErrorStatus FieldRecorder::writeReference(const AcDbObjectId& id, AcDb::ReferenceKind kind, const char* n)
{
    return add(FieldRef{id, kind}, n);
}
Acad::ErrorStatus FieldRecorder::writeBytes(const void* data, size_t size, const char* n)
{
    const auto* b = static_cast<const unsigned char*>(data);
    return add(std::vector<unsigned char>(b, b + size), n);
}
Acad::ErrorStatus FieldRecorder::writeArrayBegin(Adesk::Int32 count, const char* n)
{
    return add(FieldArrayBegin{count}, n);
}
Acad::ErrorStatus FieldRecorder::writeArrayEnd() { return add(FieldArrayEnd{}, nullptr); }

Acad::ErrorStatus FieldPlayer::refusedWrite()
{
    if (m_status == Acad::eOk) m_status = Acad::eIsReading;
    return Acad::eIsReading;
}

// The next field must have the type asked for; a mismatch means the reader and the writer
// disagree on the field list, which no later read can repair.
template <class T>
Acad::ErrorStatus FieldPlayer::take(T* out)
{
    if (m_status != Acad::eOk) return m_status;
    if (m_pos >= m_fields.size()) return m_status = Acad::eEndOfObject;
    const T* v = std::get_if<T>(&m_fields[m_pos].value);
    if (!v) return m_status = Acad::eFilerError;
    if (out) *out = *v;
    ++m_pos;
    return Acad::eOk;
}

Acad::ErrorStatus FieldPlayer::readBool(bool* v, const char*) { return take(v); }
Acad::ErrorStatus FieldPlayer::readInt32(Adesk::Int32* v, const char*) { return take(v); }
Acad::ErrorStatus FieldPlayer::readInt64(Adesk::Int64* v, const char*) { return take(v); }
Acad::ErrorStatus FieldPlayer::readDouble(double* v, const char*) { return take(v); }
Acad::ErrorStatus FieldPlayer::readString(CString* v, const char*) { return take(v); }
Acad::ErrorStatus FieldPlayer::readPoint2d(AcGePoint2d* v, const char*) { return take(v); }
Acad::ErrorStatus FieldPlayer::readPoint3d(AcGePoint3d* v, const char*) { return take(v); }
Acad::ErrorStatus FieldPlayer::readVector3d(AcGeVector3d* v, const char*) { return take(v); }
Acad::ErrorStatus FieldPlayer::readMatrix3d(AcGeMatrix3d* v, const char*) { return take(v); }
Acad::ErrorStatus FieldPlayer::readBytes(std::vector<unsigned char>* v, const char*) { return take(v); }
Acad::ErrorStatus FieldPlayer::readReference(AcDbObjectId* id, AcDb::ReferenceKind kind, const char*)
{
    FieldRef r;
    Acad::ErrorStatus es = take(&r);
    if (es != Acad::eOk) return es;
    if (r.kind != kind) return m_status = Acad::eFilerError;
    if (id) *id = m_translate ? m_translate(r.id, r.kind) : r.id;
    return Acad::eOk;
}
Acad::ErrorStatus FieldPlayer::readArrayBegin(Adesk::Int32* count, const char*)
{
    FieldArrayBegin b;
    Acad::ErrorStatus es = take(&b);
    if (es == Acad::eOk && count) *count = b.count;
    return es;
}
Acad::ErrorStatus FieldPlayer::readArrayEnd()
{
    FieldArrayEnd e;
    return take(&e);
}

}  // namespace vkdb
