// Gathering a region's candidate components: model-space entities whose extents overlap a window.
#include "host/db/AcDb.h"
#include "host/db/AcDbSpatialIndex.h"
#include "module/frame/CManageStdRoom.h"
#include "module/interfaces/SelectionInterfaces.h"

namespace {
// True when the entity's layer is off; false also when the layer cannot be looked up.
bool LayerLookup(AcDbDatabase* db, const CString& layer, bool& isOff)
{
    AcDbObjectId layerId;
    {
        AcDbObjectPointer<AcDbLayerTable> table(db->layerTableId(), AcDb::kForRead);
        if (!table || table->getAt(layer, layerId) != Acad::eOk) return false;
    }
    AcDbObjectPointer<AcDbLayerTableRecord> rec(layerId, AcDb::kForRead);
    if (!rec) return false;
    isOff = rec->isOff();
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
        const AcDbObjectId id = candidates[i];
        CString layer;
        {
            AcDbObjectPointer<AcDbEntity> ent(id, AcDb::kForRead);
            if (!ent) continue;
            AcDbExtents ext;
            if (AcDbQsStandRoom::cast(ent.object()) || AcDbVkRoom::cast(ent.object()) ||
                ent->getGeomExtents(ext) != Acad::eOk || !VKToolKit::ExtentsInter(window, ext))
                continue;
            layer = ent->layer();
        }
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
