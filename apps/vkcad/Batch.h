#pragma once
// The batch forms: a drawing as JSON lines and back. Both answer a process exit code.
#include <iosfwd>
#include <string>

namespace vkcad {

// Prints drawingPath as JSON lines to out; a drawing that cannot be read: a message on err, 1.
int DumpDrawing(const std::string& drawingPath, std::ostream& out, std::ostream& err);
// Builds a drawing from the JSON lines of jsonlPath and saves it to drawingPath. On a bad
// line nothing is written and err names the line.
int LoadDrawing(const std::string& jsonlPath, const std::string& drawingPath, std::ostream& err);

}  // namespace vkcad
