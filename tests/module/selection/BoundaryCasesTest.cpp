// The containment tests against stored cases (BoundaryCases.txt): every answer as stored, for
// the ray test point by point and through a boundary prepared once, the toolkit's point test
// and the curve relation code.
#include <fstream>
#include <sstream>

#include "module/selection/PtInPolylineByRay.h"
#include "tests/module/selection/SelectionTestDb.h"

TEST(BoundaryCases, EveryStoredAnswerIsGiven)
{
    std::ifstream file(VK_SOURCE_DIR "/tests/module/selection/BoundaryCases.txt");
    ASSERT_TRUE(file) << "BoundaryCases.txt not found";
    std::unique_ptr<AcDbPolyline> outline;
    std::unique_ptr<CRayBoundary> prepared;
    int points = 0, chords = 0, failures = 0;
    std::string text, kind;
    for (int line = 1; std::getline(file, text) && failures < 10; ++line) {
        std::istringstream in(text);
        if (!(in >> kind) || kind == "#") continue;
        if (kind == "B") {
            int closed = 0;
            double elevation = 0, x = 0, y = 0, bulge = 0;
            unsigned n = 0;
            in >> closed >> elevation >> n;
            outline = std::make_unique<AcDbPolyline>();
            for (unsigned i = 0; i < n && in >> x >> y >> bulge; ++i) outline->addVertexAt(i, AcGePoint2d(x, y), bulge);
            outline->setClosed(closed != 0);
            outline->setElevation(elevation);
            prepared = std::make_unique<CRayBoundary>(outline.get());
        } else if (kind == "P") {
            double x, y, z, tol;
            int ray, toolkit;
            ASSERT_TRUE(in >> x >> y >> z >> tol >> ray >> toolkit) << "line " << line;
            const AcGePoint3d pt(x, y, z);
            const int single = IsPtInPolylineByRay(outline.get(), pt, tol), many = prepared->Classify(pt, tol);
            const int winding = VKToolKit::IsPtInPolyline(outline.get(), pt, tol);
            const bool same = single == ray && many == ray && winding == toolkit;
            if (!same)
                ADD_FAILURE() << "line " << line << ": ray " << single << " (prepared " << many << "), toolkit " << winding
                              << "; stored " << ray << ", " << toolkit;
            failures += !same;
            ++points;
        } else if (kind == "C") {
            double x1, y1, z1, x2, y2, z2, tol;
            int code;
            ASSERT_TRUE(in >> x1 >> y1 >> z1 >> x2 >> y2 >> z2 >> tol >> code) << "line " << line;
            AcDbLine chord(AcGePoint3d(x1, y1, z1), AcGePoint3d(x2, y2, z2));
            const int got = CManageStdRoom::IsCurveInPolyline(outline.get(), &chord, tol);
            if (got != code) ADD_FAILURE() << "line " << line << ": code " << got << ", stored " << code;
            failures += got != code;
            ++chords;
        }
    }
    EXPECT_GT(points, 1000);
    EXPECT_GT(chords, 300);
}
