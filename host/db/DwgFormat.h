#pragma once
// The host's binary drawing format (layout in docs/drawing-format.md): writing a database to
// bytes and reading bytes into an empty database. Host-internal; files go through
// AcDbDatabase::readDwgFile and saveAs.
#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "host/db/AcDbCore.h"

class AcDbDatabase;

namespace vkdwg {

inline constexpr char kMagic[8] = {'V', 'K', 'D', 'W', 'G', '\r', '\n', '\x1a'};
inline constexpr char kVersionTag1027[6] = {'A', 'C', '1', '0', '2', '7'};
inline constexpr std::uint16_t kRevision = 1;
inline constexpr size_t kHeaderSize = 8 + 6 + 2 + 8;  // magic, tag, revision, file length

// Field tags of an object's payload: every filed value is preceded by its tag, so that a
// payload can be walked without knowing its class (proxies, checks of what a class reads).
enum class FieldTag : std::uint8_t {
    kBool = 1, kInt32 = 2, kInt64 = 3, kDouble = 4, kString = 5, kPoint2d = 6, kPoint3d = 7,
    kVector3d = 8, kMatrix3d = 9, kReference = 10, kBytes = 11, kArrayBegin = 12, kArrayEnd = 13,
};

std::uint32_t crc32(const void* data, size_t n, std::uint32_t crc = 0);

// Values as their bytes, little-endian, for the writer, the reader and the filers.
static_assert(std::endian::native == std::endian::little, "the format is little-endian; add swapping");
template <class T>
void put(std::string& out, T v)
{
    char b[sizeof(T)];
    std::memcpy(b, &v, sizeof(T));
    out.append(b, sizeof(T));
}
template <class T>
void patch(std::string& out, size_t pos, T v)
{
    std::memcpy(out.data() + pos, &v, sizeof(T));
}
template <class T>
T get(std::string_view in, size_t pos)
{
    T v;
    std::memcpy(&v, in.data() + pos, sizeof(T));
    return v;
}
// A string: its length in UTF-16 code units, then the code units.
inline void putString(std::string& out, const CString& s)
{
    put(out, static_cast<std::uint32_t>(s.GetLength()));
    out.append(reinterpret_cast<const char*>(s.GetString()), static_cast<size_t>(s.GetLength()) * 2);
}

// The whole drawing as file bytes. eInvalidDwgVersion for a version other than kDHL_1027.
Acad::ErrorStatus writeDrawing(AcDbDatabase* db, std::string& out,
                               AcDb::AcDbDwgVersion ver = AcDb::kDHL_1027);

struct ReadOptions {
    bool verifyChecksum = true;  // off only for fuzzing, to reach the parts behind the checksum
    // Off for a file that this process checked whole before and that has not changed since:
    // its records are indexed without their payloads being looked at again.
    bool checkPayloads = true;
};
// The first kHeaderSize bytes of a file of fileSize bytes: eOk when they may start a drawing
// of this size (eBadDwgHeader for a foreign file, eInvalidDwgVersion for another version,
// eDwgCRCDoesNotMatch when the length they give is not the file's), so that a foreign or
// damaged file is refused before it is read.
Acad::ErrorStatus checkFileStart(std::string_view head, std::uint64_t fileSize);

// Reads file bytes into db, which should be empty (built without default content). The
// whole input is checked before db changes; a refused input leaves db empty.
Acad::ErrorStatus readDrawing(AcDbDatabase* db, std::string_view bytes, const ReadOptions& opt = {});

}  // namespace vkdwg
