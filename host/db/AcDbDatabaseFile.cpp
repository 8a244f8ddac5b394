// Drawing files of a database: reading with a share mode, atomic saving, back-up copies.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <filesystem>
#include <string>

#include "host/db/AcDbDatabase.h"
#include "host/db/DwgFormat.h"
#include "host/db/detail/DbInternals.h"
#include "host/win/WinPath.h"
#include "host/win/Windows.h"

namespace {

Acad::ErrorStatus statusOfOpenError(DWORD err)
{
    switch (err) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return Acad::eFileNotFound;
    case ERROR_SHARING_VIOLATION: return Acad::eFileSharingViolation;
    default: return Acad::eFileAccessErr;
    }
}

std::string absoluteHostPath(const CString& winPath)
{
    std::error_code ec;
    std::string host = vkwin::ToHostPath(winPath);
    std::string abs = std::filesystem::absolute(host, ec).string();
    return ec ? host : abs;
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

// A temporary file beside the target, written and flushed; removed again unless released.
class TempFile {
public:
    explicit TempFile(const std::string& target)
    {
        static std::atomic<unsigned> counter{0};
        m_path = target + ".vktmp." + std::to_string(getpid()) + "." + std::to_string(counter++);
    }
    ~TempFile()
    {
        if (!m_path.empty()) unlink(m_path.c_str());
    }
    const std::string& path() const { return m_path; }
    void release() { m_path.clear(); }
    Acad::ErrorStatus write(std::string_view data)
    {
        int fd = open(m_path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) return errno == ENOENT ? Acad::eFileNotFound : Acad::eFileAccessErr;
        size_t done = 0;
        Acad::ErrorStatus es = Acad::eOk;
        while (done < data.size()) {
            ssize_t n = ::write(fd, data.data() + done, data.size() - done);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) {
                es = Acad::eFileSystemErr;
                break;
            }
            done += static_cast<size_t>(n);
        }
        if (es == Acad::eOk && fsync(fd) != 0) es = Acad::eFileSystemErr;
        if (close(fd) != 0 && es == Acad::eOk) es = Acad::eFileSystemErr;
        return es;
    }

private:
    std::string m_path;
};

void syncDirectoryOf(const std::string& hostPath)
{
    std::string dir = std::filesystem::path(hostPath).parent_path().string();
    int fd = open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

// The previous file as NAME.bak: a second name for it is made first and takes the .bak name
// only once the new file is in place, so a failed save leaves the old back-up alone.
class Backup {
public:
    Backup(const std::string& target, bool wanted)
    {
        if (!wanted || access(target.c_str(), F_OK) != 0) return;
        m_bak = backupHostPath(target);
        m_pending = m_bak + ".vkpending." + std::to_string(getpid());
        unlink(m_pending.c_str());
        if (link(target.c_str(), m_pending.c_str()) != 0) {
            // File systems without hard links: a copy does the same job.
            std::error_code ec;
            if (!std::filesystem::copy_file(target, m_pending, std::filesystem::copy_options::overwrite_existing, ec))
                m_pending.clear();
        }
    }
    ~Backup()
    {
        if (!m_pending.empty()) unlink(m_pending.c_str());
    }
    void commit()
    {
        if (!m_pending.empty() && rename(m_pending.c_str(), m_bak.c_str()) == 0) m_pending.clear();
    }

private:
    std::string m_bak, m_pending;
};

}  // namespace

Acad::ErrorStatus AcDbDatabase::readDwgFile(const char16_t* fileName, int shareMode, bool, const char16_t*)
{
    if (!fileName || !*fileName) return Acad::eInvalidInput;
    bool keepLock = shareMode == _SH_DENYWR || shareMode == _SH_DENYRW;
    auto file = std::make_unique<SharedFile>();
    if (!file->Open(CString(fileName), SharedFile::kRead, keepLock ? shareMode : _SH_DENYNO))
        return statusOfOpenError(GetLastError());
    std::string bytes;
    if (!file->ReadAll(bytes)) return Acad::eFileAccessErr;
    Acad::ErrorStatus es = vkdwg::readDrawing(this, bytes);
    if (es != Acad::eOk) return es;
    vkdb::DbFileSlot& slot = vkdb::DbAccess::fileSlot(this);
    slot.file = keepLock ? std::move(file) : nullptr;
    slot.fileName = fileName;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbDatabase::saveAs(const char16_t* fileName, bool bBakAndRename, AcDb::AcDbDwgVersion ver,
                                       const SecurityParams*)
{
    if (ver != AcDb::kDHL_1027) return Acad::eInvalidDwgVersion;
    if (!fileName || !*fileName) return Acad::eInvalidInput;
    std::string bytes;
    if (Acad::ErrorStatus es = vkdwg::writeDrawing(this, bytes, ver); es != Acad::eOk) return es;

    const std::string target = absoluteHostPath(CString(fileName));
    TempFile temp(target);
    if (Acad::ErrorStatus es = temp.write(bytes); es != Acad::eOk) return es;

    vkdb::DbFileSlot& slot = vkdb::DbAccess::fileSlot(this);
    bool ownFile = slot.file && slot.file->IsOpen() && sameFile(slot.file->Fd(), target);
    Backup backup(target, bBakAndRename);
    if (ownFile) {
        // Our own lock moves to the new file; another holder still refuses the save.
        if (!slot.file->ReplaceWith(temp.path())) return statusOfOpenError(GetLastError());
    } else if (access(target.c_str(), F_OK) == 0) {
        // Held for writing, or denying writers, by anyone: refused. Holding it ourselves
        // while renaming keeps others from taking it meanwhile.
        SharedFile holder;
        if (!holder.Open(CString(fileName), SharedFile::kWrite, _SH_DENYWR)) return statusOfOpenError(GetLastError());
        if (!holder.ReplaceWith(temp.path())) return statusOfOpenError(GetLastError());
    } else if (rename(temp.path().c_str(), target.c_str()) != 0) {
        return errno == ENOENT ? Acad::eFileNotFound : Acad::eFileAccessErr;
    }
    temp.release();
    backup.commit();
    syncDirectoryOf(target);
    if (!ownFile) slot.file.reset();  // the database now belongs to the new file
    slot.fileName = fileName;
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
