#include "host/dxf/detail/DxfScan.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <istream>
#include <string_view>
#include <vector>

namespace vkdxf {

namespace {

constexpr size_t kMaxLine = 1000;  // the reader's line buffer holds 1024 bytes

std::string_view trim(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

std::string quoted(std::string_view s)
{
    std::string out = "\"";
    for (char c : s.substr(0, 40)) out += (static_cast<unsigned char>(c) < 0x20) ? '?' : c;
    return out + (s.size() > 40 ? "...\"" : "\"");
}

// A line as the library reads a value: without the CRs that end it.
std::string_view RemoveLineEnd(std::string_view s)
{
    while (!s.empty() && s.back() == '\r') s.remove_suffix(1);
    return s;
}

bool isNumericCode(int code)
{
    return (code >= 10 && code <= 59) || (code >= 60 && code <= 99) || (code >= 110 && code <= 149) ||
           (code >= 160 && code <= 179) || (code >= 210 && code <= 239) || (code >= 270 && code <= 299) ||
           (code >= 370 && code <= 389) || (code >= 400 && code <= 409) || (code >= 420 && code <= 429) ||
           (code >= 440 && code <= 459) || (code >= 460 && code <= 469) || (code >= 1010 && code <= 1071);
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// A number as DXF writes it: decimal, with an optional sign, point and exponent ("-12.5",
// ".5", "1E+03"); blanks around it are allowed. No hexadecimal, no "inf" or "nan".
bool parseNumber(std::string_view v, double& out)
{
    std::string_view s = trim(v);
    size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    size_t digits = 0;
    for (; i < s.size() && isDigit(s[i]); ++i) ++digits;
    if (i < s.size() && s[i] == '.')
        for (++i; i < s.size() && isDigit(s[i]); ++i) ++digits;
    if (digits == 0) return false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
        if (i == s.size() || !isDigit(s[i])) return false;
        while (i < s.size() && isDigit(s[i])) ++i;
    }
    if (i != s.size()) return false;
    // from_chars takes no '+'; what is left is decimal by the check above.
    const char* first = s.data() + (s[0] == '+' ? 1 : 0);
    const auto [end, ec] = std::from_chars(first, s.data() + s.size(), out);
    return ec == std::errc() && end == s.data() + s.size() && std::isfinite(out);
}

// Lines of a stream, each at most kMaxLine bytes (without its line end), read a block at a
// time: no more than one line is held, however long the line or the file.
class LineReader {
public:
    // With keep, every byte read is appended to it.
    LineReader(std::istream& in, std::string* keep) : m_in(*in.rdbuf()), m_keep(keep) {}
    enum Result { kLine, kEnd, kTooLong };

    // The next line without its '\n'; a last line without one counts, an empty end does not.
    Result next(std::string& line)
    {
        line.clear();
        for (;;) {
            if (m_pos == m_end && !fill()) {
                if (line.empty()) return kEnd;
                ++m_lines;
                return kLine;
            }
            const char* start = m_buf + m_pos;
            const void* nl = std::memchr(start, '\n', m_end - m_pos);
            const size_t n = nl ? static_cast<const char*>(nl) - start : m_end - m_pos;
            if (line.size() + n > kMaxLine) {
                ++m_lines;
                return kTooLong;
            }
            line.append(start, n);
            m_pos += n;
            if (nl) {
                ++m_pos;
                ++m_lines;
                return kLine;
            }
        }
    }
    // The next byte, not taken; -1 at the end.
    int peek() { return m_pos < m_end || fill() ? static_cast<unsigned char>(m_buf[m_pos]) : -1; }
    size_t lines() const { return m_lines; }  // lines read, the last one included
    size_t bytes() const { return m_base + m_pos; }  // bytes taken, line ends included

private:
    bool fill()
    {
        m_base += m_end;
        m_pos = 0;
        m_end = static_cast<size_t>(std::max<std::streamsize>(0, m_in.sgetn(m_buf, sizeof m_buf)));
        if (m_keep) m_keep->append(m_buf, m_end);
        return m_end > 0;
    }
    std::streambuf& m_in;
    std::string* m_keep;
    char m_buf[1 << 14];
    size_t m_pos = 0, m_end = 0, m_lines = 0, m_base = 0;
};

// Counts that size the reader's arrays: vertices, knots, control and fit points, loops, edges.
bool isCountCode(const std::string& type, int code)
{
    if (type == "LWPOLYLINE") return code == 90;
    if (type == "SPLINE") return code >= 72 && code <= 74;
    if (type == "HATCH") return code == 91 || code == 92 || code == 93 || code == 95 || code == 96 || code == 97 || code == 98;
    if (type == "LEADER") return code == 76;
    return false;
}

// Flags are 16-bit integers; a value out of range sets none.
int flagsOf(double v) { return v >= 0 && v <= 65535 ? static_cast<int>(v) : 0; }

// Records what the reader leaves out, object by object.
void noteObject(DxfScan& scan, const std::string& type, bool& inSequence)
{
    if (type == "LWPOLYLINE" || type == "POLYLINE") {
        scan.polylines.emplace_back();
        scan.polylines.back().lightweight = type == "LWPOLYLINE";
        inSequence = type == "POLYLINE";
    } else if (type == "VERTEX" && inSequence) {
        scan.polylines.back().vertices.emplace_back();
    } else if (type == "ATTRIB") {
        scan.attribFlags.push_back(0);
    } else if (type != "VERTEX") {
        inSequence = false;
    }
}

void noteValue(DxfScan& scan, const std::string& type, bool inSequence, int code, double v)
{
    if (type == "LWPOLYLINE" && !scan.polylines.empty()) {
        DxfScan::Polyline& p = scan.polylines.back();
        if (code == 10) p.vertices.emplace_back();
        else if (code == 40 && !p.vertices.empty()) p.vertices.back().startWidth = v;
        else if (code == 41 && !p.vertices.empty()) p.vertices.back().endWidth = v;
        else if (code == 43) p.constWidth = v;
    } else if (type == "POLYLINE" && !scan.polylines.empty()) {
        if (code == 40) scan.polylines.back().startWidth = v;
        if (code == 41) scan.polylines.back().endWidth = v;
    } else if (type == "VERTEX" && inSequence && !scan.polylines.back().vertices.empty()) {
        DxfScan::Vertex& vx = scan.polylines.back().vertices.back();
        if (code == 40) vx.startWidth = v;
        if (code == 41) vx.endWidth = v;
        if (code == 70) vx.flags = flagsOf(v);
    } else if (type == "ATTRIB" && code == 70 && !scan.attribFlags.empty()) {
        scan.attribFlags.back() = flagsOf(v);
    }
}

}  // namespace

bool ParseGroupCode(std::string_view line, int& code)
{
    const std::string_view s = trim(line);
    if (s.empty() || s.size() > 6) return false;
    code = 0;
    for (char c : s) {
        if (!isDigit(c)) return false;
        code = code * 10 + (c - '0');
    }
    return code <= 1071;
}

bool ScanDxf(std::istream& in, DxfScan& scan, std::string& why, std::string* keep)
{
    auto fail = [&why](size_t line, const std::string& text) {
        why = "line " + std::to_string(line) + ": " + text;
        return false;
    };
    LineReader reader(in, keep);
    std::string lines[2];  // the pair being read: group code, value
    std::string section, entity;  // the section and the object (group 0) being read
    bool inBlock = false, sawEof = false, sawSection = false, inSequence = false;
    std::string pendingVariable;
    // Counts that size the reader's arrays, checked against the pairs of the whole file.
    double largestCount = -1;
    size_t largestCountLine = 0;
    std::string largestCountText;
    size_t pairs = 0, lastLines = 0;
    while (!sawEof) {
        const size_t lineNo = reader.lines() + 1;
        lastLines = 0;
        for (std::string& line : lines) {
            const LineReader::Result r = reader.next(line);
            if (r == LineReader::kTooLong)
                return fail(reader.lines(), "longer than " + std::to_string(kMaxLine) + " characters");
            if (r == LineReader::kEnd) break;
            ++lastLines;
            // A binary DXF file opens with a short program name, " Binary DXF", CR LF and Ctrl-Z.
            static constexpr std::string_view kBinary = " Binary DXF\r";
            if (reader.lines() == 1 && line.size() < 16 + kBinary.size() && line.ends_with(kBinary) &&
                reader.peek() == 0x1a)
                return fail(1, "binary DXF is not read; save the drawing as ASCII DXF");
            // The library reads a line only up to a NUL byte, so that the file would say one thing
            // to this scan and another to the import.
            if (line.find('\0') != std::string::npos) return fail(reader.lines(), "holds a NUL byte: not DXF text");
        }
        if (lastLines < 2) break;
        ++pairs;
        const std::string_view codeText = trim(lines[0]);
        const std::string_view value = trim(lines[1]);
        int code = 0;
        if (!ParseGroupCode(codeText, code)) return fail(lineNo, "not DXF: expected a group code, found " + quoted(codeText));
        if (!sawSection && code != 999 && !(code == 0 && value == "SECTION"))
            return fail(lineNo, "not DXF: expected 0 and SECTION, found " + std::to_string(code) + " and " + quoted(value));
        double number = 0;
        if (isNumericCode(code) && !parseNumber(value, number))
            return fail(lineNo + 1, "group code " + std::to_string(code) + " needs a number, found " + quoted(value));
        if (isCountCode(entity, code) && (number < 0 || number > largestCount)) {
            if (number < 0) return fail(lineNo + 1, entity + " count " + std::string(value) + " is negative");
            largestCount = number;
            largestCountLine = lineNo + 1;
            largestCountText = entity + " count " + std::string(value);
        }
        // The library keeps the blanks around an object's type (only the line end goes): "INSERT "
        // would be no INSERT to it.
        if ((code == 0 || code == 9) && value != RemoveLineEnd(lines[1]))
            return fail(lineNo + 1, quoted(RemoveLineEnd(lines[1])) + " has blanks around it: not an object's type");
        if (code == 0) {
            entity = std::string(value);
            noteObject(scan, entity, inSequence);
            if (value == "INSERT") scan.insertLines.push_back(lineNo + 1);
            if (value == "SECTION") {
                if (!section.empty())
                    return fail(lineNo + 1, "SECTION inside section " + section + ": the file is damaged or cut short");
                sawSection = true;
                section = "?";
            } else if (value == "ENDSEC") {
                // A stray ENDSEC (some writers close the header twice) ends nothing.
                section.clear();
                inBlock = false;
            } else if (value == "EOF") {
                if (!section.empty()) return fail(lineNo + 1, "EOF inside section " + section + ": the file is cut short");
                sawEof = true;
                scan.length = reader.bytes();
            } else if (section.empty()) {
                return fail(lineNo + 1, quoted(value) + " outside a section");
            } else if (section == "BLOCKS") {
                if (value == "BLOCK") inBlock = true;
                else if (value == "ENDBLK") inBlock = false;
                else if (inBlock && value != "VERTEX" && value != "SEQEND") ++scan.entities[entity];
            } else if (section == "ENTITIES" && value != "VERTEX" && value != "SEQEND") {
                ++scan.entities[entity];
            }
            continue;
        }
        // The library takes group 9, as group 0, for the start of a new object (a header
        // variable when its name starts with '$'): anywhere else it would read objects this scan
        // does not see. Some writers put header variables after a stray ENDSEC.
        if (code == 9 && (value.empty() || value[0] != '$'))
            return fail(lineNo + 1, "group code 9 needs a header variable's name, found " + quoted(value));
        if (code == 9 && !section.empty() && section != "HEADER")
            return fail(lineNo, "group code 9 (a header variable) inside section " + section);
        noteValue(scan, entity, inSequence, code, number);
        if (code == 2 && section == "?") {
            section = std::string(value);
            entity.clear();
            continue;
        }
        if (section == "HEADER") {
            if (code == 9) pendingVariable = std::string(value);
            else if (pendingVariable == "$ACADVER" && code == 1) scan.acadver = std::string(value);
            else if (pendingVariable == "$DWGCODEPAGE" && code == 3) scan.codePage = std::string(value);
        }
    }
    if (!sawEof) {
        const size_t total = reader.lines();
        if (total == 0) return fail(1, "the file is empty, not DXF");
        if (lastLines == 1 && !trim(lines[0]).empty())
            return fail(total, "the file is cut short: a group code without its value");
        return fail(total, "the file is cut short: it ends " +
                               (section.empty() ? std::string("without EOF") : "inside section " + section));
    }
    if (largestCount > double(pairs)) return fail(largestCountLine, largestCountText + " is more than the file holds");
    return true;
}

}  // namespace vkdxf
