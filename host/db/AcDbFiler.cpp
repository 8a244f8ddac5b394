// Filing of id arrays, shared by every filer, and DXF filing in memory.
#include "host/db/AcDbFiler.h"

#include <algorithm>
#include <cstdarg>

Acad::ErrorStatus AcDbDwgFiler::writeIdArray(const AcDbObjectIdArray& ids, AcDb::ReferenceKind kind,
                                             const char* name)
{
    Acad::ErrorStatus es = writeArrayBegin(ids.length(), name);
    for (int i = 0; es == Acad::eOk && i < ids.length(); ++i) es = writeReference(ids[i], kind);
    return es == Acad::eOk ? writeArrayEnd() : es;
}

Acad::ErrorStatus AcDbDwgFiler::readIdArray(AcDbObjectIdArray* ids, AcDb::ReferenceKind kind, const char* name)
{
    Adesk::Int32 n = 0;
    Acad::ErrorStatus es = readArrayBegin(&n, name);
    if (es == Acad::eKeyNotFound) return Acad::eOk;  // absent named field: keep what we have
    if (es != Acad::eOk) return es;
    if (n < 0) return Acad::eFilerError;
    AcDbObjectIdArray read;
    // Room for the whole list at once: growing by the growth length would copy it n/8 times.
    // The count is capped so that a damaged count cannot ask for memory the data cannot fill.
    read.setPhysicalLength(std::min<Adesk::Int32>(n, 1 << 22));
    for (Adesk::Int32 i = 0; i < n; ++i) {
        AcDbObjectId id;
        if ((es = readReference(&id, kind)) != Acad::eOk) return es;
        read.append(id);
    }
    if ((es = readArrayEnd()) != Acad::eOk) return es;
    *ids = read;
    return Acad::eOk;
}

// ---- DXF filing ----

Acad::ErrorStatus AcDbDxfFiler::setError(Acad::ErrorStatus es, const char16_t* format, ...)
{
    if (m_error.IsEmpty() && format) {
        va_list args;
        va_start(args, format);
        m_error.FormatV(format, args);
        va_end(args);
    }
    recordError(es);
    return es;
}

Acad::ErrorStatus AcDbDxfMemoryFiler::readItem(AcDbDxfItem* item)
{
    if (!item) return Acad::eNullObjectPointer;
    if (m_pos >= m_items.size()) return Acad::eEndOfFile;
    *item = m_items[m_pos++];
    return Acad::eOk;
}

Acad::ErrorStatus AcDbDxfMemoryFiler::pushBackItem()
{
    if (m_pos == 0) return Acad::eInvalidContext;
    --m_pos;
    return Acad::eOk;
}

bool AcDbDxfMemoryFiler::atSubclassData(const char16_t* name)
{
    if (m_pos >= m_items.size() || m_items[m_pos].groupCode != 100) return false;
    const CString* marker = std::get_if<CString>(&m_items[m_pos].value);
    if (!marker || !name || marker->Compare(name) != 0) return false;
    ++m_pos;
    return true;
}
