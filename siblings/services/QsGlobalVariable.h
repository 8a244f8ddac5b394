#pragma once
// The global switches and their scope guards (TmpSetDeepCone, TmpSetNotifySRoom,
// TmpSetSRoomInsert) live with the object library; this header hands them out with the services.
#include "siblings/object/QsGlobalVariable.h"
