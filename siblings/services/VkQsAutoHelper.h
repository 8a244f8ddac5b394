#pragma once
// Automation services of the object library, run on the working drawing.
#include "host/win/CString.h"

class VkQsAutoHelper {
public:
    // Drops references to erased objects from pipes and fittings (re-links what is connected).
    static void Linkage(const CString& reserved);
    // Runs pending batch updates (pending pipe transforms of the deal reactor).
    static void Batch(const CString& reserved);
};
