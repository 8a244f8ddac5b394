#include "tests/host/ed/EdTestSupport.h"

namespace {

std::vector<AcDbObjectId> g_removed;

std::vector<AcDbObjectId> SetIds(const ads_name ss)
{
    std::vector<AcDbObjectId> ids;
    Adesk::Int32 n = 0;
    acedSSLength(ss, &n);
    for (Adesk::Int32 i = 0; i < n; ++i) {
        ads_name e;
        acedSSName(ss, i, e);
        AcDbObjectId id;
        acdbGetObjectId(id, e);
        ids.push_back(id);
    }
    return ids;
}

// Removal passes until one ends with nothing selected, as the room dialogs do.
struct resbuf* RemoveCallback(const char16_t* kw)
{
    const char16_t* prompts[2] = {u"请选择移除的构件\n", u""};
    for (;;) {
        ads_name ss;
        int rc = acedSSGet(u":S:$", prompts, nullptr, nullptr, ss);
        if (rc == RTNORM) {
            for (AcDbObjectId id : SetIds(ss)) g_removed.push_back(id);
            acedSSFree(ss);
        }
        if (rc == RTERROR) return nullptr;
    }
}

TEST_F(EditorTest, AKeywordRunsTheCallbackWithNestedSelectionsAndTheSelectionGoesOn)
{
    AcDbObjectId a = addLine({0, 0, 0}, {1, 0, 0});
    AcDbObjectId b = addLine({0, 5, 0}, {1, 5, 0});
    AcDbObjectId c = addLine({0, 9, 0}, {1, 9, 0});
    g_removed.clear();
    script({u"q", hashOf(b), u"<esc>", u"W -1,4 2,6", u"<enter>", hashOf(a) + u" " + hashOf(c)});
    acedSSSetKwordCallbackPtr(&RemoveCallback);
    const char16_t* prompts[2] = {u"请选择随房间复制的构件[Q移除]\n", u""};
    ads_name ss;
    ASSERT_EQ(acedSSGet(u":S:$:K", prompts, u"Q", nullptr, ss), RTNORM);
    EXPECT_EQ(SetIds(ss), (std::vector<AcDbObjectId>{a, c}));
    EXPECT_EQ(acedSSFree(ss), RTNORM);
    acedSSSetKwordCallbackPtr(nullptr);
    // A cancel inside the callback starts another removal pass; Enter ends the passes.
    EXPECT_EQ(g_removed, (std::vector<AcDbObjectId>{b, b}));
    EXPECT_EQ(vked::OpenSelectionSetCount(), 0);
    std::string t = out.utf8();
    // The outer prompt shows again after the callback returned.
    size_t first = t.find("请选择随房间复制的构件[Q移除]");
    ASSERT_NE(first, std::string::npos);
    EXPECT_NE(t.find("请选择随房间复制的构件[Q移除]", first + 1), std::string::npos);
    EXPECT_NE(t.find("2 found"), std::string::npos);
}

TEST_F(EditorTest, AnEmptySelectionAnswersErrorAndEscCancels)
{
    addLine({0, 0, 0}, {1, 0, 0});
    script({u"50,50", u"<enter>", u"<esc>"});
    ads_name ss;
    EXPECT_EQ(acedSSGet(nullptr, nullptr, nullptr, nullptr, ss), RTERROR);
    EXPECT_EQ(acedSSGet(u":S", nullptr, nullptr, nullptr, ss), RTCAN);
    EXPECT_NE(out.utf8().find("0 found"), std::string::npos);
}

TEST_F(EditorTest, CrossingFindsWhatTheWindowMisses)
{
    AcDbObjectId inside = addLine({1, 1, 0}, {2, 2, 0});
    AcDbObjectId across = addLine({-5, 1.5, 0}, {5, 1.5, 0});
    ads_point p1 = {0, 0, 0}, p2 = {3, 3, 0};
    ads_name ss;
    ASSERT_EQ(acedSSGet(u"W", p1, p2, nullptr, ss), RTNORM);
    EXPECT_EQ(SetIds(ss), (std::vector<AcDbObjectId>{inside}));
    acedSSFree(ss);
    ASSERT_EQ(acedSSGet(u"C", p1, p2, nullptr, ss), RTNORM);
    EXPECT_EQ(SetIds(ss), (std::vector<AcDbObjectId>{inside, across}));
    acedSSFree(ss);
}

class LineJig : public AcEdJig {
public:
    DragStatus sampler() override
    {
        setUserInputControls(0xE3);
        setKeywordList(u"A B C");
        return acquirePoint(cur);
    }
    bool update() override
    {
        line.setEndPoint(cur);
        ++updates;
        return true;
    }
    AcDbEntity* entity() const override { return const_cast<AcDbLine*>(&line); }
    AcGePoint3d cur;
    AcDbLine line;
    int updates = 0;
};

TEST_F(EditorTest, AJigFollowsMotionsAndEndsOnAPointAKeywordOrEsc)
{
    std::vector<AcGePoint3d> previews;
    vked::JigPreviewSink old = vked::SetJigPreviewSink([&](const AcDbEntity* e) {
        previews.push_back(static_cast<const AcDbLine*>(e)->endPoint());
    });
    script({u"!move 1,1", u"!move 2,2", u"c", u"bogus", u"<enter>", u"5,5", u"<esc>"});
    LineJig jig;
    EXPECT_EQ(jig.drag(), AcEdJig::kKW3);
    EXPECT_EQ(previews.size(), 2u);
    EXPECT_EQ(jig.drag(), AcEdJig::kNull);      // null response accepted by 0xE3
    EXPECT_EQ(jig.drag(), AcEdJig::kNormal);
    EXPECT_EQ(jig.cur, AcGePoint3d(5, 5, 0));
    EXPECT_EQ(jig.drag(), AcEdJig::kCancel);
    EXPECT_EQ(previews.size(), 3u);
    EXPECT_EQ(previews.back(), AcGePoint3d(5, 5, 0));
    EXPECT_NE(out.utf8().find("line 4 (t.scr): expected a point or one of the keywords A B C"), std::string::npos);
    vked::SetJigPreviewSink(old);
}

TEST_F(EditorTest, TheCancelCharacterEndsThePromptThatReadsIt)
{
    script({u"1,1", u"2,2"});
    vked::SendToCommandLine(CString(u"\x03"));
    ads_point p;
    EXPECT_EQ(acedGetPoint(nullptr, u"", p), RTCAN);
    EXPECT_EQ(acedGetPoint(nullptr, u"", p), RTNORM);
    EXPECT_DOUBLE_EQ(p[0], 1);
}

}  // namespace
