#include "host/dxf/detail/DxfScan.h"

#include <cmath>
#include <cstdlib>
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

bool isNumericCode(int code)
{
    return (code >= 10 && code <= 59) || (code >= 60 && code <= 99) || (code >= 110 && code <= 149) ||
           (code >= 160 && code <= 179) || (code >= 210 && code <= 239) || (code >= 270 && code <= 299) ||
           (code >= 370 && code <= 389) || (code >= 400 && code <= 409) || (code >= 420 && code <= 429) ||
           (code >= 440 && code <= 459) || (code >= 460 && code <= 469) || (code >= 1010 && code <= 1071);
}

bool parseNumber(std::string_view v, double& out)
{
    std::string s(trim(v));
    if (s.empty()) return false;
    char* end = nullptr;
    out = std::strtod(s.c_str(), &end);
    return end && *end == '\0' && std::isfinite(out);
}

// Counts that size the reader's arrays: vertices, knots, control and fit points, loops, edges.
bool isCountCode(const std::string& type, int code)
{
    if (type == "LWPOLYLINE") return code == 90;
    if (type == "SPLINE") return code >= 72 && code <= 74;
    if (type == "HATCH") return code == 91 || code == 92 || code == 93 || code == 95 || code == 96 || code == 97 || code == 98;
    if (type == "LEADER") return code == 76;
    return false;
}

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
        if (code == 70) vx.flags = static_cast<int>(v);
    } else if (type == "ATTRIB" && code == 70 && !scan.attribFlags.empty()) {
        scan.attribFlags.back() = static_cast<int>(v);
    }
}

}  // namespace

bool ScanDxf(const std::string& text, DxfScan& scan, std::string& why)
{
    // A binary DXF file opens with a short program name, " Binary DXF", CR LF and Ctrl-Z.
    const size_t binaryMark = text.find(" Binary DXF\r\n\x1a");
    if (binaryMark != std::string::npos && binaryMark < 16) {
        why = "line 1: binary DXF is not read; save the drawing as ASCII DXF";
        return false;
    }
    std::vector<std::string_view> lines;
    for (size_t pos = 0; pos < text.size();) {
        size_t nl = text.find('\n', pos);
        if (nl == std::string::npos) nl = text.size();
        lines.push_back(std::string_view(text).substr(pos, nl - pos));
        pos = nl + 1;
    }
    if (lines.empty()) {
        why = "line 1: the file is empty, not DXF";
        return false;
    }
    const size_t pairs = lines.size() / 2;
    std::string section, entity;  // the section and the object (group 0) being read
    bool inBlock = false, sawEof = false, sawSection = false, inSequence = false;
    std::string pendingVariable;
    for (size_t i = 0; i + 1 < lines.size() && !sawEof; i += 2) {
        const size_t lineNo = i + 1;
        const std::string_view codeText = trim(lines[i]);
        const std::string_view value = trim(lines[i + 1]);
        if (lines[i].size() > kMaxLine || lines[i + 1].size() > kMaxLine) {
            why = "line " + std::to_string(lines[i].size() > kMaxLine ? lineNo : lineNo + 1) +
                  ": longer than " + std::to_string(kMaxLine) + " characters";
            return false;
        }
        double codeValue = 0;
        if (!parseNumber(codeText, codeValue) || codeValue != std::floor(codeValue) || codeValue < 0 ||
            codeValue > 1071) {
            why = "line " + std::to_string(lineNo) + ": not DXF: expected a group code, found " + quoted(codeText);
            return false;
        }
        const int code = static_cast<int>(codeValue);
        if (!sawSection && code != 999 && !(code == 0 && value == "SECTION")) {
            why = "line " + std::to_string(lineNo) + ": not DXF: expected 0 and SECTION, found " +
                  std::to_string(code) + " and " + quoted(value);
            return false;
        }
        double number = 0;
        if (isNumericCode(code) && !parseNumber(value, number)) {
            why = "line " + std::to_string(lineNo + 1) + ": group code " + std::to_string(code) +
                  " needs a number, found " + quoted(value);
            return false;
        }
        if (isCountCode(entity, code) && (number < 0 || number > double(pairs))) {
            why = "line " + std::to_string(lineNo + 1) + ": " + entity + " count " + std::string(value) +
                  " is more than the file holds";
            return false;
        }
        if (code == 0) {
            entity = std::string(value);
            noteObject(scan, entity, inSequence);
            if (value == "SECTION") {
                if (!section.empty()) {
                    why = "line " + std::to_string(lineNo + 1) + ": SECTION inside section " + section +
                          ": the file is damaged or cut short";
                    return false;
                }
                sawSection = true;
                section = "?";
            } else if (value == "ENDSEC") {
                // A stray ENDSEC (some writers close the header twice) ends nothing.
                section.clear();
                inBlock = false;
            } else if (value == "EOF") {
                if (!section.empty()) {
                    why = "line " + std::to_string(lineNo + 1) + ": EOF inside section " + section +
                          ": the file is cut short";
                    return false;
                }
                sawEof = true;
            } else if (section.empty()) {
                why = "line " + std::to_string(lineNo + 1) + ": " + quoted(value) + " outside a section";
                return false;
            } else if (section == "BLOCKS") {
                if (value == "BLOCK") inBlock = true;
                else if (value == "ENDBLK") inBlock = false;
                else if (inBlock && value != "VERTEX" && value != "SEQEND") ++scan.entities[entity];
            } else if (section == "ENTITIES" && value != "VERTEX" && value != "SEQEND") {
                ++scan.entities[entity];
            }
            continue;
        }
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
        if (lines.size() % 2 == 1 && !trim(lines.back()).empty()) {
            why = "line " + std::to_string(lines.size()) + ": the file is cut short: a group code without its value";
            return false;
        }
        why = "line " + std::to_string(lines.size()) + ": the file is cut short: it ends " +
              (section.empty() ? std::string("without EOF") : "inside section " + section);
        return false;
    }
    return true;
}

}  // namespace vkdxf
