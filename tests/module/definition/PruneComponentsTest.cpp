// Thinning out a room's components before storing: which duct pieces and fittings leave the
// list, and that what leaves is no longer highlighted.
#include "module/selection/PruneComponents.h"
#include "siblings/object/VkQsDlpEnt.h"
#include "siblings/object/VkQsDuctFitting.h"
#include "siblings/object/VkQsFittingBase.h"
#include "siblings/object/VkQsPipe.h"
#include "tests/support/WorkingDrawingTest.h"

namespace {

class PruneComponentsTest : public vktest::WorkingDrawingTest {
protected:
    // Appends and highlights, as the pick does with what it gathers.
    AcDbObjectId add(AcDbEntity* ent)
    {
        const AcDbObjectId id = append(ent);
        vkroom::SetHighlight(id, true);
        return id;
    }
    AcDbObjectId pipe(double y) { return add(new VkQsPipe(AcGePoint3d(0, y, 0), AcGePoint3d(100, y, 0))); }
    AcDbObjectId duct(double y) { return add(new VkQsDlpEnt(AcGePoint3d(0, y, 0), AcGePoint3d(100, y, 0), 20)); }
    template <class F>
    AcDbObjectId fitting(std::initializer_list<AcDbObjectId> joined, std::initializer_list<AcDbObjectId> dlps = {})
    {
        auto* f = new F(AcGePoint3d(50, 50, 0));
        f->SetRefPipes(list(joined));
        if constexpr (std::is_same_v<F, VkQsDuctFitting>) f->SetRefDlps(list(dlps));
        return add(f);
    }
    static bool highlighted(AcDbObjectId id)
    {
        AcDbObjectPointer<AcDbEntity> e(id, AcDb::kForRead);
        return e && e->isHighlighted();
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
    fitting<VkQsDuctFitting>({d1, d3}, {d4});  // holds d4 but is not in the list
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
    // Entries that cannot be opened stay in the list.
    {
        AcDbObjectPointer<VkQsDlpEnt> d(duct(0), AcDb::kForWrite);
        ASSERT_EQ(d->erase(), Acad::eOk);
        ids = list({d->objectId()});
    }
    const AcDbObjectIdArray erased = ids;
    vkroom::PruneDlpEnts(ids);
    vkroom::PruneFittings(ids);
    EXPECT_EQ(ids, erased);
}

}  // namespace
