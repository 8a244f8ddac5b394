#include "host/win/FileReplace.h"

#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "host/win/FileFaults.h"
#include "host/win/HostFile.h"

namespace vkwin {
namespace {
using faults::Op;
using faults::Strikes;

void SyncDirectoryOf(const std::string& hostPath)
{
    std::string dir = std::filesystem::path(hostPath).parent_path().string();
    if (dir.empty()) dir = ".";
    int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    if (!Strikes(Op::Flush, dir)) fsync(fd);
    close(fd);
}

DWORD WriteError(int err) { return err == ENOSPC || err == EDQUOT ? ERROR_DISK_FULL : ERROR_WRITE_FAULT; }

// The kept previous file: a second name for it, made by a hard link (or a copy where the file
// system has none).
bool KeepSecondName(const std::string& from, const std::string& to)
{
    unlink(to.c_str());
    if (link(from.c_str(), to.c_str()) == 0) return true;
    std::error_code ec;
    return std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing, ec);
}

bool RenameNoReplace(const std::string& from, const std::string& to)
{
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
    if (errno != EINVAL && errno != ENOSYS) return false;
    if (access(to.c_str(), F_OK) == 0) {  // no atomic form on this file system
        errno = EEXIST;
        return false;
    }
    return rename(from.c_str(), to.c_str()) == 0;
}

bool ProcessGone(const std::string& digits)
{
    if (digits.empty() || digits.size() > 9 || digits.find_first_not_of("0123456789") != std::string::npos)
        return false;
    pid_t pid = static_cast<pid_t>(std::stol(digits));
    return pid > 0 && pid != getpid() && kill(pid, 0) != 0 && errno == ESRCH;
}

bool SameContents(const std::string& a, const std::string& b)
{
    std::error_code ec1, ec2;
    if (std::filesystem::file_size(a, ec1) != std::filesystem::file_size(b, ec2) || ec1 || ec2) return false;
    std::ifstream fa(a, std::ios::binary), fb(b, std::ios::binary);
    return std::equal(std::istreambuf_iterator<char>(fa), {}, std::istreambuf_iterator<char>(fb), {});
}
}  // namespace

FileReplacement::FileReplacement(std::string target, std::string backup, bool undoable)
    : m_target(std::move(target)), m_backup(std::move(backup)), m_undoable(undoable)
{
    static std::atomic<unsigned> counter{0};
    m_temp = m_target + ".vktmp." + std::to_string(getpid()) + "." + std::to_string(counter++);
}

FileReplacement::~FileReplacement()
{
    if (!m_temp.empty()) unlink(m_temp.c_str());
    if (!m_pending.empty()) unlink(m_pending.c_str());
}

DWORD FileReplacement::Write(std::string_view bytes)
{
    int fd = open(m_temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) return detail::ErrorFromErrno(errno, m_temp);
    struct stat st {};
    if (stat(m_target.c_str(), &st) == 0) fchmod(fd, st.st_mode & 07777);  // the file keeps its mode
    DWORD err = ERROR_SUCCESS;
    while (!bytes.empty()) {
        ssize_t n = Strikes(Op::Write, m_target) ? -1 : ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            err = WriteError(errno);
            break;
        }
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    if (err == ERROR_SUCCESS && (Strikes(Op::Flush, m_target) || fsync(fd) != 0)) err = WriteError(errno);
    if (close(fd) != 0 && err == ERROR_SUCCESS) err = WriteError(errno);
    return err;
}

DWORD FileReplacement::Replace(SharedFile* holder)
{
    m_existed = access(m_target.c_str(), F_OK) == 0;
    if (m_existed && (!m_backup.empty() || m_undoable)) {
        m_pending = (m_backup.empty() ? m_target : m_backup) + ".vkpending." + std::to_string(getpid());
        if (!KeepSecondName(m_target, m_pending)) m_pending.clear();
    }
    if (holder) {
        if (!holder->ReplaceWith(m_temp)) return GetLastError();
    } else if (Strikes(Op::Rename, m_target) ||
               !(m_existed ? rename(m_temp.c_str(), m_target.c_str()) == 0 : RenameNoReplace(m_temp, m_target))) {
        return detail::ErrorFromErrno(errno, m_target);
    }
    m_temp.clear();
    m_replaced = true;
    SyncDirectoryOf(m_target);
    return ERROR_SUCCESS;
}

bool FileReplacement::Undo()
{
    if (!m_replaced) return true;
    bool ok;
    if (!m_existed) ok = unlink(m_target.c_str()) == 0;
    else ok = !m_pending.empty() && !Strikes(Op::Rename, m_target) && rename(m_pending.c_str(), m_target.c_str()) == 0;
    if (ok) {
        m_pending.clear();
        m_replaced = false;
        SyncDirectoryOf(m_target);
    }
    return ok;
}

void FileReplacement::Finish()
{
    if (m_replaced && !m_backup.empty() && !m_pending.empty()) {
        // A previous file that cannot take the back-up's name now stays where it is: once this
        // process has ended, CleanLeftoversOf gives it that name.
        if (!Strikes(Op::Rename, m_backup)) rename(m_pending.c_str(), m_backup.c_str());
        m_pending.clear();
    }
    m_replaced = false;
}

void CleanLeftoversOf(const std::string& target, const std::string& backup)
{
    namespace fs = std::filesystem;
    const fs::path dir = fs::path(target).parent_path();
    const std::string tmpPrefix = fs::path(target).filename().string() + ".vktmp.";
    const std::string ownPendingPrefix = fs::path(target).filename().string() + ".vkpending.";
    const std::string bakPendingPrefix =
        backup.empty() ? std::string() : fs::path(backup).filename().string() + ".vkpending.";
    std::error_code ec;
    for (fs::directory_iterator it(dir.empty() ? fs::path(".") : dir, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        const std::string path = it->path().string();
        if (name.rfind(tmpPrefix, 0) == 0) {
            std::string rest = name.substr(tmpPrefix.size());
            if (ProcessGone(rest.substr(0, rest.find('.')))) unlink(path.c_str());
        } else if (name.rfind(ownPendingPrefix, 0) == 0) {
            if (ProcessGone(name.substr(ownPendingPrefix.size()))) unlink(path.c_str());
        } else if (!bakPendingPrefix.empty() && name.rfind(bakPendingPrefix, 0) == 0 &&
                   ProcessGone(name.substr(bakPendingPrefix.size()))) {
            struct stat p {}, t {};
            bool replaced = stat(target.c_str(), &t) == 0 && stat(path.c_str(), &p) == 0 &&
                            !(p.st_dev == t.st_dev && p.st_ino == t.st_ino) && !SameContents(path, target);
            if (!replaced || rename(path.c_str(), backup.c_str()) != 0) unlink(path.c_str());
        }
    }
}

}  // namespace vkwin
