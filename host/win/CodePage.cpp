// ANSI code pages through iconv. Conversions go one character at a time only after a
// failure, so a string that fits the page costs one iconv call; plain ASCII text in a page
// that keeps ASCII as it is (every page the product meets) costs no iconv call at all.
#include <iconv.h>

#include <algorithm>
#include <atomic>
#include <bit>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>
#include <string>

#include "host/win/Windows.h"

namespace {

constexpr const char* kUtf16 = std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";

std::string IconvName(UINT cp) {
    switch (cp) {
    case 936: return "GBK";
    case 65001: return "UTF-8";
    default: return "CP" + std::to_string(cp);
    }
}

// One descriptor per code page and direction for each thread: iconv_t carries shift state
// and must not be shared between threads.
class IconvCache {
public:
    ~IconvCache() {
        for (auto& [key, cd] : m_cds) iconv_close(cd);
    }
    iconv_t Get(UINT cp, bool toWide) {
        auto key = std::make_pair(cp, toWide);
        auto it = m_cds.find(key);
        if (it == m_cds.end()) {
            std::string page = IconvName(cp);
            iconv_t cd = toWide ? iconv_open(kUtf16, page.c_str()) : iconv_open(page.c_str(), kUtf16);
            it = m_cds.emplace(key, cd).first;
        }
        if (it->second != iconv_t(-1)) iconv(it->second, nullptr, nullptr, nullptr, nullptr);  // reset state
        return it->second;
    }

    // True when the page writes the characters 1..127 as the same single bytes, both ways.
    bool KeepsAscii(UINT cp) {
        auto it = m_ascii.find(cp);
        if (it != m_ascii.end()) return it->second;
        return m_ascii[cp] = Probe(cp);
    }

private:
    bool Probe(UINT cp);

    std::map<std::pair<UINT, bool>, iconv_t> m_cds;
    std::map<UINT, bool> m_ascii;
};

bool IsAscii(std::string_view bytes) {
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool IsAscii(std::u16string_view units) {
    return std::all_of(units.begin(), units.end(), [](char16_t c) { return c < 0x80; });
}

IconvCache& Cache() {
    thread_local IconvCache cache;
    return cache;
}

bool Supported(UINT cp) { return cp != CP_ACP && Cache().Get(cp, true) != iconv_t(-1); }

std::atomic<UINT> g_acp{0};
std::once_flag g_acpOnce;

UINT Resolve(UINT cp) { return cp == CP_ACP ? GetACP() : cp; }

// Runs iconv over in[0..n) appending to out; returns false at the first byte it could not
// convert, leaving in/n at that point (EINVAL, a truncated sequence, counts as a failure).
template <class Out>
bool Convert(iconv_t cd, const char*& in, size_t& n, Out& out) {
    char buf[256];
    while (n > 0) {
        char* o = buf;
        size_t room = sizeof buf;
        size_t r = iconv(cd, const_cast<char**>(&in), &n, &o, &room);
        out.append(reinterpret_cast<const typename Out::value_type*>(buf),
                   static_cast<size_t>(o - buf) / sizeof(typename Out::value_type));
        if (r == size_t(-1) && errno != E2BIG) return false;
    }
    // Flush any shift sequence the page needs at the end.
    char* o = buf;
    size_t room = sizeof buf;
    iconv(cd, nullptr, nullptr, &o, &room);
    out.append(reinterpret_cast<const typename Out::value_type*>(buf), static_cast<size_t>(o - buf) / sizeof(typename Out::value_type));
    return true;
}

bool IconvCache::Probe(UINT cp) {
    std::string ascii;
    std::u16string wide;
    for (int c = 1; c < 0x80; ++c) ascii += static_cast<char>(c), wide += static_cast<char16_t>(c);
    iconv_t toWide = Get(cp, true), toAnsi = Get(cp, false);
    if (toWide == iconv_t(-1) || toAnsi == iconv_t(-1)) return false;
    std::u16string decoded;
    const char* in = ascii.data();
    size_t n = ascii.size();
    if (!Convert(toWide, in, n, decoded) || decoded != wide) return false;
    std::string encoded;
    in = reinterpret_cast<const char*>(wide.data());
    n = wide.size() * sizeof(char16_t);
    return Convert(toAnsi, in, n, encoded) && encoded == ascii;
}

}  // namespace

UINT GetACP() {
    std::call_once(g_acpOnce, [] {
        UINT cp = 936;
        if (const char* env = std::getenv("VKCAD_CODEPAGE"); env && *env) {
            char* end = nullptr;
            unsigned long v = std::strtoul(env, &end, 10);
            if (*end == '\0' && v > 0 && v < 65536 && Supported(static_cast<UINT>(v)))
                cp = static_cast<UINT>(v);
            else
                std::fprintf(stderr, "vkcad: VKCAD_CODEPAGE=\"%s\" is not a code page this system converts; using 936\n", env);
        }
        UINT expected = 0;
        g_acp.compare_exchange_strong(expected, cp);  // an earlier SetACP wins
    });
    return g_acp.load();
}

void SetACP(UINT codePage) {
    GetACP();  // the environment is read before the first change, never after it
    if (codePage != CP_ACP && Supported(codePage)) g_acp.store(codePage);
}

bool IsCodePageSupported(UINT codePage) { return Supported(Resolve(codePage)); }

std::string WideToAnsi(const CString& s, UINT codePage) {
    const UINT cp = Resolve(codePage);
    std::string out;
    if (cp == CP_UTF8) return s.ToUtf8();
    if (IsAscii(s.str()) && Cache().KeepsAscii(cp)) return std::string(s.str().begin(), s.str().end());
    iconv_t cd = Cache().Get(cp, false);
    if (cd == iconv_t(-1)) {
        for (char16_t c : s.str()) out += c < 0x80 ? char(c) : '?';
        return out;
    }
    const char* in = reinterpret_cast<const char*>(s.GetString());
    size_t n = s.str().size() * sizeof(char16_t);
    while (!Convert(cd, in, n, out)) {
        // The character at `in` has no place in the page: one '?' for it, surrogate pair or not.
        const char16_t c = *reinterpret_cast<const char16_t*>(in);
        size_t units = (c >= 0xD800 && c <= 0xDBFF && n >= 4) ? 2 : 1;
        if (units == 2) {
            const char16_t lo = *reinterpret_cast<const char16_t*>(in + 2);
            if (lo < 0xDC00 || lo > 0xDFFF) units = 1;
        }
        out += '?';
        in += units * sizeof(char16_t);
        n -= units * sizeof(char16_t);
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    return out;
}

CString AnsiToWide(std::string_view bytes, UINT codePage) {
    const UINT cp = Resolve(codePage);
    if (cp == CP_UTF8) return CString::FromUtf8(bytes);
    if (IsAscii(bytes) && Cache().KeepsAscii(cp)) return CString(std::u16string(bytes.begin(), bytes.end()));
    std::u16string out;
    iconv_t cd = Cache().Get(cp, true);
    if (cd == iconv_t(-1)) {
        for (unsigned char b : bytes) out += b < 0x80 ? char16_t(b) : char16_t(0xFFFD);
        return CString(std::move(out));
    }
    const char* in = bytes.data();
    size_t n = bytes.size();
    while (!Convert(cd, in, n, out)) {
        out += char16_t(0xFFFD);  // skip one byte: the next one may start a valid character
        ++in;
        --n;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    return CString(std::move(out));
}

bool IsAnsiRepresentable(const CString& s, UINT codePage) {
    return AnsiToWide(WideToAnsi(s, codePage), codePage) == s;
}
