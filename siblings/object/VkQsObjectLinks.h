#pragma once
// Bookkeeping behind the links between components: valve-list entries that could not be
// dropped at once, and the re-linking that drops references to erased objects.
#include "host/db/AcDbDatabase.h"

namespace VkQsObjectLinks {

// A valve was erased while its pipe could not be opened for write: the entry goes at the
// next relink.
void recordValveRemoval(AcDbObjectId pipeId, AcDbObjectId valveId);
int pendingValveRemovals();

// Drops, in every pipe, fitting and duct fitting of db, the references to objects that are
// erased or gone (valve lists, joined pipes, duct pieces), and applies the recorded valve
// removals of db. Answers the number of references dropped. Objects that cannot be opened
// for write are left for a later call. A call looks only at the pipes and fittings appended or
// modified since the last one and at those linking to what was erased since, so its cost follows
// the change, not the drawing; finding every pipe and fitting is needed once per drawing, at the
// first call after an erasure (or after objects came without events, as a JSON load adds them).
int relink(AcDbDatabase* db);

// While a pipe erases (or unerases) its valves, the valves leave the pipe's list alone.
class CascadeScope {
public:
    explicit CascadeScope(AcDbObjectId pipeId);
    ~CascadeScope();
    CascadeScope(const CascadeScope&) = delete;
    CascadeScope& operator=(const CascadeScope&) = delete;
    static bool isCascading(AcDbObjectId pipeId);

private:
    AcDbObjectId m_pipe;
};

}  // namespace VkQsObjectLinks
