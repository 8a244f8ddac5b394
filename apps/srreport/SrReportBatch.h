#pragma once
// The batch form of the standard-room report, as the report plug-in exports it for
// `vkcad report`: looked up by name among the loaded plug-ins.
#include <iosfwd>

struct SrReportBatchRequest {
    const char* project;   // project file (host path)
    const char* floor;     // the floor an edit would run from; null or empty: the first floor
    const char* room;      // room whose edit to forecast; null or empty: none
    const char* json;      // file to write the report to as JSON; null or empty: none
    std::ostream* out;     // the report's text
    std::ostream* err;     // messages
};

// The exit code: 0, or 1 for a bad project or floor, an unreadable library, a forecast room
// the library does not hold, or a JSON file that cannot be written.
using SrReportBatchFn = int (*)(const SrReportBatchRequest*);
constexpr const char* kSrReportBatchSymbol = "SrReportBatch";

// The report itself, for pictures of the project's floors (`vkcad render --report`): built
// as the batch form builds it, without the forecast.
namespace srreport {
struct Report;
}
struct SrReportBuildRequest {
    const char* project;         // project file (host path)
    const char* floor;           // the floor whose drawing is read for a drawing two floors share; null or empty: the first
    srreport::Report* report;    // filled in
    std::ostream* err;           // messages
};
// The exit code: 0, or 1 for a bad project or floor or an unreadable library.
using SrReportBuildFn = int (*)(const SrReportBuildRequest*);
constexpr const char* kSrReportBuildSymbol = "SrReportBuild";
