#pragma once
// The structural scan of DXF text before the library reads it: pairs of group code and
// value, sections, numbers where numbers belong, counts that the file can hold. It finds
// the version and code page, and counts the entities by type. It reads line by line and
// holds no more than one line of the text, so a file of endless or countless empty lines
// is refused at its first bad line.
#include <iosfwd>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace vkdxf {

struct DxfScan {
    std::string acadver, codePage;
    // Entities of the ENTITIES section and of block definitions, by type (VERTEX and SEQEND
    // are parts of their POLYLINE and not counted).
    std::map<std::string, int> entities;

    // What the reader does not hand over: polyline widths and vertex flags, attribute flags,
    // in the order of the file.
    struct Vertex {
        double startWidth = -1, endWidth = -1;
        int flags = 0;
    };
    struct Polyline {
        bool lightweight = true;
        std::vector<Vertex> vertices;
        double startWidth = -1, endWidth = -1;  // defaults of a POLYLINE's vertices
        double constWidth = -1;                 // LWPOLYLINE
    };
    std::vector<Polyline> polylines;
    std::vector<int> attribFlags;
    std::vector<size_t> insertLines;  // the line of each INSERT's type, in the order of the file
    size_t length = 0;  // bytes up to the end of the line holding EOF: what follows is not DXF
};

// The group code on a line as the library reads it: decimal digits, with blanks around them
// and a CR at the end, up to 1071. False for anything else ("0.1e1" would be 1 to one reader
// and 0 to another).
bool ParseGroupCode(std::string_view line, int& code);

// Reads `in` to its EOF group, or to the first bad line (what it read, and a little more, is
// appended to keep when that is given). False with why "line N: ..." for text that is not
// DXF, is cut short or is damaged.
bool ScanDxf(std::istream& in, DxfScan& scan, std::string& why, std::string* keep = nullptr);

}  // namespace vkdxf
