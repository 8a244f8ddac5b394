#pragma once
// Helpers of the region tests: outlines and a drawing to put them in.
#include <vector>

#include "host/db/AcDb.h"
#include "tests/support/TestDrawing.h"

namespace regiontest {

using vktest::appendToModelSpace;

inline void setOutline(AcDbPolyline& pl, const std::vector<AcGePoint2d>& pts)
{
    for (unsigned int i = 0; i < pts.size(); ++i) pl.addVertexAt(i, pts[i]);
    pl.setClosed(true);
}

// Records what an entity draws.
class RecordingDraw : public AcGiWorldDraw, public AcGiWorldGeometry {
public:
    struct Text {
        AcGePoint3d at;
        CString text;
    };
    AcGiWorldGeometry& geometry() override { return *this; }
    bool polyline(int n, const AcGePoint3d*) override { polylines += n > 0; return true; }
    bool circle(const AcGePoint3d&, double, const AcGeVector3d&) override { ++circles; return true; }
    bool circularArc(const AcGePoint3d&, double, const AcGeVector3d&, const AcGeVector3d&, double) override
    {
        ++arcs;
        return true;
    }
    bool text(const AcGePoint3d& p, double, const CString& t) override
    {
        texts.push_back({p, t});
        return true;
    }
    // Aligned text is recorded at its alignment point.
    bool alignedText(const AcGePoint3d& p, const AcGeVector3d&, double, const CString& t, int, int, double) override
    {
        return text(p, 0, t);
    }
    int polylines = 0, circles = 0, arcs = 0;
    std::vector<Text> texts;
};

}  // namespace regiontest
