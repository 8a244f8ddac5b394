// Drawing files of a database: reading with a share mode, atomic saving, back-up copies.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <string>
#include <vector>

#include "host/db/AcDbDatabase.h"
#include "host/db/DatabaseState.h"
#include "host/db/DwgFormat.h"
#include "host/db/DwgFormatSource.h"
#include "host/db/detail/DatabaseImpl.h"
#include "host/win/DeferredWrites.h"
#include "host/win/FileReplace.h"
#include "host/win/WinPath.h"
#include "host/win/Windows.h"

namespace {

// The file the path names, links resolved: a save through a symbolic link replaces the file it
// names (its temporary file and back-up beside that file) and leaves the link as it was.
std::string absoluteHostPath(const CString& winPath)
{
    std::error_code ec;
    std::string host = vkwin::ToHostPath(winPath);
    const std::filesystem::path abs = std::filesystem::absolute(host, ec);
    if (ec) return host;
    const std::filesystem::path resolved = std::filesystem::weakly_canonical(abs, ec);
    return ec ? abs.string() : resolved.string();
}

// "a\b.dwg" -> host path of "a\b.bak"; a name without extension gets ".bak" appended.
std::string backupHostPath(const std::string& hostPath)
{
    std::filesystem::path p(hostPath);
    p.replace_extension(".bak");
    return p.string();
}

bool sameFile(int fd, const std::string& hostPath)
{
    struct stat a {}, b {};
    return fstat(fd, &a) == 0 && stat(hostPath.c_str(), &b) == 0 && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Something other than a regular file (a pipe, a device, a folder) is never a drawing; a
// pipe would block an open until someone writes it.
bool existsButIsNoFile(const std::string& hostPath)
{
    struct stat st {};
    return stat(hostPath.c_str(), &st) == 0 && !S_ISREG(st.st_mode);
}

// What a killed save of target left behind (see host/win/FileReplace.h).
void cleanLeftoversOf(const std::string& target)
{
    vkwin::CleanLeftoversOf(target, backupHostPath(target));
}

// What tells a file's content apart without reading it: a replacement (our saves rename a new
// file over the old) changes the inode, a write the change time, and new content its checksum.
struct FileIdentity {
    dev_t dev = 0;
    ino_t ino = 0;
    off_t size = 0;
    timespec mtime{}, ctime{};
    std::uint32_t checksum = 0;  // as the file's last bytes give it
    bool operator==(const FileIdentity& o) const
    {
        return dev == o.dev && ino == o.ino && size == o.size && mtime.tv_sec == o.mtime.tv_sec &&
               mtime.tv_nsec == o.mtime.tv_nsec && ctime.tv_sec == o.ctime.tv_sec &&
               ctime.tv_nsec == o.ctime.tv_nsec && checksum == o.checksum;
    }
};

FileIdentity identityOf(const struct stat& st)
{
    return {st.st_dev, st.st_ino, st.st_size, st.st_mtim, st.st_ctim};
}

// The drawing files this process has read and checked whole (checksum, every record), most
// recent last. A file read again unchanged, as the edit run reads a floor to look for copies
// and again to make it current, is not checked a second time: its records are only indexed.
class CheckedFiles {
public:
    bool contains(const FileIdentity& id)
    {
        std::lock_guard lock(m_mutex);
        return std::find(m_files.begin(), m_files.end(), id) != m_files.end();
    }
    void add(const FileIdentity& id)
    {
        std::lock_guard lock(m_mutex);
        if (std::find(m_files.begin(), m_files.end(), id) != m_files.end()) return;
        if (m_files.size() == kKept) m_files.erase(m_files.begin());
        m_files.push_back(id);
    }
    void forget(const FileIdentity& id)
    {
        std::lock_guard lock(m_mutex);
        m_files.erase(std::remove(m_files.begin(), m_files.end(), id), m_files.end());
    }
    static CheckedFiles& instance()
    {
        static auto* files = new CheckedFiles;  // never destroyed: reads may run at exit
        return *files;
    }

private:
    static constexpr size_t kKept = 256;  // a project's floors and library, several times over
    std::mutex m_mutex;
    std::vector<FileIdentity> m_files;
};

// The bytes behind fd once its first bytes show a drawing of its size: a read-only map of the
// file, which the database keeps for the objects that it makes on first open. Our saves
// replace a file by renaming a new one over it, so the mapped bytes never change under it.
// Where the file cannot be mapped, its bytes are read into memory.
Acad::ErrorStatus readDrawingBytes(SharedFile& file, std::unique_ptr<vkdwg::SourceBytes>& bytes,
                                   FileIdentity& identity)
{
    struct stat st {};
    if (fstat(file.Fd(), &st) != 0 || !S_ISREG(st.st_mode)) return Acad::eFileAccessErr;
    identity = identityOf(st);
    char head[vkdwg::kHeaderSize];
    size_t got = 0;
    while (got < sizeof head) {
        ssize_t n = pread(file.Fd(), head + got, sizeof head - got, static_cast<off_t>(got));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return Acad::eFileAccessErr;
        if (n == 0) break;
        got += static_cast<size_t>(n);
    }
    Acad::ErrorStatus es = vkdwg::checkFileStart(std::string_view(head, got), static_cast<std::uint64_t>(st.st_size));
    if (es != Acad::eOk) return es;
    bytes = vkdwg::mapFile(file.Fd(), static_cast<size_t>(st.st_size));
    if (!bytes) {
        auto owned = std::make_shared<std::string>();
        if (!file.ReadAll(*owned)) return Acad::eFileAccessErr;
        bytes = vkdwg::ownBytes(std::move(owned));
    }
    const std::string_view all = bytes->bytes();
    if (all.size() >= 4) std::memcpy(&identity.checksum, all.data() + all.size() - 4, 4);
    return Acad::eOk;
}

// eWasOpenForWrite (or ForRead, ForNotify) while any object of db is open.
Acad::ErrorStatus openObjectsStatus(AcDbDatabase* db)
{
    Acad::ErrorStatus es = Acad::eOk;
    for (AcDbStub* s : db->impl()->open) {
        int state = AcDbObjectAccess::openState(s->object);
        if (state == AcDbObjectAccess::kOpenWrite) return Acad::eWasOpenForWrite;
        es = state > 0 ? Acad::eWasOpenForRead : es == Acad::eOk ? Acad::eWasOpenForNotify : es;
    }
    return es;
}

// A drawing whose save is deferred (host/win/DeferredWrites.h) reads as it was saved, without
// a lock: it is not on disk yet.
Acad::ErrorStatus readStaged(AcDbDatabase* db, const char16_t* fileName, const std::string& staged)
{
    auto owned = std::make_shared<std::string>(staged);
    Acad::ErrorStatus es = vkdwg::checkFileStart(*owned, owned->size());
    if (es != Acad::eOk) return es;
    es = vkdwg::openDrawing(db, vkdwg::ownBytes(std::move(owned)));
    if (es != Acad::eOk) return es;
    vkdb::DbFileSlot& slot = vkdb::DbAccess::fileSlot(db);
    slot.file = nullptr;
    slot.fileName = fileName;
    slot.modified = false;
    return Acad::eOk;
}

}  // namespace

Acad::ErrorStatus AcDbDatabase::readDwgFile(const char16_t* fileName, int shareMode, bool, const char16_t*)
{
    if (!fileName || !*fileName) return Acad::eInvalidInput;
    bool keepLock = shareMode == _SH_DENYWR || shareMode == _SH_DENYRW;
    const std::string target = absoluteHostPath(CString(fileName));
    if (const std::string* staged = vkwin::deferred::Staged(target)) return readStaged(this, fileName, *staged);
    if (existsButIsNoFile(target)) return Acad::eFileAccessErr;
    auto file = std::make_unique<SharedFile>();
    if (!file->Open(CString(fileName), SharedFile::kRead, keepLock ? shareMode : _SH_DENYNO))
        return acdbFileErrorStatus(GetLastError());
    std::unique_ptr<vkdwg::SourceBytes> bytes;
    FileIdentity identity;
    Acad::ErrorStatus es = readDrawingBytes(*file, bytes, identity);
    if (es != Acad::eOk) return es;
    cleanLeftoversOf(target);
    CheckedFiles& checked = CheckedFiles::instance();
    bool read = false;
    if (checked.contains(identity)) {
        vkdwg::ReadOptions known;
        known.verifyChecksum = false;
        known.checkPayloads = false;
        read = (es = vkdwg::openDrawing(this, std::move(bytes), known)) == Acad::eOk;
        // Refused all the same: read it again as a stranger, so that the refusal says why.
        if (!read) {
            checked.forget(identity);
            if ((es = readDrawingBytes(*file, bytes, identity)) != Acad::eOk) return es;
        }
    }
    if (!read) {
        if ((es = vkdwg::openDrawing(this, std::move(bytes))) != Acad::eOk) return es;
        checked.add(identity);
    }
    vkdb::DbFileSlot& slot = vkdb::DbAccess::fileSlot(this);
    slot.file = keepLock ? std::move(file) : nullptr;
    slot.fileName = fileName;
    slot.modified = false;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbDatabase::saveAs(const char16_t* fileName, bool bBakAndRename, AcDb::AcDbDwgVersion ver,
                                       const SecurityParams*)
{
    if (ver != AcDb::kDHL_1027) return Acad::eInvalidDwgVersion;
    if (!fileName || !*fileName) return Acad::eInvalidInput;
    if (Acad::ErrorStatus es = openObjectsStatus(this); es != Acad::eOk) return es;
    const std::string target = absoluteHostPath(CString(fileName));
    if (existsButIsNoFile(target)) return Acad::eFileAccessErr;
    std::string bytes;
    if (Acad::ErrorStatus es = vkdwg::writeDrawing(this, bytes, ver); es != Acad::eOk) return es;

    vkdb::DbFileSlot& slot = vkdb::DbAccess::fileSlot(this);
    bool ownFile = slot.file && slot.file->IsOpen() && sameFile(slot.file->Fd(), target);
    if (vkwin::deferred::Defers(target)) {
        vkwin::deferred::Stage(target, std::move(bytes), bBakAndRename ? backupHostPath(target) : std::string());
    } else {
        cleanLeftoversOf(target);
        vkwin::FileReplacement replacement(target, bBakAndRename ? backupHostPath(target) : std::string());
        if (DWORD err = replacement.Write(bytes); err != ERROR_SUCCESS) return acdbFileErrorStatus(err);
        DWORD err = ERROR_SUCCESS;
        if (ownFile) {
            // Our own lock moves to the new file; another holder still refuses the save.
            err = replacement.Replace(slot.file.get());
        } else if (access(target.c_str(), F_OK) == 0) {
            // Held for writing, or denying writers, by anyone: refused. Holding it ourselves
            // while renaming keeps others from taking it meanwhile.
            SharedFile holder;
            err = holder.Open(CString(fileName), SharedFile::kWrite, _SH_DENYWR) ? replacement.Replace(&holder)
                                                                                 : GetLastError();
        } else {
            err = replacement.Replace(nullptr);
        }
        if (err != ERROR_SUCCESS) return acdbFileErrorStatus(err);
        replacement.Finish();
    }
    if (!ownFile) slot.file.reset();  // the database now belongs to the new file
    slot.fileName = fileName;
    slot.modified = false;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbDatabase::save()
{
    const vkdb::DbFileSlot& slot = vkdb::DbAccess::fileSlot(this);
    if (slot.fileName.IsEmpty()) return Acad::eNotApplicable;
    CString name = slot.fileName;
    return saveAs(name.GetString(), true, AcDb::kDHL_1027);
}

Acad::ErrorStatus AcDbDatabase::getFilename(const char16_t*& name) const
{
    const vkdb::DbFileSlot& slot = vkdb::DbAccess::fileSlot(const_cast<AcDbDatabase*>(this));
    name = nullptr;
    if (slot.fileName.IsEmpty()) return Acad::eNotApplicable;
    name = slot.fileName.GetString();
    return Acad::eOk;
}

CString AcDbDatabase::filename() const
{
    return vkdb::DbAccess::fileSlot(const_cast<AcDbDatabase*>(this)).fileName;
}

bool vkdb::IsModifiedSinceSave(const AcDbDatabase* db)
{
    return db && vkdb::DbAccess::fileSlot(const_cast<AcDbDatabase*>(db)).modified;
}

void vkdb::HoldFile(AcDbDatabase* db, std::unique_ptr<SharedFile> file)
{
    if (db) vkdb::DbAccess::fileSlot(db).file = std::move(file);
}
