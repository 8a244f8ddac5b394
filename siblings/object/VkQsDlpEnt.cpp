#include "siblings/object/VkQsDlpEnt.h"

ACRX_DEFINE_MEMBERS(VkQsDlpEnt, VkQsEntity);
