// Reading the text of input lines: points, numbers, handles, boxes, keywords.
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <string>

#include "host/ed/detail/PromptReader.h"

namespace vked::detail {

std::vector<CString> SplitWords(const CString& text)
{
    std::vector<CString> out;
    std::u16string cur;
    for (char16_t ch : text.str()) {
        if (ch == u' ' || ch == u'\t') {
            if (!cur.empty()) out.emplace_back(cur);
            cur.clear();
        } else {
            cur += ch;
        }
    }
    if (!cur.empty()) out.emplace_back(cur);
    if (out.empty()) out.emplace_back(CString());
    return out;
}

bool ParseNumber(const CString& text, double& value)
{
    CString t = text;
    t.Trim();
    if (t.IsEmpty()) return false;
    std::string s = t.ToUtf8();
    for (char c : s)
        if (!(std::isdigit(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == '+' || c == 'e' || c == 'E'))
            return false;
    char* end = nullptr;
    double v = std::strtod(s.c_str(), &end);
    if (end != s.c_str() + s.size() || !std::isfinite(v)) return false;
    value = v;
    return true;
}

namespace {

// "@" the last point; "@dx,dy[,dz]" an offset from it; "@dist<angle" (degrees from +X) a
// polar offset from it.
bool ParseRelativePoint(const CString& rest, AcGePoint3d& pt)
{
    const AcGePoint3d last = LastPoint();
    if (rest.IsEmpty()) {
        pt = last;
        return true;
    }
    const int lt = rest.Find(u'<');
    if (lt >= 0) {
        double dist = 0, degrees = 0;
        if (!ParseNumber(rest.Left(lt), dist) || !ParseNumber(rest.Mid(lt + 1), degrees)) return false;
        const double a = degrees * 3.14159265358979323846 / 180.0;
        pt = AcGePoint3d(last.x + dist * std::cos(a), last.y + dist * std::sin(a), last.z);
    } else {
        AcGePoint3d d;
        if (rest.Find(u'@') >= 0 || !ParsePoint(rest, d)) return false;
        pt = AcGePoint3d(last.x + d.x, last.y + d.y, last.z + d.z);
    }
    return std::isfinite(pt.x) && std::isfinite(pt.y) && std::isfinite(pt.z);
}

}  // namespace

bool ParsePoint(const CString& text, AcGePoint3d& pt)
{
    CString t = text;
    t.Trim();
    if (!t.IsEmpty() && t[0] == u'@') return ParseRelativePoint(t.Mid(1), pt);
    std::vector<CString> parts;
    int start = 0;
    for (;;) {
        int comma = t.Find(u',', start);
        parts.push_back(comma < 0 ? t.Mid(start) : t.Mid(start, comma - start));
        if (comma < 0) break;
        start = comma + 1;
    }
    if (parts.size() < 2 || parts.size() > 3) return false;
    double v[3] = {0, 0, 0};
    for (size_t i = 0; i < parts.size(); ++i)
        if (!ParseNumber(parts[i], v[i])) return false;
    pt = AcGePoint3d(v[0], v[1], v[2]);
    return true;
}

bool ParseHandles(const CString& text, std::vector<AcDbHandle>& handles)
{
    handles.clear();
    for (const CString& w : SplitWords(text)) {
        if (w.GetLength() < 2 || w[0] != u'#') return false;
        for (int i = 1; i < w.GetLength(); ++i)
            if (!std::isxdigit(static_cast<unsigned char>(w[i] < 128 ? w[i] : 0))) return false;
        handles.emplace_back(w.Mid(1).GetString());
    }
    return !handles.empty();
}

bool ParseBox(const CString& text, bool& crossing, AcGePoint3d& a, AcGePoint3d& b)
{
    std::vector<CString> w = SplitWords(text);
    if (w.size() != 3) return false;
    if (w[0].CompareNoCase(u"W") == 0) crossing = false;
    else if (w[0].CompareNoCase(u"C") == 0) crossing = true;
    else return false;
    return ParsePoint(w[1], a) && ParsePoint(w[2], b);
}

int MatchKeyword(const CString& keywordList, const CString& word, CString* canonical)
{
    CString typed = word;
    typed.Trim();
    if (typed.IsEmpty()) return -1;
    std::vector<CString> kws = SplitWords(keywordList);
    int index = 0;
    for (const CString& kw : kws) {
        if (kw.IsEmpty()) continue;
        if (kw == u"_") break;  // global keywords follow
        CString caps;
        for (int i = 0; i < kw.GetLength(); ++i)
            if (kw[i] >= u'A' && kw[i] <= u'Z') caps += kw[i];
        bool mixed = !caps.IsEmpty() && caps.GetLength() < kw.GetLength();
        if (typed.CompareNoCase(kw) == 0 || (mixed && typed.CompareNoCase(caps) == 0)) {
            if (canonical) *canonical = kw;
            return index;
        }
        ++index;
    }
    return -1;
}

}  // namespace vked::detail
