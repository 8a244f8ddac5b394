#pragma once
// Helpers of the object-library tests: a drawing with a pipe, its valves and a placed copy.
#include <vector>

#include "host/db/AcDb.h"
#include "tests/support/TestDrawing.h"
#include "siblings/object/AcDbQsStandRoom.h"
#include "siblings/object/VkQsPipe.h"
#include "siblings/object/VkQsPipeValve.h"

namespace objtest {

using vktest::appendToModelSpace;

struct PipeWithValves {
    AcDbObjectId pipe;
    std::vector<AcDbObjectId> valves;
};

// A pipe from (0,0) to (1000,0) with valves at the given x, linked both ways.
inline PipeWithValves addPipeWithValves(AcDbDatabase& db, std::vector<double> xs)
{
    PipeWithValves r;
    auto* pipe = new VkQsPipe(AcGePoint3d(0, 0, 0), AcGePoint3d(1000, 0, 0));
    pipe->SetSmallTypeNamePath(u"给排水\\管道\\给水管");
    r.pipe = appendToModelSpace(db, pipe);
    for (double x : xs) {
        auto* v = new VkQsPipeValve(AcGePoint3d(x, 0, 0), 0);
        v->SetPipeId(r.pipe);
        r.valves.push_back(appendToModelSpace(db, v));
    }
    AcDbObjectPointer<VkQsPipe> p(r.pipe, AcDb::kForWrite);
    for (const AcDbObjectId& v : r.valves) p->addValve(v);
    return r;
}


inline AcDbObjectIdArray toArray(const std::vector<AcDbObjectId>& ids)
{
    AcDbObjectIdArray a;
    for (const AcDbObjectId& id : ids) a.append(id);
    return a;
}

}  // namespace objtest
