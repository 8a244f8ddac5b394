#pragma once
// The plan picture of `vkcad render`: a drawing's model space as primitives, with what is drawn
// beside it (title, legend) and over it (the report's tints).
#include <iosfwd>
#include <vector>

#include "host/gi/GiPicture.h"

class AcDbDatabase;
namespace srreport {
struct Report;
}

namespace vkcad {

struct Options;

struct PlanPicture {
    std::vector<vkgi::Primitive> prims;
    vkgi::Overlay overlay;
};

// The picture of db as the options ask for it: their title; a legend of the kinds of the
// object library drawn in it (in the window, on layers that are shown), each with the drawing
// of its first one and their count. With a report, the placed copies of the floor that db is
// (options.floor, which must be drawn in options.drawing, else the floor drawn there) take
// their state's colour, and a key of the states is added. False with a message on err when
// no floor of the report is drawn in options.drawing.
bool BuildPlanPicture(const Options& options, AcDbDatabase& db, const srreport::Report* report, PlanPicture& out,
                      std::ostream& err);

}  // namespace vkcad
