#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "host/rx/AcRxObject.h"

class RxTestShape : public AcRxObject {
public:
    ACRX_DECLARE_MEMBERS(RxTestShape);
};
class RxTestSquare : public RxTestShape {
public:
    ACRX_DECLARE_MEMBERS(RxTestSquare);
};
class RxTestOther : public AcRxObject {
public:
    ACRX_DECLARE_MEMBERS(RxTestOther);
};
ACRX_DEFINE_ABSTRACT_MEMBERS(RxTestShape, AcRxObject)
ACRX_DEFINE_MEMBERS(RxTestSquare, RxTestShape)
ACRX_DEFINE_MEMBERS(RxTestOther, AcRxObject)

namespace {

TEST(ClassRegistry, FindsClassesByNameAndCreatesConcreteOnes)
{
    EXPECT_EQ(acrxFindClass(u"RxTestSquare"), RxTestSquare::desc());
    EXPECT_EQ(acrxFindClass(u"AcRxObject"), AcRxObject::desc());
    EXPECT_EQ(acrxFindClass(u"NoSuchClass"), nullptr);
    EXPECT_TRUE(RxTestShape::desc()->isAbstract());
    EXPECT_EQ(RxTestShape::desc()->create(), nullptr);
    std::unique_ptr<AcRxObject> sq(acrxFindClass(u"RxTestSquare")->create());
    ASSERT_NE(sq, nullptr);
    EXPECT_EQ(sq->isA(), RxTestSquare::desc());
}

TEST(ClassRegistry, CastAndIsKindOfFollowDerivation)
{
    RxTestSquare sq;
    RxTestOther other;
    AcRxObject* p = &sq;
    EXPECT_TRUE(p->isKindOf(RxTestShape::desc()));
    EXPECT_TRUE(p->isKindOf(AcRxObject::desc()));
    EXPECT_FALSE(other.isKindOf(RxTestShape::desc()));
    EXPECT_EQ(RxTestShape::cast(p), &sq);
    EXPECT_EQ(RxTestShape::cast(&other), nullptr);
    EXPECT_EQ(RxTestSquare::cast(nullptr), nullptr);
    EXPECT_EQ(RxTestSquare::desc()->myParent(), RxTestShape::desc());
}

// Derivation is looked up by depth; a line of classes deeper than that lookup holds still answers
// from every depth, and siblings of equal depth are not each other's kind.
TEST(ClassRegistry, DerivationHoldsAtAnyDepth)
{
    std::vector<std::unique_ptr<AcRxClass>> line, branch;
    for (int i = 0; i < 20; ++i) {
        AcRxClass* parent = i == 0 ? AcRxObject::desc() : line.back().get();
        line.push_back(std::make_unique<AcRxClass>(u"RxTestDeep", parent, nullptr));
        branch.push_back(std::make_unique<AcRxClass>(u"RxTestBranch", parent, nullptr));
    }
    for (size_t i = 0; i < line.size(); ++i)
        for (size_t j = 0; j < line.size(); ++j) {
            EXPECT_EQ(line[i]->isDerivedFrom(line[j].get()), j <= i) << i << " " << j;
            EXPECT_EQ(branch[i]->isDerivedFrom(line[j].get()), j < i) << i << " " << j;
            EXPECT_FALSE(line[i]->isDerivedFrom(branch[j].get())) << i << " " << j;
        }
    EXPECT_TRUE(line.back()->isDerivedFrom(AcRxObject::desc()));
    EXPECT_FALSE(AcRxObject::desc()->isDerivedFrom(line.front().get()));
    EXPECT_FALSE(line.back()->isDerivedFrom(nullptr));
}

TEST(ClassRegistry, ANameTakenByAnotherClassIsRefused)
{
    AcRxClass impostor(u"RxTestSquare", AcRxObject::desc(), nullptr);
    EXPECT_FALSE(acrxRegisterClass(&impostor));
    acrxUnregisterClass(&impostor);  // not the registered one: no effect
    EXPECT_EQ(acrxFindClass(u"RxTestSquare"), RxTestSquare::desc());
    EXPECT_TRUE(acrxRegisterClass(RxTestSquare::desc()));  // again: harmless

    AcRxClass fresh(u"RxTestFresh", AcRxObject::desc(), nullptr);
    ASSERT_TRUE(acrxRegisterClass(&fresh));
    EXPECT_EQ(acrxFindClass(u"RxTestFresh"), &fresh);
    acrxUnregisterClass(&fresh);
    EXPECT_EQ(acrxFindClass(u"RxTestFresh"), nullptr);
}

}  // namespace
