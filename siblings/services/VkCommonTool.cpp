#include "siblings/services/VkCommonTool.h"

#include "host/ed/InputQueue.h"

void VkCommonTool::sendCommandToHost(const CString& text)
{
    vked::SendToCommandLine(text);
}
