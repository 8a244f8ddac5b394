#pragma once
// A drawing file whose objects are made on their first open: the file's bytes (a read-only
// map of the file, or bytes in memory for a read that makes every object at once), the class
// table, and the records of the objects not yet made. Host-internal: the reader builds it,
// the database keeps it (AcDbDatabaseImpl::source), the writer copies unread records from it.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host/db/DwgFormatFilers.h"
#include "host/db/detail/DatabaseImpl.h"

namespace vkdwg {

// The bytes of a drawing file.
class SourceBytes {
public:
    virtual ~SourceBytes() = default;
    virtual std::string_view bytes() const = 0;
    // Bytes in [from, to) have been looked at and need not stay in memory: a map gives their
    // pages back (they come again from the page cache when an object is read from them).
    virtual void release(size_t /*from*/, size_t /*to*/) const {}
};

// The file behind fd, of size bytes, mapped read-only; null when it cannot be mapped.
std::unique_ptr<SourceBytes> mapFile(int fd, size_t size);
// Bytes that the source keeps alive.
std::unique_ptr<SourceBytes> ownBytes(std::shared_ptr<const std::string> bytes);
// Bytes that the caller keeps alive for as long as the source lives.
std::unique_ptr<SourceBytes> viewBytes(std::string_view bytes);

// One class of the file's class table.
struct ClassEntry {
    CString name;
    std::int32_t parent = -1;
    const AcRxClass* cls = nullptr;  // a registered, creatable class of database objects
    bool entityLike = false;         // an entity by its chain (decides the kind of proxy)
    std::vector<CString> chain;      // the name and the parents' names
};

// The fixed part of an object record: handle, class index, owner, flags, payload length.
struct RecordHead {
    std::uint64_t handle = 0;
    std::uint32_t classIndex = 0;
    std::uint64_t owner = 0;
    std::uint8_t flags = 0;
    std::uint32_t length = 0;
};
inline constexpr size_t kRecordHeadSize = 8 + 4 + 8 + 1 + 4;

class DrawingSource : public vkdb::ObjectSource {
public:
    DrawingSource(std::unique_ptr<SourceBytes> bytes, std::vector<ClassEntry> classes,
                  std::vector<std::uint64_t> handles, std::vector<AcDbStub*> stubs)
        : m_bytes(std::move(bytes)), m_classes(std::move(classes)), m_handles(std::move(handles)),
          m_stubs(std::move(stubs)) {}
    Acad::ErrorStatus load(AcDbStub* s) override;
    AcRxClass* classOf(const AcDbStub* s) const override;

    // The object of a handle of the file (null when the file holds none), as references read.
    AcDbObjectId resolve(std::uint64_t handle) const;
    const std::vector<AcDbStub*>& stubs() const { return m_stubs; }
    // For a stub whose object is not yet made: its record's head, class and payload.
    RecordHead head(const AcDbStub* s) const;
    const ClassEntry& classOf(const RecordHead& h) const { return m_classes[h.classIndex]; }
    std::string_view payload(const AcDbStub* s, const RecordHead& h) const;
    // The bytes before offset need not stay in memory (see SourceBytes::release).
    void releaseBefore(std::uint64_t offset) const;

private:
    std::unique_ptr<SourceBytes> m_bytes;
    std::vector<ClassEntry> m_classes;
    std::vector<std::uint64_t> m_handles;  // ascending, as in the file
    std::vector<AcDbStub*> m_stubs;        // the stub of each handle
    mutable size_t m_hint = 0;             // where the last reference was found
    mutable std::uint64_t m_released = 0;  // releaseBefore's last offset
};

// Reads a drawing file's bytes into db (emptied first): the whole file is checked as
// readDrawing checks it, the block and layer tables are made, every other object is made on
// its first open from the bytes, which db keeps. A refused file leaves db empty.
Acad::ErrorStatus openDrawing(AcDbDatabase* db, std::unique_ptr<SourceBytes> bytes, const ReadOptions& opt = {});

// The database's source when it is a drawing file (null otherwise).
DrawingSource* sourceOf(AcDbDatabase* db);

}  // namespace vkdwg
