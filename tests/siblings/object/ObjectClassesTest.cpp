#include <gtest/gtest.h>

#include "siblings/object/AcDbQsStandRoom.h"
#include "siblings/object/CObjectKind.h"
#include "siblings/object/VkQsDlpEnt.h"
#include "siblings/object/VkQsDuctFitting.h"
#include "siblings/object/VkQsElementComponent.h"
#include "siblings/object/VkQsMainLine.h"
#include "siblings/object/VkQsNode.h"
#include "siblings/object/VkQsNodeEntPrototype.h"
#include "siblings/object/VkQsPipeValve.h"

TEST(ObjectClasses, EveryComponentIsAVkQsEntityAndConcreteOnesLoadByName)
{
    const char16_t* concrete[] = {u"VkQsPipe", u"VkQsMainPipe", u"VkQsMainLeadCon", u"VkQsPipeValve",
                                  u"VkQsPipeFitting", u"VkQsDuctFitting", u"VkQsDlpEnt", u"VkQsNode",
                                  u"VkQsSprinkler", u"VkQsElementComponent"};
    for (const char16_t* name : concrete) {
        AcRxClass* c = acrxFindClass(name);
        ASSERT_NE(c, nullptr) << CString(name).ToUtf8();
        EXPECT_FALSE(c->isAbstract());
        EXPECT_TRUE(c->isDerivedFrom(VkQsEntity::desc()));
        AcRxObject* made = c->create();
        ASSERT_NE(VkQsEntity::cast(made), nullptr);
        EXPECT_EQ(made->isA(), c);
        delete made;
    }
    for (AcRxClass* c : {VkQsEntity::desc(), VkQsPolyForValve::desc(), VkQsFittingBase::desc(),
                         VkQsNodeEntPrototype::desc()})
        EXPECT_TRUE(c->isAbstract());
    EXPECT_TRUE(VkQsEntity::desc()->isDerivedFrom(AcDbCurve::desc()));
    EXPECT_TRUE(VkQsPipe::desc()->isDerivedFrom(VkQsPolyForValve::desc()));
    EXPECT_TRUE(VkQsDuctFitting::desc()->isDerivedFrom(VkQsFittingBase::desc()));
    EXPECT_EQ(AcDbQsStandRoom::desc()->myParent(), AcDbPolyline::desc());
    EXPECT_FALSE(AcDbQsStandRoom::desc()->isDerivedFrom(VkQsEntity::desc()));
}

TEST(ObjectClasses, CastsAndTheMainLineView)
{
    VkQsPipe pipe;
    VkQsMainPipe main;
    VkQsMainLeadCon lead;
    VkQsNode node;
    EXPECT_EQ(VkQsEntity::cast(nullptr), nullptr);
    EXPECT_EQ(VkQsPipeValve::cast(&pipe), nullptr);
    EXPECT_EQ(VkQsPipe::cast(&main), &main);
    EXPECT_EQ(VkQsMainLeadCon::cast(&main), nullptr);
    EXPECT_EQ(VkQsMainLeadCon::cast(&lead), &lead);

    EXPECT_EQ(VkQsMainLine::vk_cast(nullptr), nullptr);
    EXPECT_EQ(VkQsMainLine::vk_cast(&pipe), nullptr);
    EXPECT_EQ(VkQsMainLine::vk_cast(&node), nullptr);
    ASSERT_NE(VkQsMainLine::vk_cast(&main), nullptr);
    EXPECT_EQ(VkQsMainLine::vk_cast(&main)->mainLineEntity(), &main);
    ASSERT_NE(VkQsMainLine::vk_cast(&lead), nullptr);
    EXPECT_EQ(VkQsMainLine::vk_cast(&lead)->mainLineEntity(), &lead);
}

TEST(ObjectClasses, DisciplineKpyxAndStyle)
{
    VkQsNode node;
    EXPECT_FALSE(isKPYX(nullptr));
    EXPECT_FALSE(isKPYX(&node));
    node.SetKPYX(true);
    EXPECT_TRUE(isKPYX(&node));

    node.SetSmallTypeNamePath(u"电气\\插座\\五孔插座");
    EXPECT_EQ(node.GetSmallTypeNamePath().Compare(u"电气\\插座\\五孔插座"), 0);
    EXPECT_EQ(node.GetDiscipline().Compare(u"电气"), 0);
    node.SetSmallTypeNamePath(u"弱电");
    EXPECT_EQ(node.GetDiscipline().Compare(u"弱电"), 0);

}

TEST(ObjectClasses, ReferencePointsOfPointLikeKinds)
{
    VkQsCore::Product product;
    product.location = AcGePoint3d(10, 11, 12);
    VkQsElementComponent equip(product);
    std::shared_ptr<const VkQsCore::Product> handle = equip.GetProduct();
    EXPECT_TRUE(VkQsCore::GetProductLocation(handle).isEqualTo(AcGePoint3d(10, 11, 12)));
    EXPECT_TRUE(VkQsCore::GetProductLocation(nullptr).isEqualTo(AcGePoint3d::kOrigin));
    // A handle keeps what it saw after the component moves.
    equip.transformBy(AcGeMatrix3d::translation(AcGeVector3d(100, 0, 0)));
    EXPECT_TRUE(VkQsCore::GetProductLocation(handle).isEqualTo(AcGePoint3d(10, 11, 12)));
    EXPECT_TRUE(VkQsCore::GetProductLocation(equip.GetProduct()).isEqualTo(AcGePoint3d(110, 11, 12)));

    // Point-like components answer their point as both ends of the curve.
    VkQsPipeValve valve(AcGePoint3d(3, 3, 0), 0);
    AcGePoint3d s, e;
    EXPECT_EQ(valve.getStartPoint(s), Acad::eOk);
    EXPECT_EQ(valve.getEndPoint(e), Acad::eOk);
    EXPECT_TRUE(s.isEqualTo(e));
    EXPECT_TRUE(s.isEqualTo(AcGePoint3d(3, 3, 0)));
    VkQsDlpEnt dlp(AcGePoint3d(0, 0, 0), AcGePoint3d(0, 900, 0), 300);
    dlp.getStartPoint(s);
    dlp.getEndPoint(e);
    EXPECT_TRUE(e.isEqualTo(AcGePoint3d(0, 900, 0)));
}

// The marker's kind number is fixed (its layer comes from it: the toolkit's layer test).
static_assert(AcDbQsStandRoom::kKind == Object::Kind(35));

TEST(ObjectClasses, MarkerKindNamesItsLayer)
{
    EXPECT_EQ(CObjectKind::GetLayerByKind(AcDbQsStandRoom::kKind).Compare(u"标准房间"), 0);
    EXPECT_TRUE(CObjectKind::GetLayerByKind(Object::kUnknown).IsEmpty());
}

TEST(ObjectClasses, GeometryGivesExtentsAndOffsets)
{
    VkQsNode node(AcGePoint3d(100, 100, 0), 50);
    AcDbExtents ext;
    ASSERT_EQ(node.getGeomExtents(ext), Acad::eOk);
    EXPECT_NEAR(ext.minPoint().x, 50, 1e-6);
    EXPECT_NEAR(ext.maxPoint().y, 150, 1e-6);

    VkQsPipeValve valve(AcGePoint3d(0, 0, 0), 0);
    ASSERT_EQ(valve.getGeomExtents(ext), Acad::eOk);
    EXPECT_NEAR(ext.minPoint().x, -valve.size() / 2, 1e-9);
    EXPECT_NEAR(ext.maxPoint().x, valve.size() / 2, 1e-9);

    VkQsPipe pipe(AcGePoint3d(0, 0, 0), AcGePoint3d(100, 0, 0));
    std::vector<AcDbCurve*> offs;
    ASSERT_EQ(pipe.getOffsetCurves(10, offs), Acad::eOk);
    ASSERT_EQ(offs.size(), 1u);
    AcGePoint3d s;
    offs[0]->getStartPoint(s);
    EXPECT_TRUE(s.isEqualTo(AcGePoint3d(0, 10, 0)));  // positive: to the left
    delete offs[0];
    double d = 0;
    EXPECT_EQ(pipe.getDistAtPoint(AcGePoint3d(40, 0, 0), d), Acad::eOk);
    EXPECT_DOUBLE_EQ(d, 40);
    EXPECT_NE(pipe.getDistAtPoint(AcGePoint3d(40, 5, 0), d), Acad::eOk);
}
