#pragma once
// Pipes that were moved, rotated or mirrored while their valves were not: the object
// library keeps them in a per-process table so that a later batch update can bring the
// valves along. CDealReactor holds recording off for its lifetime (bulk operations that
// transform whole rooms, valves included) and clears the table on request.
#include "host/db/AcDbCore.h"
#include "host/ge/AcGeMatrix3d.h"

class CDealReactor {
public:
    CDealReactor();
    ~CDealReactor();
    CDealReactor(const CDealReactor&) = delete;
    CDealReactor& operator=(const CDealReactor&) = delete;
    // Forgets every pending pipe transform.
    void ClearPipeTrans();
};

namespace VkQsPipeTrans {
void recordPipe(AcDbObjectId pipeId, const AcGeMatrix3d& xform);
void recordValve(AcDbObjectId valveId);
bool isRecording();
int pendingPipes();
// Transforms the valves of every recorded pipe that were not transformed themselves since
// the pipe was, then clears the table. Answers the number of valves moved.
int apply();
void clear();
}  // namespace VkQsPipeTrans
