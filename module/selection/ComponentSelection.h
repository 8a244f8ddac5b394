#pragma once
// One pass of picking a room's components, the same for a room being defined and one being
// re-extracted: the adding pass offers the Q keyword and hands it to the caller's removal
// callback, the removing pass does not.
#include <set>

#include "host/db/AcDb.h"
#include "host/ed/AcEdSelection.h"

namespace vkroom {
// Appends the ids of what was picked, in selection order, and returns RTNORM; any other result
// of the selection is returned unchanged with nothing appended.
int SelectComponentPass(AcDbObjectIdArray& ids, bool withKeyword, AcEdSSKwordCallback removeCallback);

// Takes what the removal passes collected out of the chosen ids (first occurrence); each one
// that was chosen goes through CManageStdRoom::ValueIsRelate. The removal set is emptied.
void DropRemovedComponents(std::set<AcDbObjectId>& removed, AcDbObjectIdArray& chosen);

// Adds what one adding pass picked to the chosen ids, highlighted, in pick order. Every pick is
// noted in `seen`; main lines and KPYX entities are refused; the valves of a picked pipe not
// seen before go through CManageStdRoom::ValueIsRelate; picked valves are noted in `valves`.
void TakePickedComponents(const AcDbObjectIdArray& picked, AcDbObjectIdArray& chosen, AcDbObjectIdArray& seen,
                          AcDbObjectIdArray& valves);
}  // namespace vkroom
