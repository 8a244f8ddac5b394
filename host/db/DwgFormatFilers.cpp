#include "host/db/DwgFormatFilers.h"

#include <cstring>

#include "host/db/AcDbDatabase.h"

namespace vkdwg {
namespace {

// Size of the body after the tag, for tags of fixed size; 0 for variable or unknown tags.
size_t fixedBody(FieldTag t)
{
    switch (t) {
    case FieldTag::kBool: return 1;
    case FieldTag::kInt32: return 4;
    case FieldTag::kInt64: return 8;
    case FieldTag::kDouble: return 8;
    case FieldTag::kPoint2d: return 16;
    case FieldTag::kPoint3d: return 24;
    case FieldTag::kVector3d: return 24;
    case FieldTag::kMatrix3d: return 128;
    case FieldTag::kReference: return 9;
    case FieldTag::kArrayBegin: return 4;
    default: return 0;
    }
}

}  // namespace

// ---- writing ----------------------------------------------------------------------------

Acad::ErrorStatus DwgOutFiler::writeBool(bool v, const char*)
{
    tag(FieldTag::kBool);
    m_out.push_back(v ? 1 : 0);
    return Acad::eOk;
}
Acad::ErrorStatus DwgOutFiler::writeInt32(Adesk::Int32 v, const char*)
{
    tag(FieldTag::kInt32);
    put(m_out, v);
    return Acad::eOk;
}
Acad::ErrorStatus DwgOutFiler::writeInt64(Adesk::Int64 v, const char*)
{
    tag(FieldTag::kInt64);
    put(m_out, v);
    return Acad::eOk;
}
Acad::ErrorStatus DwgOutFiler::writeDouble(double v, const char*)
{
    tag(FieldTag::kDouble);
    put(m_out, v);
    return Acad::eOk;
}
Acad::ErrorStatus DwgOutFiler::writeString(const CString& v, const char*)
{
    tag(FieldTag::kString);
    putString(m_out, v);
    return Acad::eOk;
}
Acad::ErrorStatus DwgOutFiler::writePoint2d(const AcGePoint2d& v, const char*)
{
    tag(FieldTag::kPoint2d);
    put(m_out, v.x);
    put(m_out, v.y);
    return Acad::eOk;
}
Acad::ErrorStatus DwgOutFiler::writePoint3d(const AcGePoint3d& v, const char*)
{
    tag(FieldTag::kPoint3d);
    put(m_out, v.x);
    put(m_out, v.y);
    put(m_out, v.z);
    return Acad::eOk;
}
Acad::ErrorStatus DwgOutFiler::writeVector3d(const AcGeVector3d& v, const char*)
{
    tag(FieldTag::kVector3d);
    put(m_out, v.x);
    put(m_out, v.y);
    put(m_out, v.z);
    return Acad::eOk;
}
Acad::ErrorStatus DwgOutFiler::writeMatrix3d(const AcGeMatrix3d& v, const char*)
{
    tag(FieldTag::kMatrix3d);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) put(m_out, v.entry[r][c]);
    return Acad::eOk;
}
Acad::ErrorStatus DwgOutFiler::writeReference(const AcDbObjectId& id, AcDb::ReferenceKind kind, const char*)
{
    if (m_status != Acad::eOk) return m_status;
    std::uint64_t h = (!id.isNull() && id.database() == m_db) ? id.handle().value() : 0;
    if (h && m_keep && !m_keep(id)) {
        if (!m_arrays.empty()) {  // an item of a list of references: the list goes without it
            OpenArray& a = m_arrays.back();
            patch(m_out, a.countPos, --a.count);
            return Acad::eOk;
        }
        if (kind == AcDb::kHardPointer) {
            m_refused = id;
            return m_status = Acad::eWasErased;
        }
        h = 0;
    }
    tag(FieldTag::kReference);
    m_out.push_back(static_cast<char>(kind));
    put(m_out, h);
    return Acad::eOk;
}
Acad::ErrorStatus DwgOutFiler::writeBytes(const void* data, size_t n, const char*)
{
    if (n > 0xFFFFFFFFu) return m_status = Acad::eInvalidInput;
    tag(FieldTag::kBytes);
    put(m_out, static_cast<std::uint32_t>(n));
    m_out.append(static_cast<const char*>(data), n);
    return Acad::eOk;
}
Acad::ErrorStatus DwgOutFiler::writeArrayBegin(Adesk::Int32 count, const char*)
{
    if (count < 0) return m_status = Acad::eInvalidInput;
    tag(FieldTag::kArrayBegin);
    m_arrays.push_back({m_out.size(), count});
    put(m_out, count);
    return Acad::eOk;
}
Acad::ErrorStatus DwgOutFiler::writeArrayEnd()
{
    if (!m_arrays.empty()) m_arrays.pop_back();
    tag(FieldTag::kArrayEnd);
    return Acad::eOk;
}

// ---- reading ----------------------------------------------------------------------------

bool DwgInFiler::expect(FieldTag t, size_t bodySize)
{
    if (m_status != Acad::eOk) return false;
    if (m_pos >= m_in.size() || static_cast<FieldTag>(m_in[m_pos]) != t ||
        m_in.size() - m_pos - 1 < bodySize) {
        m_status = Acad::eDwgObjectImproperlyRead;
        return false;
    }
    ++m_pos;
    return true;
}

void DwgInFiler::doubles(double* out, int n)
{
    for (int i = 0; i < n; ++i, m_pos += 8) out[i] = get<double>(m_in, m_pos);
}

Acad::ErrorStatus DwgInFiler::readBool(bool* v, const char*)
{
    if (!expect(FieldTag::kBool, 1)) return m_status;
    *v = m_in[m_pos++] != 0;
    return Acad::eOk;
}
Acad::ErrorStatus DwgInFiler::readInt32(Adesk::Int32* v, const char*)
{
    if (!expect(FieldTag::kInt32, 4)) return m_status;
    *v = get<Adesk::Int32>(m_in, m_pos);
    m_pos += 4;
    return Acad::eOk;
}
Acad::ErrorStatus DwgInFiler::readInt64(Adesk::Int64* v, const char*)
{
    if (!expect(FieldTag::kInt64, 8)) return m_status;
    *v = get<Adesk::Int64>(m_in, m_pos);
    m_pos += 8;
    return Acad::eOk;
}
Acad::ErrorStatus DwgInFiler::readDouble(double* v, const char*)
{
    if (!expect(FieldTag::kDouble, 8)) return m_status;
    doubles(v, 1);
    return Acad::eOk;
}
Acad::ErrorStatus DwgInFiler::readString(CString* v, const char*)
{
    if (!expect(FieldTag::kString, 4)) return m_status;
    auto n = get<std::uint32_t>(m_in, m_pos);
    if ((m_in.size() - m_pos - 4) / 2 < n) return m_status = Acad::eDwgObjectImproperlyRead;
    m_pos += 4;
    std::u16string s(n, u'\0');
    std::memcpy(s.data(), m_in.data() + m_pos, size_t{n} * 2);
    m_pos += size_t{n} * 2;
    *v = CString(std::move(s));
    return Acad::eOk;
}
Acad::ErrorStatus DwgInFiler::readPoint2d(AcGePoint2d* v, const char*)
{
    if (!expect(FieldTag::kPoint2d, 16)) return m_status;
    double d[2];
    doubles(d, 2);
    v->set(d[0], d[1]);
    return Acad::eOk;
}
Acad::ErrorStatus DwgInFiler::readPoint3d(AcGePoint3d* v, const char*)
{
    if (!expect(FieldTag::kPoint3d, 24)) return m_status;
    double d[3];
    doubles(d, 3);
    v->set(d[0], d[1], d[2]);
    return Acad::eOk;
}
Acad::ErrorStatus DwgInFiler::readVector3d(AcGeVector3d* v, const char*)
{
    if (!expect(FieldTag::kVector3d, 24)) return m_status;
    double d[3];
    doubles(d, 3);
    *v = AcGeVector3d(d[0], d[1], d[2]);
    return Acad::eOk;
}
Acad::ErrorStatus DwgInFiler::readMatrix3d(AcGeMatrix3d* v, const char*)
{
    if (!expect(FieldTag::kMatrix3d, 128)) return m_status;
    doubles(&v->entry[0][0], 16);
    return Acad::eOk;
}
Acad::ErrorStatus DwgInFiler::readReference(AcDbObjectId* id, AcDb::ReferenceKind kind, const char*)
{
    if (!expect(FieldTag::kReference, 9)) return m_status;
    auto filedKind = static_cast<unsigned char>(m_in[m_pos]);
    auto h = get<std::uint64_t>(m_in, m_pos + 1);
    if (filedKind != static_cast<unsigned char>(kind)) return m_status = Acad::eDwgObjectImproperlyRead;
    m_pos += 9;
    *id = (h == 0 || !m_resolve) ? AcDbObjectId::kNull : m_resolve(h);
    return Acad::eOk;
}
Acad::ErrorStatus DwgInFiler::readBytes(std::vector<unsigned char>* data, const char*)
{
    if (!expect(FieldTag::kBytes, 4)) return m_status;
    auto n = get<std::uint32_t>(m_in, m_pos);
    if (m_in.size() - m_pos - 4 < n) return m_status = Acad::eDwgObjectImproperlyRead;
    m_pos += 4;
    const auto* p = reinterpret_cast<const unsigned char*>(m_in.data() + m_pos);
    data->assign(p, p + n);
    m_pos += n;
    return Acad::eOk;
}
Acad::ErrorStatus DwgInFiler::readArrayBegin(Adesk::Int32* count, const char*)
{
    if (!expect(FieldTag::kArrayBegin, 4)) return m_status;
    auto n = get<Adesk::Int32>(m_in, m_pos);
    // Every item takes at least two bytes, so a count beyond that is a lie: refusing it keeps
    // readers from reserving room for it.
    if (n < 0 || static_cast<size_t>(n) > (m_in.size() - m_pos - 4) / 2)
        return m_status = Acad::eDwgObjectImproperlyRead;
    m_pos += 4;
    *count = n;
    return Acad::eOk;
}
Acad::ErrorStatus DwgInFiler::readArrayEnd()
{
    if (!expect(FieldTag::kArrayEnd, 0)) return m_status;
    return Acad::eOk;
}

// ---- walking ----------------------------------------------------------------------------

bool scanPayload(std::string_view in, std::vector<PayloadRef>* refs)
{
    size_t pos = 0;
    int depth = 0;
    while (pos < in.size()) {
        auto t = static_cast<FieldTag>(in[pos++]);
        size_t rest = in.size() - pos;
        switch (t) {
        case FieldTag::kString:
        case FieldTag::kBytes: {
            if (rest < 4) return false;
            size_t n = get<std::uint32_t>(in, pos);
            if (t == FieldTag::kString) n *= 2;
            if (rest - 4 < n) return false;
            pos += 4 + n;
            break;
        }
        case FieldTag::kArrayEnd:
            if (--depth < 0) return false;
            break;
        case FieldTag::kArrayBegin:
            if (rest < 4 || get<Adesk::Int32>(in, pos) < 0) return false;
            ++depth;
            pos += 4;
            break;
        case FieldTag::kReference: {
            if (rest < 9) return false;
            auto kind = static_cast<unsigned char>(in[pos]);
            if (kind > AcDb::kSoftOwnership) return false;
            if (refs)
                refs->push_back({pos + 1, static_cast<AcDb::ReferenceKind>(kind), get<std::uint64_t>(in, pos + 1)});
            pos += 9;
            break;
        }
        default: {
            size_t n = fixedBody(t);
            if (n == 0 || rest < n) return false;
            pos += n;
        }
        }
    }
    return depth == 0;
}

Acad::ErrorStatus replayPayload(std::string_view in, AcDbDwgFiler* f,
                                const std::function<AcDbObjectId(std::uint64_t)>& resolve)
{
    size_t pos = 0;
    auto doubleAt = [&](size_t k) { return get<double>(in, pos + 8 * k); };
    while (pos < in.size() && f->filerStatus() == Acad::eOk) {
        auto t = static_cast<FieldTag>(in[pos++]);
        switch (t) {
        case FieldTag::kBool: f->writeBool(in[pos] != 0); break;
        case FieldTag::kInt32: f->writeInt32(get<Adesk::Int32>(in, pos)); break;
        case FieldTag::kInt64: f->writeInt64(get<Adesk::Int64>(in, pos)); break;
        case FieldTag::kDouble: f->writeDouble(doubleAt(0)); break;
        case FieldTag::kString: {
            size_t n = get<std::uint32_t>(in, pos);
            std::u16string text(n, u'\0');
            std::memcpy(text.data(), in.data() + pos + 4, n * 2);
            f->writeString(CString(std::move(text)));
            pos += 4 + n * 2;
            continue;
        }
        case FieldTag::kPoint2d: f->writePoint2d(AcGePoint2d(doubleAt(0), doubleAt(1))); break;
        case FieldTag::kPoint3d: f->writePoint3d(AcGePoint3d(doubleAt(0), doubleAt(1), doubleAt(2))); break;
        case FieldTag::kVector3d: f->writeVector3d(AcGeVector3d(doubleAt(0), doubleAt(1), doubleAt(2))); break;
        case FieldTag::kMatrix3d: {
            AcGeMatrix3d m;
            for (int k = 0; k < 16; ++k) m.entry[k / 4][k % 4] = doubleAt(static_cast<size_t>(k));
            f->writeMatrix3d(m);
            break;
        }
        case FieldTag::kReference: {
            auto h = get<std::uint64_t>(in, pos + 1);
            f->writeReference(h ? resolve(h) : AcDbObjectId::kNull, static_cast<AcDb::ReferenceKind>(in[pos]));
            break;
        }
        case FieldTag::kBytes: {
            size_t n = get<std::uint32_t>(in, pos);
            f->writeBytes(in.data() + pos + 4, n);
            pos += 4 + n;
            continue;
        }
        case FieldTag::kArrayBegin: f->writeArrayBegin(get<Adesk::Int32>(in, pos)); break;
        case FieldTag::kArrayEnd: f->writeArrayEnd(); break;
        default: return Acad::eDwgObjectImproperlyRead;
        }
        pos += fixedBody(t);
    }
    return f->filerStatus();
}

}  // namespace vkdwg

#include "host/db/detail/DbInternals.h"

namespace vkdwg {

ObjectReadScope::ObjectReadScope(AcDbObjectId id)
{
    if (acdbOpenAcDbObject(m_obj, id, AcDb::kForRead, true) == Acad::eOk) {
        m_opened = true;
        return;
    }
    m_obj = vkdb::DbAccess::peek(id);
}

ObjectReadScope::~ObjectReadScope()
{
    if (m_opened && m_obj) m_obj->close();
}

}  // namespace vkdwg
