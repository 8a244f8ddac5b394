#pragma once
// Post-insertion services: what an insertion appended, and pending graphics.
#include "host/db/AcDbCore.h"
#include "host/win/CString.h"

class VkQsReactorHelper {
public:
    // Every object appended to the working drawing since the previous call (or since the
    // working drawing changed), in order of appending, block begins and ends included. The
    // array is emptied first. The record starts when this library is loaded.
    static void GetAllAppendId(AcDbObjectIdArray& ids);
    // Runs the object library's pending change notifications and brings graphics up to date.
    static void FlushGraphic(const CString& reserved);
};
