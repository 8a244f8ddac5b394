// Status texts, handles and object ids.
#include <cstdio>

#include "host/db/detail/DbInternals.h"
#include "host/win/Windows.h"

namespace {
// Every status once: its name and what it means to someone reading a message.
#define VK_STATUSES(X)                                                                          \
    X(eOk, "no error")                                                                          \
    X(eNotImplementedYet, "not implemented")                                                    \
    X(eNotApplicable, "does not apply here")                                                    \
    X(eInvalidInput, "the input is not valid")                                                  \
    X(eOutOfMemory, "out of memory")                                                            \
    X(eInvalidOpenState, "the object is not open in a way that allows this")                    \
    X(eHandleExists, "the handle is already in use")                                            \
    X(eNullHandle, "the handle is null")                                                        \
    X(eUnknownHandle, "no object has that handle")                                              \
    X(eNullObjectPointer, "no object was given")                                                \
    X(eNullObjectId, "the object id is null or its drawing is gone")                            \
    X(eKeyNotFound, "no entry of that name")                                                    \
    X(eDuplicateKey, "an entry of that name exists already")                                    \
    X(eInvalidIndex, "the index is out of range")                                               \
    X(eAlreadyInDb, "the object is in a drawing already")                                       \
    X(eInvalidExtents, "the object has no extents")                                             \
    X(eInvalidSymbolTableName, "the name is not a valid table entry name")                      \
    X(eWrongObjectType, "the object is not of the expected kind")                               \
    X(eWrongDatabase, "the object belongs to another drawing")                                  \
    X(eInvalidDwgVersion, "the drawing format version is not supported")                        \
    X(eEndOfObject, "an object's data ends too early")                                          \
    X(eEndOfFile, "the file ends too early")                                                    \
    X(eIsReading, "the filer only reads")                                                       \
    X(eIsWriting, "the filer only writes")                                                      \
    X(eNotOpenForRead, "the object is not open")                                                \
    X(eNotOpenForWrite, "the object is not open for write")                                     \
    X(eNotThatKindOfClass, "the object is not of that class")                                   \
    X(eInvalidBlockName, "the block name is not valid")                                         \
    X(eInvalidDxfCode, "the group code is not valid")                                           \
    X(eFilerError, "the data does not read")                                                    \
    X(eDwgCRCDoesNotMatch, "the drawing is damaged: its checksum does not match")               \
    X(eDwgSentinelDoesNotMatch, "the drawing is damaged: a section marker is wrong")            \
    X(eDwgObjectImproperlyRead, "the drawing is damaged: an object does not read")              \
    X(eFileAccessErr, "no permission to read or write the file, or it is not a regular file")   \
    X(eFileSystemErr, "the file system failed while writing (the disk may be full)")            \
    X(eFileNotFound, "the file or its folder does not exist")                                   \
    X(eFileSharingViolation, "another program or session holds the file open")                 \
    X(eBadDwgHeader, "the file is not a drawing")                                               \
    X(eNotInDatabase, "the object is not in a drawing")                                         \
    X(eWasErased, "the object was erased")                                                      \
    X(eWasOpenForRead, "the object is open for read elsewhere")                                 \
    X(eWasOpenForWrite, "the object is open for write elsewhere")                               \
    X(eWasOpenForNotify, "the object is open for notify")                                       \
    X(eWasNotOpenForWrite, "the object was not open for write")                                 \
    X(eAtMaxReaders, "the object is open by too many readers")                                  \
    X(eNoDatabase, "there is no drawing")                                                       \
    X(eCannotBeErasedByCaller, "the object cannot be erased")                                   \
    X(eSelfReference, "the object would refer to itself")                                       \
    X(eInvalidContext, "not possible in this context")                                          \
    X(eNotInBlock, "the entity is in no block")                                                 \
    X(eNullBlockName, "the block name is empty")                                                \
    X(eWrongSubentityType, "the sub-entity is not of the expected kind")                        \
    X(eOnLockedLayer, "the entity is on a locked layer")                                        \
    X(eMakeMeProxy, "the object is of a newer version: it is kept as a proxy")
}  // namespace

const char* acadErrorStatusText(Acad::ErrorStatus es)
{
    switch (es) {
#define VK_NAME(n, meaning) case Acad::n: return #n;
        VK_STATUSES(VK_NAME)
#undef VK_NAME
    }
    return "eUnknownErrorStatus";
}

const char* acadErrorStatusMeaning(Acad::ErrorStatus es)
{
    switch (es) {
#define VK_MEANING(n, meaning) case Acad::n: return meaning;
        VK_STATUSES(VK_MEANING)
#undef VK_MEANING
    }
    return "an unknown status";
}

CString acadErrorStatusDescription(Acad::ErrorStatus es)
{
    return CString::FromUtf8(acadErrorStatusText(es)) + u" (" + CString::FromUtf8(acadErrorStatusMeaning(es)) + u")";
}

Acad::ErrorStatus acdbFileErrorStatus(std::uint32_t winError)
{
    switch (winError) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return Acad::eFileNotFound;
    case ERROR_SHARING_VIOLATION: return Acad::eFileSharingViolation;
    case ERROR_DISK_FULL:
    case ERROR_WRITE_FAULT: return Acad::eFileSystemErr;
    default: return Acad::eFileAccessErr;
    }
}

AcDbHandle::AcDbHandle(const char16_t* hexText)
{
    if (!hexText || !*hexText) return;
    Adesk::UInt64 v = 0;
    int digits = 0;
    for (const char16_t* p = hexText; *p; ++p) {
        char16_t c = *p;
        int d = c >= u'0' && c <= u'9' ? c - u'0'
              : c >= u'a' && c <= u'f' ? c - u'a' + 10
              : c >= u'A' && c <= u'F' ? c - u'A' + 10 : -1;
        if (d < 0 || ++digits > 16) return;  // not a handle: stays null
        v = (v << 4) | static_cast<Adesk::UInt64>(d);
    }
    m_value = v;
}

CString AcDbHandle::text() const
{
    char buf[24];
    std::snprintf(buf, sizeof buf, "%llX", static_cast<unsigned long long>(m_value));
    CString out;
    for (const char* p = buf; *p; ++p) out += static_cast<char16_t>(*p);
    return out;
}

void AcDbHandle::getIntoAsciiBuffer(char16_t* buf, size_t bufLen) const
{
    if (!buf || bufLen == 0) return;
    CString t = text();
    size_t n = std::min(bufLen - 1, static_cast<size_t>(t.GetLength()));
    for (size_t i = 0; i < n; ++i) buf[i] = t.GetAt(static_cast<int>(i));
    buf[n] = 0;
}

const AcDbObjectId AcDbObjectId::kNull;

bool AcDbObjectId::isValid() const { return m_stub && m_stub->db; }
bool AcDbObjectId::isErased() const { return isValid() && m_stub->erased; }
AcDbDatabase* AcDbObjectId::database() const { return m_stub ? m_stub->db : nullptr; }
AcDbHandle AcDbObjectId::handle() const { return isValid() ? m_stub->handle : AcDbHandle(); }

bool acdbIsValidLineWeight(int weight)
{
    static const int kWeights[] = {0, 5, 9, 13, 15, 18, 20, 25, 30, 35, 40, 50, 53, 60, 70, 80, 90, 100, 106, 120,
                                   140, 158, 200, 211, -1, -2, -3};
    for (int w : kWeights)
        if (w == weight) return true;
    return false;
}
