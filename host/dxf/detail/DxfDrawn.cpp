#include "host/dxf/detail/DxfDrawn.h"

#include <algorithm>
#include <functional>
#include <utility>

#include "host/db/AcDbEntities.h"
#include "host/db/AcDbPlanEntities.h"

namespace vkdxf {

void DrawnCount::add(AcDbObjectId block, const AcDbEntity& e)
{
    Holds& h = m_blocks[block];
    ++h.entities;
    if (const auto* ref = AcDbBlockReference::cast(&e)) h.refs.push_back({ref->blockTableRecord(), m_line, m_type});
    if (const auto* dim = AcDbDimension::cast(&e); dim && !dim->dimBlockId().isNull())
        h.refs.push_back({dim->dimBlockId(), m_line, m_type});
}

bool DrawnCount::within(AcDbObjectId modelSpace, long max, long& drawn, std::string& why) const
{
    std::map<std::pair<AcDbObjectId, int>, double> memo;
    // What a reference at that depth draws of its block (a double: it may pass any integer).
    std::function<double(AcDbObjectId, int)> drawnBy = [&](AcDbObjectId block, int depth) -> double {
        if (depth > AcDbBlockReference::kMaxNesting) return 0;
        const auto known = memo.find({block, depth});
        if (known != memo.end()) return known->second;
        const auto it = m_blocks.find(block);
        double n = 0;
        if (it != m_blocks.end()) {
            n = double(it->second.entities);
            for (const Ref& r : it->second.refs) n = std::min(n + drawnBy(r.block, depth + 1), 1e300);
        }
        return memo[{block, depth}] = n;
    };
    const auto ms = m_blocks.find(modelSpace);
    double total = 0;
    if (ms != m_blocks.end()) {
        total = double(ms->second.entities);
        for (const Ref& r : ms->second.refs) {
            total += drawnBy(r.block, 1);
            if (total > double(max)) {
                why = "line " + std::to_string(r.line) + ": from this " + r.type + " on, the drawing draws more than " +
                      std::to_string(max) + " entities (counting each block as often as it is nested)";
                return false;
            }
        }
    }
    drawn = long(total);
    return true;
}

}  // namespace vkdxf
