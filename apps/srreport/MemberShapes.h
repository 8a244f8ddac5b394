#pragma once
// What a room's member looks like, for telling whether a placed copy still matches its library
// entry: the member's class, its discipline type path and its outline (the entity's plain
// curves, each kept as its ends, its middle point and, for arcs, centre and radius).
#include <vector>

#include "host/db/AcDb.h"
#include "host/ge/AcGeMatrix3d.h"

namespace srreport {

// Positions and radii within this distance (drawing units) count as equal.
constexpr double kShapeTolerance = 0.01;

struct OutlinePiece {
    bool arc = false;
    bool fullCircle = false;
    AcGePoint3d start, end, middle, center;
    double radius = 0;
};

struct MemberShape {
    AcDbHandle handle;
    CString cls;            // run-time class name
    CString typePath;       // building-services components only
    bool hasReference = false;
    AcGePoint3d reference;  // building-services components: the point that stands for them
    std::vector<OutlinePiece> outline;
};

MemberShape ShapeOf(const AcDbEntity* ent);
// The shape as it lands under a placement (rotation, mirror and translation).
MemberShape Placed(const MemberShape& shape, const AcGeMatrix3d& xform);
bool SameOutline(const MemberShape& a, const MemberShape& b, double tol = kShapeTolerance);
// Same class, same type path, same outline.
bool SameMember(const MemberShape& expected, const MemberShape& actual, double tol = kShapeTolerance);
// What differs between an expected member and the actual one of the same class, in words
// ("moved by 150, 0", "outline changed (up to 35.2 off)", "type path ... instead of ...");
// empty when they are the same.
CString DescribeDifference(const MemberShape& expected, const MemberShape& actual, double tol = kShapeTolerance);

}  // namespace srreport

namespace srreport {
// A length or angle as the report prints it: two decimals at most, no trailing zeros, no "-0".
CString FormatNumber(double v);
}  // namespace srreport
