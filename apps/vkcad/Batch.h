#pragma once
// The batch forms: a drawing as JSON lines and back, DXF in and out, plan pictures, the
// standard-room report. Each
// answers a process exit code.
#include <iosfwd>
#include <string>

class AcDbDatabase;

namespace vkcad {

// Prints drawingPath as JSON lines to out; a drawing that cannot be read: a message on err, 1.
int DumpDrawing(const std::string& drawingPath, std::ostream& out, std::ostream& err);
// Builds a drawing from the JSON lines of jsonlPath and saves it to drawingPath. On a bad
// line nothing is written and err names the line.
int LoadDrawing(const std::string& jsonlPath, const std::string& drawingPath, std::ostream& err);
// Builds a drawing from a DXF file and saves it (the file it replaces kept as .bak); out gets
// what was imported, err one line naming what was not. A bad file writes nothing.
int ImportDrawing(const std::string& dxfPath, const std::string& drawingPath, std::ostream& out, std::ostream& err);
// Reads a drawing for the batch forms that only look at it; false with a message on err.
bool ReadDrawing(AcDbDatabase& db, const std::string& drawingPath, std::ostream& err);
// Writes a drawing as DXF; out gets what was written.
int ExportDrawing(const std::string& drawingPath, const std::string& dxfPath, std::ostream& out, std::ostream& err);
// Draws model space into a PNG or SVG picture (chosen by the extension), with the options'
// title, a legend of the building-services symbols it shows and, with --report, each placed
// copy of a standard room tinted by its state in the project's report.
struct Options;
int RenderDrawing(const Options& options, std::ostream& err);
// Loads the default plug-ins and runs the report of the one that provides it (the report
// plug-in); without it: a message on err, 1.
int RunReport(const Options& options, std::ostream& out, std::ostream& err);
// The report of options.project, built by the report plug-in as RunReport builds it (floors
// read from disk, no forecast); 0, or 1 with a message on err.
}  // namespace vkcad
namespace srreport {
struct Report;
}
namespace vkcad {
int BuildProjectReport(const Options& options, srreport::Report& report, std::ostream& err);

}  // namespace vkcad
