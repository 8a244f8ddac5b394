#pragma once
// Pieces of the file layer shared by its parts; not for use outside host/win.
#include <string>
#include <string_view>

#include "host/win/Windows.h"

namespace vkwin::detail {

// The share-mode lock protocol (see ShareLock.cpp).
enum class Slot { Reading = 0, Writing = 1, DenyRead = 2, DenyWrite = 3 };
bool TakeSlot(int lockFd, Slot slot);           // shared lock on the slot's byte
bool SlotHeldByOthers(int lockFd, Slot slot);   // held by any other open file description
bool AnySlotHeldByOthers(int lockFd);

// errno after a failed call on hostPath -> the Windows error code.
DWORD ErrorFromErrno(int err, const std::string& hostPath);

// Whole-file helpers on host paths. Missing file: false with ERROR_FILE_NOT_FOUND.
bool ReadHostFile(const std::string& hostPath, std::string& out);
// Writes through a temporary file in the same directory and renames it into place; an
// existing file keeps its permissions. Sets the last error on failure.
bool WriteHostFileAtomic(const std::string& hostPath, std::string_view data);

}  // namespace vkwin::detail
