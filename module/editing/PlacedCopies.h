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
// Erases each copy of a pending room (unless marked as changed by hand) and inserts the room's
// library entry in its place, under the copy's own placement corrected for the source copy's.
void RebuildPlacedRooms(const SRoomEditMap& edits, PlacedRoomMap& placed);

// The placement a copy placed with matrix m takes when the library content was re-extracted
// from a copy placed with matrix r: undo r (the content is stored in r's turn and mirror),
// then apply m.
AcGeMatrix3d CorrectedPlacement(const AcGeMatrix3d& r, const AcGeMatrix3d& m);
