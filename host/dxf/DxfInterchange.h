#pragma once
// DXF interchange: plans from other programs into a drawing, and a drawing out to DXF that
// other programs read. Reading and writing go through dxflib; a structural scan before the
// read gives bad files their line number.
#include <iosfwd>
#include <map>
#include <string>

class AcDbDatabase;

namespace vkdxf {

// Entities of the file by DXF type: what became objects of the drawing and what did not
// (types with no class here, paper space, parts of types that are not read).
struct ImportReport {
    std::string version;                  // $ACADVER, e.g. "AC1015"
    std::map<std::string, int> imported;  // e.g. {"LINE", 120}
    std::map<std::string, int> skipped;   // e.g. {"HATCH", 3}
    int layers = 0, blocks = 0;
    long drawn = 0;                       // the entities model space draws, those of its blocks included
    // "HATCH 3, SPLINE 2" (empty when nothing was skipped).
    std::string skippedText() const;
};

// Reads DXF text into db, a new default drawing: layers with their states and colours,
// entities into model space, blocks with theirs. False, with why "line N: ...", for a file
// that is not DXF or is cut short, or whose model space would draw more than kMaxDrawn
// entities with its blocks drawn in (blocks nested in each other many times over); the
// caller then discards db.
constexpr long kMaxDrawn = 2'000'000;
bool ImportDxf(std::istream& in, AcDbDatabase* db, ImportReport& report, std::string& why);
bool ImportDxfFile(const std::string& path, AcDbDatabase* db, ImportReport& report, std::string& why);

struct ExportReport {
    std::map<std::string, int> written;  // DXF entities written, by type
    std::map<std::string, int> drawn;    // objects of other classes written as their drawing, by class
};

// Writes db as DXF (DXF R2000 format, AC1015, text in code page 936): layers with their states,
// host entities as themselves, blocks and their references, every other class as the
// graphics it draws, tagged with its class name and handle in extended data of the
// application "VKCAD". The file is written whole or not at all.
bool ExportDxf(AcDbDatabase* db, const std::string& path, ExportReport& report, std::string& why);

// The application name of the extended data that keeps an object's class and handle.
constexpr const char* kXDataApp = "VKCAD";

}  // namespace vkdxf
