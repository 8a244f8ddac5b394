// Property check: on random floors, selecting through the host's extents index gives exactly
// what a walk of model space gives, filtered or not, while the floor is being edited.
#include <random>

#include "host/db/AcDbSpatialIndex.h"
#include "tests/module/selection/SelectionTestDb.h"

namespace {

class IndexedSelectionTest : public SelectionTest {
protected:
    void TearDown() override
    {
        AcDbSpatialIndex::setEnabled(true);
        SelectionTest::TearDown();
    }
    std::mt19937 rng{7};
    double uniform(double a, double b) { return std::uniform_real_distribution<double>(a, b)(rng); }
    size_t pick(size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(rng); }

    static constexpr const char16_t* kLayers[] = {u"0", u"VK_建筑_SYS_墙", u"关闭", u"冻结", u"给排水"};
    static constexpr const char16_t* kPaths[] = {u"给排水\\管道", u"电气\\桥架", u"暖通\\风管", u"消防\\喷淋",
                                                 u"弱电\\线槽", u"其他\\设备"};

    AcDbObjectId randomEntity()
    {
        const double x = uniform(0, 2000), y = uniform(0, 2000);
        const char16_t* layer = kLayers[pick(std::size(kLayers))];
        switch (pick(5)) {
        case 0:
            return append(new AcDbLine(AcGePoint3d(x, y, 0), AcGePoint3d(x + uniform(-80, 80), y + uniform(-80, 80), 0)),
                          layer);
        case 1:
            return append(pipe(x, y, x + uniform(-120, 120), y + uniform(-120, 120), kPaths[pick(std::size(kPaths))]),
                          layer);
        case 2: {
            const double w = uniform(20, 200), h = uniform(20, 200);
            return append(pline<AcDbVkRoom>({{x, y}, {x + w, y}, {x + w, y + h}, {x, y + h}}).release(), layer);
        }
        case 3: {
            const double w = uniform(20, 200), h = uniform(20, 200);
            return append(pline<AcDbQsStandRoom>({{x, y}, {x + w, y}, {x + w, y + h}, {x, y + h}}).release(), layer);
        }
        default: {
            const double w = uniform(50, 400), h = uniform(50, 400);
            return append(pline<AcDbVkConstrucSegment>({{x, y}, {x + w, y}, {x + w, y + h, 0.3}, {x, y + h}}).release(),
                          layer);
        }
        }
    }

    void setLayerState(const char16_t* name, bool off, bool frozen)
    {
        ASSERT_FALSE(vktest::SetLayer(*db, name, {.off = off, .frozen = frozen}).isNull());
    }

    AcArray<AcDbObjectId> select(AcDbExtents window, bool indexed)
    {
        AcDbSpatialIndex::setEnabled(indexed);
        AcArray<AcDbObjectId> out;
        CManageStdRoom::SelectEntity(window, out);
        return out;
    }
    AcArray<AcDbObjectId> filter(AcArray<AcDbObjectId>& candidates, AcDbObjectId boundary)
    {
        std::bitset<6> bits(pick(64));
        AcArray<AcDbObjectId> kept;
        CManageStdRoom::FilterEntity(candidates, kept, boundary, bits, true);
        return kept;
    }
};

TEST_F(IndexedSelectionTest, IndexedSelectionEqualsTheWalkOnRandomFloorsUnderEdits)
{
    std::vector<AcDbObjectId> ids;
    for (int i = 0; i < 1500; ++i) ids.push_back(randomEntity());
    setLayerState(u"关闭", true, false);
    setLayerState(u"冻结", false, true);

    int nonEmpty = 0;
    for (int round = 0; round < 40; ++round) {
        for (int q = 0; q < 8; ++q) {
            // Windows from boundaries on the floor, as the callers use them, and arbitrary ones.
            AcDbExtents window;
            AcDbObjectId boundary = ids[pick(ids.size())];
            AcDbEntity* ent = nullptr;
            if (q % 2 == 0 && acdbOpenAcDbEntity(ent, boundary, AcDb::kForRead) == Acad::eOk) {
                ent->getGeomExtents(window);
                ent->close();
            } else {
                const double x = uniform(-100, 2000), y = uniform(-100, 2000);
                window = AcDbExtents(AcGePoint3d(x, y, 0), AcGePoint3d(x + uniform(0, 500), y + uniform(0, 500), 0));
            }
            AcArray<AcDbObjectId> walked = select(window, false);
            AcArray<AcDbObjectId> indexed = select(window, true);
            ASSERT_TRUE(indexed == walked) << "round " << round << " query " << q << ": " << indexed.length()
                                           << " vs " << walked.length();
            if (!walked.isEmpty()) ++nonEmpty;
            const std::mt19937 saved = rng;
            AcArray<AcDbObjectId> keptWalked = filter(walked, boundary);
            rng = saved;
            EXPECT_TRUE(filter(indexed, boundary) == keptWalked);
        }
        // Edits between rounds: moves, erasures, new entities, a layer switched off and on.
        for (int k = 0; k < 15; ++k) {
            AcDbEntity* ent = nullptr;
            const AcDbObjectId id = ids[pick(ids.size())];
            if (acdbOpenAcDbEntity(ent, id, AcDb::kForWrite, true) != Acad::eOk) continue;
            if (pick(4) == 0)
                ent->erase(!id.isErased());
            else
                ent->transformBy(AcGeMatrix3d::translation(AcGeVector3d(uniform(-400, 400), uniform(-400, 400), 0)));
            ent->close();
        }
        ids.push_back(randomEntity());
        setLayerState(u"给排水", round % 3 == 0, false);
    }
    EXPECT_GT(nonEmpty, 200);  // the windows did hit things
}

}  // namespace
