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

    auto rep = ParseCommandLine({"report", "--project", "p.prj", "--floor", "2F", "--json", "r.json", "卫生间A"});
    ASSERT_EQ(rep.exitCode, -1) << rep.message;
    EXPECT_EQ(rep.options.mode, Options::kReport);
    EXPECT_EQ(rep.options.project, "p.prj");
    EXPECT_EQ(rep.options.floor, "2F");
    EXPECT_EQ(rep.options.json, "r.json");
    EXPECT_EQ(rep.options.room, "卫生间A");
}

TEST(VkcadOptions, UsageErrorsStopWithAMessage)
{
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"dump"}, {"load", "a.jsonl"}, {"report"}, {"report", "--project", "p.prj", "A", "B"}, {"--bogus"}, {"--script"}, {"a.dwg", "b.dwg"}, {"--floor", "1F"}}) {
        auto r = ParseCommandLine(args);
        EXPECT_GT(r.exitCode, 0) << args[0];
        EXPECT_FALSE(r.message.empty()) << args[0];
    }
    auto help = ParseCommandLine({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.message.find("--no-default-plugins"), std::string::npos);
}

TEST(VkcadOptions, RenderTakesAWindowAndASizeAndRefusesMalformedOnes)
{
    auto r = ParseCommandLine({"render", "a.dwg", "a.png", "--window=-10,20,90.5,-60", "--size", "640x480"});
    ASSERT_EQ(r.exitCode, -1) << r.message;
    const Options& o = r.options;
    EXPECT_EQ(o.mode, Options::kRender);
    EXPECT_TRUE(o.window);
    EXPECT_EQ(o.x1, -10);
    EXPECT_EQ(o.y1, -60);
    EXPECT_EQ(o.x2, 90.5);
    EXPECT_EQ(o.y2, 20);
    EXPECT_EQ(o.width, 640);
    EXPECT_EQ(o.height, 480);
    EXPECT_FALSE(ParseCommandLine({"render", "a.dwg", "a.svg"}).options.window);

    for (auto bad : {std::vector<std::string>{"render", "a.dwg", "a.png", "--window", "1,2,3"},
                     std::vector<std::string>{"render", "a.dwg", "a.png", "--window", "0,0,0,10"},
                     std::vector<std::string>{"render", "a.dwg", "a.png", "--size", "640"},
                     std::vector<std::string>{"render", "a.dwg", "a.png", "--size", "0x10"},
                     std::vector<std::string>{"render", "a.dwg"}}) {
        auto e = ParseCommandLine(bad);
        EXPECT_GT(e.exitCode, 0) << bad.back();
        EXPECT_FALSE(e.message.empty());
    }
    auto imp = ParseCommandLine({"import", "in.dxf", "out.dwg"});
    EXPECT_EQ(imp.options.mode, Options::kImport);
    EXPECT_EQ(imp.options.dxf, "in.dxf");
    EXPECT_EQ(imp.options.drawing, "out.dwg");
    auto exp = ParseCommandLine({"export", "in.dwg", "out.dxf"});
    EXPECT_EQ(exp.options.mode, Options::kExport);
    EXPECT_EQ(exp.options.drawing, "in.dwg");
    EXPECT_EQ(exp.options.dxf, "out.dxf");
}
