#include "siblings/object/VkQsMainLine.h"

ACRX_DEFINE_MEMBERS(VkQsMainPipe, VkQsPipe);
ACRX_DEFINE_MEMBERS(VkQsMainLeadCon, VkQsPipe);

VkQsMainLine* VkQsMainLine::vk_cast(const VkQsEntity* ent)
{
    return dynamic_cast<VkQsMainLine*>(const_cast<VkQsEntity*>(ent));
}
