#include "siblings/object/CDealReactor.h"
#include "siblings/object/VkQsObjectLinks.h"
#include "siblings/object/VkQsPipe.h"
#include "siblings/object/VkQsPipeValve.h"
#include "siblings/services/VkQsAutoHelper.h"
#include "siblings/services/VkQsReactorHelper.h"
#include "tests/siblings/object/ObjectTestDb.h"
#include "tests/siblings/services/ServicesTestDb.h"

namespace {

using PipeAndValves = objtest::PipeWithValves;

PipeAndValves AddPipe(AcDbDatabase* d, std::vector<double> xs) { return objtest::addPipeWithValves(*d, std::move(xs)); }

// A valve erased while its pipe is open elsewhere stays in the pipe's list until re-linked.
void EraseValveWhilePipeIsOpen(const PipeAndValves& pv, int which)
{
    AcDbObjectPointer<VkQsPipe> reader(pv.pipe, AcDb::kForRead);
    AcDbObjectPointer<VkQsPipeValve> valve(pv.valves[size_t(which)], AcDb::kForWrite);
    ASSERT_EQ(valve->erase(), Acad::eOk);
}

int ValveCount(AcDbObjectId pipe)
{
    AcDbObjectPointer<VkQsPipe> p(pipe, AcDb::kForRead);
    return p.openStatus() == Acad::eOk ? p->GetRefValves().length() : -1;
}

class AutomationTest : public ServicesTest {};

TEST_F(AutomationTest, LinkageRelinksTheWorkingDrawingOnly)
{
    AcDbDatabase other(true);
    PipeAndValves here = AddPipe(db.get(), {200, 600});
    PipeAndValves there = AddPipe(&other, {300});
    EraseValveWhilePipeIsOpen(here, 1);
    EraseValveWhilePipeIsOpen(there, 0);
    ASSERT_EQ(ValveCount(here.pipe), 2);
    VkQsAutoHelper::Linkage(u"");
    EXPECT_EQ(ValveCount(here.pipe), 1);
    EXPECT_EQ(ValveCount(there.pipe), 1);  // not the working drawing: left for its own relink
    EXPECT_EQ(VkQsObjectLinks::relink(&other), 1);
    EXPECT_EQ(other.numOpenObjects(), 0);
}

TEST_F(AutomationTest, BatchBringsValvesAlongWithAPipeMovedWithoutThem)
{
    VkQsPipeTrans::clear();
    PipeAndValves pv = AddPipe(db.get(), {200});
    {
        AcDbObjectPointer<VkQsPipe> pipe(pv.pipe, AcDb::kForWrite);
        pipe->transformBy(AcGeMatrix3d::translation(AcGeVector3d(0, 500, 0)));
    }
    VkQsReactorHelper::FlushGraphic(u"");
    VkQsAutoHelper::Linkage(u"");
    VkQsAutoHelper::Batch(u"");
    AcDbObjectPointer<VkQsPipeValve> valve(pv.valves[0], AcDb::kForRead);
    EXPECT_TRUE(valve->position().isEqualTo(AcGePoint3d(200, 500, 0)));
    EXPECT_EQ(VkQsPipeTrans::pendingPipes(), 0);
}

}  // namespace
