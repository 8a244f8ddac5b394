#pragma once
// Placed copies of a room as JSON lines, so that handles are known: room R (boundary 3000 x 2000,
// a water pipe, a floor drain, optionally a plain line, the marker) under a turn and flip of its
// own. Used by the edit command's and the report's tests.
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "host/db/AcDb.h"
#include "tests/support/ProjectFiles.h"

namespace vktest {

// Where a copy lies: p = (x, y) + turn(angle) * flip(x -> -x when mirrored) * q, or, with
// turnThenFlip (as the placement jig builds it), flip * turn(angle) * q before the move.
struct Placement {
    double angle = 0;  // degrees
    bool mirror = false;
    double x = 0, y = 0;
    bool turnThenFlip = false;

    AcGePoint3d apply(double qx, double qy) const
    {
        const double a = angle * M_PI / 180, c = std::round(std::cos(a) * 1e12) / 1e12,
                     s = std::round(std::sin(a) * 1e12) / 1e12;
        if (mirror && !turnThenFlip) qx = -qx;
        double px = c * qx - s * qy;
        const double py = s * qx + c * qy;
        if (mirror && turnThenFlip) px = -px;
        return AcGePoint3d(x + px, y + py, 0);
    }
    std::string matrix() const
    {
        const AcGePoint3d o = apply(0, 0), ex = apply(1, 0), ey = apply(0, 1);
        std::ostringstream m;
        m.precision(17);
        m << "[" << ex.x - o.x << "," << ey.x - o.x << ",0," << x << "," << ex.y - o.y << "," << ey.y - o.y
          << ",0," << y << ",0,0,1,0,0,0,0,1]";
        return m.str();
    }
};

inline std::string Pt(const AcGePoint3d& p)
{
    std::ostringstream s;
    s.precision(17);
    s << "[" << p.x << "," << p.y << "," << p.z << "]";
    return s.str();
}

struct CopyOptions {
    int chgType = 0;
    std::string roomName = "R";
    std::string markerLayer = "VK_标准房间", lineLayer = "0";
    std::string extraAssoc;        // handles appended to the marker's list, e.g. "\"1F0\",\"1F2\""
    bool withLine = false;         // a plain line, linked, between drain and marker
    bool arcSide = false;          // the third side bulges out of the room
    AcGeVector3d lineMovedBy;      // the plain line moved by hand
    bool boundaryErased = false;
    bool withoutDrain = false;     // the drain is neither linked nor drawn

    CopyOptions& changeType(int t) { chgType = t; return *this; }
    CopyOptions& room(std::string name) { roomName = std::move(name); return *this; }
    CopyOptions& lineMoved(double dx, double dy) { lineMovedBy = AcGeVector3d(dx, dy, 0); return *this; }
    CopyOptions& noBoundary() { boundaryErased = true; return *this; }
    CopyOptions& noDrain() { withoutDrain = true; return *this; }
    CopyOptions& alsoLinked(std::string handles) { extraAssoc = std::move(handles); return *this; }
    CopyOptions& markerOn(std::string layer) { markerLayer = std::move(layer); return *this; }
    CopyOptions& lineOn(std::string layer) { lineLayer = std::move(layer); return *this; }
};

// Handles base, base+1, base+2: boundary, water pipe, drain; then the line (base+3) when there is
// one, and the marker.
inline std::string RoomCopyLines(int base, const Placement& p, const CopyOptions& o = {})
{
    const std::string room = Hex(base), pipe = Hex(base + 1), drain = Hex(base + 2), line = Hex(base + 3),
                      marker = Hex(base + (o.withLine ? 4 : 3));
    // The arc side bulges out of the room; a flip turns it the other way round.
    const double bulge = o.arcSide ? (p.mirror ? -0.5 : 0.5) : 0;
    auto outline = [&](double inset, bool arc) {
        const double xs[] = {inset, 3000 - inset, 3000 - inset, inset}, ys[] = {inset, inset, 2000 - inset, 2000 - inset};
        std::string v = "[";
        for (int i = 0; i < 4; ++i) {
            const AcGePoint3d q = p.apply(xs[i], ys[i]);
            v += (i ? ",[" : "[") + std::to_string(q.x) + "," + std::to_string(q.y) + "," +
                 (arc && i == 2 ? std::to_string(bulge) : "0") + ",-1,-1]";
        }
        return v + "]";
    };
    std::string assoc = "\"" + pipe + "\"";
    if (!o.withoutDrain) assoc += ",\"" + drain + "\"";
    if (o.withLine) assoc += ",\"" + line + "\"";
    if (!o.extraAssoc.empty()) assoc += "," + o.extraAssoc;
    std::string s;
    s += R"({"handle":")" + room + R"(","class":"AcDbVkRoom","layer":"VK_建筑_SYS_房间","vertices":)" + outline(0, true) +
         R"(,"closed":true,"attName":"卫生间","attIndex":"1","belongSR":true)" + (o.boundaryErased ? R"(,"erased":true)" : "") +
         "}\n";
    s += R"({"handle":")" + pipe + R"(","class":"VkQsPipe","layer":"VK_给排水_给水管","typePath":"给排水\\管道\\给水管","sroom":")" +
         marker + R"(","start":)" + Pt(p.apply(300, 1000)) + R"(,"end":)" + Pt(p.apply(2700, 1000)) + R"(,"valves":[]})" "\n";
    if (!o.withoutDrain)
        s += R"({"handle":")" + drain + R"(","class":"VkQsNode","layer":"VK_给排水_地漏","typePath":"给排水\\附件\\地漏","sroom":")" +
             marker + R"(","insertPt":)" + Pt(p.apply(2500, 500)) + R"(,"radius":75})" "\n";
    if (o.withLine)
        s += R"({"handle":")" + line + R"(","class":"AcDbLine","layer":")" + o.lineLayer + R"(","start":)" +
             Pt(p.apply(0, 1500) + o.lineMovedBy) + R"(,"end":)" + Pt(p.apply(1000, 1500) + o.lineMovedBy) + "}\n";
    s += R"({"handle":")" + marker + R"(","class":"AcDbQsStandRoom","layer":")" + o.markerLayer + R"(","vertices":)" +
         outline(40, false) + R"(,"closed":true,"roomName":")" + o.roomName + R"(","basePt":)" + Pt(p.apply(0, 0)) +
         R"(,"insertPt":)" + Pt(p.apply(0, 0)) + R"(,"matrix":)" + p.matrix() + R"(,"assocEnts":[)" + assoc +
         R"(],"assocRoom":")" + room + R"(","chgType":)" + std::to_string(o.chgType) + "}\n";
    return s;
}

// A layer that refuses changes to its entities.
inline std::string LockedLayer(int handle, const std::string& name)
{
    return R"({"handle":")" + Hex(handle) + R"(","class":"AcDbLayerTableRecord","owner":"2","name":")" + name +
           R"(","locked":true})" "\n";
}

}  // namespace vktest
