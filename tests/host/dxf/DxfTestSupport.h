#pragma once
// DXF text for the tests, from group code / value pairs.
#include <string>
#include <utility>
#include <vector>

namespace dxftest {

inline std::string Dxf(const std::vector<std::pair<int, std::string>>& pairs)
{
    std::string out;
    for (const auto& [code, value] : pairs) out += std::to_string(code) + "\n" + value + "\n";
    return out;
}

}  // namespace dxftest
