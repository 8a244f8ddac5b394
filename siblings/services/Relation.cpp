#include "siblings/services/Relation.h"

CString Relation::GetHandleFromObjectId(AcDbObjectId id)
{
    if (id.isNull()) return {};
    CString text = id.handle().text();
    text.MakeUpper();
    return text;
}
