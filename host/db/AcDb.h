#pragma once
// Everything of the drawing database.
#include "host/db/AcDbCore.h"
#include "host/db/AcDbDatabase.h"
#include "host/db/AcDbDraftingEntities.h"
#include "host/db/AcDbEntities.h"
#include "host/db/AcDbFiler.h"
#include "host/db/AcDbObject.h"
#include "host/db/AcDbPlanEntities.h"
#include "host/db/AcDbSymbolTables.h"
