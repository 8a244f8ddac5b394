#include "module/library/NaturalOrder.h"

#include <cstdint>

#include "host/win/Windows.h"

namespace vkroom {
namespace {
bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }
bool IsSeparator(unsigned char c) { return c == '-' || c == '.' || c == '_'; }

std::uint32_t ReadNumber(const std::string& s, size_t& i)
{
    std::uint32_t n = 0;
    while (i < s.size() && IsDigit(static_cast<unsigned char>(s[i]))) n = n * 10u + static_cast<std::uint32_t>(s[i++] - '0');
    return n;
}

int ByteAt(const std::string& s, size_t i) { return i < s.size() ? static_cast<unsigned char>(s[i]) : 0; }
}  // namespace

int NaturalCompare(const CString& wa, const CString& wb)
{
    const std::string a = WideToAnsi(wa);
    const std::string b = WideToAnsi(wb);
    size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        const unsigned char ca = static_cast<unsigned char>(a[i]);
        const unsigned char cb = static_cast<unsigned char>(b[j]);
        if (IsDigit(ca) && IsDigit(cb)) {
            const std::uint32_t na = ReadNumber(a, i);
            const std::uint32_t nb = ReadNumber(b, j);
            if (na != nb) return na < nb ? -1 : 1;
            continue;
        }
        if (IsSeparator(ca) && IsSeparator(cb)) {
            if (ca != cb) return ca - cb;
        } else if (IsSeparator(ca) != IsSeparator(cb)) {
            return IsSeparator(ca) ? 1 : -1;
        } else if (ca != cb) {
            return ca - cb;
        }
        ++i;
        ++j;
    }
    return ByteAt(a, i) - ByteAt(b, j);
}
}  // namespace vkroom
