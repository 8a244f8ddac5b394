#include "host/dxf/detail/DxfText.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>

#include "host/win/Windows.h"

namespace vkdxf {

namespace {

bool isValidUtf8(const std::string& s, bool& multiByte)
{
    multiByte = false;
    for (size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        int n = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
        if (n < 0 || (n == 1 && c < 0xC2) || i + n >= s.size() + (n ? 0 : 1)) return false;
        for (int k = 1; k <= n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
        multiByte = multiByte || n > 0;
        i += size_t(n) + 1;
    }
    return true;
}

int hexValue(char16_t c)
{
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
}

// \U+XXXX (a code point) and \M+nXXXX (a double-byte character of code page n, 4 for GBK).
CString decodeEscapes(const CString& s)
{
    if (s.Find(u'\\') < 0) return s;
    CString out;
    for (int i = 0; i < s.GetLength(); ++i) {
        const char16_t c = s[i];
        if (c == u'\\' && i + 6 < s.GetLength() + 0 && s[i + 1] == u'U' && s[i + 2] == u'+') {
            int v = 0, k = 3;
            for (; k < 7 && i + k < s.GetLength() && hexValue(s[i + k]) >= 0; ++k) v = v * 16 + hexValue(s[i + k]);
            if (k == 7) {
                out += static_cast<char16_t>(v);
                i += 6;
                continue;
            }
        }
        if (c == u'\\' && i + 7 < s.GetLength() && s[i + 1] == u'M' && s[i + 2] == u'+') {
            static const unsigned pages[] = {0, 932, 950, 949, 1361, 936};
            const int n = s[i + 3] - u'0';
            int v = 0, k = 4;
            for (; k < 8 && hexValue(s[i + k]) >= 0; ++k) v = v * 16 + hexValue(s[i + k]);
            if (k == 8 && n >= 1 && n <= 5) {
                const char bytes[2] = {static_cast<char>(v >> 8), static_cast<char>(v & 0xFF)};
                out += AnsiToWide(std::string_view(bytes, 2), n == 4 ? 936 : pages[n]);
                i += 7;
                continue;
            }
        }
        out += c;
    }
    return out;
}

}  // namespace

TextCodec::TextCodec(const std::string& acadver, const std::string& dwgCodePage)
{
    m_utf8 = acadver >= "AC1021";
    std::string page = dwgCodePage;
    for (char& ch : page) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    if (page.rfind("ANSI_", 0) == 0) {
        const unsigned n = static_cast<unsigned>(std::strtoul(page.c_str() + 5, nullptr, 10));
        if (n > 0 && IsCodePageSupported(n)) m_codePage = n;
    }
    m_trustPage = m_codePage != 1252;
}

CString TextCodec::decode(const std::string& bytes) const
{
    bool multi = false;
    CString s;
    // Many writers put UTF-8 into files that claim the Western code page; text that reads
    // as UTF-8 is taken as such unless another page was declared.
    if (m_utf8 || (!m_trustPage && isValidUtf8(bytes, multi) && multi))
        s = CString::FromUtf8(bytes);
    else
        s = AnsiToWide(bytes, m_codePage);
    return decodeEscapes(s);
}

CString DecodeTextSpecials(const CString& s)
{
    if (s.Find(u"%%") < 0) return s;
    CString out;
    for (int i = 0; i < s.GetLength(); ++i) {
        if (s[i] != u'%' || i + 2 >= s.GetLength() || s[i + 1] != u'%') {
            out += s[i];
            continue;
        }
        const char16_t k = s[i + 2];
        if (k == u'd' || k == u'D') out += u'\u00B0';
        else if (k == u'p' || k == u'P') out += u'\u00B1';
        else if (k == u'c' || k == u'C') out += u'\u2300';
        else if (k == u'%') out += u'%';
        else if (k == u'u' || k == u'U' || k == u'o' || k == u'O') {
        } else if (k >= u'0' && k <= u'9' && i + 4 < s.GetLength()) {
            out += static_cast<char16_t>((k - u'0') * 100 + (s[i + 3] - u'0') * 10 + (s[i + 4] - u'0'));
            i += 2;
        } else {
            out += s[i];
            continue;
        }
        i += 2;
    }
    return out;
}

std::string EncodeCp936(const CString& s)
{
    std::string out;
    for (int i = 0; i < s.GetLength(); ++i) {
        const char16_t c = s[i];
        if (c < 0x80) {
            out += static_cast<char>(c);
            continue;
        }
        const CString one(c);
        if (c < 0xD800 || c > 0xDFFF) {
            if (IsAnsiRepresentable(one, 936)) {
                out += WideToAnsi(one, 936);
                continue;
            }
        }
        char buf[16];
        std::snprintf(buf, sizeof buf, "\\U+%04X", static_cast<unsigned>(c));
        out += buf;
    }
    return out;
}

}  // namespace vkdxf
