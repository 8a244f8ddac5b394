#pragma once
// Object identities as text.
#include "host/db/AcDbCore.h"
#include "host/win/CString.h"

class Relation {
public:
    // The object's handle as upper-case hexadecimal ("1F"); empty for a null id.
    static CString GetHandleFromObjectId(AcDbObjectId id);
};
