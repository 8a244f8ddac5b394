#include "host/win/HostFile.h"

#include "host/win/FileFaults.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

namespace vkwin::detail {

unsigned DefaultFileMode() {
    static const mode_t mode = [] {
        mode_t mask = umask(0);
        umask(mask);
        return mode_t(0666 & ~mask);
    }();
    return mode;
}

namespace {

struct Fd {
    int fd = -1;
    ~Fd() { if (fd >= 0) close(fd); }
};

bool WriteFully(int fd, std::string_view data, const std::string& hostPath) {
    while (!data.empty()) {
        ssize_t n = vkwin::faults::Strikes(vkwin::faults::Op::Write, hostPath) ? -1 : write(fd, data.data(), data.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

}  // namespace

DWORD ErrorFromErrno(int err, const std::string& hostPath) {
    switch (err) {
    case ENOENT: {
        std::error_code ec;
        auto parent = std::filesystem::path(hostPath).parent_path();
        if (!parent.empty() && !std::filesystem::is_directory(parent, ec)) return ERROR_PATH_NOT_FOUND;
        return ERROR_FILE_NOT_FOUND;
    }
    case ENOTDIR: case ENAMETOOLONG: case ELOOP: return ERROR_PATH_NOT_FOUND;
    case EEXIST: return ERROR_FILE_EXISTS;
    case EAGAIN: return ERROR_SHARING_VIOLATION;
    case ENOSPC: case EDQUOT: return ERROR_DISK_FULL;
    case EIO: return ERROR_WRITE_FAULT;
    case EINVAL: return ERROR_INVALID_PARAMETER;
    default: return ERROR_ACCESS_DENIED;  // EACCES, EPERM, EISDIR, EROFS, ...
    }
}

bool ReadHostFile(const std::string& hostPath, std::string& out) {
    Fd f{open(hostPath.c_str(), O_RDONLY | O_CLOEXEC)};
    if (f.fd < 0) {
        SetLastError(ErrorFromErrno(errno, hostPath));
        return false;
    }
    struct stat st {};
    if (fstat(f.fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    out.clear();
    char buf[65536];
    for (;;) {
        ssize_t n = read(f.fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            SetLastError(ErrorFromErrno(errno, hostPath));
            return false;
        }
        if (n == 0) return true;
        out.append(buf, static_cast<size_t>(n));
    }
}

bool WriteHostFileAtomic(const std::string& hostPath, std::string_view data) {
    std::error_code ec;
    std::string target = hostPath;
    if (std::filesystem::is_symlink(target, ec)) {  // replace the file the link names, not the link
        auto resolved = std::filesystem::canonical(target, ec);
        if (!ec) target = resolved.string();
    }
    const auto path = std::filesystem::path(target);
    const auto dir = path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
    std::string tmpl = (dir / ("." + path.filename().string() + ".XXXXXX")).string();
    Fd f{mkostemp(tmpl.data(), O_CLOEXEC)};
    if (f.fd < 0) {
        SetLastError(ErrorFromErrno(errno, target));
        return false;
    }
    struct stat st {};
    const mode_t mode = stat(target.c_str(), &st) == 0 ? (st.st_mode & 07777) : DefaultFileMode();
    using vkwin::faults::Op;
    using vkwin::faults::Strikes;
    bool ok = WriteFully(f.fd, data, target) && fchmod(f.fd, mode) == 0 && !Strikes(Op::Flush, target) &&
              fsync(f.fd) == 0;
    const int err = errno;
    if (ok && !Strikes(Op::Rename, target) && rename(tmpl.c_str(), target.c_str()) == 0) return true;
    SetLastError(ErrorFromErrno(ok ? errno : err, target));
    unlink(tmpl.c_str());
    return false;
}

}  // namespace vkwin::detail
