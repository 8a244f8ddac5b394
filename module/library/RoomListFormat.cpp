#include "module/library/RoomListFormat.h"

#include <cctype>
#include <charconv>

#include "host/win/Windows.h"

namespace vkroom {
namespace {
bool IsSpace(unsigned char c) { return std::isspace(c) != 0; }

// Skips whitespace, then returns the next word (empty at the end of the text).
std::string_view NextWord(std::string_view text, size_t& pos)
{
    while (pos < text.size() && IsSpace(static_cast<unsigned char>(text[pos]))) ++pos;
    const size_t start = pos;
    while (pos < text.size() && !IsSpace(static_cast<unsigned char>(text[pos]))) ++pos;
    return text.substr(start, pos - start);
}

// The leading count; 0 when it is not a number or does not fit.
long long ReadCount(std::string_view text, size_t& pos)
{
    const std::string_view word = NextWord(text, pos);
    long long n = 0;
    const char* first = word.data();
    if (!word.empty() && word.front() == '+') ++first;
    auto [end, ec] = std::from_chars(first, word.data() + word.size(), n);
    if (ec != std::errc()) return 0;
    // A count followed by other characters ("3x") stops there, as a stream read would.
    pos -= static_cast<size_t>(word.data() + word.size() - end);
    return n;
}
}  // namespace

size_t RoomNameBytes(const CString& name)
{
    return WideToAnsi(name).size();
}

bool FitsRoomList(const CString& name)
{
    if (name.IsEmpty() || RoomNameBytes(name) > kRoomNameMaxBytes) return false;
    for (int i = 0; i < name.GetLength(); ++i)
        if (name[i] <= u' ' || name[i] == 0x3000) return false;
    return AnsiToWide(WideToAnsi(name)) == name;
}

std::vector<CString> ParseRoomList(std::string_view text)
{
    std::vector<CString> names;
    size_t pos = 0;
    const long long count = ReadCount(text, pos);
    for (long long i = 0; i < count; ++i) {
        const std::string_view word = NextWord(text, pos);
        if (word.empty()) break;  // past the end: what a huge count asks for is not there
        if (word.size() > kRoomNameMaxBytes) continue;
        names.push_back(AnsiToWide(word));
    }
    return names;
}

std::string FormatRoomList(const std::vector<CString>& names)
{
    std::string text = std::to_string(names.size()) + "\r\n";
    for (const CString& name : names) text += WideToAnsi(name) + "\r\n";
    return text;
}
}  // namespace vkroom
