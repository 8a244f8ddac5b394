#pragma once
// The change-type notification: a database reactor, registered for every database while the
// library is loaded, that marks a placed copy as changed (change type 1) when one of its
// components or its room boundary is modified or erased while the standard-room
// notification switch is on.
//
// A marker that is open elsewhere at that moment cannot be written; it is kept pending,
// reports change type 1 already, and is written at the next database event or flush().
#include "host/db/AcDbCore.h"

namespace StandRoomNotifier {
bool isPending(AcDbObjectId markerId);
void clearPending(AcDbObjectId markerId);
int pendingCount();
// Writes change type 1 into the pending markers that can now be opened; answers how many.
int flush();
}  // namespace StandRoomNotifier
