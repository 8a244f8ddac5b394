#pragma once
// DXF texts for the tests, and a description of a drawing that two drawings can be compared by.
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "host/db/AcDb.h"

namespace dxftest {

// DXF text from group code / value pairs.
inline std::string Dxf(const std::vector<std::pair<int, std::string>>& pairs)
{
    std::string out;
    for (const auto& [code, value] : pairs) out += std::to_string(code) + "\n" + value + "\n";
    return out;
}

// Entities of every block, one line each (class, layer, colour, geometry rounded to 1e-6),
// by block name; and the layers with their states.
std::map<std::string, std::vector<std::string>> Describe(AcDbDatabase& db);
// Entity count by class over every block.
std::map<std::string, int> CountByClass(AcDbDatabase& db);

}  // namespace dxftest
