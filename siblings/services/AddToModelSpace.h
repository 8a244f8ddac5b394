#pragma once
// Appends a new entity to the model space of the working database and closes it.
// eOk with its id on success; on failure the entity is not owned by the database (the caller keeps it).
#include "host/db/AcDbCore.h"

class AcDbEntity;

Acad::ErrorStatus addToModelSpace(AcDbObjectId& id, AcDbEntity* ent);
