#pragma once
// What the module exports: acrxEntryPoint, CManageStdRoom and CalConstrucSegment.
#if defined(VKQSROOM_BUILDING)
#define VKQSROOM_API __attribute__((visibility("default")))
#else
#define VKQSROOM_API
#endif
