#pragma once
// What editing a stored room and carrying the edit to every placed copy use of the sibling
// libraries.
#include "siblings/object/AcDbQsStandRoom.h"
#include "siblings/object/CDealReactor.h"
#include "siblings/object/QsGlobalVariable.h"       // TmpSetDeepCone, TmpSetNotifySRoom, TmpSetSRoomInsert
#include "siblings/object/VkQsDlpEnt.h"
#include "siblings/object/VkQsDuctFitting.h"
#include "siblings/object/VkQsEntity.h"
#include "siblings/object/VkQsFittingBase.h"
#include "siblings/object/VkQsMainLine.h"
#include "siblings/object/VkQsPipe.h"
#include "siblings/object/VkQsPipeValve.h"
#include "siblings/object/VkQsPolyForValve.h"
#include "siblings/project/CArray.h"
#include "siblings/project/CProj.h"
#include "siblings/project/FloorRecord.h"
#include "siblings/project/IFloorMng.h"
#include "siblings/project/OpenFloorFile.h"
#include "siblings/region/AcDbVkRoom.h"
#include "siblings/services/COsVarVal.h"
#include "siblings/services/VkProInterface.h"
#include "siblings/services/VkQsAutoHelper.h"
#include "siblings/services/VkQsReactorHelper.h"
