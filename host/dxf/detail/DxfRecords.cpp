#include "host/dxf/detail/DxfRecords.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include "host/dxf/detail/DxfScan.h"

namespace vkdxf {

namespace {

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

// Values keep their leading spaces (texts may begin with them); only the line end goes.
std::string_view value(std::string_view s)
{
    if (!s.empty() && s.back() == '\r') s.remove_suffix(1);
    return s;
}

}  // namespace

std::string_view DxfRecord::text(int code, std::string_view fallback) const
{
    for (const auto& [c, v] : pairs)
        if (c == code) return v;
    return fallback;
}

double DxfRecord::number(int code, double fallback) const
{
    for (const auto& [c, v] : pairs)
        if (c == code) {
            const std::string s(trimmed(v));
            char* end = nullptr;
            const double d = std::strtod(s.c_str(), &end);
            return end && *end == '\0' && !s.empty() ? d : fallback;
        }
    return fallback;
}

int DxfRecord::integer(int code, int fallback) const
{
    const double d = number(code, fallback);
    return d >= -2147483648.0 && d <= 2147483647.0 ? static_cast<int>(d) : fallback;
}

std::map<std::string, std::vector<DxfRecord>> ReadRecords(std::string_view text, const std::vector<std::string>& types)
{
    std::map<std::string, std::vector<DxfRecord>> out;
    std::string section;
    int block = -1;
    bool inBlock = false;
    DxfRecord* current = nullptr;  // the record being read, if its type is wanted
    DxfRecord* insert = nullptr;   // the INSERT whose ATTRIBs follow
    bool expectSectionName = false;
    size_t pos = 0, lines = 0;
    auto nextLine = [&](std::string_view& line) {
        if (pos >= text.size()) return false;
        ++lines;
        size_t nl = text.find('\n', pos);
        if (nl == std::string_view::npos) nl = text.size();
        line = text.substr(pos, nl - pos);
        pos = nl + 1;
        return true;
    };
    std::string_view codeLine, valueLine;
    while (nextLine(codeLine) && nextLine(valueLine)) {
        int code = 0;
        if (!ParseGroupCode(codeLine, code)) continue;
        const std::string_view v = value(valueLine);
        if (code != 0) {
            if (expectSectionName && code == 2) section = std::string(trimmed(v));
            expectSectionName = false;
            if (current) {
                current->pairs.emplace_back(code, v);
                if (code == 5) current->handle = std::strtol(std::string(trimmed(v)).c_str(), nullptr, 16);
            }
            continue;
        }
        const std::string type(trimmed(v));
        current = nullptr;
        expectSectionName = type == "SECTION";
        if (type == "SECTION" || type == "ENDSEC" || type == "EOF") {
            if (type != "SECTION") section.clear();
            insert = nullptr;
            continue;
        }
        if (section == "BLOCKS") {
            if (type == "BLOCK") inBlock = true, ++block;
            if (type == "ENDBLK") inBlock = false;
            if (!inBlock || type == "BLOCK") continue;
        } else if (section != "ENTITIES") {
            continue;
        }
        // An INSERT's ATTRIBs run up to its SEQEND.
        if (type == "ATTRIB" && insert) {
            insert->attributes.emplace_back();
            current = &insert->attributes.back();
            current->block = insert->block;
            continue;
        }
        if (type != "ATTRIB" && type != "SEQEND") insert = nullptr;
        if (std::find(types.begin(), types.end(), type) == types.end()) continue;
        std::vector<DxfRecord>& list = out[type];
        list.emplace_back();
        current = &list.back();
        current->block = section == "BLOCKS" ? block : -1;
        current->line = lines;
        if (type == "INSERT") insert = current;
    }
    return out;
}

}  // namespace vkdxf
