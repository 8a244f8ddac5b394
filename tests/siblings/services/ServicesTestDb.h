#pragma once
// The editor session of the services' tests, with lines and blocks to put into drawings.
#include "tests/support/EditorTest.h"

class ServicesTest : public vktest::EditorTest {
public:
    // Appends an entity to a block of `d` (model space by default) and closes it.
    static AcDbObjectId append(AcDbDatabase* d, AcDbEntity* ent, AcDbObjectId block = AcDbObjectId())
    {
        const AcDbObjectId id = vktest::appendTo(block.isNull() ? d->modelSpaceId() : block, ent);
        EXPECT_FALSE(id.isNull());
        return id;
    }
    static AcDbLine* line(double x1, double y1, double x2, double y2, const char16_t* layer = u"0")
    {
        auto* l = new AcDbLine(AcGePoint3d(x1, y1, 0), AcGePoint3d(x2, y2, 0));
        l->setLayer(layer);
        return l;
    }
    static AcDbObjectId addBlock(AcDbDatabase* d, const char16_t* name) { return vktest::addBlockDefinition(*d, name); }
};
