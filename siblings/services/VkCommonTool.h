#pragma once
#include "host/win/CString.h"

class VkCommonTool {
public:
    // Sends text to the host's command line as typed input (read before queued lines).
    static void sendCommandToHost(const CString& text);
};
