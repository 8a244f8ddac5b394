// Between the window's web server and the editor: work that needs the drawing runs on the
// editor's thread while it waits for input, lines come in order, pages get what they missed;
// the wait line goes out with its step.
#include <gtest/gtest.h>

#include <thread>

#include "apps/vkcad/serve/Bridge.h"
#include "apps/vkcad/serve/Window.h"

using vkcad::serve::Bridge;
using vkcad::serve::PageLine;

TEST(ServeBridge, WorkRunsOnTheEditorsThreadWhileItWaitsAndStopsWithTheSession)
{
    Bridge bridge;
    const std::thread::id editor = std::this_thread::get_id();
    std::thread::id ranOn;
    bool handed = false;
    std::thread server([&] {
        handed = bridge.runOnEditor([&] { ranOn = std::this_thread::get_id(); }, 10000);
        bridge.postLines({PageLine{"bjcj"}, PageLine{"!move 1,2", true}});
    });
    std::optional<PageLine> line = bridge.nextLine(nullptr);
    server.join();
    EXPECT_TRUE(handed);
    EXPECT_EQ(ranOn, editor);
    ASSERT_TRUE(line);
    EXPECT_EQ(line->text, "bjcj");
    line = bridge.nextLine(nullptr);
    ASSERT_TRUE(line);
    EXPECT_TRUE(line->silent);

    bridge.end();
    EXPECT_FALSE(bridge.nextLine(nullptr)) << "no input once the session ended";
    bool ran = false;
    EXPECT_FALSE(bridge.runOnEditor([&] { ran = true; }, 100));
    EXPECT_FALSE(ran);
}

TEST(ServeBridge, APageGetsTheStateFirstThenOnlyWhatChanged)
{
    Bridge bridge;
    bridge.appendTranscript("Command: bjcj\n");
    bridge.setState("{\"a\":1}");
    std::uint64_t seq = 0;
    std::vector<std::string> first = bridge.eventsAfter(seq, 0);
    ASSERT_EQ(first.size(), 2u);
    EXPECT_NE(first[0].find("Command: bjcj"), std::string::npos);
    EXPECT_EQ(first[1], "event: state\ndata: {\"a\":1}\n\n");
    bridge.setState("{\"a\":1}");  // the same state: nothing new
    EXPECT_TRUE(bridge.eventsAfter(seq, 0).empty());
    bridge.setState("{\"a\":2}");
    bridge.publish("jig", "{}");
    const std::vector<std::string> next = bridge.eventsAfter(seq, 0);
    ASSERT_EQ(next.size(), 2u);
    EXPECT_EQ(next[0], "event: state\ndata: {\"a\":2}\n\n");
    EXPECT_EQ(next[1], "event: jig\ndata: {}\n\n");
    bridge.interrupt();
    std::optional<PageLine> line = bridge.nextLine(nullptr);
    ASSERT_TRUE(line);
    EXPECT_TRUE(line->interrupt);
    EXPECT_EQ(bridge.takeInterrupts(), 1);
}

// The wait line's step is what follows the wait's own text, blanks and all; a line that does
// not continue the shown text starts a new wait.
TEST(ServeWaitLine, TheStepIsWhatFollowsTheWaitsText)
{
    std::string shown;
    EXPECT_EQ(vkcad::serve::WaitEvent("处理中，请稍后...", shown), R"({"text":"处理中，请稍后..."})");
    EXPECT_EQ(vkcad::serve::WaitEvent("处理中，请稍后... 2 F 1/3", shown),
              R"({"done":1,"of":3,"step":"2 F 1/3","text":"处理中，请稍后..."})");
    EXPECT_EQ(vkcad::serve::WaitEvent("处理中，请稍后... roof", shown), R"({"step":"roof","text":"处理中，请稍后..."})");
    EXPECT_EQ(vkcad::serve::WaitEvent("Saving 1/2", shown), R"({"text":"Saving 1/2"})");
}
