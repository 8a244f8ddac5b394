#pragma once
// What GetFileInformationByHandle tells about an open file: its identity on the volume, its
// size and its time stamps. The open SharedFile stands in for the handle. Callers use it to
// tell whether a file is still the same version as when they last looked: a save replaces
// the file (a new identity) and gives it a new write time.
#include "host/win/Windows.h"

struct FILETIME {
    DWORD dwLowDateTime = 0;
    DWORD dwHighDateTime = 0;
};

struct BY_HANDLE_FILE_INFORMATION {
    DWORD dwFileAttributes = 0;
    FILETIME ftCreationTime;    // the last status change here (no birth time on every system)
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;   // 100-nanosecond intervals since 1601-01-01 UTC
    DWORD dwVolumeSerialNumber = 0;
    DWORD nFileSizeHigh = 0;
    DWORD nFileSizeLow = 0;
    DWORD nNumberOfLinks = 0;
    DWORD nFileIndexHigh = 0;   // with the volume, identifies the file
    DWORD nFileIndexLow = 0;
};

constexpr DWORD FILE_ATTRIBUTE_READONLY = 0x1;
constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x10;
constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;

constexpr DWORD ERROR_INVALID_HANDLE = 6;

// FALSE with ERROR_INVALID_HANDLE when the file is not open.
BOOL GetFileInformationByHandle(const SharedFile& file, BY_HANDLE_FILE_INFORMATION* info);
