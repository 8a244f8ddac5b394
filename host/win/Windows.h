#pragma once
// The few Windows functions and types that the product uses, with their original
// behaviour: ANSI code pages, files with share modes, profile (INI) files.
//
// Paths are Windows paths ("C:\proj\a.dwg", "..\x", "a\b"). Only this layer maps them onto
// the file system: backslashes become slashes and a drive letter goes through the drive map
// (see WinPath.h).
#include <cstdint>
#include <string>
#include <string_view>

#include "host/win/CString.h"

using BOOL = int;
using DWORD = std::uint32_t;
using UINT = unsigned int;
#ifndef TRUE
#define TRUE 1
#define FALSE 0
#endif
#ifndef MAX_PATH
#define MAX_PATH 260
#endif

// ---- ANSI code pages --------------------------------------------------------------------
constexpr UINT CP_ACP = 0;      // the host's ANSI code page (GetACP)
constexpr UINT CP_UTF8 = 65001;

UINT GetACP();                  // 936 unless changed; VKCAD_CODEPAGE overrides at start-up
void SetACP(UINT codePage);     // host setting; 936 (GBK) and 65001 are supported, 1252 too

// Wide -> ANSI bytes in the code page. A character the page cannot hold becomes '?'.
std::string WideToAnsi(const CString& s, UINT codePage = CP_ACP);
// ANSI bytes -> wide. A byte sequence that is not valid in the page becomes U+FFFD.
CString AnsiToWide(std::string_view bytes, UINT codePage = CP_ACP);
// True when every character of s survives the round trip through the code page.
bool IsAnsiRepresentable(const CString& s, UINT codePage = CP_ACP);
// True when iconv converts the page on this system (CP_ACP asks about GetACP()).
bool IsCodePageSupported(UINT codePage);

// ---- Last error -------------------------------------------------------------------------
constexpr DWORD ERROR_SUCCESS = 0;
constexpr DWORD ERROR_FILE_NOT_FOUND = 2;
constexpr DWORD ERROR_PATH_NOT_FOUND = 3;
constexpr DWORD ERROR_ACCESS_DENIED = 5;
constexpr DWORD ERROR_SHARING_VIOLATION = 32;
constexpr DWORD ERROR_WRITE_FAULT = 29;
constexpr DWORD ERROR_FILE_EXISTS = 80;
constexpr DWORD ERROR_INVALID_PARAMETER = 87;
constexpr DWORD ERROR_DISK_FULL = 112;
constexpr DWORD ERROR_ALREADY_EXISTS = 183;
DWORD GetLastError();
void SetLastError(DWORD err);

// ---- Files ------------------------------------------------------------------------------
// Copies a file; with bFailIfExists an existing target is left alone and FALSE returned
// (ERROR_FILE_EXISTS). As on the original platform the source is read denying writers and
// the target written denying everyone, so a file held open elsewhere gives
// ERROR_SHARING_VIOLATION.
BOOL CopyFileW(LPCWSTR existingFile, LPCWSTR newFile, BOOL bFailIfExists);
// Fails with ERROR_SHARING_VIOLATION while any SharedFile holds the file open.
BOOL DeleteFileW(LPCWSTR file);
BOOL PathFileExistsW(LPCWSTR path);                 // files and directories
BOOL CreateDirectoryW(LPCWSTR path, void* security = nullptr);  // ERROR_ALREADY_EXISTS

// Share modes of _wsopen/_wfsopen.
constexpr int _SH_DENYRW = 0x10;  // others may neither read nor write
constexpr int _SH_DENYWR = 0x20;  // others may read, not write
constexpr int _SH_DENYRD = 0x30;
constexpr int _SH_DENYNO = 0x40;  // others may do anything

// A file opened with a share mode. The share mode is a real lock (an open file description
// lock), so it is met by another open in this process and by other processes alike:
// opening for writing fails while anyone holds the file with _SH_DENYWR or _SH_DENYRW, and
// opening with _SH_DENYWR fails while anyone holds it open for writing.
class SharedFile {
public:
    enum Access { kRead = 1, kWrite = 2, kReadWrite = 3 };
    SharedFile() = default;
    ~SharedFile();
    SharedFile(SharedFile&& o) noexcept;
    SharedFile& operator=(SharedFile&& o) noexcept;
    SharedFile(const SharedFile&) = delete;
    SharedFile& operator=(const SharedFile&) = delete;

    // Opens an existing file (or creates it when bCreate). Sets GetLastError on failure:
    // ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND, ERROR_SHARING_VIOLATION, ERROR_ACCESS_DENIED
    // (also for a directory, and for kWrite on a file this user may not read: the locks
    // need a readable descriptor). The protocol: host/win/ShareLock.cpp.
    bool Open(const CString& winPath, Access access, int shareMode, bool bCreate = false);
    void Close();
    bool IsOpen() const { return m_fd >= 0; }
    int Fd() const { return m_fd; }
    const std::string& HostPath() const { return m_hostPath; }
    bool ReadAll(std::string& out);               // whole file from the start
    bool WriteAll(std::string_view data);         // replaces the contents

    // Saving over a file this object holds: renames the finished temporary file
    // tempHostPath (a host path, best in the same directory) over HostPath() and goes on
    // holding the new file with the same access and share mode. The new file carries this
    // object's locks before the rename, so no other open can slip in between. Refused with
    // ERROR_SHARING_VIOLATION, nothing renamed, while another open holds the file for
    // writing or denies writers; the old file stays held on any failure.
    bool ReplaceWith(const std::string& tempHostPath);

private:
    int m_fd = -1;
    int m_lockFd = -1;       // second open for the locks when m_fd cannot read (kWrite)
    int m_access = 0;
    int m_shareMode = 0;
    std::string m_hostPath;  // absolute
};

// ---- Profile (INI) files ----------------------------------------------------------------
// Windows profile semantics: the file and the section are created when missing; a key that
// exists is replaced in place; every other line of the file stays byte for byte. Section
// and key names match without regard to case. Text is stored in the ANSI code page.
// A null key deletes the section, a null value deletes the key.
// Refused with FALSE (ERROR_INVALID_PARAMETER) and the file untouched: a section, key or
// value holding CR or LF, a section holding ']', a key holding '='.
BOOL WritePrivateProfileStringW(LPCWSTR section, LPCWSTR key, LPCWSTR value, LPCWSTR fileName);
// Copies the value (or lpDefault) into the buffer, truncated to nSize-1 characters and
// terminated; returns the number of characters copied. Surrounding spaces are trimmed.
DWORD GetPrivateProfileStringW(LPCWSTR section, LPCWSTR key, LPCWSTR lpDefault,
                               char16_t* buffer, DWORD nSize, LPCWSTR fileName);
