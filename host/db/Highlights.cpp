#include "host/db/Highlights.h"

#include <unordered_set>

#include "host/db/AcDbDatabase.h"

namespace vkdb {
namespace {
std::unordered_set<AcDbObjectId>& Highlighted()
{
    static std::unordered_set<AcDbObjectId> ids;
    return ids;
}
unsigned g_generation = 0;
}  // namespace

unsigned HighlightGeneration() { return g_generation; }

void NoteHighlight(const AcDbObjectId& id, bool on)
{
    if (id.isNull()) return;
    const bool changed = on ? Highlighted().insert(id).second : Highlighted().erase(id) > 0;
    if (changed) ++g_generation;
}

std::vector<AcDbObjectId> HighlightedEntities(const AcDbDatabase* db)
{
    std::vector<AcDbObjectId> out;
    for (auto it = Highlighted().begin(); it != Highlighted().end();) {
        if (!it->isValid()) {  // its drawing is gone
            it = Highlighted().erase(it);
            continue;
        }
        if (it->database() == db && !it->isErased()) out.push_back(*it);
        ++it;
    }
    return out;
}
}  // namespace vkdb
