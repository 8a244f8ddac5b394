#include <cmath>
#include <numbers>

#include "tests/host/ed/EdTestSupport.h"

namespace {

TEST_F(EditorTest, ALineThatDoesNotFitIsReportedWithItsNumberAndThePromptWaits)
{
    script({u"abc", u"1,2"});
    ads_point p;
    EXPECT_EQ(acedGetPoint(nullptr, u"", p), RTNORM);
    EXPECT_NE(out.utf8().find("** line 1 (t.scr): expected a point x,y: \"abc\" **"), std::string::npos);
    EXPECT_DOUBLE_EQ(p[1], 2);
}

// Every number a prompt answers is finite: an angle or a distance too large to hold is refused
// and the prompt waits for the next line.
TEST_F(EditorTest, AnglesAndDistancesTooLargeToHoldAreRefused)
{
    script({u"1e308", u"90", u"1.7e308,1.7e308", u"3,4"});
    const ads_point base = {-1.7e308, 0, 0};
    const ads_point origin = {0, 0, 0};
    double r = 0;
    EXPECT_EQ(acedGetAngle(origin, u"", &r), RTNORM);
    EXPECT_DOUBLE_EQ(r, std::numbers::pi / 2);
    EXPECT_NE(out.utf8().find("** line 1 (t.scr): the angle is too large: \"1e308\" **"), std::string::npos) << out.utf8();
    EXPECT_EQ(acedGetDist(base, u"", &r), RTNORM);
    EXPECT_DOUBLE_EQ(r, std::hypot(1.7e308 + 3, 4));
    EXPECT_NE(out.utf8().find("** line 3 (t.scr): the distance to that point is too large"), std::string::npos) << out.utf8();
}

TEST_F(EditorTest, ACommandThatKeepsPromptingAfterTheEndIsAbandoned)
{
    static int calls = 0;
    calls = 0;
    acedRegCmds()->addCommand(u"T_LOOP", u"_loop", u"loop", ACRX_CMD_MODAL, [] {
        ads_point p;
        for (;;) { acedGetPoint(nullptr, u"", p); ++calls; }
    });
    script({u"LOOP"});
    vked::RunUntilEndOfInput();
    acedRegCmds()->removeGroup(u"T_LOOP");
    EXPECT_EQ(calls, 40);  // 20 Esc, 20 Enter, then abandoned
    EXPECT_NE(out.utf8().find("** input ended: command _loop abandoned **"), std::string::npos);
}

TEST_F(EditorTest, AHandleOfANonEntityIsAMissAndAHandleOfNothingIsABadLine)
{
    AcDbObjectId line = addLine({0, 0, 0}, {10, 0, 0}, u"L1");
    AcDbObjectId layer;
    ASSERT_TRUE(acdbEnsureLayer(db.get(), u"L1", false, &layer));
    script({hashOf(layer), u"#FFFFF", hashOf(line), hashOf(layer) + u" " + hashOf(line)});
    ads_name n;
    ads_point p;
    EXPECT_EQ(acedEntSel(u"", n, p), RTERROR);  // the layer: as if beside every entity
    EXPECT_EQ(acedEntSel(u"", n, p), RTNORM);   // #FFFFF is reported, then the line is picked
    EXPECT_EQ(idOf(n), line);
    EXPECT_NE(out.utf8().find("** line 2 (t.scr): no object with handle FFFFF"), std::string::npos) << out.utf8();
    ads_name ss;
    ASSERT_EQ(acedSSGet(u":S", nullptr, nullptr, nullptr, ss), RTNORM);
    Adesk::Int32 len = 0;
    acedSSLength(ss, &len);
    EXPECT_EQ(len, 1);
    acedSSFree(ss);
    EXPECT_NE(out.utf8().find("1 found"), std::string::npos);
}

}  // namespace
