// Filing of id arrays, shared by every filer.
#include "host/db/AcDbFiler.h"

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
    for (Adesk::Int32 i = 0; i < n; ++i) {
        AcDbObjectId id;
        if ((es = readReference(&id, kind)) != Acad::eOk) return es;
        read.append(id);
    }
    if ((es = readArrayEnd()) != Acad::eOk) return es;
    *ids = read;
    return Acad::eOk;
}
