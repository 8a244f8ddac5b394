// Construction segments on a locked layer are not listed: no entry, not even the settings file
// c:\sgd.ini (the listing itself is scenarios module_sgdcalc*).
#include <filesystem>

#include "host/win/WinPath.h"
#include "module/selection/CalConstrucSegment.h"
#include "tests/module/selection/SelectionTestDb.h"
#include "tests/support/ProjectFiles.h"

TEST_F(SelectionTest, ConstructionSegmentsOnALockedLayerAreNotListed)
{
    const std::filesystem::path dir = vktest::FreshTestDir("vkroom-sgd");
    vkwin::SetDriveMap({{'C', dir.string()}});
    for (double x0 : {0.0, 200.0}) {
        auto seg = pline<AcDbVkConstrucSegment>({{x0, 0}, {x0 + 100, 0}, {x0 + 100, 100}, {x0, 100}});
        seg->SetAttname(x0 == 0 ? u"一区" : u"二区");
        append(seg.release(), u"VK_建筑_SYS_施工段");
    }
    append(pipe(10, 50, 90, 50, u"给排水\\管道"));
    ASSERT_FALSE(vktest::SetLayer(*db, u"VK_建筑_SYS_施工段", {.locked = true}).isNull());
    CalConstrucSegment(u"S1");
    EXPECT_FALSE(std::filesystem::exists(dir / "sgd.ini"));
    vkwin::SetDriveMap({});
    std::filesystem::remove_all(dir);
}
