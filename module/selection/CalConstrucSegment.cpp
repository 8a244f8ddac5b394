// The components of each construction segment, written to the settings file.
#include "module/selection/CalConstrucSegment.h"

#include "host/db/AcDb.h"
#include "host/win/Windows.h"
#include "module/frame/CManageStdRoom.h"
#include "module/interfaces/SelectionInterfaces.h"

namespace {
constexpr const char16_t* kSettingsFile = u"c:\\sgd.ini";
constexpr const char16_t* kSegmentKind = u"建筑\\施工段\\施工段";
}  // namespace

void CalConstrucSegment(CString sectionName)
{
    const CString layer = CVKQsLayer::GetJzLayerByDetailNamePath(kSegmentKind, false);
    AcDbObjectIdArray segments = VKToolKit::SelectEntity(layer, u"", -1);
    std::bitset<6> filter;
    for (int bit = 1; bit <= 5; ++bit) filter.set(static_cast<size_t>(bit));
    for (int i = 0; i < segments.length(); ++i) {
        const AcDbObjectId segmentId = segments[i];
        AcDbExtents ext;
        CString name;
        {
            AcDbObjectPointer<AcDbVkConstrucSegment> segment(segmentId, AcDb::kForWrite);
            if (!segment) return;
            segment->getGeomExtents(ext);
            name = segment->GetAttname();
        }

        AcArray<AcDbObjectId> candidates;
        CManageStdRoom::SelectEntity(ext, candidates);
        AcArray<AcDbObjectId> inside;
        CManageStdRoom::FilterEntity(candidates, inside, segmentId, filter, true);
        inside.remove(segmentId);
        CString value;
        for (int k = 0; k < inside.length(); ++k) value += CString(u"+") + Relation::GetHandleFromObjectId(inside[k]);
        WritePrivateProfileStringW(sectionName, name, value, kSettingsFile);
    }
}
