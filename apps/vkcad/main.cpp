// vkcad: the drawing host program. See README.md, section "vkcad".
#include <iostream>

#include "apps/vkcad/Batch.h"
#include "apps/vkcad/Options.h"
#include "apps/vkcad/Session.h"

int main(int argc, char** argv)
{
    vkcad::ParseResult r = vkcad::ParseCommandLine({argv + 1, argv + argc});
    if (r.exitCode >= 0) {
        (r.exitCode == 0 ? std::cout : std::cerr) << r.message << "\n";
        return r.exitCode;
    }
    const vkcad::Options& o = r.options;
    switch (o.mode) {
    case vkcad::Options::kDump: return vkcad::DumpDrawing(o.drawing, std::cout, std::cerr);
    case vkcad::Options::kLoad: return vkcad::LoadDrawing(o.jsonl, o.drawing, std::cerr);
    case vkcad::Options::kImport: return vkcad::ImportDrawing(o.dxf, o.drawing, std::cout, std::cerr);
    case vkcad::Options::kExport: return vkcad::ExportDrawing(o.drawing, o.dxf, std::cout, std::cerr);
    case vkcad::Options::kRender: return vkcad::RenderDrawing(o, std::cerr);
    case vkcad::Options::kReport: return vkcad::RunReport(o, std::cout, std::cerr);
    case vkcad::Options::kRun:
    case vkcad::Options::kServe: break;
    }
    return vkcad::RunSession(o, std::cerr);
}
