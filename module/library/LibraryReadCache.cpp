// The library read kept across the insertions of one session.
#include "module/library/LibraryReadCache.h"


#include "host/win/FileInformation.h"

namespace vkroom {
namespace {

// The version of a file: replaced by a save (new identity), rewritten in place (new time or
// size).
struct FileVersion {
    DWORD volume = 0, indexHigh = 0, indexLow = 0, sizeHigh = 0, sizeLow = 0, timeHigh = 0, timeLow = 0;
    bool operator==(const FileVersion&) const = default;
};

bool VersionOf(const SharedFile& file, FileVersion& version)
{
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(file, &info)) return false;
    version = FileVersion{info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow, info.nFileSizeHigh,
                          info.nFileSizeLow, info.ftLastWriteTime.dwHighDateTime, info.ftLastWriteTime.dwLowDateTime};
    return true;
}

struct KeptRead {
    int sessions = 0;
    CString path;
    FileVersion version;
    std::unique_ptr<AcDbDatabase> db;
};

KeptRead& Kept()
{
    static KeptRead kept;
    return kept;
}

}  // namespace

LibraryReadSession::LibraryReadSession() { ++Kept().sessions; }

LibraryReadSession::~LibraryReadSession()
{
    KeptRead& kept = Kept();
    if (--kept.sessions == 0) kept.db.reset();
}

bool LibraryReadSession::Active() { return Kept().sessions > 0; }

LibraryRead::LibraryRead(const CString& path)
{
    KeptRead& kept = Kept();
    if (kept.sessions == 0) {
        m_fresh = std::make_unique<AcDbDatabase>(false, true);
        if (m_fresh->readDwgFile(path, _SH_DENYWR, false, nullptr) == Acad::eOk) m_db = m_fresh.get();
        return;
    }
    // The lock a fresh read would take, held while this insertion copies.
    FileVersion version;
    if (!m_lock.Open(path, SharedFile::kRead, _SH_DENYWR) || !VersionOf(m_lock, version)) {
        m_lock.Close();
        return;
    }
    if (!kept.db || kept.path.Compare(path) != 0 || !(kept.version == version)) {
        kept.db.reset();
        auto db = std::make_unique<AcDbDatabase>(false, true);
        // Read without a lock of its own: this object's lock covers the read and the copy.
        if (db->readDwgFile(path, _SH_DENYNO, false, nullptr) != Acad::eOk) {
            m_lock.Close();
            return;
        }
        kept.db = std::move(db);
        kept.path = path;
        kept.version = version;
    }
    m_db = kept.db.get();
    m_kept = true;
}

LibraryRead::~LibraryRead() = default;

}  // namespace vkroom
