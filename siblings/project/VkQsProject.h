#pragma once
// The process-wide current project (vkcad --project sets it).
#include <string>

#include "host/win/CString.h"

namespace VkQsProject {

// Makes a project file current after reading it; false with the reason when it is bad (the
// previous current project stays). An empty path clears the current project.
bool SetCurrentProjectFile(const std::string& hostPath, CString* error = nullptr);
std::string GetCurrentProjectFile();   // host path; empty when there is none

// Opens the named floor of the current project as the current document (the first floor
// when the name is empty); false with the reason (no project, unknown floor, open failed).
bool OpenProjectFloor(const CString& floorName, CString* error = nullptr);

}  // namespace VkQsProject
