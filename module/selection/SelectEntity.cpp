// Gathering a room's candidate components by extents, and keeping those inside its boundary.
#include "host/db/AcDb.h"
#include "module/frame/CManageStdRoom.h"
#include "module/interfaces/SelectionInterfaces.h"

namespace {
// True when the entity's layer is off; false also when the layer cannot be looked up.
bool LayerLookup(AcDbDatabase* db, const CString& layer, bool& isOff)
{
    AcDbLayerTable* table = nullptr;
    if (db->getLayerTable(table, AcDb::kForRead) != Acad::eOk) return false;
    AcDbLayerTableRecord* rec = nullptr;
    const bool found = table->getAt(layer, rec, AcDb::kForRead) == Acad::eOk;
    table->close();
    if (!found) return false;
    isOff = rec->isOff();
    rec->close();
    return true;
}
}  // namespace

void CManageStdRoom::SelectEntity(AcDbExtents& window, AcArray<AcDbObjectId>& ids)
{
    AcDbDatabase* db = acdbHostApplicationServices()->workingDatabase();
    if (!db) return;
    AcDbBlockTable* table = nullptr;
    if (db->getBlockTable(table, AcDb::kForRead) != Acad::eOk) return;
    AcDbBlockTableRecord* space = nullptr;
    const Acad::ErrorStatus es = table->getAt(ACDB_MODEL_SPACE, space, AcDb::kForRead);
    table->close();
    if (es != Acad::eOk) return;
    AcDbBlockTableRecordIterator* it = nullptr;
    if (space->newIterator(it, true, true) != Acad::eOk) {
        space->close();
        return;
    }
    for (; !it->done(); it->step(true, true)) {
        AcDbEntity* ent = nullptr;
        if (it->getEntity(ent, AcDb::kForRead) != Acad::eOk) continue;
        const AcDbObjectId id = ent->objectId();
        AcDbExtents ext;
        const bool skip = AcDbQsStandRoom::cast(ent) || AcDbVkRoom::cast(ent) ||
                          ent->getGeomExtents(ext) != Acad::eOk || !VKToolKit::ExtentsInter(window, ext);
        const CString layer = ent->layer();
        ent->close();
        if (skip) continue;
        bool isOff = false;
        if (!LayerLookup(db, layer, isOff)) continue;
        if (isOff) {
            AcDbObjectId valve = id;
            ValueIsRelate(valve);
        } else {
            ids.append(id);
        }
    }
    delete it;
    space->close();
}

void CManageStdRoom::FilterEntity(AcArray<AcDbObjectId>& candidates, AcArray<AcDbObjectId>& accepted,
                                  AcDbObjectId boundaryId, std::bitset<6>& filter, bool flag)
{
    for (int i = 0; i < candidates.length(); ++i) {
        AcDbObjectId id = candidates[i];
        if (EntityIsInPolyline(boundaryId, id, filter, flag)) accepted.append(id);
    }
}
