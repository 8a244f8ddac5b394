#pragma once
// A per-database index of model-space entity extents, so that window selections need not
// open every entity of a large floor.
//
// The index hears the database's appended, modified and erased events and brings itself up
// to date lazily, at the next query: changed entities are re-read, and anything it cannot
// follow entity by entity (a drawing read into the database, objects loaded without events, a
// block definition changed under its references) makes it rebuild from model space.
// Entities that cannot be opened when the index reads them are always returned, so a caller
// that applies its own exact test sees every entity a walk of model space would give it.
#include "host/db/AcDbDatabase.h"
#include "host/ge/AcDbExtents.h"

class AcDbSpatialIndex {
public:
    // Appends to ids the model-space entities (not erased) whose extents may overlap the
    // window in plan, in model-space order. A superset of the overlapping ones: the caller
    // makes the exact test. With the index disabled, every model-space entity is appended.
    static Acad::ErrorStatus queryModelSpace(AcDbDatabase* db, const AcDbExtents& window,
                                             AcDbObjectIdArray& ids);

    // The plan extents of the model-space entities the index could read; eInvalidExtents when
    // none has extents. Built through the index whether or not it is enabled.
    static Acad::ErrorStatus modelSpaceExtents(AcDbDatabase* db, AcDbExtents& ext);

    // Off: queries walk model space (for comparisons and benchmarks). On by default.
    static void setEnabled(bool enabled);
    static bool isEnabled();

    // How often the index of db was built from model space, and how many entities it holds;
    // 0 for a database never queried.
    static int rebuildCount(const AcDbDatabase* db);
    static size_t entryCount(const AcDbDatabase* db);
};
