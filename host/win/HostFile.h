#pragma once
// Pieces of the file layer shared by its parts; not for use outside host/win.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/win/Windows.h"

namespace vkwin::detail {

// The share-mode lock protocol (see ShareLock.cpp).
enum class Slot { Reading = 0, Writing = 1, DenyRead = 2, DenyWrite = 3 };
bool TakeSlot(int lockFd, Slot slot);           // shared lock on the slot's byte
bool SlotHeldByOthers(int lockFd, Slot slot);   // held by any other open file description
bool AnySlotHeldByOthers(int lockFd);

// errno after a failed call on hostPath -> the Windows error code.
DWORD ErrorFromErrno(int err, const std::string& hostPath);

// The permissions of a new file: 0666 less the process's umask.
unsigned DefaultFileMode();

// Whole-file helpers on host paths. Missing file: false with ERROR_FILE_NOT_FOUND.
bool ReadHostFile(const std::string& hostPath, std::string& out);
// Writes through a temporary file in the same directory and renames it into place; an
// existing file keeps its permissions. Sets the last error on failure.
bool WriteHostFileAtomic(const std::string& hostPath, std::string_view data);

// The profile (INI) functions on a file's bytes (ProfileFile.cpp); names match ignoring case.
std::vector<CString> ProfileSections(std::string bytes);
std::vector<CString> ProfileKeys(std::string bytes, CString section);
std::optional<CString> ProfileValue(std::string bytes, CString section, CString key);  // unquoted
// The bytes after WritePrivateProfileStringW's change; nullopt for text it refuses.
std::optional<std::string> ProfileWrite(std::string bytes, const char16_t* section, const char16_t* key,
                                        const char16_t* value);

}  // namespace vkwin::detail
