// A deep clone takes one handle per object from the handseed on: a drawing with too few handles
// left takes none of the clones, one with just enough takes them all.
#include <gtest/gtest.h>

#include "tests/host/db/files_TestDrawing.h"

namespace {

// A drawing whose last object holds handle last, so that FFFFFFFFFFFFFFFE - last handles remain.
void FillHandlesUpTo(AcDbDatabase& db, const char* last)
{
    ASSERT_TRUE(vktest::LoadJsonLines(std::string(R"({"handle":")") + last +
                                          R"(","class":"AcDbLine","layer":"0","start":[0,0,0],"end":[1,0,0]})" "\n",
                                      db));
}

TEST(CloneHandles, AnInsertTakesAllItsObjectsOrNone)
{
    AcDbDatabase source(true, true);
    filestest::addLine(source, {0, 0, 0}, {1, 1, 0});
    filestest::addLine(source, {0, 0, 0}, {2, 2, 0});

    AcDbDatabase full(true, true);
    FillHandlesUpTo(full, "FFFFFFFFFFFFFFFD");  // one handle left for two lines
    const std::vector<AcDbObjectId> before = full.allObjectIds();
    EXPECT_EQ(full.insert(AcGeMatrix3d::kIdentity, &source, true), Acad::eOutOfMemory);
    EXPECT_EQ(full.allObjectIds(), before);

    AcDbDatabase enough(true, true);
    FillHandlesUpTo(enough, "FFFFFFFFFFFFFFFC");  // two left
    EXPECT_EQ(enough.insert(AcGeMatrix3d::kIdentity, &source, true), Acad::eOk);
    EXPECT_EQ(vktest::EntityIds(&enough).size(), 3u);
}

}  // namespace
