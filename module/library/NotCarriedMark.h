#pragma once
// The not-carried mark: a style bit of a valve that sits on one of a room's pipes but does
// not go with the room. Storing a room strips marked valves from the stored copy; the flows
// that pick components set it and clear it again on the valves they let go.
#include "host/db/AcDb.h"

namespace vkroom {
inline constexpr int kNotCarriedMark = 0x20;

// The object exists and is not erased: a valve whose pipe is not live rides on nothing.
inline bool IsLive(const AcDbObjectId& id)
{
    return !id.isNull() && id.isValid() && !id.isErased();
}

// Clears the mark when ent is a valve; ent is open for read and stays so (the write open is
// an upgrade, downgraded again).
void ClearNotCarriedMark(AcDbEntity* ent);
// The same for an entity that is not open; skipped when it cannot be opened.
void ClearNotCarriedMark(const AcDbObjectId& id);

// The mark only means something to the store it is set for: every valve marked is noted, and
// the command that marked it clears the marks once its store is made or dropped.
void NoteNotCarriedMark(const AcDbObjectId& id);
void ClearNotedMarks();

// Clears the noted marks when it goes out of scope.
class NotedMarksScope {
public:
    NotedMarksScope() = default;
    ~NotedMarksScope() { ClearNotedMarks(); }
    NotedMarksScope(const NotedMarksScope&) = delete;
    NotedMarksScope& operator=(const NotedMarksScope&) = delete;
};
}  // namespace vkroom
