#pragma once
// Status codes, open modes, handles, object ids and arrays of the drawing database.
#include <algorithm>
#include <compare>
#include <cstdint>
#include <functional>
#include <vector>

#include "host/ge/AcGeVectors.h"
#include "host/win/CString.h"

namespace Adesk {
using Boolean = bool;
constexpr bool kTrue = true;
constexpr bool kFalse = false;
using Int16 = std::int16_t;
using Int32 = std::int32_t;
using UInt16 = std::uint16_t;
using UInt32 = std::uint32_t;
using Int64 = std::int64_t;
using UInt64 = std::uint64_t;
using UInt8 = std::uint8_t;
}  // namespace Adesk

namespace Acad {
// The values that callers rely on are fixed (eOk 0, eFileNotFound 76); the others are ours.
enum ErrorStatus {
    eOk = 0,
    eNotImplementedYet = 1,
    eNotApplicable = 3,
    eInvalidInput = 5,
    eOutOfMemory = 9,
    eInvalidOpenState = 11,
    eHandleExists = 14,
    eNullHandle = 15,
    eUnknownHandle = 17,
    eNullObjectPointer = 19,
    eNullObjectId = 20,
    eKeyNotFound = 24,
    eDuplicateKey = 25,
    eInvalidIndex = 26,
    eAlreadyInDb = 28,
    eInvalidExtents = 31,
    eInvalidSymbolTableName = 33,
    eWrongObjectType = 36,
    eWrongDatabase = 37,
    eInvalidDwgVersion = 41,
    eEndOfObject = 44,
    eEndOfFile = 45,
    eIsReading = 46,
    eIsWriting = 47,
    eNotOpenForRead = 48,
    eNotOpenForWrite = 49,
    eNotThatKindOfClass = 50,
    eInvalidBlockName = 51,
    eInvalidDxfCode = 55,
    eFilerError = 60,
    eDwgCRCDoesNotMatch = 66,
    eDwgSentinelDoesNotMatch = 67,
    eDwgObjectImproperlyRead = 68,
    eFileAccessErr = 70,
    eFileSystemErr = 71,
    eFileNotFound = 76,
    eFileSharingViolation = 79,
    eBadDwgHeader = 81,
    eNotInDatabase = 83,
    eWasErased = 84,
    eWasOpenForRead = 85,
    eWasOpenForWrite = 86,
    eWasOpenForNotify = 87,
    eWasNotOpenForWrite = 88,
    eAtMaxReaders = 89,
    eNoDatabase = 90,
    eCannotBeErasedByCaller = 91,
    eSelfReference = 92,
    eInvalidContext = 93,
    eNotInBlock = 94,
    eNullBlockName = 95,
    eWrongSubentityType = 96,
    eOnLockedLayer = 97,
    eMakeMeProxy = 301,           // dwgInFields of a newer version: keep the object as a proxy
};
}  // namespace Acad

// Readable name of a status, for messages: "eFileNotFound".
const char* acadErrorStatusText(Acad::ErrorStatus es);
// What the status means, in a few words for messages: "the file or its folder does not exist".
const char* acadErrorStatusMeaning(Acad::ErrorStatus es);
// Both, as messages give them: "eFileNotFound (the file or its folder does not exist)".
CString acadErrorStatusDescription(Acad::ErrorStatus es);
// The status of a failed file operation, from the Windows error of the file layer.
Acad::ErrorStatus acdbFileErrorStatus(std::uint32_t winError);

namespace AcDb {
enum OpenMode { kForRead = 0, kForWrite = 1, kForNotify = 2 };
enum AcDbDwgVersion { kDHL_1027 = 31, kDHL_CURRENT = kDHL_1027 };
enum Intersect { kOnBothOperands = 0, kExtendThis = 1, kExtendArg = 2, kExtendBoth = 3 };
enum Visibility { kVisible = 0, kInvisible = 1 };
enum DuplicateRecordCloning { kDrcNotApplicable = 0, kDrcIgnore = 1, kDrcReplace = 2 };
enum Planarity { kNonPlanar = 0, kPlanar = 1, kLinear = 2 };
// Line weights in hundredths of a millimetre, and the three that take their weight elsewhere.
enum LineWeight {
    kLnWt000 = 0, kLnWt005 = 5, kLnWt009 = 9, kLnWt013 = 13, kLnWt015 = 15, kLnWt018 = 18, kLnWt020 = 20,
    kLnWt025 = 25, kLnWt030 = 30, kLnWt035 = 35, kLnWt040 = 40, kLnWt050 = 50, kLnWt053 = 53, kLnWt060 = 60,
    kLnWt070 = 70, kLnWt080 = 80, kLnWt090 = 90, kLnWt100 = 100, kLnWt106 = 106, kLnWt120 = 120,
    kLnWt140 = 140, kLnWt158 = 158, kLnWt200 = 200, kLnWt211 = 211,
    kLnWtByLayer = -1, kLnWtByBlock = -2, kLnWtByLwDefault = -3
};
}  // namespace AcDb

// True for the weights above (the only ones drawings and DXF files hold).
bool acdbIsValidLineWeight(int weight);

// A database-unique 64-bit handle, shown as upper-case hexadecimal text without leading zeros.
class AcDbHandle {
public:
    AcDbHandle() = default;
    explicit AcDbHandle(Adesk::UInt64 v) : m_value(v) {}
    explicit AcDbHandle(const char16_t* hexText);  // invalid text gives the null handle
    bool isNull() const { return m_value == 0; }
    Adesk::UInt64 value() const { return m_value; }
    void getIntoAsciiBuffer(char16_t* buf, size_t bufLen) const;
    CString text() const;                          // "1A0"
    auto operator<=>(const AcDbHandle&) const = default;

private:
    Adesk::UInt64 m_value = 0;
};

class AcDbDatabase;
class AcDbObject;
class AcRxClass;
struct AcDbStub;  // the database's record behind an id

// Names one object of one database, process-wide: opening by id needs no database. An id
// stays valid (opening fails with a status) after its object is erased; once its database is
// deleted, opening it answers eNullObjectId... never undefined behaviour.
class AcDbObjectId {
public:
    AcDbObjectId() = default;
    static const AcDbObjectId kNull;
    bool isNull() const { return m_stub == nullptr; }
    void setNull() { m_stub = nullptr; }
    bool isValid() const;                 // not null and its database still exists
    bool isErased() const;
    AcDbDatabase* database() const;       // null for a null id or a deleted database
    AcDbHandle handle() const;
    // The class of its object, without opening it (an object not yet read from its file is not
    // made); null when the id names no object.
    AcRxClass* objectClass() const;
    Adesk::UInt64 asOldId() const { return reinterpret_cast<std::uintptr_t>(m_stub); }
    AcDbStub* stub() const { return m_stub; }
    explicit AcDbObjectId(AcDbStub* s) : m_stub(s) {}

    bool operator==(const AcDbObjectId& o) const { return m_stub == o.m_stub; }
    bool operator<(const AcDbObjectId& o) const { return std::less<AcDbStub*>{}(m_stub, o.m_stub); }
    bool operator>(const AcDbObjectId& o) const { return o < *this; }

private:
    AcDbStub* m_stub = nullptr;
};
template <>
struct std::hash<AcDbObjectId> {
    size_t operator()(const AcDbObjectId& id) const noexcept { return std::hash<AcDbStub*>{}(id.stub()); }
};

// The host's growable array: logical length, a physical length and a growth length.
template <class T>
class AcArray {
public:
    explicit AcArray(int physicalLength = 0, int growLength = 8) : m_grow(growLength > 0 ? growLength : 8)
    {
        m_data.reserve(static_cast<size_t>(physicalLength > 0 ? physicalLength : 0));
    }
    int length() const { return static_cast<int>(m_data.size()); }
    int logicalLength() const { return length(); }
    int physicalLength() const { return static_cast<int>(m_data.capacity()); }
    int growLength() const { return m_grow; }
    AcArray& setGrowLength(int g) { if (g > 0) m_grow = g; return *this; }
    bool isEmpty() const { return m_data.empty(); }
    AcArray& setLogicalLength(int n) { m_data.resize(static_cast<size_t>(n)); return *this; }
    AcArray& setPhysicalLength(int n) { m_data.reserve(static_cast<size_t>(n)); return *this; }
    int append(const T& v)
    {
        if (m_data.size() == m_data.capacity()) m_data.reserve(m_data.capacity() + static_cast<size_t>(m_grow));
        m_data.push_back(v);
        return length() - 1;
    }
    AcArray& append(const AcArray& other)
    {
        for (const T& v : other.m_data) append(v);
        return *this;
    }
    AcArray& insertAt(int i, const T& v) { m_data.insert(m_data.begin() + i, v); return *this; }
    AcArray& removeAt(int i) { m_data.erase(m_data.begin() + i); return *this; }
    AcArray& removeFirst() { return removeAt(0); }
    AcArray& removeLast() { m_data.pop_back(); return *this; }
    // Removes the first element equal to v; false when there is none.
    bool remove(const T& v, int start = 0)
    {
        int i = -1;
        if (!find(v, i, start)) return false;
        removeAt(i);
        return true;
    }
    AcArray& removeAll() { m_data.clear(); return *this; }
    bool contains(const T& v, int start = 0) const { int i; return find(v, i, start); }
    bool find(const T& v, int& index, int start = 0) const
    {
        for (int i = start; i < length(); ++i)
            if (m_data[static_cast<size_t>(i)] == v) { index = i; return true; }
        return false;
    }
    int find(const T& v) const { int i = -1; find(v, i, 0); return i; }
    T& at(int i) { return m_data.at(static_cast<size_t>(i)); }
    const T& at(int i) const { return m_data.at(static_cast<size_t>(i)); }
    T& operator[](int i) { return at(i); }
    const T& operator[](int i) const { return at(i); }
    T& first() { return at(0); }
    T& last() { return at(length() - 1); }
    const T* asArrayPtr() const { return m_data.data(); }
    bool operator==(const AcArray& o) const { return m_data == o.m_data; }
    auto begin() { return m_data.begin(); }
    auto end() { return m_data.end(); }
    auto begin() const { return m_data.begin(); }
    auto end() const { return m_data.end(); }

private:
    std::vector<T> m_data;
    int m_grow;
};

using AcDbObjectIdArray = AcArray<AcDbObjectId>;
using AcGePoint3dArray = AcArray<AcGePoint3d>;
using AcGeDoubleArray = AcArray<double>;
