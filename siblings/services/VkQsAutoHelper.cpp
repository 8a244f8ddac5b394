#include "siblings/services/VkQsAutoHelper.h"

#include "host/db/AcDbDatabase.h"
#include "siblings/object/CDealReactor.h"
#include "siblings/object/VkQsObjectLinks.h"

void VkQsAutoHelper::Linkage(const CString&)
{
    if (AcDbDatabase* db = acdbCurDwg()) VkQsObjectLinks::relink(db);
}

void VkQsAutoHelper::Batch(const CString&)
{
    VkQsPipeTrans::apply();
}
