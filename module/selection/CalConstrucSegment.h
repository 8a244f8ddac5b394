#pragma once
// For every construction segment of the working drawing, the components inside it, written to
// the settings file "c:\sgd.ini" under the given section: key = segment name, value = "+H1+H2...".
#include "host/win/CString.h"
#include "module/frame/VkQsRoomExport.h"

VKQSROOM_API void CalConstrucSegment(CString sectionName);
