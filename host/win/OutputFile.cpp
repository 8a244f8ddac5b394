#include "host/win/OutputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "host/win/HostFile.h"

namespace vkwin {

std::string WhyNotAFileTarget(const std::string& hostPath)
{
    struct stat st {};
    if (stat(hostPath.c_str(), &st) != 0 || S_ISREG(st.st_mode)) return {};
    const char* what = S_ISDIR(st.st_mode)                          ? "a folder"
                       : S_ISFIFO(st.st_mode)                       ? "a named pipe"
                       : S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode) ? "a device"
                       : S_ISSOCK(st.st_mode)                       ? "a socket"
                                                                    : "something else";
    return std::string("it is ") + what + ", not a regular file";
}

ReplacingFile::~ReplacingFile()
{
    if (!m_temp.empty()) unlink(m_temp.c_str());
}

bool ReplacingFile::open(const std::string& hostPath, std::string& why)
{
    m_shown = hostPath;
    if (const std::string no = WhyNotAFileTarget(hostPath); !no.empty()) {
        why = "cannot write " + hostPath + ": " + no;
        return false;
    }
    std::error_code ec;
    m_target = hostPath;
    if (std::filesystem::is_symlink(m_target, ec)) {  // replace the file the link names, not the link
        const auto resolved = std::filesystem::canonical(m_target, ec);
        if (!ec) m_target = resolved.string();
    }
    const std::filesystem::path path(m_target);
    const auto dir = path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
    std::string name = (dir / ("." + path.filename().string() + ".XXXXXX")).string();
    const int fd = mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) {
        why = "cannot write " + hostPath + ": " + std::strerror(errno);
        return false;
    }
    close(fd);
    m_temp = name;
    return true;
}

bool ReplacingFile::commit(std::string& why)
{
    struct stat st {};
    const mode_t mode = stat(m_target.c_str(), &st) == 0 ? (st.st_mode & 07777) : detail::DefaultFileMode();
    // The target may have become something else while the file was written.
    if (const std::string no = WhyNotAFileTarget(m_target); !no.empty()) {
        why = "cannot write " + m_shown + ": " + no;
        return false;
    }
    const int fd = ::open(m_temp.c_str(), O_RDONLY | O_CLOEXEC);
    const bool synced = fd >= 0 && fsync(fd) == 0;
    if (fd >= 0) close(fd);
    if (!synced || chmod(m_temp.c_str(), mode) != 0 || rename(m_temp.c_str(), m_target.c_str()) != 0) {
        why = "cannot write " + m_shown + ": " + std::strerror(errno);
        return false;
    }
    m_temp.clear();
    return true;
}

}  // namespace vkwin
