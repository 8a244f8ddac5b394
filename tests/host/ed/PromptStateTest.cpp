// What a window (the page of `vkcad serve`) learns of the waiting reader when the input queue
// asks it for a line: what the reader takes and its keywords; and that a pointing device's
// motions are read without being echoed.
#include "tests/host/ed/EdTestSupport.h"

#include <deque>

namespace {

class TwoKeywordJig : public AcEdJig {
public:
    DragStatus sampler() override
    {
        setKeywordList(u"A B");
        return acquirePoint(cur);
    }
    AcDbEntity* entity() const override { return nullptr; }
    AcGePoint3d cur;
};

// Answers each pull with the next line and notes what waited for it.
struct Window {
    std::deque<vked::InputLine> lines;
    std::vector<vked::PromptState> seen;
    Window()
    {
        vked::inputQueue().setPullSource([this]() -> std::optional<vked::InputLine> {
            seen.push_back(vked::InnermostPrompt());
            if (lines.empty()) return std::nullopt;
            vked::InputLine l = lines.front();
            lines.pop_front();
            return l;
        }, true);
    }
    ~Window() { vked::inputQueue().setPullSource(nullptr); }
    void answer(const CString& text, bool silent = false)
    {
        vked::InputLine l{text, u"window", int(lines.size()) + 1};
        l.silent = silent;
        lines.push_back(l);
    }
};

}  // namespace

TEST_F(EditorTest, EachWaitingReaderTellsTheWindowWhatItTakes)
{
    Window w;
    ads_point pt;
    ads_name name, ss;
    char16_t text[64];
    w.answer(u"1,1");
    acedInitGet(0, u"Undo Close");
    EXPECT_EQ(acedGetPoint(nullptr, u"Next: ", pt), RTNORM);
    w.answer(u"<esc>");
    EXPECT_EQ(acedEntSel(u"Pick: ", name, pt), RTCAN);
    w.answer(u"<esc>");
    const char16_t* prompts[2] = {u"Objects [Q]: ", nullptr};
    EXPECT_EQ(acedSSGet(u":$:K", prompts, u"Q", nullptr, ss), RTCAN);
    w.answer(u"!move 3,3", true);
    w.answer(u"b");
    TwoKeywordJig jig;
    EXPECT_EQ(jig.drag(), AcEdJig::kKW2);
    w.answer(u"x");
    EXPECT_EQ(acedGetString(0, u"Name: ", text, 64), RTNORM);

    ASSERT_EQ(w.seen.size(), 6u);
    EXPECT_EQ(w.seen[0].input, vked::PromptInput::kPoint);
    EXPECT_EQ(w.seen[0].keywords, u"Undo Close");
    EXPECT_EQ(w.seen[1].input, vked::PromptInput::kPick);
    EXPECT_EQ(w.seen[2].input, vked::PromptInput::kSelection);
    EXPECT_EQ(w.seen[2].keywords, u"Q");
    EXPECT_EQ(w.seen[3].input, vked::PromptInput::kDrag);
    EXPECT_EQ(w.seen[4].keywords, u"A B");  // the jig's list, set while it drags
    EXPECT_EQ(w.seen[3].serial, w.seen[4].serial) << "one drag, waiting again";
    EXPECT_EQ(w.seen[5].input, vked::PromptInput::kOther);
    for (size_t i = 1; i < w.seen.size(); ++i) {
        if (i == 4) continue;
        EXPECT_GT(w.seen[i].serial, w.seen[i - 1].serial) << "a new reader at pull " << i;
    }
    EXPECT_EQ(vked::InnermostPrompt().input, vked::PromptInput::kNone);
    // The motion moved the jig's point but is not in the transcript; the keyword is.
    EXPECT_EQ(jig.cur, AcGePoint3d(3, 3, 0));
    EXPECT_EQ(out.utf8().find("!move"), std::string::npos) << out.utf8();
    EXPECT_NE(out.utf8().find("b\n"), std::string::npos);
}
