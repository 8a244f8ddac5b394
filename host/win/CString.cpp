#include "host/win/CString.h"

#include <algorithm>

namespace {

// Case pairs of the Latin, Greek and Cyrillic letters; everything else has no case here,
// so the result never depends on the process locale.
char16_t FoldLower(char16_t c) {
    if (c < 0x80) return (c >= u'A' && c <= u'Z') ? char16_t(c + 0x20) : c;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return char16_t(c + 0x20);
    if (c >= 0x100 && c <= 0x137) return char16_t(c | 1);
    if (c >= 0x139 && c <= 0x148) return (c & 1) ? char16_t(c + 1) : c;
    if (c >= 0x14A && c <= 0x177) return char16_t(c | 1);
    if (c == 0x178) return 0xFF;
    if (c >= 0x179 && c <= 0x17E) return (c & 1) ? char16_t(c + 1) : c;
    if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) return char16_t(c + 0x20);
    if (c >= 0x410 && c <= 0x42F) return char16_t(c + 0x20);
    if (c >= 0x400 && c <= 0x40F) return char16_t(c + 0x50);
    if (c >= 0xFF21 && c <= 0xFF3A) return char16_t(c + 0x20);  // full-width Latin
    return c;
}

char16_t FoldUpper(char16_t c) {
    if (c < 0x80) return (c >= u'a' && c <= u'z') ? char16_t(c - 0x20) : c;
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return char16_t(c - 0x20);
    if (c == 0xFF) return 0x178;
    if (c >= 0x100 && c <= 0x137) return char16_t(c & ~1);
    if (c >= 0x139 && c <= 0x148) return (c & 1) ? c : char16_t(c - 1);
    if (c >= 0x14A && c <= 0x177) return char16_t(c & ~1);
    if (c >= 0x179 && c <= 0x17E) return (c & 1) ? c : char16_t(c - 1);
    if (c >= 0x3B1 && c <= 0x3CB && c != 0x3C2) return char16_t(c - 0x20);
    if (c >= 0x430 && c <= 0x44F) return char16_t(c - 0x20);
    if (c >= 0x450 && c <= 0x45F) return char16_t(c - 0x50);
    if (c >= 0xFF41 && c <= 0xFF5A) return char16_t(c - 0x20);
    return c;
}

bool IsSpace(char16_t c) {
    return c == u' ' || (c >= 0x09 && c <= 0x0D) || c == 0x3000 || c == 0x85;
}

int Sign(int v) { return (v > 0) - (v < 0); }

std::u16string_view View(const char16_t* s) { return s ? std::u16string_view(s) : std::u16string_view(); }

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xF0 | (cp >> 18));
        out += char(0x80 | ((cp >> 12) & 0x3F));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}

}  // namespace

CString::CString(const char16_t* s) : m_s(View(s)) {}

CString::CString(const char16_t* s, int nLength) {
    if (s && nLength > 0) m_s.assign(s, static_cast<size_t>(nLength));
}

CString::CString(char16_t ch, int nRepeat) {
    if (nRepeat > 0) m_s.assign(static_cast<size_t>(nRepeat), ch);
}

CString CString::FromUtf8(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
    const size_t n = utf8.size();
    size_t i = 0;
    while (i < n) {
        unsigned char b = p[i];
        if (b < 0x80) {
            out += char16_t(b);
            ++i;
            continue;
        }
        int len = 0;
        char32_t cp = 0;
        if (b >= 0xC2 && b <= 0xDF) { len = 2; cp = b & 0x1F; }
        else if (b >= 0xE0 && b <= 0xEF) { len = 3; cp = b & 0x0F; }
        else if (b >= 0xF0 && b <= 0xF4) { len = 4; cp = b & 0x07; }
        // The second byte's range rules out overlongs, surrogates and values past U+10FFFF, so
        // a broken sequence is replaced by one U+FFFD per maximal valid prefix (as browsers do).
        unsigned char lo = 0x80, hi = 0xBF;
        if (b == 0xE0) lo = 0xA0;
        else if (b == 0xED) hi = 0x9F;
        else if (b == 0xF0) lo = 0x90;
        else if (b == 0xF4) hi = 0x8F;
        int k = 1;
        for (; len && k < len && i + k < n; ++k) {
            const unsigned char c = p[i + k];
            if (k == 1 ? (c < lo || c > hi) : (c & 0xC0) != 0x80) break;
            cp = (cp << 6) | (c & 0x3F);
        }
        if (!len || k < len) {
            out += char16_t(0xFFFD);
            i += k;
            continue;
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out += char16_t(0xD800 + (cp >> 10));
            out += char16_t(0xDC00 + (cp & 0x3FF));
        } else {
            out += char16_t(cp);
        }
        i += len;
    }
    return CString(std::move(out));
}

std::string CString::ToUtf8() const {
    std::string out;
    out.reserve(m_s.size());
    for (size_t i = 0; i < m_s.size(); ++i) {
        char32_t c = m_s[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < m_s.size() && m_s[i + 1] >= 0xDC00 && m_s[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (m_s[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        AppendUtf8(out, c);
    }
    return out;
}

int CString::Compare(const char16_t* s) const { return Sign(std::u16string_view(m_s).compare(View(s))); }
int CString::Compare(const CString& s) const { return Sign(m_s.compare(s.m_s)); }

int CString::CompareNoCase(const char16_t* s) const {
    std::u16string_view a(m_s), b = View(s);
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        char16_t x = FoldLower(a[i]), y = FoldLower(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    return Sign(int(a.size() > b.size()) - int(a.size() < b.size()));
}
int CString::CompareNoCase(const CString& s) const { return CompareNoCase(s.GetString()); }

CString& CString::MakeUpper() {
    for (auto& c : m_s) c = FoldUpper(c);
    return *this;
}
CString& CString::MakeLower() {
    for (auto& c : m_s) c = FoldLower(c);
    return *this;
}

CString& CString::Trim() { return TrimRight().TrimLeft(); }
CString& CString::TrimLeft() {
    size_t i = 0;
    while (i < m_s.size() && IsSpace(m_s[i])) ++i;
    m_s.erase(0, i);
    return *this;
}
CString& CString::TrimRight() {
    size_t n = m_s.size();
    while (n > 0 && IsSpace(m_s[n - 1])) --n;
    m_s.resize(n);
    return *this;
}

int CString::Find(char16_t ch, int nStart) const {
    if (nStart < 0) nStart = 0;
    if (nStart >= GetLength()) return -1;
    size_t p = m_s.find(ch, static_cast<size_t>(nStart));
    return p == std::u16string::npos ? -1 : static_cast<int>(p);
}
int CString::Find(const char16_t* sub, int nStart) const {
    if (!sub) return -1;
    if (nStart < 0) nStart = 0;
    if (nStart > GetLength()) return -1;
    size_t p = m_s.find(sub, static_cast<size_t>(nStart));
    return p == std::u16string::npos ? -1 : static_cast<int>(p);
}
int CString::ReverseFind(char16_t ch) const {
    size_t p = m_s.rfind(ch);
    return p == std::u16string::npos ? -1 : static_cast<int>(p);
}

CString CString::Left(int nCount) const {
    nCount = std::clamp(nCount, 0, GetLength());
    return CString(m_s.substr(0, static_cast<size_t>(nCount)));
}
CString CString::Mid(int nFirst) const { return Mid(nFirst, GetLength()); }
CString CString::Mid(int nFirst, int nCount) const {
    nFirst = std::clamp(nFirst, 0, GetLength());
    nCount = std::clamp(nCount, 0, GetLength() - nFirst);
    return CString(m_s.substr(static_cast<size_t>(nFirst), static_cast<size_t>(nCount)));
}
CString CString::Right(int nCount) const {
    nCount = std::clamp(nCount, 0, GetLength());
    return CString(m_s.substr(m_s.size() - static_cast<size_t>(nCount)));
}

int CString::Replace(const char16_t* oldText, const char16_t* newText) {
    std::u16string_view from = View(oldText), to = View(newText);
    if (from.empty()) return 0;
    int count = 0;
    std::u16string out;
    size_t pos = 0;
    for (size_t hit; (hit = m_s.find(from, pos)) != std::u16string::npos; pos = hit + from.size()) {
        out.append(m_s, pos, hit - pos);
        out.append(to);
        ++count;
    }
    if (count) {
        out.append(m_s, pos);
        m_s = std::move(out);
    }
    return count;
}
int CString::Replace(char16_t oldCh, char16_t newCh) {
    int count = 0;
    for (auto& c : m_s) {
        if (c == oldCh) { c = newCh; ++count; }
    }
    return count;
}

int CString::Delete(int nIndex, int nCount) {
    if (nIndex < 0) nIndex = 0;
    if (nIndex < GetLength() && nCount > 0)
        m_s.erase(static_cast<size_t>(nIndex), static_cast<size_t>(std::min(nCount, GetLength() - nIndex)));
    return GetLength();
}
int CString::Insert(int nIndex, const char16_t* s) {
    nIndex = std::clamp(nIndex, 0, GetLength());
    m_s.insert(static_cast<size_t>(nIndex), View(s));
    return GetLength();
}

CString& CString::operator+=(const char16_t* s) {
    m_s += View(s);
    return *this;
}
