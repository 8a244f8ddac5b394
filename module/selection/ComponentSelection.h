#pragma once
// One pass of picking a room's components, the same for a room being defined and one being
// re-extracted: the adding pass offers the Q keyword and hands it to the caller's removal
// callback, the removing pass does not.
#include <set>

#include "host/db/AcDb.h"
#include "host/ed/AcEdSelection.h"

namespace vkroom {
// The room whose components are being gathered: its marker (null while the room is being
// defined) and its boundary.
struct GatheredRoom {
    AcDbObjectId marker;
    AcDbObjectId boundary;
};

// Takes out of ids what a room never gathers: a standard-room marker, a room boundary that
// belongs to a standard room, a component whose marker is another live copy (the room's own
// marker and boundary go too; they are part of it anyway). When anything of another room was
// taken out, the command line says how many and why. Answers that number.
int DropOtherRoomsObjects(AcDbObjectIdArray& ids, const GatheredRoom& room);

// Appends the ids of what was picked, in selection order, and returns RTNORM; any other result
// of the selection is returned unchanged with nothing appended.
int SelectComponentPass(AcDbObjectIdArray& ids, bool withKeyword, AcEdSSKwordCallback removeCallback);

// Takes what the removal passes collected out of the chosen ids (first occurrence); each one
// that was chosen goes through CManageStdRoom::ValueIsRelate. The removal set is emptied.
void DropRemovedComponents(std::set<AcDbObjectId>& removed, AcDbObjectIdArray& chosen);

// Adds what one adding pass picked to the chosen ids, highlighted, in pick order. Every pick is
// noted in `seen`; main lines, KPYX entities and what DropOtherRoomsObjects takes out are
// refused; the valves of a picked pipe not seen before go through
// CManageStdRoom::ValueIsRelate; picked valves are noted in `valves`.
void TakePickedComponents(const AcDbObjectIdArray& picked, const GatheredRoom& room, AcDbObjectIdArray& chosen,
                          AcDbObjectIdArray& seen, AcDbObjectIdArray& valves);
}  // namespace vkroom
