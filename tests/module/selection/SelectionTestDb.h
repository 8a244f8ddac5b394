#pragma once
// Boundaries and components for the selection tests, in a fresh working drawing.
#include "module/frame/CManageStdRoom.h"
#include "module/interfaces/SelectionInterfaces.h"
#include "tests/support/WorkingDrawingTest.h"

struct Vtx {
    double x, y, bulge = 0;
};

class SelectionTest : public vktest::WorkingDrawingTest {
public:
    template <class P = AcDbPolyline>
    static std::unique_ptr<P> pline(std::initializer_list<Vtx> vs, double elevation = 0)
    {
        auto p = std::make_unique<P>();
        unsigned int i = 0;
        for (const Vtx& v : vs) p->addVertexAt(i++, AcGePoint2d(v.x, v.y), v.bulge);
        p->setClosed(true);
        p->setElevation(elevation);
        return p;
    }
    // The square 0..100 whose first side runs along the X axis.
    template <class P = AcDbPolyline>
    static std::unique_ptr<P> square()
    {
        return pline<P>({{0, 0}, {100, 0}, {100, 100}, {0, 100}});
    }
    static VkQsPipe* pipe(double x1, double y1, double x2, double y2, const char16_t* path, double z = 0)
    {
        auto* p = new VkQsPipe(AcGePoint3d(x1, y1, z), AcGePoint3d(x2, y2, z));
        p->SetSmallTypeNamePath(path);
        return p;
    }

protected:
    AcDbObjectId appendRoom() { return append(square<AcDbVkRoom>().release(), u"VK_建筑_SYS_房间"); }
};
