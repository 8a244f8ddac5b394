#pragma once
// The host's wide string: UTF-16 code units, as on the original platform.
//
// Text literals in code are written as u"..." (char16_t, UTF-16) everywhere, Chinese texts
// included; _T("...") expands to the same form for code written in the host's style.
#include <compare>
#include <cstdarg>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <type_traits>

using WCHAR = char16_t;
using LPCWSTR = const char16_t*;
using LPCTSTR = const char16_t*;
using TCHAR = char16_t;
using ACHAR = char16_t;
#ifndef _T
#define _T(x) u##x
#endif

class CString {
public:
    CString() = default;
    CString(const char16_t* s);                       // null is the empty string
    CString(const char16_t* s, int nLength);
    CString(std::u16string s) : m_s(std::move(s)) {}
    CString(std::u16string_view s) : m_s(s) {}
    CString(char16_t ch, int nRepeat = 1);

    static CString FromUtf8(std::string_view utf8);   // malformed bytes become U+FFFD
    std::string ToUtf8() const;                       // lone surrogates become U+FFFD

    int GetLength() const { return static_cast<int>(m_s.size()); }
    bool IsEmpty() const { return m_s.empty(); }
    void Empty() { m_s.clear(); }
    char16_t GetAt(int i) const { return m_s.at(static_cast<size_t>(i)); }
    void SetAt(int i, char16_t ch) { m_s.at(static_cast<size_t>(i)) = ch; }
    char16_t operator[](int i) const { return GetAt(i); }
    const char16_t* GetString() const { return m_s.c_str(); }
    operator const char16_t*() const { return m_s.c_str(); }
    const std::u16string& str() const { return m_s; }

    // <0, 0, >0 by UTF-16 code unit, so "F10" sorts before "F2".
    int Compare(const char16_t* s) const;
    int Compare(const CString& s) const;
    // As Compare after folding ASCII and Latin letters to lower case.
    int CompareNoCase(const char16_t* s) const;
    int CompareNoCase(const CString& s) const;

    CString& MakeUpper();
    CString& MakeLower();
    CString& Trim();
    CString& TrimLeft();
    CString& TrimRight();

    // Index of the first occurrence at or after nStart, -1 when absent.
    int Find(char16_t ch, int nStart = 0) const;
    int Find(const char16_t* sub, int nStart = 0) const;
    int ReverseFind(char16_t ch) const;               // last occurrence, -1 when absent
    CString Left(int nCount) const;                   // counts are clamped to the string
    CString Mid(int nFirst) const;
    CString Mid(int nFirst, int nCount) const;
    CString Right(int nCount) const;
    int Replace(const char16_t* oldText, const char16_t* newText);  // returns the count replaced
    int Replace(char16_t oldCh, char16_t newCh);
    int Delete(int nIndex, int nCount = 1);           // returns the new length
    int Insert(int nIndex, const char16_t* s);

    // printf semantics on UTF-16 formats: %d %i %u %x %X %g %f %e %c %s (%s takes
    // const char16_t*, %S or %hs takes const char* UTF-8), widths, precision, flags, %%.
    void Format(const char16_t* fmt, ...);
    void FormatV(const char16_t* fmt, va_list args);
    void AppendFormat(const char16_t* fmt, ...);
    // The same with CString (and std::u16string) arguments accepted for %s, as in the host's
    // style: s.Format(u"%s=%d", name, n). A class object must never reach "..." itself.
    template <class... A>
    void Format(const char16_t* fmt, const A&... args) { FormatArgs(fmt, PassFormatArg(args)...); }
    template <class... A>
    void AppendFormat(const char16_t* fmt, const A&... args) { AppendFormatArgs(fmt, PassFormatArg(args)...); }

    CString& operator+=(const CString& s) { m_s += s.m_s; return *this; }
    CString& operator+=(const char16_t* s);
    CString& operator+=(char16_t ch) { m_s += ch; return *this; }

    friend CString operator+(const CString& a, const CString& b) { return CString(a.m_s + b.m_s); }
    friend CString operator+(const CString& a, const char16_t* b) { CString r(a); r += b; return r; }
    friend CString operator+(const char16_t* a, const CString& b) { CString r(a); r += b; return r; }
    friend CString operator+(const CString& a, char16_t b) { CString r(a); r += b; return r; }

    friend bool operator==(const CString& a, const CString& b) { return a.m_s == b.m_s; }
    friend bool operator==(const CString& a, const char16_t* b) { return a.Compare(b) == 0; }
    friend std::strong_ordering operator<=>(const CString& a, const CString& b) { return a.m_s <=> b.m_s; }

private:
    template <class T>
    static auto PassFormatArg(const T& v) {
        if constexpr (std::is_same_v<T, CString>) return v.GetString();
        else if constexpr (std::is_same_v<T, std::u16string>) return v.c_str();
        else if constexpr (std::is_array_v<T>) return static_cast<const std::remove_extent_t<T>*>(v);
        else {
            static_assert(std::is_trivially_copyable_v<T>, "Format takes numbers, pointers and strings");
            return v;
        }
    }
    void FormatArgs(const char16_t* fmt, ...);
    void AppendFormatArgs(const char16_t* fmt, ...);

    std::u16string m_s;
};

template <>
struct std::hash<CString> {
    size_t operator()(const CString& s) const noexcept { return std::hash<std::u16string>{}(s.str()); }
};
