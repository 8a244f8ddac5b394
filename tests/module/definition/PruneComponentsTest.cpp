// Thinning out a room's components before storing: which duct pieces and fittings leave the
// list, and that what leaves is no longer highlighted.
#include <gtest/gtest.h>

#include <memory>

#include "host/db/AcDb.h"
#include "module/selection/PruneComponents.cpp"
#include "tests/support/TestDrawing.h"
#include "tests/support/WorkingDrawingTest.h"

namespace {

class PruneComponentsTest : public vktest::WorkingDrawingTest {
protected:
    // Appends and highlights, as the pick does with what it gathers.
    AcDbObjectId add(AcDbEntity* ent)
    {
        const AcDbObjectId id = vktest::appendToModelSpace(*db, ent);
        vkroom::SetHighlight(id, true);
        return id;
    }
    AcDbObjectId pipe(double y) { return add(new VkQsPipe(AcGePoint3d(0, y, 0), AcGePoint3d(100, y, 0))); }
    AcDbObjectId duct(double y) { return add(new VkQsDlpEnt(AcGePoint3d(0, y, 0), AcGePoint3d(100, y, 0), 20)); }
    template <class F>
    AcDbObjectId fitting(std::initializer_list<AcDbObjectId> joined, std::initializer_list<AcDbObjectId> dlps = {})
    {
        auto* f = new F(AcGePoint3d(50, 50, 0));
        AcDbObjectIdArray pipes;
        for (AcDbObjectId id : joined) pipes.append(id);
        f->SetRefPipes(pipes);
        if constexpr (std::is_same_v<F, VkQsDuctFitting>) {
            AcDbObjectIdArray held;
            for (AcDbObjectId id : dlps) held.append(id);
            f->SetRefDlps(held);
        }
        return add(f);
    }
    static bool highlighted(AcDbObjectId id)
    {
        AcDbEntity* e = nullptr;
        if (acdbOpenAcDbEntity(e, id, AcDb::kForRead) != Acad::eOk) return false;
        const bool on = e->isHighlighted();
        e->close();
        return on;
    }
    static AcDbObjectIdArray list(std::initializer_list<AcDbObjectId> ids)
    {
        AcDbObjectIdArray a;
        for (AcDbObjectId id : ids) a.append(id);
        return a;
    }

};

TEST_F(PruneComponentsTest, DuctPiecesStayOnlyWhenAFittingBetweenTwoDuctsHoldsThem)
{
    const AcDbObjectId d1 = duct(0), d2 = duct(10), d3 = duct(20), d4 = duct(30);
    const AcDbObjectId joinsTwo = fitting<VkQsDuctFitting>({d1, d2}, {d1});
    const AcDbObjectId joinsOne = fitting<VkQsDuctFitting>({d3}, {d2});
    const AcDbObjectId elsewhere = fitting<VkQsDuctFitting>({d1, d3}, {d4});  // not in the list
    (void)elsewhere;
    AcDbObjectIdArray ids = list({d1, joinsTwo, d2, joinsOne, d3, d4});
    vkroom::PruneDlpEnts(ids);
    EXPECT_EQ(ids, list({d1, joinsTwo, joinsOne}));
    for (AcDbObjectId gone : {d2, d3, d4}) EXPECT_FALSE(highlighted(gone));
    for (AcDbObjectId kept : {d1, joinsTwo, joinsOne}) EXPECT_TRUE(highlighted(kept));
}

TEST_F(PruneComponentsTest, AFittingOnOnePipeGoesUnlessThatPipeGoesWithTheRoom)
{
    const AcDbObjectId inList = pipe(0), outside = pipe(50);
    const AcDbObjectId onKept = fitting<VkQsPipeFitting>({inList});
    const AcDbObjectId onOutside = fitting<VkQsPipeFitting>({outside});
    const AcDbObjectId joinsTwo = fitting<VkQsPipeFitting>({outside, outside});
    const AcDbObjectId joinsNone = fitting<VkQsPipeFitting>({});
    const AcDbObjectId ductOnOutside = fitting<VkQsDuctFitting>({outside});
    AcDbObjectIdArray ids = list({onOutside, inList, onKept, joinsTwo, joinsNone, ductOnOutside});
    vkroom::PruneFittings(ids);
    EXPECT_EQ(ids, list({inList, onKept, joinsTwo, joinsNone}));
    EXPECT_FALSE(highlighted(onOutside));
    EXPECT_FALSE(highlighted(ductOnOutside));
    EXPECT_TRUE(highlighted(onKept));
}

TEST_F(PruneComponentsTest, EntriesThatCannotBeOpenedStayInTheList)
{
    const AcDbObjectId gone = duct(0);
    {
        AcDbObjectPointer<VkQsDlpEnt> d(gone, AcDb::kForWrite);
        ASSERT_EQ(d->erase(), Acad::eOk);
    }
    AcDbObjectIdArray ids = list({gone});
    vkroom::PruneDlpEnts(ids);
    vkroom::PruneFittings(ids);
    EXPECT_EQ(ids, list({gone}));
}

}  // namespace
