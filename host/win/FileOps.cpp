#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "host/win/FileFaults.h"
#include "host/win/HostFile.h"
#include "host/win/WinPath.h"
#include "host/win/Windows.h"

namespace {

bool BadPath(LPCWSTR p) {
    if (p && *p) return false;
    SetLastError(ERROR_INVALID_PARAMETER);
    return true;
}

}  // namespace

BOOL CopyFileW(LPCWSTR existingFile, LPCWSTR newFile, BOOL bFailIfExists) {
    if (BadPath(existingFile) || BadPath(newFile)) return FALSE;
    SharedFile src;
    if (!src.Open(existingFile, SharedFile::kRead, _SH_DENYWR)) return FALSE;
    struct stat st {};
    fstat(src.Fd(), &st);
    if (bFailIfExists && PathFileExistsW(newFile)) {
        SetLastError(ERROR_FILE_EXISTS);
        return FALSE;
    }
    SharedFile dst;
    if (!dst.Open(newFile, SharedFile::kWrite, _SH_DENYRW, true)) return FALSE;
    if (ftruncate(dst.Fd(), 0) != 0) {
        SetLastError(vkwin::detail::ErrorFromErrno(errno, dst.HostPath()));
        return FALSE;
    }
    char buf[65536];
    for (;;) {
        ssize_t n = read(src.Fd(), buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            SetLastError(vkwin::detail::ErrorFromErrno(errno, src.HostPath()));
            return FALSE;
        }
        if (n == 0) break;
        for (ssize_t done = 0; done < n;) {
            ssize_t w = vkwin::faults::Strikes(vkwin::faults::Op::Write, dst.HostPath())
                            ? -1
                            : write(dst.Fd(), buf + done, static_cast<size_t>(n - done));
            if (w < 0 && errno == EINTR) continue;
            if (w < 0) {
                SetLastError(vkwin::detail::ErrorFromErrno(errno, dst.HostPath()));
                return FALSE;
            }
            done += w;
        }
    }
    fchmod(dst.Fd(), st.st_mode & 07777);  // the copy keeps the source's attributes
    return TRUE;
}

BOOL DeleteFileW(LPCWSTR file) {
    if (BadPath(file)) return FALSE;
    const std::string host = vkwin::ToHostPath(file);
    struct stat st {};
    if (lstat(host.c_str(), &st) != 0) {
        SetLastError(vkwin::detail::ErrorFromErrno(errno, host));
        return FALSE;
    }
    if (S_ISDIR(st.st_mode)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (S_ISREG(st.st_mode)) {
        // A file that someone holds open cannot be deleted, as on the original platform.
        int fd = open(host.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
        const bool busy = fd >= 0 && vkwin::detail::AnySlotHeldByOthers(fd);
        if (fd >= 0) close(fd);
        if (busy) {
            SetLastError(ERROR_SHARING_VIOLATION);
            return FALSE;
        }
    }
    if (unlink(host.c_str()) != 0) {
        SetLastError(vkwin::detail::ErrorFromErrno(errno, host));
        return FALSE;
    }
    return TRUE;
}

BOOL PathFileExistsW(LPCWSTR path) {
    if (!path || !*path) return FALSE;
    struct stat st {};
    if (stat(vkwin::ToHostPath(path).c_str(), &st) == 0) return TRUE;
    SetLastError(ERROR_FILE_NOT_FOUND);
    return FALSE;
}

BOOL CreateDirectoryW(LPCWSTR path, void*) {
    if (BadPath(path)) return FALSE;
    const std::string host = vkwin::ToHostPath(path);
    if (mkdir(host.c_str(), 0777) == 0) return TRUE;
    const int err = errno;
    SetLastError(err == EEXIST ? ERROR_ALREADY_EXISTS : err == ENOENT ? ERROR_PATH_NOT_FOUND
                                                                       : vkwin::detail::ErrorFromErrno(err, host));
    return FALSE;
}
