#include <gtest/gtest.h>

#include "siblings/object/CDealReactor.h"
#include "siblings/object/VkQsDuctFitting.h"
#include "siblings/object/VkQsDlpEnt.h"
#include "siblings/object/VkQsObjectLinks.h"
#include "tests/siblings/object/ObjectTestDb.h"

using objtest::addPipeWithValves;

TEST(ValveOwnership, ErasingAPipeErasesItsValvesAndUnerasingBringsThemBack)
{
    AcDbDatabase db;
    const auto pv = addPipeWithValves(db, {200, 600});
    {
        AcDbObjectPointer<VkQsPipe> pipe(pv.pipe, AcDb::kForWrite);
        ASSERT_EQ(pipe->erase(), Acad::eOk);
    }
    EXPECT_TRUE(pv.pipe.isErased());
    for (const AcDbObjectId& v : pv.valves) EXPECT_TRUE(v.isErased());
    EXPECT_EQ(db.numOpenObjects(), 0);

    {
        AcDbObjectPointer<VkQsPipe> pipe(pv.pipe, AcDb::kForWrite, true);
        ASSERT_EQ(pipe->erase(false), Acad::eOk);
        EXPECT_EQ(pipe->GetRefValves().length(), 2);  // the list was kept
    }
    for (const AcDbObjectId& v : pv.valves) EXPECT_FALSE(v.isErased());
}

TEST(ValveOwnership, ErasingAValveTakesItOffItsPipe)
{
    AcDbDatabase db;
    const auto pv = addPipeWithValves(db, {200, 600});
    {
        AcDbObjectPointer<VkQsPipeValve> valve(pv.valves[0], AcDb::kForWrite);
        ASSERT_EQ(valve->erase(), Acad::eOk);
    }
    AcDbObjectPointer<VkQsPipe> pipe(pv.pipe, AcDb::kForRead);
    ASSERT_TRUE(pipe);
    EXPECT_EQ(pipe->GetRefValves(), objtest::toArray({pv.valves[1]}));
    EXPECT_FALSE(pv.valves[1].isErased());
}

TEST(ValveOwnership, AValveErasedWhileItsPipeIsOpenIsDroppedAtTheNextRelink)
{
    AcDbDatabase db;
    const auto pv = addPipeWithValves(db, {200, 600});
    const int before = VkQsObjectLinks::pendingValveRemovals();
    {
        AcDbObjectPointer<VkQsPipe> reader(pv.pipe, AcDb::kForRead);
        AcDbObjectPointer<VkQsPipeValve> valve(pv.valves[1], AcDb::kForWrite);
        ASSERT_EQ(valve->erase(), Acad::eOk);
        EXPECT_EQ(reader->GetRefValves().length(), 2);
    }
    EXPECT_EQ(VkQsObjectLinks::pendingValveRemovals(), before + 1);
    EXPECT_EQ(VkQsObjectLinks::relink(&db), 1);
    EXPECT_EQ(VkQsObjectLinks::pendingValveRemovals(), before);
    AcDbObjectPointer<VkQsPipe> pipe(pv.pipe, AcDb::kForRead);
    EXPECT_EQ(pipe->GetRefValves(), objtest::toArray({pv.valves[0]}));
}

TEST(ValveOwnership, RelinkDropsReferencesToErasedPipesAndDuctPieces)
{
    AcDbDatabase db;
    const AcDbObjectId p1 = objtest::appendToModelSpace(db, new VkQsPipe(AcGePoint3d(0, 0, 0), AcGePoint3d(10, 0, 0)));
    const AcDbObjectId p2 = objtest::appendToModelSpace(db, new VkQsPipe(AcGePoint3d(10, 0, 0), AcGePoint3d(10, 10, 0)));
    const AcDbObjectId d1 = objtest::appendToModelSpace(db, new VkQsDlpEnt(AcGePoint3d(), AcGePoint3d(0, 5, 0), 2));
    auto* fit = new VkQsDuctFitting(AcGePoint3d(10, 0, 0));
    fit->SetRefPipes(objtest::toArray({p1, p2}));
    fit->SetRefDlps(objtest::toArray({d1}));
    const AcDbObjectId f = objtest::appendToModelSpace(db, fit);
    for (AcDbObjectId id : {p1, d1}) {
        AcDbObjectPointer<VkQsEntity> e(id, AcDb::kForWrite);
        ASSERT_EQ(e->erase(), Acad::eOk);
    }
    EXPECT_EQ(VkQsObjectLinks::relink(&db), 2);
    AcDbObjectPointer<VkQsDuctFitting> back(f, AcDb::kForRead);
    EXPECT_EQ(back->GetRefPipes(), objtest::toArray({p2}));
    EXPECT_TRUE(back->GetRefDlps().isEmpty());
}

TEST(ValveOwnership, ValvesFollowAPipeMovedWithoutThem)
{
    AcDbDatabase db;
    VkQsPipeTrans::clear();
    const auto pv = addPipeWithValves(db, {200});
    {
        AcDbObjectPointer<VkQsPipe> pipe(pv.pipe, AcDb::kForWrite);
        pipe->transformBy(AcGeMatrix3d::translation(AcGeVector3d(0, 500, 0)));
    }
    EXPECT_EQ(VkQsPipeTrans::pendingPipes(), 1);
    EXPECT_EQ(VkQsPipeTrans::apply(), 1);
    EXPECT_EQ(VkQsPipeTrans::pendingPipes(), 0);
    AcDbObjectPointer<VkQsPipeValve> valve(pv.valves[0], AcDb::kForRead);
    EXPECT_TRUE(valve->position().isEqualTo(AcGePoint3d(200, 500, 0)));
}

TEST(ValveOwnership, ValvesMovedWithTheirPipeMoveOnce)
{
    AcDbDatabase db;
    VkQsPipeTrans::clear();
    const auto pv = addPipeWithValves(db, {200});
    const AcGeMatrix3d up = AcGeMatrix3d::translation(AcGeVector3d(0, 500, 0));
    for (AcDbObjectId id : {pv.pipe, pv.valves[0]}) {
        AcDbObjectPointer<VkQsEntity> e(id, AcDb::kForWrite);
        e->transformBy(up);
    }
    EXPECT_EQ(VkQsPipeTrans::apply(), 0);
    AcDbObjectPointer<VkQsPipeValve> valve(pv.valves[0], AcDb::kForRead);
    EXPECT_TRUE(valve->position().isEqualTo(AcGePoint3d(200, 500, 0)));
}

