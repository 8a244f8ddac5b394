#pragma once
// The library drawing read for a change, and what the library operations say on the command
// line when a file fails them: which file, and the status with its meaning. The last cause
// told is kept for the dialog that asked for the operation, so that its message names it too.
#include "host/db/AcDb.h"
#include "host/win/CString.h"

namespace vkroom {
// Reads the library drawing into db (_SH_DENYWR), creating it first when it is missing.
Acad::ErrorStatus ReadLibrary(AcDbDatabase& db);

// "\n标准房间库文件PATH无法读取：eX (meaning)"
void TellLibraryReadFailure(const CString& path, Acad::ErrorStatus es);
// "\n标准房间库文件PATH无法写入：..." or, for the room list, "\n房间列表文件PATH无法写入：..."
void TellLibraryWriteFailure(const CString& path, Acad::ErrorStatus es);
// True when the room list can be read and written at path; otherwise says
// "\n房间列表文件PATH的路径过长（须少于128个字符）" and gives false.
bool RoomListPathFits(const CString& path);
// Remembers a cause that was already said in the words the operation owes its callers.
void NoteLibraryFailure(const CString& text);
// The cause told last (without the line feed), forgotten by the call; empty when none.
CString TakeLibraryFailure();
}  // namespace vkroom
