#pragma once
// One floor of a project, as GetAllFloorData hands it out.
#include "host/win/CString.h"

namespace VkQsDataMng {

struct FloorRecord {
    CString strFloorName;   // the floor's name, as in the project file
    CString strDwgName;     // the drawing's file name, as in the project file (relative to the project dir)
    CString strDwgFullName; // the drawing's full path, Windows form
    int nIndex = 0;         // 0-based position in floor order
};

}  // namespace VkQsDataMng
