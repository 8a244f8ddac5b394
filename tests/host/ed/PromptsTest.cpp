#include <cmath>
#include <numbers>

#include "tests/host/ed/EdTestSupport.h"

namespace {

TEST_F(EditorTest, PointRealAndStringPromptsReadTheirLines)
{
    script({u"; comment", u"3,4", u"2.5", u"房间 A"});
    ads_point p;
    EXPECT_EQ(acedGetPoint(nullptr, u"\n指定点:", p), RTNORM);
    EXPECT_DOUBLE_EQ(p[0], 3);
    EXPECT_DOUBLE_EQ(p[1], 4);
    double r = 0;
    EXPECT_EQ(acedGetReal(u"\n角度:<0>", &r), RTNORM);
    EXPECT_DOUBLE_EQ(r, 2.5);
    char16_t buf[64];
    EXPECT_EQ(acedGetString(1, u"\n名称:", buf, 64), RTNORM);
    EXPECT_EQ(CString(buf), u"房间 A");
    EXPECT_EQ(out.utf8(), "\n指定点:3,4\n\n角度:<0>2.5\n\n名称:房间 A\n");
}

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

TEST_F(EditorTest, KeywordsEnterAndEsc)
{
    script({u"b", u"<enter>", u"<esc>"});
    acedInitGet(0, u"A B C");
    ads_point p;
    EXPECT_EQ(acedGetPoint(nullptr, u"", p), RTKWORD);
    char16_t kw[8];
    EXPECT_EQ(acedGetInput(kw, 8), RTNORM);
    EXPECT_EQ(CString(kw), u"B");
    double r;
    EXPECT_EQ(acedGetReal(u"", &r), RTNONE);
    EXPECT_EQ(acedGetReal(u"", &r), RTCAN);
    EXPECT_NE(out.utf8().find("*Cancel*"), std::string::npos);
}

TEST_F(EditorTest, RunningOutOfInputAnswersEscWithANote)
{
    ads_point p;
    EXPECT_EQ(acedGetPoint(nullptr, u"\n指定房间基点\n", p), RTCAN);
    EXPECT_NE(out.utf8().find("** input ended:"), std::string::npos);
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

TEST_F(EditorTest, EntSelPicksTheNewestVisibleEntityWithinTheAperture)
{
    AcDbObjectId older = addLine({0, 0, 0}, {10, 0, 0});
    AcDbObjectId newer = addLine({0, 1, 0}, {10, 1, 0});
    AcDbObjectId hidden = addLine({0, 0.5, 0}, {10, 0.5, 0}, u"OFF");
    ASSERT_FALSE(vktest::SetLayer(*db, u"OFF", {.off = true}).isNull());
    script({u"5,0.5", u"5,-2.9", u"5,-3.5", hashOf(hidden)});
    ads_name n;
    ads_point p;
    EXPECT_EQ(acedEntSel(u"", n, p), RTNORM);
    EXPECT_EQ(idOf(n), newer);                  // both lines are in reach; the newer wins
    EXPECT_EQ(acedEntSel(u"", n, p), RTNORM);   // 2.9 from the older line, aperture 3
    EXPECT_EQ(idOf(n), older);
    EXPECT_EQ(acedEntSel(u"", n, p), RTERROR);  // a miss
    vked::SetShortVar(u"PICKBOX", 5);
    EXPECT_EQ(acedEntSel(u"", n, p), RTNORM);   // by handle, whatever the layer
    EXPECT_EQ(idOf(n), hidden);
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

TEST_F(EditorTest, HighlightedEntitiesCanBeListedWhileAPromptWaits)
{
    AcDbObjectId a = addLine({0, 0, 0}, {10, 0, 0});
    addLine({0, 5, 0}, {10, 5, 0});
    AcDbObjectId c = addLine({0, 9, 0}, {10, 9, 0});
    script({u"!highlighted", u"3,3"});
    ads_point p;
    ASSERT_EQ(acedGetPoint(nullptr, u"", p), RTNORM);
    for (AcDbObjectId id : {a, c}) {
        AcDbEntity* e = nullptr;
        ASSERT_EQ(acdbOpenAcDbEntity(e, id, AcDb::kForRead), Acad::eOk);
        e->highlight();
        e->close();
    }
    script({u"!highlighted", u"3,3"});
    ASSERT_EQ(acedGetPoint(nullptr, u"", p), RTNORM);
    const std::string want = "<highlighted: #" + a.handle().text().ToUtf8() + " #" + c.handle().text().ToUtf8() + ">";
    EXPECT_NE(out.utf8().find("<highlighted: none>"), std::string::npos) << out.utf8();
    EXPECT_NE(out.utf8().find(want), std::string::npos) << out.utf8();
}

TEST_F(EditorTest, SystemVariablesKeepTheirTypes)
{
    resbuf rb;
    ASSERT_EQ(acedGetVar(u"orthomode", &rb), RTNORM);
    EXPECT_EQ(rb.restype, RTSHORT);
    EXPECT_EQ(rb.resval.rint, 0);
    rb.resval.rint = 1;
    EXPECT_EQ(acedSetVar(u"ORTHOMODE", &rb), RTNORM);
    EXPECT_EQ(vked::GetShortVar(u"ORTHOMODE"), 1);
    resbuf s;
    s.restype = RTSTR;
    s.resval.rstring = acutNewString(u"楼层 1");
    EXPECT_EQ(acedSetVar(u"MODEMACRO", &s), RTNORM);
    acutDelString(s.resval.rstring);
    ASSERT_EQ(acedGetVar(u"MODEMACRO", &s), RTNORM);
    EXPECT_EQ(CString(s.resval.rstring), u"楼层 1");
    acutDelString(s.resval.rstring);
    EXPECT_EQ(acedSetVar(u"MODEMACRO", &rb), RTERROR);  // a short into a string
    EXPECT_EQ(acedSetVar(u"CMDACTIVE", &rb), RTERROR);  // read-only
    EXPECT_EQ(acedGetVar(u"NOSUCHVAR", &rb), RTERROR);
}

TEST_F(EditorTest, CommandsAreFoundByGlobalOrLocalNameWithoutRegardToCase)
{
    static int runs = 0;
    runs = 0;
    auto fn = [] { ++runs; };
    ASSERT_EQ(acedRegCmds()->addCommand(u"T_GRP", u"_bjbz", u"bjbz", ACRX_CMD_MODAL, fn), Acad::eOk);
    EXPECT_EQ(acedRegCmds()->addCommand(u"T_GRP", u"_bjbz", u"other", ACRX_CMD_MODAL, fn), Acad::eDuplicateKey);
    EXPECT_NE(acedRegCmds()->lookupCmd(u"BJBZ"), nullptr);
    EXPECT_NE(acedRegCmds()->lookupCmd(u"_BjBz"), nullptr);
    script({u"BjBz", u"_bjbz", u"nosuch"});
    vked::RunUntilEndOfInput();
    EXPECT_EQ(runs, 2);
    EXPECT_NE(out.utf8().find("Unknown command \"nosuch\"."), std::string::npos);
    EXPECT_EQ(acedRegCmds()->removeGroup(u"T_GRP"), Acad::eOk);
    EXPECT_EQ(acedRegCmds()->lookupCmd(u"bjbz"), nullptr);
    EXPECT_EQ(acedRegCmds()->removeGroup(u"T_GRP"), Acad::eKeyNotFound);
}

}  // namespace
