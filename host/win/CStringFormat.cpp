// printf on UTF-16 formats. Each conversion is handed to snprintf on its own; only %c and %s,
// whose arguments are UTF-16, are laid out here.
#include <algorithm>
#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "host/win/CString.h"

namespace {

enum class Len { None, hh, h, l, ll, L, z, j, t };

struct Spec {
    std::string flags;
    int width = -1;
    int precision = -1;
    Len len = Len::None;
    bool wide = false;   // l or w before c/s
    bool narrow = false; // h before c/s, or %S / %C
    char conv = 0;
};

void AppendAscii(std::u16string& out, const std::string& s) {
    for (unsigned char c : s) out += char16_t(c);
}

std::string NumberFormat(const Spec& sp, const char* lenText) {
    std::string f = "%" + sp.flags;
    if (sp.width >= 0) f += std::to_string(sp.width);
    if (sp.precision >= 0) f += "." + std::to_string(sp.precision);
    f += lenText;
    f += sp.conv;
    return f;
}

template <class T>
std::string Snprintf(const std::string& fmt, T value) {
    char buf[128];
    int n = std::snprintf(buf, sizeof buf, fmt.c_str(), value);
    if (n < 0) return {};
    if (static_cast<size_t>(n) < sizeof buf) return std::string(buf, static_cast<size_t>(n));
    std::string big(static_cast<size_t>(n) + 1, '\0');
    std::snprintf(big.data(), big.size(), fmt.c_str(), value);
    big.resize(static_cast<size_t>(n));
    return big;
}

// Pads text to the width, on the left unless the '-' flag is given.
void AppendPadded(std::u16string& out, std::u16string_view text, const Spec& sp) {
    const bool left = sp.flags.find('-') != std::string::npos;
    const size_t pad = sp.width > 0 && static_cast<size_t>(sp.width) > text.size() ? sp.width - text.size() : 0;
    if (!left) out.append(pad, u' ');
    out.append(text);
    if (left) out.append(pad, u' ');
}

void AppendSigned(std::u16string& out, const Spec& sp, va_list& ap) {
    std::string s;
    switch (sp.len) {
    case Len::hh: s = Snprintf(NumberFormat(sp, "hh"), static_cast<signed char>(va_arg(ap, int))); break;
    case Len::h: s = Snprintf(NumberFormat(sp, "h"), static_cast<short>(va_arg(ap, int))); break;
    case Len::l: s = Snprintf(NumberFormat(sp, "l"), va_arg(ap, long)); break;
    case Len::ll: case Len::L: s = Snprintf(NumberFormat(sp, "ll"), va_arg(ap, long long)); break;
    case Len::z: s = Snprintf(NumberFormat(sp, "z"), va_arg(ap, std::ptrdiff_t)); break;
    case Len::j: s = Snprintf(NumberFormat(sp, "j"), va_arg(ap, std::intmax_t)); break;
    case Len::t: s = Snprintf(NumberFormat(sp, "t"), va_arg(ap, std::ptrdiff_t)); break;
    case Len::None: s = Snprintf(NumberFormat(sp, ""), va_arg(ap, int)); break;
    }
    AppendAscii(out, s);
}

void AppendUnsigned(std::u16string& out, const Spec& sp, va_list& ap) {
    std::string s;
    switch (sp.len) {
    case Len::hh: s = Snprintf(NumberFormat(sp, "hh"), static_cast<unsigned char>(va_arg(ap, unsigned))); break;
    case Len::h: s = Snprintf(NumberFormat(sp, "h"), static_cast<unsigned short>(va_arg(ap, unsigned))); break;
    case Len::l: s = Snprintf(NumberFormat(sp, "l"), va_arg(ap, unsigned long)); break;
    case Len::ll: case Len::L: s = Snprintf(NumberFormat(sp, "ll"), va_arg(ap, unsigned long long)); break;
    case Len::z: s = Snprintf(NumberFormat(sp, "z"), va_arg(ap, std::size_t)); break;
    case Len::j: s = Snprintf(NumberFormat(sp, "j"), va_arg(ap, std::uintmax_t)); break;
    case Len::t: s = Snprintf(NumberFormat(sp, "t"), va_arg(ap, std::size_t)); break;
    case Len::None: s = Snprintf(NumberFormat(sp, ""), va_arg(ap, unsigned)); break;
    }
    AppendAscii(out, s);
}

void AppendString(std::u16string& out, const Spec& sp, va_list& ap) {
    std::u16string text;
    if (sp.narrow) {
        const char* s = va_arg(ap, const char*);
        text = s ? CString::FromUtf8(s).str() : u"(null)";
    } else {
        const char16_t* s = va_arg(ap, const char16_t*);
        text = s ? s : u"(null)";
    }
    if (sp.precision >= 0 && static_cast<size_t>(sp.precision) < text.size()) text.resize(static_cast<size_t>(sp.precision));
    AppendPadded(out, text, sp);
}

void AppendChar(std::u16string& out, const Spec& sp, va_list& ap) {
    int v = va_arg(ap, int);
    char16_t c = sp.narrow ? char16_t(static_cast<unsigned char>(v)) : char16_t(v);
    AppendPadded(out, std::u16string_view(&c, 1), sp);
}

// Reads one conversion starting after '%'; returns the position after it.
const char16_t* ParseSpec(const char16_t* p, Spec& sp, va_list& ap) {
    for (; *p && std::u16string_view(u"-+ #0").find(*p) != std::u16string_view::npos; ++p) sp.flags += char(*p);
    if (*p == u'*') {
        sp.width = va_arg(ap, int);
        if (sp.width < 0) { sp.flags += '-'; sp.width = -sp.width; }
        ++p;
    } else if (*p >= u'0' && *p <= u'9') {
        sp.width = 0;
        for (; *p >= u'0' && *p <= u'9'; ++p) sp.width = std::min(sp.width * 10 + (*p - u'0'), 100000);
    }
    if (*p == u'.') {
        ++p;
        sp.precision = 0;
        if (*p == u'*') {
            sp.precision = va_arg(ap, int);
            ++p;
        } else {
            for (; *p >= u'0' && *p <= u'9'; ++p) sp.precision = std::min(sp.precision * 10 + (*p - u'0'), 100000);
        }
    }
    auto starts = [&](std::u16string_view s) { return std::u16string_view(p).substr(0, s.size()) == s; };
    if (starts(u"I64")) { sp.len = Len::ll; p += 3; }
    else if (starts(u"I32")) { p += 3; }
    else if (starts(u"hh")) { sp.len = Len::hh; sp.narrow = true; p += 2; }
    else if (starts(u"ll")) { sp.len = Len::ll; p += 2; }
    else if (*p == u'h') { sp.len = Len::h; sp.narrow = true; ++p; }
    else if (*p == u'l') { sp.len = Len::l; sp.wide = true; ++p; }
    else if (*p == u'w') { sp.wide = true; ++p; }
    else if (*p == u'L') { sp.len = Len::L; ++p; }
    else if (*p == u'z' || *p == u'I') { sp.len = Len::z; ++p; }
    else if (*p == u'j') { sp.len = Len::j; ++p; }
    else if (*p == u't') { sp.len = Len::t; ++p; }
    if (*p && *p < 0x80) sp.conv = char(*p);
    return *p ? p + 1 : p;
}

std::u16string FormatText(const char16_t* fmt, va_list& ap) {
    std::u16string out;
    if (!fmt) return out;
    for (const char16_t* p = fmt; *p;) {
        if (*p != u'%') {
            out += *p++;
            continue;
        }
        const char16_t* start = p++;
        if (*p == u'%') {
            out += u'%';
            ++p;
            continue;
        }
        Spec sp;
        p = ParseSpec(p, sp, ap);
        switch (sp.conv) {
        case 'd': case 'i': AppendSigned(out, sp, ap); break;
        case 'u': case 'x': case 'X': case 'o': AppendUnsigned(out, sp, ap); break;
        case 'f': case 'F': case 'e': case 'E': case 'g': case 'G': case 'a': case 'A':
            if (sp.len == Len::L) AppendAscii(out, Snprintf(NumberFormat(sp, "L"), va_arg(ap, long double)));
            else AppendAscii(out, Snprintf(NumberFormat(sp, ""), va_arg(ap, double)));
            break;
        case 'p': AppendAscii(out, Snprintf(NumberFormat(sp, ""), va_arg(ap, void*))); break;
        case 's': AppendString(out, sp, ap); break;
        case 'S': sp.narrow = !sp.wide; AppendString(out, sp, ap); break;
        case 'c': AppendChar(out, sp, ap); break;
        case 'C': sp.narrow = !sp.wide; AppendChar(out, sp, ap); break;
        case 'n': (void)va_arg(ap, void*); break;  // never written through: a format is not a pointer sink
        default: out.append(start, p); break;       // unknown conversion: copied as written
        }
    }
    return out;
}

}  // namespace

void CString::FormatV(const char16_t* fmt, va_list args) {
    va_list ap;
    va_copy(ap, args);
    m_s = FormatText(fmt, ap);
    va_end(ap);
}

void CString::Format(const char16_t* fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    FormatV(fmt, ap);
    va_end(ap);
}

void CString::FormatArgs(const char16_t* fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    FormatV(fmt, ap);
    va_end(ap);
}

void CString::AppendFormatArgs(const char16_t* fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    CString tail;
    tail.FormatV(fmt, ap);
    va_end(ap);
    m_s += tail.m_s;
}

void CString::AppendFormat(const char16_t* fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    CString tail;
    tail.FormatV(fmt, ap);
    va_end(ap);
    m_s += tail.m_s;
}
