#pragma once
// Thinning out the components picked for a room before it is stored, the same for a room
// being defined and one being re-extracted. What leaves the list is unhighlighted.
#include "host/db/AcDb.h"

namespace vkroom {
// Duct pieces go unless a duct fitting of the list that joins exactly two ducts holds them.
void PruneDlpEnts(AcDbObjectIdArray& ids);
// Fittings that join exactly one pipe go unless that pipe is in the list too.
void PruneFittings(AcDbObjectIdArray& ids);

// Highlights or unhighlights one entity (opened for read); skipped when it cannot be opened.
void SetHighlight(const AcDbObjectId& id, bool on);
}  // namespace vkroom
