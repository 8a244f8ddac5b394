// Profile (INI) files. The file is kept as its raw lines; a change rewrites only the lines it
// concerns, so comments, blank lines, odd spacing and line ends elsewhere stay byte for byte.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <optional>
#include <vector>

#include "host/win/HostFile.h"
#include "host/win/WinPath.h"
#include "host/win/Windows.h"

namespace {

struct Line {
    size_t begin = 0;      // byte offsets into the file
    size_t end = 0;        // end of the text, before CR/LF
    size_t next = 0;       // start of the next line
    enum Kind { Other, Section, Key } kind = Other;
    CString name;          // section or key name, trimmed
    CString value;         // key value, trimmed
};

struct Profile {
    std::string bytes;
    std::vector<Line> lines;

    bool IsBlank(const Line& l) const { return CString(AnsiToWide(Text(l))).Trim().IsEmpty(); }
    std::string_view Text(const Line& l) const { return std::string_view(bytes).substr(l.begin, l.end - l.begin); }
};

Profile Parse(std::string bytes) {
    Profile p;
    p.bytes = std::move(bytes);
    for (size_t pos = 0; pos < p.bytes.size();) {
        Line l;
        l.begin = pos;
        size_t nl = p.bytes.find('\n', pos);
        l.next = nl == std::string::npos ? p.bytes.size() : nl + 1;
        l.end = nl == std::string::npos ? p.bytes.size() : nl;
        if (l.end > l.begin && p.bytes[l.end - 1] == '\r') --l.end;
        pos = l.next;
        // Decoded before looking for ']' and '=': in a double-byte page ']' can be a trail byte.
        CString text = AnsiToWide(p.Text(l));
        // Names and values are C strings to the profile functions: a NUL ends the line's text.
        if (const size_t nul = text.str().find(u'\0'); nul != std::u16string::npos) text = text.Left(static_cast<int>(nul));
        text.Trim();
        if (!text.IsEmpty() && text[0] == u'[') {
            l.kind = Line::Section;
            int close = text.Find(u']');
            l.name = close < 0 ? text.Mid(1) : text.Mid(1, close - 1);
            l.name.Trim();
        } else if (int eq = text.Find(u'='); eq >= 0) {
            l.kind = Line::Key;
            l.name = text.Left(eq).TrimRight();
            l.value = text.Mid(eq + 1).TrimLeft();
        }
        p.lines.push_back(std::move(l));
    }
    return p;
}

// Index range [first, last) of the section's lines after its header; nullopt when absent.
std::optional<std::pair<size_t, size_t>> FindSection(const Profile& p, const CString& section) {
    for (size_t i = 0; i < p.lines.size(); ++i) {
        if (p.lines[i].kind != Line::Section || p.lines[i].name.CompareNoCase(section) != 0) continue;
        size_t j = i + 1;
        while (j < p.lines.size() && p.lines[j].kind != Line::Section) ++j;
        return std::make_pair(i + 1, j);
    }
    return std::nullopt;
}

std::optional<size_t> FindKey(const Profile& p, std::pair<size_t, size_t> range, const CString& key) {
    for (size_t i = range.first; i < range.second; ++i)
        if (p.lines[i].kind == Line::Key && p.lines[i].name.CompareNoCase(key) == 0) return i;
    return std::nullopt;
}

bool HasAny(const CString& s, std::u16string_view chars) {
    return s.str().find_first_of(chars) != std::u16string::npos;
}

// Another open that denies writers keeps the file as it is, as on the original platform.
bool HeldAgainstWriters(const std::string& host) {
    int fd = open(host.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool held = vkwin::detail::SlotHeldByOthers(fd, vkwin::detail::Slot::DenyWrite);
    close(fd);
    return held;
}

// Reads the file; a missing one is empty. False (with the last error) when it cannot be read.
bool Load(const std::string& host, std::string& bytes, bool& exists) {
    exists = vkwin::detail::ReadHostFile(host, bytes);
    if (exists) return true;
    bytes.clear();
    return GetLastError() == ERROR_FILE_NOT_FOUND;
}

DWORD CopyOut(std::u16string_view text, char16_t* buffer, DWORD nSize) {
    const size_t n = std::min<size_t>(text.size(), nSize - 1);
    std::copy_n(text.data(), n, buffer);
    buffer[n] = 0;
    return static_cast<DWORD>(n);
}

// A list of names, each ended by a null, the whole ended by one more. Truncated lists keep
// the double null and return nSize-2, as the original does.
DWORD CopyList(const std::vector<CString>& names, char16_t* buffer, DWORD nSize) {
    std::u16string all;
    for (const auto& n : names) {
        all += n.str();
        all += u'\0';
    }
    if (nSize < 2) {
        buffer[0] = 0;
        return 0;
    }
    if (all.size() + 1 <= nSize) {
        std::copy(all.begin(), all.end(), buffer);
        buffer[all.size()] = 0;
        return static_cast<DWORD>(all.size());
    }
    std::copy_n(all.data(), nSize - 2, buffer);
    buffer[nSize - 2] = 0;
    buffer[nSize - 1] = 0;
    return nSize - 2;
}

CString Unquote(CString v) {
    const int n = v.GetLength();
    if (n >= 2 && (v[0] == u'"' || v[0] == u'\'') && v[n - 1] == v[0]) return v.Mid(1, n - 2);
    return v;
}

}  // namespace

namespace vkwin::detail {

std::vector<CString> ProfileSections(std::string bytes)
{
    const Profile p = Parse(std::move(bytes));
    std::vector<CString> names;
    for (const auto& l : p.lines)
        if (l.kind == Line::Section) names.push_back(l.name);
    return names;
}

std::vector<CString> ProfileKeys(std::string bytes, CString section)
{
    const Profile p = Parse(std::move(bytes));
    std::vector<CString> names;
    if (const auto range = FindSection(p, section.Trim()))
        for (size_t i = range->first; i < range->second; ++i)
            if (p.lines[i].kind == Line::Key) names.push_back(p.lines[i].name);
    return names;
}

std::optional<CString> ProfileValue(std::string bytes, CString section, CString key)
{
    const Profile p = Parse(std::move(bytes));
    const auto range = FindSection(p, section.Trim());
    const auto idx = range ? FindKey(p, *range, key.Trim()) : std::nullopt;
    if (!idx) return std::nullopt;
    return Unquote(p.lines[*idx].value);
}

std::optional<std::string> ProfileWrite(std::string bytes, const char16_t* section, const char16_t* key,
                                        const char16_t* value)
{
    CString sec(section), k(key), v(value);
    // Text that would read back as other lines or other names is refused outright.
    if (!section || HasAny(sec, u"\r\n]") || HasAny(k, u"\r\n=") || HasAny(v, u"\r\n") ||
        (key && k.TrimLeft().Find(u'[') == 0))
        return std::nullopt;
    sec.Trim();
    k.Trim();
    Profile p = Parse(std::move(bytes));
    const auto range = FindSection(p, sec);
    std::string out = p.bytes;
    const std::string crlf = "\r\n";

    if (!key) {  // delete the section: its header and every line up to the next one
        if (!range) return out;
        const size_t from = p.lines[range->first - 1].begin;
        const size_t to = range->second < p.lines.size() ? p.lines[range->second].begin : p.bytes.size();
        out.erase(from, to - from);
    } else if (!value) {  // delete the key's line
        const auto idx = range ? FindKey(p, *range, k) : std::nullopt;
        if (!idx) return out;
        out.erase(p.lines[*idx].begin, p.lines[*idx].next - p.lines[*idx].begin);
    } else if (!range) {  // new section at the end
        if (!out.empty() && out.back() != '\n') out += crlf;
        out += WideToAnsi(u"[" + sec + u"]") + crlf + WideToAnsi(k + u"=" + v) + crlf;
    } else if (const auto idx = FindKey(p, *range, k)) {  // replace the key's text, keep its line end
        const Line& l = p.lines[*idx];
        out.replace(l.begin, l.end - l.begin, WideToAnsi(l.name + u"=" + v));
    } else {  // new key after the section's last non-blank line
        size_t after = range->first - 1;
        for (size_t i = range->first; i < range->second; ++i)
            if (!p.IsBlank(p.lines[i])) after = i;
        const Line& l = p.lines[after];
        std::string insert = WideToAnsi(k + u"=" + v) + crlf;
        // The last line of the file may have no line feed (a lone CR is none).
        if (l.next == 0 || p.bytes[l.next - 1] != '\n') insert = crlf + insert;
        out.insert(l.next, insert);
    }
    return out;
}

}  // namespace vkwin::detail

BOOL WritePrivateProfileStringW(LPCWSTR section, LPCWSTR key, LPCWSTR value, LPCWSTR fileName) {
    if (!section || !fileName || !*fileName || !vkwin::detail::ProfileWrite(std::string(), section, key, value)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const std::string host = vkwin::ToHostPath(fileName);
    std::string bytes;
    bool exists = false;
    if (!Load(host, bytes, exists)) return FALSE;
    if (exists && HeldAgainstWriters(host)) {
        SetLastError(ERROR_SHARING_VIOLATION);
        return FALSE;
    }
    const std::optional<std::string> out = vkwin::detail::ProfileWrite(bytes, section, key, value);
    if (*out == bytes) return TRUE;  // nothing to change (nor a file to create)
    return vkwin::detail::WriteHostFileAtomic(host, *out) ? TRUE : FALSE;
}

DWORD GetPrivateProfileStringW(LPCWSTR section, LPCWSTR key, LPCWSTR lpDefault, char16_t* buffer, DWORD nSize,
                               LPCWSTR fileName) {
    if (!buffer || nSize == 0) return 0;
    CString def(lpDefault);
    def.TrimRight();
    std::string bytes;
    bool exists = false;
    if (!fileName || !*fileName || !Load(vkwin::ToHostPath(fileName), bytes, exists) || !exists) {
        if (!section || !key) return CopyList({}, buffer, nSize);
        return CopyOut(def.str(), buffer, nSize);
    }
    if (!section) return CopyList(vkwin::detail::ProfileSections(std::move(bytes)), buffer, nSize);
    if (!key) return CopyList(vkwin::detail::ProfileKeys(std::move(bytes), section), buffer, nSize);
    const std::optional<CString> found = vkwin::detail::ProfileValue(std::move(bytes), section, key);
    return CopyOut((found ? *found : def).str(), buffer, nSize);
}
