#pragma once
// The command line of vkcad: the interactive/script form and the two batch forms.
#include <string>
#include <vector>

namespace vkcad {

struct Options {
    enum Mode { kRun, kDump, kLoad } mode = kRun;
    std::string project;                 // --project FILE
    std::string floor;                   // --floor NAME (empty: the first floor)
    std::vector<std::string> plugins;    // --load PLUGIN, in order
    bool noDefaultPlugins = false;
    std::string script;                  // --script FILE, "-" for standard input
    std::string drawing;                 // DRAWING (run, dump, load)
    std::string jsonl;                   // load FILE.jsonl
};

struct ParseResult {
    Options options;
    int exitCode = -1;     // >= 0: stop with this code (help asked, or a usage error)
    std::string message;   // help text or the error, for the caller to print
};

ParseResult ParseCommandLine(const std::vector<std::string>& args);  // args without argv[0]

}  // namespace vkcad
