#include "siblings/object/CDealReactor.h"

#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "siblings/object/VkQsPipeValve.h"
#include "siblings/object/VkQsPolyForValve.h"

namespace {

struct PipeTransTable {
    std::vector<AcDbObjectId> order;                      // pipes in the order first moved
    std::unordered_map<AcDbObjectId, AcGeMatrix3d> xform;  // accumulated transform per pipe
    std::unordered_set<AcDbObjectId> movedValves;
    int suspended = 0;
    bool applying = false;
};

PipeTransTable& table()
{
    static auto* t = new PipeTransTable;  // outlives every database
    return *t;
}

}  // namespace

CDealReactor::CDealReactor()
{
    ++table().suspended;
}

CDealReactor::~CDealReactor()
{
    --table().suspended;
}

void CDealReactor::ClearPipeTrans()
{
    VkQsPipeTrans::clear();
}

namespace VkQsPipeTrans {

bool isRecording()
{
    return table().suspended == 0 && !table().applying;
}

void recordPipe(AcDbObjectId pipeId, const AcGeMatrix3d& xform)
{
    if (!isRecording() || pipeId.isNull()) return;
    PipeTransTable& t = table();
    auto it = t.xform.find(pipeId);
    if (it == t.xform.end()) {
        t.order.push_back(pipeId);
        t.xform.emplace(pipeId, xform);
    } else {
        it->second.preMultBy(xform);
    }
}

void recordValve(AcDbObjectId valveId)
{
    if (!isRecording() || valveId.isNull()) return;
    table().movedValves.insert(valveId);
}

int pendingPipes()
{
    return static_cast<int>(table().order.size());
}

int apply()
{
    PipeTransTable& t = table();
    t.applying = true;
    int moved = 0;
    for (const AcDbObjectId& pipeId : t.order) {
        AcDbObjectIdArray valves;
        {
            AcDbObjectPointer<VkQsPolyForValve> pipe(pipeId, AcDb::kForRead);
            if (!pipe) continue;
            valves = pipe->GetRefValves();
        }
        for (const AcDbObjectId& valveId : valves) {
            if (t.movedValves.count(valveId)) continue;
            AcDbObjectPointer<VkQsPipeValve> valve(valveId, AcDb::kForWrite);
            if (valve && valve->transformBy(t.xform.at(pipeId)) == Acad::eOk) ++moved;
        }
    }
    t.applying = false;
    clear();
    return moved;
}

void clear()
{
    table().order.clear();
    table().xform.clear();
    table().movedValves.clear();
}

}  // namespace VkQsPipeTrans
