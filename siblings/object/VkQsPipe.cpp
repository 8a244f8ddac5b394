#include "siblings/object/VkQsPipe.h"

ACRX_DEFINE_MEMBERS(VkQsPipe, VkQsPolyForValve);
