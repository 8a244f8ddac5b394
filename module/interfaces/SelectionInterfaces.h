#pragma once
// What the spatial selection needs of the sibling libraries: the toolkits, the room and
// construction-segment boundaries and the building-services components.
#include "siblings/object/AcDbQsStandRoom.h"
#include "siblings/object/VkQsDlpEnt.h"
#include "siblings/object/VkQsElementComponent.h"
#include "siblings/object/VkQsEntity.h"
#include "siblings/object/VkQsFittingBase.h"
#include "siblings/object/VkQsMainLine.h"
#include "siblings/object/VkQsNode.h"
#include "siblings/object/VkQsNodeEntPrototype.h"
#include "siblings/object/VkQsPipe.h"
#include "siblings/region/AcDbVkBanBase.h"
#include "siblings/region/AcDbVkConstrucSegment.h"
#include "siblings/region/AcDbVkRoom.h"
#include "siblings/services/CVKQsLayer.h"
#include "siblings/services/CalMethod.h"
#include "siblings/services/Relation.h"
#include "siblings/services/VKToolKit.h"
