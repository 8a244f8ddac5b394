#pragma once
// The entities shown highlighted, for a face that draws them (the window in a browser) without
// opening every entity of a large floor to ask each.
#include <vector>

#include "host/db/AcDbCore.h"

class AcDbDatabase;

namespace vkdb {
unsigned HighlightGeneration();  // changes whenever an entity is highlighted or unhighlighted
// The highlighted entities of db that are not erased, in no set order.
std::vector<AcDbObjectId> HighlightedEntities(const AcDbDatabase* db);
// Kept by AcDbEntity::highlight and unhighlight.
void NoteHighlight(const AcDbObjectId& id, bool on);
}  // namespace vkdb
