#pragma once
// The bytes of "Roomlist.txt": the count, then one name per line, in the ANSI code page with
// CRLF line ends. Reading takes any whitespace as a separator.
#include <string>
#include <string_view>
#include <vector>

#include "host/win/CString.h"

namespace vkroom {
// The names the text gives. A count that is not a number reads as 0; a count larger than the
// names present gives only those present (the rest would be empty, and no room is nameless);
// a word of 128 bytes or more is no name and is skipped.
std::vector<CString> ParseRoomList(std::string_view text);
std::string FormatRoomList(const std::vector<CString>& names);
}  // namespace vkroom
