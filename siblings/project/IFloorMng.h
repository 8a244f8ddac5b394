#pragma once
// Floors of the current project by name.
#include "host/win/CString.h"

namespace VkQsDataMng {

class IFloorMng {
public:
    // The full path (Windows form) of that floor's drawing; empty for an unknown floor or no project.
    static CString GetDwgFullNameByFloorName(const CString& floorName);
};

}  // namespace VkQsDataMng
