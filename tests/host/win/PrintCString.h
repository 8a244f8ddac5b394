#pragma once
// Lets failing expectations show CStrings as text.
#include <ostream>

#include "host/win/CString.h"

inline void PrintTo(const CString& s, std::ostream* os) { *os << '"' << s.ToUtf8() << '"'; }
