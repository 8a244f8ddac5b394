#pragma once
// The placed copies of rooms in the working drawing, and their rebuild from the library.
#include <functional>
#include <map>

#include "host/db/AcDb.h"
#include "module/editing/CModifySRoom.h"

class AcDbQsStandRoom;

using PlacedRoomMap = std::map<CString, AcDbObjectIdArray, CStringLess>;

// Calls visit with each marker of db's model space (open for read, closed after), in
// model-space order, until visit returns false.
void VisitMarkers(AcDbDatabase* db, const std::function<bool(AcDbQsStandRoom*)>& visit);
// Every marker of model space, by room name, in model-space order.
void CollectPlacedRooms(PlacedRoomMap& placed);
// Replaces each copy of a pending room (unless marked as changed by hand) by the room's library
// entry, inserted under the copy's own placement corrected for the source copy's; the old copy
// is erased once the new one is in. Answers how many copies stayed as they were because the
// insertion made no copy (the drawing can take no more objects, the entry lacks a marker).
int RebuildPlacedRooms(const SRoomEditMap& edits, PlacedRoomMap& placed);

// The placement a copy placed with matrix m takes when the library content was re-extracted
// from a copy placed with matrix r: undo r (the content is stored in r's turn and mirror),
// then apply m.
AcGeMatrix3d CorrectedPlacement(const AcGeMatrix3d& r, const AcGeMatrix3d& m);
