#include "host/win/FileInformation.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdint>

#include "host/win/HostFile.h"

namespace {

// Seconds between 1601-01-01 and 1970-01-01.
constexpr std::int64_t kEpochDifference = 11644473600LL;

FILETIME ToFileTime(const timespec& t)
{
    const std::uint64_t ticks = static_cast<std::uint64_t>((t.tv_sec + kEpochDifference) * 10000000LL + t.tv_nsec / 100);
    return FILETIME{static_cast<DWORD>(ticks & 0xFFFFFFFFu), static_cast<DWORD>(ticks >> 32)};
}

}  // namespace

BOOL GetFileInformationByHandle(const SharedFile& file, BY_HANDLE_FILE_INFORMATION* info)
{
    if (!info || !file.IsOpen()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    struct stat st {};
    if (fstat(file.Fd(), &st) != 0) {
        SetLastError(vkwin::detail::ErrorFromErrno(errno, file.HostPath()));
        return FALSE;
    }
    *info = BY_HANDLE_FILE_INFORMATION();
    info->dwFileAttributes = S_ISDIR(st.st_mode) ? FILE_ATTRIBUTE_DIRECTORY
                             : (st.st_mode & S_IWUSR) ? FILE_ATTRIBUTE_NORMAL
                                                      : FILE_ATTRIBUTE_READONLY;
    info->ftCreationTime = ToFileTime(st.st_ctim);
    info->ftLastAccessTime = ToFileTime(st.st_atim);
    info->ftLastWriteTime = ToFileTime(st.st_mtim);
    info->dwVolumeSerialNumber = static_cast<DWORD>(st.st_dev);
    const auto size = static_cast<std::uint64_t>(st.st_size);
    info->nFileSizeHigh = static_cast<DWORD>(size >> 32);
    info->nFileSizeLow = static_cast<DWORD>(size & 0xFFFFFFFFu);
    info->nNumberOfLinks = static_cast<DWORD>(st.st_nlink);
    const auto index = static_cast<std::uint64_t>(st.st_ino);
    info->nFileIndexHigh = static_cast<DWORD>(index >> 32);
    info->nFileIndexLow = static_cast<DWORD>(index & 0xFFFFFFFFu);
    return TRUE;
}
