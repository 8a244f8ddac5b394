#pragma once
// A pipe of the water, heating or fire systems.
#include "siblings/object/VkQsPolyForValve.h"

class VkQsPipe : public VkQsPolyForValve {
public:
    ACRX_DECLARE_MEMBERS(VkQsPipe);
    VkQsPipe() = default;
    VkQsPipe(const AcGePoint3d& start, const AcGePoint3d& end) : VkQsPolyForValve(start, end) {}
};
