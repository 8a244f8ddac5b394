#pragma once
// What the command frame and the dialogs use of the sibling libraries.
#include "siblings/object/QsGlobalVariable.h"       // m_bLeadContainer
#include "siblings/services/VkCommonTool.h"         // sendCommandToHost
#include "siblings/services/VkQsGsPreviewCtrl.h"    // the dialogs' room preview
