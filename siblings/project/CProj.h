#pragma once
// A query object on the current project; made on the spot for each query, nothing cached.
// All paths are in Windows form (backslashes). Without a current project (or when the
// project file has become unreadable) the answers are empty.
#include "host/win/CString.h"
#include "siblings/project/CArray.h"
#include "siblings/project/FloorRecord.h"

namespace VkQsDataMng {

class CProj {
public:
    CProj();
    CString GetPrjDir() const;        // the project directory, no trailing backslash
    CString GetPrjPath() const;       // the project file
    CString GetCurFloorName() const;  // the floor whose drawing is the current document; empty if none
    // Fills `floors` (emptied first) with one record per floor, in floor order; false without a project.
    bool GetAllFloorData(CArray<FloorRecord>& floors) const;
    bool IsValid() const { return m_valid; }

private:
    bool m_valid = false;
};

}  // namespace VkQsDataMng
