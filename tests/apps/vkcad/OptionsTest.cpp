#include <gtest/gtest.h>

#include "apps/vkcad/Options.h"

using vkcad::Options;
using vkcad::ParseCommandLine;

TEST(VkcadOptions, OrdinaryFormTakesEveryOptionAndRepeatedLoads)
{
    auto r = ParseCommandLine({"--project", "p.prj", "--floor", "2F", "--load", "a.so", "--load", "b.so",
                               "--no-default-plugins", "--script", "s.scr", "x.dwg"});
    ASSERT_EQ(r.exitCode, -1) << r.message;
    const Options& o = r.options;
    EXPECT_EQ(o.mode, Options::kRun);
    EXPECT_EQ(o.project, "p.prj");
    EXPECT_EQ(o.floor, "2F");
    EXPECT_EQ(o.plugins, (std::vector<std::string>{"a.so", "b.so"}));
    EXPECT_TRUE(o.noDefaultPlugins);
    EXPECT_EQ(o.script, "s.scr");
    EXPECT_EQ(o.drawing, "x.dwg");
}

TEST(VkcadOptions, NothingGivenMeansConsoleWithDefaults)
{
    auto r = ParseCommandLine({});
    ASSERT_EQ(r.exitCode, -1);
    EXPECT_FALSE(r.options.noDefaultPlugins);
    EXPECT_TRUE(r.options.script.empty());
    EXPECT_TRUE(r.options.drawing.empty());
    EXPECT_EQ(ParseCommandLine({"--script", "-"}).options.script, "-");
}

TEST(VkcadOptions, BatchFormsAreTheirFirstWord)
{
    auto d = ParseCommandLine({"dump", "a.dwg"});
    ASSERT_EQ(d.exitCode, -1);
    EXPECT_EQ(d.options.mode, Options::kDump);
    EXPECT_EQ(d.options.drawing, "a.dwg");

    auto l = ParseCommandLine({"load", "a.jsonl", "a.dwg"});
    ASSERT_EQ(l.exitCode, -1);
    EXPECT_EQ(l.options.mode, Options::kLoad);
    EXPECT_EQ(l.options.jsonl, "a.jsonl");
    EXPECT_EQ(l.options.drawing, "a.dwg");
}

TEST(VkcadOptions, UsageErrorsStopWithAMessage)
{
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"dump"}, {"load", "a.jsonl"}, {"--bogus"}, {"--script"}, {"a.dwg", "b.dwg"}, {"--floor", "1F"}}) {
        auto r = ParseCommandLine(args);
        EXPECT_GT(r.exitCode, 0) << args[0];
        EXPECT_FALSE(r.message.empty()) << args[0];
    }
    auto help = ParseCommandLine({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.message.find("--no-default-plugins"), std::string::npos);
}
