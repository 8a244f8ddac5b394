#pragma once
// A project for the report, every drawing built from JSON lines so that handles are known:
// room R (a boundary with one arc side, a water pipe, a floor drain, a plain line, the marker)
// and room U (a boundary only) in the library, and floors holding copies of R placed under
// turns and flips of their own.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "host/db/AcDb.h"
#include "host/db/AcDbJson.h"
#include "host/win/WinPath.h"
#include "module/frame/CManageStdRoom.h"
#include "siblings/project/VkQsProject.h"
#include "tests/support/ProjectFiles.h"

namespace reporttest {

namespace fs = std::filesystem;

// Where a copy lies, as the placement jig builds it: turned by angle, then flipped left-right
// when mirrored, then moved to (x, y).
struct Placement {
    double angle = 0;  // degrees
    bool mirror = false;
    double x = 0, y = 0;

    AcGePoint3d apply(double qx, double qy) const
    {
        const double a = angle * M_PI / 180;
        double px = std::cos(a) * qx - std::sin(a) * qy;
        const double py = std::sin(a) * qx + std::cos(a) * qy;
        if (mirror) px = -px;
        return AcGePoint3d(x + px, y + py, 0);
    }
    std::string matrix() const
    {
        const AcGePoint3d o = apply(0, 0), ex = apply(1, 0), ey = apply(0, 1);
        std::ostringstream m;
        m.precision(17);
        m << "[" << ex.x - o.x << "," << ey.x - o.x << ",0," << x << "," << ex.y - o.y << "," << ey.y - o.y << ",0,"
          << y << ",0,0,1,0,0,0,0,1]";
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

using vktest::Hex;

struct CopyOptions {
    int chgType = 0;
    std::string roomName = "R";
    AcGeVector3d lineMovedBy;      // the plain line moved by hand
    bool boundaryErased = false;
    bool withoutDrain = false;     // the drain is neither linked nor drawn
    std::string extraAssoc;        // handles appended to the marker's list
    std::string markerLayer = "0", lineLayer = "0";

    CopyOptions& changeType(int t) { chgType = t; return *this; }
    CopyOptions& room(std::string name) { roomName = std::move(name); return *this; }
    CopyOptions& lineMoved(double dx, double dy) { lineMovedBy = AcGeVector3d(dx, dy, 0); return *this; }
    CopyOptions& noBoundary() { boundaryErased = true; return *this; }
    CopyOptions& noDrain() { withoutDrain = true; return *this; }
    CopyOptions& alsoLinked(std::string handles) { extraAssoc = std::move(handles); return *this; }
    CopyOptions& markerOn(std::string layer) { markerLayer = std::move(layer); return *this; }
    CopyOptions& lineOn(std::string layer) { lineLayer = std::move(layer); return *this; }
};

// Handles base .. base+4: boundary, water pipe, drain, line, marker.
// A layer that refuses changes to its entities.
inline std::string LockedLayer(int handle, const std::string& name)
{
    return R"({"handle":")" + Hex(handle) + R"(","class":"AcDbLayerTableRecord","owner":"2","name":")" + name +
           R"(","locked":true})" "\n";
}

inline std::string CopyLines(int base, const Placement& p, const CopyOptions& o = {})
{
    const std::string room = Hex(base), pipe = Hex(base + 1), drain = Hex(base + 2), line = Hex(base + 3),
                      marker = Hex(base + 4);
    // The arc side bulges out of the room; a flip turns it the other way round.
    const double bulge = p.mirror ? -0.5 : 0.5;
    std::string v = "[";
    const double xs[] = {0, 3000, 3000, 0}, ys[] = {0, 0, 2000, 2000};
    for (int i = 0; i < 4; ++i) {
        const AcGePoint3d q = p.apply(xs[i], ys[i]);
        v += (i ? ",[" : "[") + std::to_string(q.x) + "," + std::to_string(q.y) + "," + (i == 2 ? std::to_string(bulge) : "0") + ",-1,-1]";
    }
    v += "]";
    std::string assoc = "\"" + pipe + "\"";
    if (!o.withoutDrain) assoc += ",\"" + drain + "\"";
    assoc += ",\"" + line + "\"";
    if (!o.extraAssoc.empty()) assoc += "," + o.extraAssoc;
    std::string s;
    s += R"({"handle":")" + room + R"(","class":"AcDbVkRoom","vertices":)" + v + R"(,"closed":true,"belongSR":true)" +
         (o.boundaryErased ? R"(,"erased":true)" : "") + "}\n";
    s += R"({"handle":")" + pipe + R"(","class":"VkQsPipe","typePath":"给排水\\管道\\给水管","sroom":")" + marker +
         R"(","start":)" + Pt(p.apply(300, 1000)) + R"(,"end":)" + Pt(p.apply(2700, 1000)) + R"(,"valves":[]})" "\n";
    if (!o.withoutDrain)
        s += R"({"handle":")" + drain + R"(","class":"VkQsNode","typePath":"给排水\\附件\\地漏","sroom":")" + marker +
             R"(","insertPt":)" + Pt(p.apply(2500, 500)) + R"(,"radius":75})" "\n";
    s += R"({"handle":")" + line + R"(","class":"AcDbLine","layer":")" + o.lineLayer + R"(","start":)" + Pt(p.apply(0, 1500) + o.lineMovedBy) +
         R"(,"end":)" + Pt(p.apply(1000, 1500) + o.lineMovedBy) + "}\n";
    s += R"({"handle":")" + marker + R"(","class":"AcDbQsStandRoom","layer":")" + o.markerLayer + R"(","vertices":[[0,0,0,-1,-1],[1,0,0,-1,-1]],"roomName":")" +
         o.roomName + R"(","insertPt":)" + Pt(AcGePoint3d(p.x, p.y, 0)) + R"(,"matrix":)" + p.matrix() +
         R"(,"assocEnts":[)" + assoc + R"(],"assocRoom":")" + room + R"(","chgType":)" + std::to_string(o.chgType) + "}\n";
    return s;
}

class ReportProjectTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = vktest::FreshTestDir("vkroom-report");
    }
    void TearDown() override
    {
        CManageStdRoom::DelIntance();
        VkQsProject::SetCurrentProjectFile("");
        fs::remove_all(dir);
    }

    CString hostPath(const std::string& file) const { return vkwin::FromHostPath((dir / file).string()); }

    void writeDrawing(const std::string& file, const std::string& jsonLines)
    {
        AcDbDatabase db(true, true);
        ASSERT_TRUE(vktest::LoadJsonLines(jsonLines, db)) << file;
        ASSERT_EQ(db.saveAs(hostPath(file), false, AcDb::kDHL_1027), Acad::eOk) << file;
    }

    // R as stored from a copy at the origin, and U, a bare boundary; both listed.
    void writeLibrary()
    {
        AcDbDatabase library(true, true);
        ASSERT_TRUE(vktest::InsertJsonBlock(library, u"R", CopyLines(0x100, Placement{})));
        ASSERT_TRUE(vktest::InsertJsonBlock(library, u"U", R"({"handle":"200","class":"AcDbVkRoom","vertices":[[0,0,0,-1,-1],[10,0,0,-1,-1],[10,10,0,-1,-1]],"closed":true})" "\n"));
        ASSERT_EQ(library.saveAs(hostPath("StardardRoom.dwg"), false, AcDb::kDHL_1027), Acad::eOk);
        std::ofstream(dir / "Roomlist.txt", std::ios::binary) << "2\r\nR\r\nU\r\n";
    }

    void writeProject(const std::vector<std::pair<std::string, std::string>>& floors)
    {
        vktest::WriteProjectFile(dir / "p.prj", floors);
    }

    void makeCurrent()
    {
        CString err;
        ASSERT_TRUE(VkQsProject::SetCurrentProjectFile((dir / "p.prj").string(), &err)) << err.ToUtf8();
    }

    std::string bytes(const std::string& file) const { return vktest::FileBytes(dir / file); }

    fs::path dir;
};

}  // namespace reporttest
