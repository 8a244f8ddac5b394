#pragma once
// Whether a stored room is still placed anywhere in the project.
#include "host/db/AcDbDatabase.h"
#include "host/win/CString.h"

namespace vkroom {
// True when the current drawing or the drawing of any other floor holds a marker of the room.
// A floor open in the editor is scanned there; the others are read from disk, also while
// another program holds them for writing. Floor drawings that cannot be read count as holding none.
bool IsRoomInUse(const CString& name);
// True when db's model space holds a marker of the room, erased markers included.
bool FindRoomMarker(AcDbDatabase* db, const CString& name);
}  // namespace vkroom
