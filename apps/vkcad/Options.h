#pragma once
// The command line of vkcad: the interactive/script form and the batch forms.
#include <string>
#include <vector>

namespace vkcad {

struct Options {
    enum Mode { kRun, kServe, kDump, kLoad, kImport, kExport, kRender, kReport } mode = kRun;
    std::string project;                 // --project FILE
    std::string floor;                   // --floor NAME (empty: the first floor)
    std::vector<std::string> plugins;    // --load PLUGIN, in order
    bool noDefaultPlugins = false;
    std::string script;                  // --script FILE, "-" for standard input
    std::string drawing;                 // DRAWING (run, dump, load)
    std::string jsonl;                   // load FILE.jsonl
    std::string dxf;                     // import IN.dxf, export OUT.dxf
    std::string picture;                 // render OUT.png or OUT.svg
    bool window = false;                 // render --window given
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // render --window x1,y1,x2,y2
    int width = 1200, height = 900;      // render --size WxH
    std::string title;                   // render --title TEXT
    bool thin = false;                   // render --thin: every line one pixel, whatever its weight
    bool reportStates = false;           // render --report (with --project, --floor)
    std::string json;                    // report --json OUT.json
    std::string room;                    // report ROOM: the room whose edit to forecast
    int port = 0;                        // serve --port N (0: any free port)
};

struct ParseResult {
    Options options;
    int exitCode = -1;     // >= 0: stop with this code (help asked, or a usage error)
    std::string message;   // help text or the error, for the caller to print
};

ParseResult ParseCommandLine(const std::vector<std::string>& args);  // args without argv[0]

}  // namespace vkcad
