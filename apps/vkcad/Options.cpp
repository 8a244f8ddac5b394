#include "apps/vkcad/Options.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include <CLI/CLI.hpp>

namespace vkcad {

namespace {

// CLI11 reads a reversed argument vector.
ParseResult Parse(CLI::App& app, std::vector<std::string> args)
{
    ParseResult r;
    std::reverse(args.begin(), args.end());
    try {
        app.parse(args);
    } catch (const CLI::CallForHelp&) {
        r.exitCode = 0;
        r.message = app.help();
        return r;
    } catch (const CLI::ParseError& e) {
        r.exitCode = e.get_exit_code() ? e.get_exit_code() : 2;
        r.message = std::string("vkcad: ") + e.what();
        return r;
    }
    return r;
}

// "x1,y1,x2,y2" with a window of some size.
bool ParseWindow(const std::string& text, Options& o)
{
    double v[4];
    char tail = 0;
    if (std::sscanf(text.c_str(), "%lf,%lf,%lf,%lf%c", &v[0], &v[1], &v[2], &v[3], &tail) != 4) return false;
    for (double d : v)
        if (!std::isfinite(d)) return false;
    if (v[0] == v[2] || v[1] == v[3]) return false;
    o.x1 = std::min(v[0], v[2]), o.x2 = std::max(v[0], v[2]);
    o.y1 = std::min(v[1], v[3]), o.y2 = std::max(v[1], v[3]);
    o.window = true;
    return true;
}

// "WxH", each 1 to 20000.
bool ParseSize(const std::string& text, Options& o)
{
    int w = 0, h = 0;
    char tail = 0;
    if (std::sscanf(text.c_str(), "%dx%d%c", &w, &h, &tail) != 2) return false;
    if (w < 1 || h < 1 || w > 20000 || h > 20000) return false;
    o.width = w, o.height = h;
    return true;
}

}  // namespace

ParseResult ParseCommandLine(const std::vector<std::string>& args)
{
    Options o;
    // The batch forms are recognised by their first word so that a drawing may still be
    // called anything in the ordinary form.
    if (!args.empty() && args[0] == "dump") {
        CLI::App app{"Prints a drawing as JSON lines", "vkcad dump"};
        app.add_option("DRAWING", o.drawing, "drawing file")->required();
        ParseResult r = Parse(app, {args.begin() + 1, args.end()});
        o.mode = Options::kDump;
        r.options = o;
        return r;
    }
    if (!args.empty() && args[0] == "load") {
        CLI::App app{"Builds a drawing from JSON lines", "vkcad load"};
        app.add_option("FILE", o.jsonl, "JSON lines")->required();
        app.add_option("DRAWING", o.drawing, "drawing file to write")->required();
        ParseResult r = Parse(app, {args.begin() + 1, args.end()});
        o.mode = Options::kLoad;
        r.options = o;
        return r;
    }
    if (!args.empty() && args[0] == "import") {
        CLI::App app{"Builds a drawing from a DXF file", "vkcad import"};
        app.add_option("IN.dxf", o.dxf, "DXF file to read")->required();
        app.add_option("DRAWING", o.drawing, "drawing file to write")->required();
        ParseResult r = Parse(app, {args.begin() + 1, args.end()});
        o.mode = Options::kImport;
        r.options = o;
        return r;
    }
    if (!args.empty() && args[0] == "export") {
        CLI::App app{"Writes a drawing as a DXF file", "vkcad export"};
        app.add_option("DRAWING", o.drawing, "drawing file to read")->required();
        app.add_option("OUT.dxf", o.dxf, "DXF file to write")->required();
        ParseResult r = Parse(app, {args.begin() + 1, args.end()});
        o.mode = Options::kExport;
        r.options = o;
        return r;
    }
    if (!args.empty() && args[0] == "render") {
        CLI::App app{"Draws the model space of a drawing as a PNG or SVG picture", "vkcad render"};
        std::string window, size;
        app.add_option("DRAWING", o.drawing, "drawing file to read")->required();
        app.add_option("PICTURE", o.picture, "picture to write: OUT.png or OUT.svg")->required();
        app.add_option("--window", window, "x1,y1,x2,y2: the part of the plan to show (default: all of it)");
        app.add_option("--size", size, "WxH: the picture's size in pixels (default 1200x900)");
        app.add_option("--title", o.title, "a title drawn above the plan");
        app.add_flag("--thin", o.thin, "draw every line thin, leaving out the lines' weights");
        app.add_flag("--report", o.reportStates,
                     "tint each placed copy of a standard room by its state in the project's report");
        app.add_option("--project", o.project, "the project whose report --report shows");
        app.add_option("--floor", o.floor, "the floor the drawing is (default: the floor whose drawing it is)");
        ParseResult r = Parse(app, {args.begin() + 1, args.end()});
        o.mode = Options::kRender;
        if (r.exitCode < 0 && o.reportStates != !o.project.empty()) {
            r.exitCode = 2;
            r.message = o.reportStates ? "vkcad: --report needs --project" : "vkcad: --project needs --report";
        }
        if (r.exitCode < 0 && !o.floor.empty() && !o.reportStates) {
            r.exitCode = 2;
            r.message = "vkcad: --floor needs --report";
        }
        if (r.exitCode < 0 && !window.empty() && !ParseWindow(window, o)) {
            r.exitCode = 2;
            r.message = "vkcad: --window needs x1,y1,x2,y2 with x1 != x2 and y1 != y2, not \"" + window + "\"";
        }
        if (r.exitCode < 0 && !size.empty() && !ParseSize(size, o)) {
            r.exitCode = 2;
            r.message = "vkcad: --size needs WxH, each 1 to 20000 pixels, not \"" + size + "\"";
        }
        r.options = o;
        return r;
    }
    if (!args.empty() && args[0] == "report") {
        CLI::App app{"Reports every standard room of a project and its placed copies", "vkcad report"};
        app.add_option("--project", o.project, "project file")->required();
        app.add_option("--floor", o.floor, "floor an edit would run from (default: the first)");
        app.add_option("--json", o.json, "also write the report as JSON to this file");
        app.add_option("ROOM", o.room, "forecast what an edit (bjbj) of this room would touch");
        ParseResult r = Parse(app, {args.begin() + 1, args.end()});
        o.mode = Options::kReport;
        r.options = o;
        return r;
    }
    if (!args.empty() && args[0] == "serve") {
        CLI::App app{"Runs the editor behind a local web page: prints its address, then serves until QUIT or Ctrl-C",
                     "vkcad serve"};
        app.add_option("--port", o.port, "port on 127.0.0.1 (default: any free port)")->check(CLI::Range(0, 65535));
        app.add_option("--project", o.project, "project file made current at start");
        app.add_option("--floor", o.floor, "floor of the project to open (default: the first)");
        app.add_option("--load", o.plugins, "plug-in to load (repeatable)")->allow_extra_args(false);
        app.add_flag("--no-default-plugins", o.noDefaultPlugins, "skip the plug-ins listed in vkcad.plugins");
        app.add_option("DRAWING", o.drawing, "drawing to open (a new one when it does not exist)");
        ParseResult r = Parse(app, {args.begin() + 1, args.end()});
        o.mode = Options::kServe;
        if (r.exitCode < 0 && !o.floor.empty() && o.project.empty()) {
            r.exitCode = 2;
            r.message = "vkcad: --floor needs --project";
        }
        r.options = o;
        return r;
    }
    CLI::App app{"vkcad: the drawing host", "vkcad"};
    app.footer("Batch forms:\n  vkcad dump DRAWING            prints the drawing as JSON lines\n"
               "  vkcad load FILE.jsonl DRAWING builds a drawing from JSON lines and saves it\n"
               "  vkcad import IN.dxf DRAWING   builds a drawing from a DXF file and saves it\n"
               "  vkcad export DRAWING OUT.dxf  writes the drawing as a DXF file\n"
               "  vkcad render DRAWING OUT.png|OUT.svg [--window x1,y1,x2,y2] [--size WxH] [--title TEXT] [--thin]\n"
               "               [--report --project FILE [--floor NAME]]\n"
               "                                draws the plan of the drawing's model space\n"
               "  vkcad report --project FILE [--floor NAME] [--json OUT.json] [ROOM]\n"
               "                                reports a project's standard rooms and their copies\n"
               "  vkcad serve [--port N] [--project FILE [--floor NAME]] [DRAWING]\n"
               "                                the same session behind a web page on 127.0.0.1");
    app.add_option("--project", o.project, "project file made current at start");
    app.add_option("--floor", o.floor, "floor of the project to open (default: the first)");
    app.add_option("--load", o.plugins, "plug-in to load (repeatable)")->allow_extra_args(false);
    app.add_flag("--no-default-plugins", o.noDefaultPlugins, "skip the plug-ins listed in vkcad.plugins");
    app.add_option("--script", o.script, "script to run instead of the console (- for standard input)");
    app.add_option("DRAWING", o.drawing, "drawing to open (a new one when it does not exist)");
    ParseResult r = Parse(app, args);
    if (r.exitCode < 0 && !o.floor.empty() && o.project.empty()) {
        r.exitCode = 2;
        r.message = "vkcad: --floor needs --project";
    }
    r.options = o;
    return r;
}

}  // namespace vkcad
