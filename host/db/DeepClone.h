#pragma once
// Deep cloning (host-internal): copies objects with everything they own or hard-reference,
// within a database or into another, through the field recorder and player.
#include <utility>
#include <vector>

#include "host/db/AcDbDatabase.h"

namespace vkclone {

using IdPairs = std::vector<std::pair<AcDbObjectId, AcDbObjectId>>;

struct CloneRequest {
    AcDbObjectIdArray ids;            // the primary objects, all of one database
    AcDbDatabase* dest = nullptr;     // where the clones go
    AcDbObjectId owner;               // the owner of the primary clones (in dest)
    AcDb::FilerType filerType = AcDb::kDeepCloneFiler;
    const AcGeMatrix3d* xform = nullptr;  // applied to primary clones that are entities
    bool notify = true;               // report the clones appended to dest's reactors
    // When set, the one primary object is a symbol table record that becomes a new record
    // of dest's table under this name (a block keeps its begin, entities and end, origin 0).
    const char16_t* renameRecord = nullptr;
};

// Clones the request's objects and what they carry along; idMap gets (original, clone) for
// every clone. Erased primaries are skipped; erased objects that a clone owns come along
// and stay erased (and are not reported). Entities among the primaries whose new owner is a
// block table record are appended to it. Layers that cloned entities name are created in
// dest when missing.
Acad::ErrorStatus deepClone(const CloneRequest& req, IdPairs& idMap);

// Appends resident entities to a block table record's entity list (in order).
Acad::ErrorStatus appendToBlock(AcDbObjectId blockId, const std::vector<AcDbObjectId>& entities);

}  // namespace vkclone
