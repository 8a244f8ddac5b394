#pragma once
// The group codes of the entities that the DXF library hands over incompletely or not at all
// (ellipses, splines, hatches, solids, multi-line texts, dimensions, attributes), object by
// object in the order of the file, read from text the structural scan has accepted.
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace vkdxf {

struct DxfRecord {
    std::vector<std::pair<int, std::string_view>> pairs;  // after the entity's type
    long handle = -1;                                      // group 5, -1 without
    size_t line = 0;                                       // the line of its type
    int block = -1;  // the definition of the BLOCKS section it lies in (0, 1, ...); -1: ENTITIES
    std::vector<DxfRecord> attributes;  // an INSERT's ATTRIBs

    // The first value of a group code (fallback when absent).
    std::string_view text(int code, std::string_view fallback = {}) const;
    double number(int code, double fallback = 0) const;
    int integer(int code, int fallback = 0) const;
};

// Records of the given entity types, by type, in file order (ATTRIBs inside their INSERT).
std::map<std::string, std::vector<DxfRecord>> ReadRecords(std::string_view text, const std::vector<std::string>& types);

}  // namespace vkdxf
