#pragma once
// The natural order of room names: digit runs compare as numbers, separators '-', '.', '_'
// sort after everything else, bytes of the ANSI code page otherwise.
#include "host/win/CString.h"

namespace vkroom {
int NaturalCompare(const CString& a, const CString& b);
}  // namespace vkroom
