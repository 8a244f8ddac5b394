#pragma once
// What placing a stored room uses of the sibling libraries: the marker, the boundary and the
// components it links, the post-insertion services, and the system-variable guard and
// the object library's switches.
#include "siblings/object/AcDbQsStandRoom.h"
#include "siblings/object/QsGlobalVariable.h"  // TmpSetDeepCone, TmpSetNotifySRoom
#include "siblings/object/VkQsEntity.h"
#include "siblings/region/AcDbVkRoom.h"
#include "siblings/services/COsVarVal.h"
#include "siblings/services/VkQsAutoHelper.h"
#include "siblings/services/VkQsReactorHelper.h"
