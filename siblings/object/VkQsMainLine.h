#pragma once
// Main lines: the trunk pipes of a system. A view, not a class of its own: components that
// are main lines also derive from this interface.
#include "siblings/object/VkQsPipe.h"

class VkQsMainLine {
public:
    virtual ~VkQsMainLine() = default;
    // The main-line view of a component, or null when it is none.
    static VkQsMainLine* vk_cast(const VkQsEntity* ent);
    // The component behind the view.
    virtual VkQsEntity* mainLineEntity() = 0;
};

// A main pipe.
class VkQsMainPipe : public VkQsPipe, public VkQsMainLine {
public:
    ACRX_DECLARE_MEMBERS(VkQsMainPipe);
    VkQsMainPipe() = default;
    VkQsMainPipe(const AcGePoint3d& start, const AcGePoint3d& end) : VkQsPipe(start, end) {}
    VkQsEntity* mainLineEntity() override { return this; }
};

// The short pipe that connects a main to a lead (branch); a main line as well.
class VkQsMainLeadCon : public VkQsPipe, public VkQsMainLine {
public:
    ACRX_DECLARE_MEMBERS(VkQsMainLeadCon);
    VkQsMainLeadCon() = default;
    VkQsMainLeadCon(const AcGePoint3d& start, const AcGePoint3d& end) : VkQsPipe(start, end) {}
    VkQsEntity* mainLineEntity() override { return this; }
};
