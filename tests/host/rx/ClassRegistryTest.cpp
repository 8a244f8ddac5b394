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
