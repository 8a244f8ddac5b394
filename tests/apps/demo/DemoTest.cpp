// The demo (scripts/demo.sh, the README's main command) against the built programs: what it
// promises, it does. It ends well, its report finds every copy in step with the edited room,
// and it draws each floor and its bathrooms before and after the edit, named at the end.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "tests/support/RunCommand.h"

namespace fs = std::filesystem;

TEST(Demo, DefinesPlacesAndEditsTheBathroomsReportsThemInStepAndDrawsThem)
{
    const fs::path bin(VK_DEMO_BIN_DIR), sourceDir(VK_DEMO_SOURCE_DIR);
    char pattern[] = "/tmp/vk_demo_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const fs::path out = fs::path(pattern) / "demo";
    int status = 0;
    const std::string transcript = vktest::RunCommand("cd '" + sourceDir.string() + "' && VK_DEMO_BIN='" + bin.string() +
                                                          "' VK_DEMO_OUT='" + out.string() + "' bash scripts/demo.sh 2>&1",
                                                      &status);
    ASSERT_EQ(status, 0) << transcript;
    // The architect's plan comes in whole.
    EXPECT_NE(transcript.find("plan.dxf: 279 entities imported"), std::string::npos) << transcript;
    EXPECT_EQ(transcript.find("not imported"), std::string::npos) << transcript;
    EXPECT_NE(transcript.find("Total: 27 in step, 0 excluded, 0 drifted, 0 broken"), std::string::npos) << transcript;
    EXPECT_EQ(transcript.find("** line"), std::string::npos) << transcript;

    // Each picture is named at the end, is a PNG of its size, and shows the edit.
    const std::string tail = transcript.substr(transcript.size() > 2000 ? transcript.size() - 2000 : 0);
    auto png = [](const fs::path& file, unsigned& w, unsigned& h) {
        std::ifstream in(file, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), {});
        auto be = [&](size_t at) {
            unsigned v = 0;
            for (size_t i = 0; i < 4; ++i) v = (v << 8) | static_cast<unsigned char>(bytes[at + i]);
            return v;
        };
        const bool ok = bytes.size() >= 24 && bytes.compare(0, 8, std::string("\x89PNG\r\n\x1a\n", 8)) == 0;
        w = ok ? be(16) : 0;
        h = ok ? be(20) : 0;
        return bytes;
    };
    for (const std::string floor : {"1F", "2F", "3F"})
        for (const std::string part : {"", "-bathrooms"}) {
            const fs::path before = out / (floor + "-before" + part + ".png"), after = out / (floor + "-after" + part + ".png");
            unsigned wb = 0, hb = 0, wa = 0, ha = 0;
            const std::string b = png(before, wb, hb), a = png(after, wa, ha);
            const unsigned w = part.empty() ? 1600 : 800, h = part.empty() ? 1200 : 1216;
            EXPECT_TRUE(wb == w && hb == h && wa == w && ha == h) << floor << part << ": " << wb << "x" << hb << ", " << wa << "x" << ha;
            EXPECT_NE(b, a) << floor << part << ": the edit does not show";
            EXPECT_NE(tail.find(before.string()), std::string::npos) << before << " is not named at the end";
            EXPECT_NE(tail.find(after.string()), std::string::npos) << after << " is not named at the end";
        }
    if (!::testing::Test::HasFailure()) fs::remove_all(pattern);
}
