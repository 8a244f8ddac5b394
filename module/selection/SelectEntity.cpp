// Gathering a region's candidate components: model-space entities whose extents overlap a window.
#include "host/db/AcDb.h"
#include "host/db/AcDbSpatialIndex.h"
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
    // The host's extents index narrows model space to the entities that may overlap, in
    // model-space order; each is then judged exactly as a walk of model space would judge it.
    AcDbObjectIdArray candidates;
    if (AcDbSpatialIndex::queryModelSpace(db, window, candidates) != Acad::eOk) return;
    for (int i = 0; i < candidates.length(); ++i) {
        AcDbEntity* ent = nullptr;
        if (acdbOpenAcDbEntity(ent, candidates[i], AcDb::kForRead) != Acad::eOk) continue;
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
}
