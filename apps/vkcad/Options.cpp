#include "apps/vkcad/Options.h"

#include <algorithm>

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
    CLI::App app{"vkcad: the drawing host", "vkcad"};
    app.footer("Batch forms:\n  vkcad dump DRAWING            prints the drawing as JSON lines\n"
               "  vkcad load FILE.jsonl DRAWING builds a drawing from JSON lines and saves it");
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
