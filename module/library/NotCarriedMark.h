#pragma once
// The not-carried mark: a style bit of a valve that sits on one of a room's pipes but does
// not go with the room. Storing a room strips marked valves from the stored copy; the flows
// that pick components set it and clear it again on the valves they let go.
#include "host/db/AcDb.h"

namespace vkroom {
inline constexpr int kNotCarriedMark = 0x20;

// Clears the mark when ent is a valve; ent is open for read and stays so (the write open is
// an upgrade, downgraded again).
void ClearNotCarriedMark(AcDbEntity* ent);
// The same for an entity that is not open; skipped when it cannot be opened.
void ClearNotCarriedMark(const AcDbObjectId& id);
}  // namespace vkroom
