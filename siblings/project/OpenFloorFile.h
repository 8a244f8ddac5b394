#pragma once
// Makes a floor's drawing the current document: opens it, or switches to it when it is
// already open; also in the middle of a command. A drawing that does not exist yet opens as
// a new drawing of that name. The flag is accepted for the callers' sake (read-only wish)
// and not used. False for an unknown floor, no project, or an open that failed. On success
// MODEMACRO (the status line) shows the floor's name.
#include "host/win/CString.h"

bool OpenFloorFile(const CString& floorName, bool bReadOnly);
