#pragma once
// The bytes of "Roomlist.txt": the count, then one name per line, in the ANSI code page with
// CRLF line ends. Reading takes any whitespace as a separator.
#include <string>
#include <string_view>
#include <vector>

#include "host/win/CString.h"

namespace vkroom {
// The longest name the list holds, in its own unit: bytes in the ANSI code page. A longer word
// is no name to the reader, so neither the store nor the define dialog takes a longer name.
constexpr size_t kRoomNameMaxBytes = 127;

// The list's path passes through a buffer of 128 characters on its way to the file functions:
// a longer path (the terminating NUL included) is no path the list can be read or written at.
constexpr int kRoomListPathMaxLength = 127;

// The bytes of the name in the ANSI code page.
size_t RoomNameBytes(const CString& name);
// A name the list gives back as it is: not empty, at most kRoomNameMaxBytes, no whitespace
// (the ideographic space included), every character in the code page.
bool FitsRoomList(const CString& name);

// The names the text gives. A count that is not a number reads as 0; a count larger than the
// names present gives only those present (the rest would be empty, and no room is nameless);
// a word longer than kRoomNameMaxBytes is no name and is skipped.
std::vector<CString> ParseRoomList(std::string_view text);
std::string FormatRoomList(const std::vector<CString>& names);
}  // namespace vkroom
