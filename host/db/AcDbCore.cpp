// Status texts, handles and object ids.
#include <cstdio>

#include "host/db/detail/DbInternals.h"

const char* acadErrorStatusText(Acad::ErrorStatus es)
{
    switch (es) {
#define VK_ES(n) case Acad::n: return #n;
        VK_ES(eOk) VK_ES(eNotImplementedYet) VK_ES(eNotApplicable) VK_ES(eInvalidInput)
        VK_ES(eOutOfMemory) VK_ES(eInvalidOpenState) VK_ES(eHandleExists) VK_ES(eNullHandle)
        VK_ES(eUnknownHandle) VK_ES(eNullObjectPointer) VK_ES(eNullObjectId) VK_ES(eKeyNotFound)
        VK_ES(eDuplicateKey) VK_ES(eInvalidIndex) VK_ES(eAlreadyInDb) VK_ES(eInvalidExtents)
        VK_ES(eInvalidSymbolTableName) VK_ES(eWrongObjectType) VK_ES(eWrongDatabase)
        VK_ES(eInvalidDwgVersion) VK_ES(eEndOfObject) VK_ES(eEndOfFile) VK_ES(eIsReading)
        VK_ES(eIsWriting) VK_ES(eNotOpenForRead) VK_ES(eNotOpenForWrite) VK_ES(eNotThatKindOfClass)
        VK_ES(eInvalidBlockName) VK_ES(eInvalidDxfCode) VK_ES(eFilerError) VK_ES(eDwgCRCDoesNotMatch)
        VK_ES(eDwgSentinelDoesNotMatch) VK_ES(eDwgObjectImproperlyRead) VK_ES(eFileAccessErr)
        VK_ES(eFileSystemErr) VK_ES(eFileNotFound) VK_ES(eFileSharingViolation) VK_ES(eBadDwgHeader)
        VK_ES(eNotInDatabase) VK_ES(eWasErased) VK_ES(eWasOpenForRead) VK_ES(eWasOpenForWrite)
        VK_ES(eWasOpenForNotify) VK_ES(eWasNotOpenForWrite) VK_ES(eAtMaxReaders) VK_ES(eNoDatabase)
        VK_ES(eCannotBeErasedByCaller) VK_ES(eSelfReference) VK_ES(eInvalidContext)
        VK_ES(eNotInBlock) VK_ES(eNullBlockName) VK_ES(eWrongSubentityType) VK_ES(eOnLockedLayer) VK_ES(eMakeMeProxy)
#undef VK_ES
    }
    return "eUnknownErrorStatus";
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
