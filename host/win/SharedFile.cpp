#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <utility>

#include "host/win/FileFaults.h"
#include "host/win/HostFile.h"
#include "host/win/WinPath.h"
#include "host/win/Windows.h"

using vkwin::detail::Slot;

namespace {

bool ValidShareMode(int m) { return m == _SH_DENYRW || m == _SH_DENYWR || m == _SH_DENYRD || m == _SH_DENYNO; }
bool DeniesRead(int m) { return m == _SH_DENYRW || m == _SH_DENYRD; }
bool DeniesWrite(int m) { return m == _SH_DENYRW || m == _SH_DENYWR; }

int OpenFlags(int access) {
    int f = access == SharedFile::kRead ? O_RDONLY : access == SharedFile::kWrite ? O_WRONLY : O_RDWR;
    return f | O_CLOEXEC;
}

// A descriptor that can carry F_RDLCK locks: fd itself when it reads, else a read-only
// reopen of the very same inode (through /proc, so a rename in between cannot swap files).
int OpenLockFd(int fd, int access) {
    if (access & SharedFile::kRead) return -1;
    return open(("/proc/self/fd/" + std::to_string(fd)).c_str(), O_RDONLY | O_CLOEXEC);
}

// Takes this open's slots and checks them against everyone else's. Returns the error.
DWORD Lock(int lockFd, int access, int share) {
    using vkwin::detail::SlotHeldByOthers;
    using vkwin::detail::TakeSlot;
    bool ok = true;
    if (access & SharedFile::kRead) ok = ok && TakeSlot(lockFd, Slot::Reading);
    if (access & SharedFile::kWrite) ok = ok && TakeSlot(lockFd, Slot::Writing);
    if (DeniesRead(share)) ok = ok && TakeSlot(lockFd, Slot::DenyRead);
    if (DeniesWrite(share)) ok = ok && TakeSlot(lockFd, Slot::DenyWrite);
    if (!ok) return ERROR_SHARING_VIOLATION;  // someone outside the protocol locks the file
    if ((access & SharedFile::kRead) && SlotHeldByOthers(lockFd, Slot::DenyRead)) return ERROR_SHARING_VIOLATION;
    if ((access & SharedFile::kWrite) && SlotHeldByOthers(lockFd, Slot::DenyWrite)) return ERROR_SHARING_VIOLATION;
    if (DeniesRead(share) && SlotHeldByOthers(lockFd, Slot::Reading)) return ERROR_SHARING_VIOLATION;
    if (DeniesWrite(share) && SlotHeldByOthers(lockFd, Slot::Writing)) return ERROR_SHARING_VIOLATION;
    return ERROR_SUCCESS;
}

void CloseFd(int& fd) {
    if (fd >= 0) close(fd);
    fd = -1;
}

// Opens hostPath and locks it; on success fd/lockFd hold the new open.
DWORD OpenLocked(const std::string& hostPath, int access, int share, bool create, int& fd, int& lockFd) {
    fd = open(hostPath.c_str(), OpenFlags(access) | (create ? O_CREAT : 0), 0666);
    lockFd = -1;
    if (fd < 0) return vkwin::detail::ErrorFromErrno(errno, hostPath);
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        CloseFd(fd);
        return ERROR_ACCESS_DENIED;
    }
    lockFd = OpenLockFd(fd, access);
    if (!(access & SharedFile::kRead) && lockFd < 0) {
        CloseFd(fd);
        return ERROR_ACCESS_DENIED;
    }
    if (DWORD err = Lock(lockFd >= 0 ? lockFd : fd, access, share); err != ERROR_SUCCESS) {
        CloseFd(lockFd);
        CloseFd(fd);
        return err;
    }
    return ERROR_SUCCESS;
}

}  // namespace

SharedFile::~SharedFile() { Close(); }

SharedFile::SharedFile(SharedFile&& o) noexcept
    : m_fd(std::exchange(o.m_fd, -1)), m_lockFd(std::exchange(o.m_lockFd, -1)),
      m_access(o.m_access), m_shareMode(o.m_shareMode), m_hostPath(std::move(o.m_hostPath)) {}

SharedFile& SharedFile::operator=(SharedFile&& o) noexcept {
    if (this != &o) {
        Close();
        m_fd = std::exchange(o.m_fd, -1);
        m_lockFd = std::exchange(o.m_lockFd, -1);
        m_access = o.m_access;
        m_shareMode = o.m_shareMode;
        m_hostPath = std::move(o.m_hostPath);
    }
    return *this;
}

bool SharedFile::Open(const CString& winPath, Access access, int shareMode, bool bCreate) {
    Close();
    if (access < kRead || access > kReadWrite || !ValidShareMode(shareMode) || winPath.IsEmpty()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    // Links resolved, so that ReplaceWith renames over the file itself, never over a link to it.
    std::error_code ec;
    std::string host = vkwin::ToHostPath(winPath);
    if (const auto abs = std::filesystem::absolute(host, ec); !ec) {
        const auto resolved = std::filesystem::weakly_canonical(abs, ec);
        host = (ec ? abs : resolved).string();
    }
    if (DWORD err = OpenLocked(host, access, shareMode, bCreate, m_fd, m_lockFd); err != ERROR_SUCCESS) {
        SetLastError(err);
        return false;
    }
    m_access = access;
    m_shareMode = shareMode;
    m_hostPath = std::move(host);
    return true;
}

void SharedFile::Close() {
    CloseFd(m_lockFd);
    CloseFd(m_fd);
    m_hostPath.clear();
}

bool SharedFile::ReadAll(std::string& out) {
    if (m_fd < 0 || !(m_access & kRead)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    out.clear();
    char buf[65536];
    for (off_t pos = 0;;) {
        ssize_t n = pread(m_fd, buf, sizeof buf, pos);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            SetLastError(vkwin::detail::ErrorFromErrno(errno, m_hostPath));
            return false;
        }
        if (n == 0) return true;
        out.append(buf, static_cast<size_t>(n));
        pos += n;
    }
}

bool SharedFile::WriteAll(std::string_view data) {
    if (m_fd < 0 || !(m_access & kWrite)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    off_t pos = 0;
    while (static_cast<size_t>(pos) < data.size()) {
        ssize_t n = vkwin::faults::Strikes(vkwin::faults::Op::Write, m_hostPath)
                        ? -1
                        : pwrite(m_fd, data.data() + pos, data.size() - static_cast<size_t>(pos), pos);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            SetLastError(vkwin::detail::ErrorFromErrno(errno, m_hostPath));
            return false;
        }
        pos += n;
    }
    // Truncating after writing never leaves the file empty in between.
    if (ftruncate(m_fd, pos) != 0) {
        SetLastError(vkwin::detail::ErrorFromErrno(errno, m_hostPath));
        return false;
    }
    return true;
}

bool SharedFile::ReplaceWith(const std::string& tempHostPath) {
    if (m_fd < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    const int oldLock = m_lockFd >= 0 ? m_lockFd : m_fd;
    if (vkwin::detail::SlotHeldByOthers(oldLock, Slot::Writing) ||
        vkwin::detail::SlotHeldByOthers(oldLock, Slot::DenyWrite)) {
        SetLastError(ERROR_SHARING_VIOLATION);
        return false;
    }
    int fd = -1, lockFd = -1;
    if (DWORD err = OpenLocked(tempHostPath, m_access, m_shareMode, false, fd, lockFd); err != ERROR_SUCCESS) {
        SetLastError(err);
        return false;
    }
    if (vkwin::faults::Strikes(vkwin::faults::Op::Rename, m_hostPath) ||
        rename(tempHostPath.c_str(), m_hostPath.c_str()) != 0) {
        SetLastError(vkwin::detail::ErrorFromErrno(errno, m_hostPath));
        CloseFd(lockFd);
        CloseFd(fd);
        return false;
    }
    CloseFd(m_lockFd);
    CloseFd(m_fd);
    m_fd = fd;
    m_lockFd = lockFd;
    return true;
}
