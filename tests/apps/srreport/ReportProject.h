#pragma once
// A project for the report: room R (a boundary with one arc side, a water pipe, a floor drain, a
// plain line, the marker) and room U (a boundary only) in the library, and floors holding copies
// of R placed under turns and flips of their own (turned, then flipped, as the jig builds them).
#include "module/frame/CManageStdRoom.h"
#include "tests/support/RoomCopies.h"
#include "tests/support/ScratchProjectTest.h"

namespace reporttest {

namespace fs = std::filesystem;

using vktest::CopyOptions;
using vktest::Hex;
using vktest::LockedLayer;
using vktest::Placement;

// Handles base .. base+4: boundary, water pipe, drain, line, marker.
inline std::string CopyLines(int base, Placement p, CopyOptions o = {})
{
    p.turnThenFlip = true;
    o.withLine = o.arcSide = true;
    return vktest::RoomCopyLines(base, p, o);
}

class ReportProjectTest : public vktest::ScratchProjectTest {
protected:
    void TearDown() override
    {
        CManageStdRoom::DelIntance();
        ScratchProjectTest::TearDown();
    }

    // R as stored from a copy at the origin, and U, a bare boundary; both listed.
    void writeLibrary()
    {
        ScratchProjectTest::writeLibrary(
            {{u"R", CopyLines(0x100, Placement{})},
             {u"U", R"({"handle":"200","class":"AcDbVkRoom","vertices":[[0,0,0,-1,-1],[10,0,0,-1,-1],[10,10,0,-1,-1]],"closed":true})" "\n"}});
    }
};

}  // namespace reporttest
