#pragma once
// What defining a room uses of the sibling libraries: the marker and its layer, the room
// boundary, the components that the define flow picks and thins out, and the switches
// held while the room is stored.
#include "siblings/object/AcDbQsStandRoom.h"
#include "siblings/object/CObjectKind.h"
#include "siblings/object/QsGlobalVariable.h"       // TmpSetDeepCone, TmpSetNotifySRoom
#include "siblings/object/VkQsDlpEnt.h"
#include "siblings/object/VkQsDuctFitting.h"
#include "siblings/object/VkQsEntity.h"
#include "siblings/object/VkQsFittingBase.h"
#include "siblings/object/VkQsMainLine.h"
#include "siblings/object/VkQsPipe.h"
#include "siblings/object/VkQsPipeValve.h"
#include "siblings/object/VkQsPolyForValve.h"
#include "siblings/region/AcDbVkRoom.h"
#include "siblings/services/AddToModelSpace.h"
#include "siblings/services/CVKQsLayer.h"
