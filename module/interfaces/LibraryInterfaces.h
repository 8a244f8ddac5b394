#pragma once
// What the library operations use of the sibling libraries.
#include "siblings/object/AcDbQsStandRoom.h"        // the marker of a placed copy
#include "siblings/object/QsGlobalVariable.h"
#include "siblings/object/VkQsPipe.h"
#include "siblings/object/VkQsPipeValve.h"
#include "siblings/object/VkQsPolyForValve.h"
#include "siblings/project/CArray.h"
#include "siblings/project/CProj.h"
#include "siblings/project/FloorRecord.h"
#include "siblings/project/IFloorMng.h"
#include "siblings/services/VkCommonTool.h"
