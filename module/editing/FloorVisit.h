#pragma once
// Reading and visiting the floors of the project during the edit run.
#include "host/db/AcDb.h"
#include "host/win/CString.h"

// The floor's drawing for a scan. The current floor gives the working database; a floor whose
// drawing is open in the editor gives that document's database (its unsaved changes included);
// any other is read into a side database. `owned` tells whether the caller deletes it.
// `path` is the floor's drawing path in every case.
bool OpenFloorDatabase(const CString& floorName, AcDbDatabase*& db, CString& path, bool& owned);
// Makes the floor's drawing the working database; true when it is (or already was).
bool SwitchToFloor(const CString& floorName);
