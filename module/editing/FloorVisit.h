#pragma once
// Reading and visiting the floors of the project during the edit run.
#include <memory>

#include "host/db/AcDb.h"
#include "host/win/CString.h"

// The floor's drawing for a scan. The current floor gives the working database; a floor whose
// drawing is open in the editor gives that document's database (its unsaved changes included);
// any other is read into `side`, which db then names. `path` is the floor's drawing path in
// every case.
bool OpenFloorDatabase(const CString& floorName, AcDbDatabase*& db, CString& path,
                       std::unique_ptr<AcDbDatabase>& side);
// Makes the floor's drawing the working database; true when it is (or already was).
bool SwitchToFloor(const CString& floorName);
