#pragma once
// What bringing a stored room into a drawing uses of the sibling libraries.
#include "siblings/object/QsGlobalVariable.h"       // TmpSetDeepCone, TmpSetNotifySRoom
#include "siblings/services/AddToModelSpace.h"
#include "siblings/services/VkQsReactorHelper.h"
