// The demo (scripts/demo.sh, the README's main command) run against the built programs: its
// outcome is checked in the drawings it leaves, not only by its exit code. The room defined on
// 1F is in the library with the edit, nine copies lie on every floor where the plan has its
// bathrooms, turned and flipped as placed, and every copy holds the moved sprinkler and the
// added drain; the pictures of every floor were written before and after the edit and differ.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/RunCommand.h"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

const std::string kRoom = "客房卫生间";

struct Pt {
    double x = 0, y = 0;
};

// A copy as the demo places it: the base point and how the room's own frame lies there.
enum class Turn { kAsDefined, kFlipLeftRight, kFlipUpDown, kHalf, kQuarterClockwise };
struct Placement {
    Pt at;
    Turn turn;
    Pt apply(Pt q) const
    {
        switch (turn) {
        case Turn::kAsDefined: return {at.x + q.x, at.y + q.y};
        case Turn::kFlipLeftRight: return {at.x - q.x, at.y + q.y};
        case Turn::kFlipUpDown: return {at.x + q.x, at.y - q.y};
        case Turn::kHalf: return {at.x - q.x, at.y - q.y};
        case Turn::kQuarterClockwise: return {at.x + q.y, at.y - q.x};
        }
        return at;
    }
};

// The nine bathrooms of a floor (1F's first one is the room as defined there).
const std::vector<Placement> kBathrooms = {
    {{4000, 8400}, Turn::kAsDefined},    {{12000, 8400}, Turn::kAsDefined},
    {{4000, 8400}, Turn::kFlipLeftRight}, {{12000, 8400}, Turn::kFlipLeftRight},
    {{4000, 6600}, Turn::kFlipUpDown},    {{12000, 6600}, Turn::kFlipUpDown},
    {{4000, 6600}, Turn::kHalf},          {{12000, 6600}, Turn::kHalf},
    {{16000, 8400}, Turn::kQuarterClockwise},
};

// In the room's frame (base point at the origin), as the edit leaves it.
const Pt kSprinklerMoved{-1300, 750}, kSprinklerBefore{-1200, 1900};
const Pt kShowerDrain{-1550, 500}, kDoorDrain{-1100, 2000};
const Pt kBoundaryLow{-1950, 100}, kBoundaryHigh{-100, 2350};

// Copies turned half a turn are off by a tenth of a millimetre (the jig's degree factor).
bool Near(Pt a, Pt b) { return std::abs(a.x - b.x) < 0.5 && std::abs(a.y - b.y) < 0.5; }

std::string Fmt(Pt p)
{
    std::ostringstream s;
    s << "(" << p.x << ", " << p.y << ")";
    return s.str();
}

std::string Quote(const fs::path& p) { return "'" + p.string() + "'"; }

// A drawing as its JSON lines, by handle.
std::map<std::string, json> Dump(const fs::path& vkcad, const fs::path& dwg)
{
    int status = 0;
    const std::string text = vktest::RunCommand(Quote(vkcad) + " dump " + Quote(dwg), &status);
    EXPECT_EQ(status, 0) << "vkcad dump " << dwg;
    std::map<std::string, json> objects;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (line.empty()) continue;
        json j = json::parse(line);
        objects[j.at("handle").get<std::string>()] = j;
    }
    return objects;
}

Pt At(const json& point) { return {point.at(0).get<double>(), point.at(1).get<double>()}; }

// Expected points against found ones, each found point used once.
void ExpectSamePoints(std::vector<Pt> want, std::vector<Pt> got, const std::string& what)
{
    EXPECT_EQ(got.size(), want.size()) << what;
    for (const Pt& w : want) {
        auto it = std::find_if(got.begin(), got.end(), [&](Pt g) { return Near(g, w); });
        if (it == got.end()) {
            ADD_FAILURE() << what << ": nothing at " << Fmt(w);
            continue;
        }
        got.erase(it);
    }
    for (const Pt& g : got) ADD_FAILURE() << what << ": unexpected at " << Fmt(g);
}

struct PngSize {
    unsigned width = 0, height = 0;
};

// The size in a PNG's header; zero for a file that is no PNG.
PngSize ReadPngSize(const fs::path& file, std::string& bytes)
{
    std::ifstream in(file, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), {});
    static const std::string signature("\x89PNG\r\n\x1a\n", 8);
    if (bytes.size() < 24 || bytes.compare(0, 8, signature) != 0 || bytes.compare(12, 4, "IHDR") != 0) return {};
    auto be = [&](size_t at) {
        return (unsigned(uint8_t(bytes[at])) << 24) | (unsigned(uint8_t(bytes[at + 1])) << 16) |
               (unsigned(uint8_t(bytes[at + 2])) << 8) | unsigned(uint8_t(bytes[at + 3]));
    };
    return {be(16), be(20)};
}

}  // namespace

TEST(Demo, DefinesPlacesAndEditsTheBathroomOnEveryFloorAndDrawsThem)
{
    const fs::path bin(VK_DEMO_BIN_DIR), vkcad = bin / "vkcad", sourceDir(VK_DEMO_SOURCE_DIR);
    char pattern[] = "/tmp/vk_demo_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const fs::path out = fs::path(pattern) / "demo";

    int status = 0;
    const std::string transcript =
        vktest::RunCommand("cd " + Quote(sourceDir) + " && VK_DEMO_BIN=" + Quote(bin) + " VK_DEMO_OUT=" + Quote(out) +
                               " bash scripts/demo.sh 2>&1",
                           &status);
    ASSERT_EQ(status, 0) << transcript;

    // What it says: the plan read whole, the edit run over the three floors, the report.
    EXPECT_NE(transcript.find("plan.dxf: 279 entities imported"), std::string::npos) << transcript;
    EXPECT_EQ(transcript.find("not imported"), std::string::npos) << transcript;
    EXPECT_NE(transcript.find("[Vektasoft|information] 房间提取成功。"), std::string::npos);
    EXPECT_NE(transcript.find("<wait: 处理中，请稍后... 2F 3/3>"), std::string::npos) << transcript;
    EXPECT_NE(transcript.find("Total: 27 in step, 0 excluded, 0 drifted, 0 broken"), std::string::npos)
        << transcript;
    EXPECT_EQ(transcript.find("** line"), std::string::npos) << transcript;

    // The library holds the room with the edit: two drains, one sprinkler, its marker and boundary.
    {
        SCOPED_TRACE("library");
        const auto lib = Dump(vkcad, out / "StardardRoom.dwg");
        std::map<std::string, int> kinds;
        bool found = false;
        for (const auto& [h, o] : lib) {
            if (o.at("class") != "AcDbBlockTableRecord" || o.at("name") != kRoom) continue;
            found = true;
            for (const auto& e : o.at("entities")) ++kinds[lib.at(e.get<std::string>()).at("class").get<std::string>()];
        }
        ASSERT_TRUE(found);
        EXPECT_EQ(kinds["VkQsNode"], 2);
        EXPECT_EQ(kinds["VkQsSprinkler"], 1);
        EXPECT_EQ(kinds["AcDbQsStandRoom"], 1);
        EXPECT_EQ(kinds["AcDbVkRoom"], 1);
        std::ifstream list(out / "Roomlist.txt", std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(list)), {});
        EXPECT_NE(text.find("\xBF\xCD\xB7\xBF\xCE\xC0\xC9\xFA\xBC\xE4"), std::string::npos)  // 客房卫生间 in GBK
            << text;
    }

    // Every floor: nine copies where the bathrooms are, each with the edited content.
    for (const char* floor : {"1F", "2F", "3F"}) {
        SCOPED_TRACE(floor);
        const auto dwg = Dump(vkcad, out / (std::string(floor) + ".dwg"));
        std::vector<Pt> insertions, sprinklers, drains, low, high, loose;
        int markers = 0;
        for (const auto& [h, o] : dwg) {
            if (o.at("class") == "VkQsSprinkler") loose.push_back(At(o.at("location")));
            if (o.at("class") != "AcDbQsStandRoom") continue;
            ++markers;
            EXPECT_EQ(o.at("roomName"), kRoom);
            EXPECT_EQ(o.at("chgType"), 0) << "marker " << h;
            insertions.push_back(At(o.at("insertPt")));
            int ownSprinklers = 0, ownDrains = 0;
            for (const auto& m : o.at("assocEnts")) {
                const json& e = dwg.at(m.get<std::string>());
                EXPECT_EQ(e.at("sroom"), h) << "member " << m << " of marker " << h;
                if (e.at("class") == "VkQsSprinkler") ++ownSprinklers, sprinklers.push_back(At(e.at("location")));
                if (e.at("class") == "VkQsNode") ++ownDrains, drains.push_back(At(e.at("insertPt")));
            }
            EXPECT_EQ(ownSprinklers, 1) << "marker " << h;
            EXPECT_EQ(ownDrains, 2) << "marker " << h;
            const json& room = dwg.at(o.at("assocRoom").get<std::string>());
            ASSERT_EQ(room.at("class"), "AcDbVkRoom");
            EXPECT_EQ(room.at("belongSR"), true);
            Pt lo{1e300, 1e300}, hi{-1e300, -1e300};
            for (const auto& v : room.at("vertices")) {
                lo = {std::min(lo.x, v.at(0).get<double>()), std::min(lo.y, v.at(1).get<double>())};
                hi = {std::max(hi.x, v.at(0).get<double>()), std::max(hi.y, v.at(1).get<double>())};
            }
            low.push_back(lo);
            high.push_back(hi);
        }
        EXPECT_EQ(markers, 9);

        std::vector<Pt> wantAt, wantSprinklers, wantDrains, wantLow, wantHigh;
        for (const Placement& p : kBathrooms) {
            wantAt.push_back(p.at);
            wantSprinklers.push_back(p.apply(kSprinklerMoved));
            wantDrains.push_back(p.apply(kShowerDrain));
            wantDrains.push_back(p.apply(kDoorDrain));
            const Pt a = p.apply(kBoundaryLow), b = p.apply(kBoundaryHigh);
            wantLow.push_back({std::min(a.x, b.x), std::min(a.y, b.y)});
            wantHigh.push_back({std::max(a.x, b.x), std::max(a.y, b.y)});
        }
        ExpectSamePoints(wantAt, insertions, "insertion points");
        ExpectSamePoints(wantLow, low, "boundaries' lower corners");
        ExpectSamePoints(wantHigh, high, "boundaries' upper corners");
        ExpectSamePoints(wantSprinklers, sprinklers, "sprinklers of the copies");
        ExpectSamePoints(wantDrains, drains, "drains of the copies");
        // Nothing is left where the sprinkler was, nor anywhere outside a copy.
        ExpectSamePoints(wantSprinklers, loose, "sprinklers in the drawing");
    }

    // The pictures: each floor whole and its western bathrooms, before and after; the edit shows.
    const std::vector<std::string> lines = [&] {
        std::vector<std::string> v;
        std::istringstream in(transcript);
        for (std::string l; std::getline(in, l);) v.push_back(l);
        return v;
    }();
    ASSERT_GE(lines.size(), 12u);
    std::vector<std::string> named(lines.end() - 12, lines.end());
    for (const char* floor : {"1F", "2F", "3F"}) {
        for (const char* part : {"", "-bathrooms"}) {
            SCOPED_TRACE(std::string(floor) + part);
            std::string before, after;
            const fs::path b = out / (std::string(floor) + "-before" + part + ".png");
            const fs::path a = out / (std::string(floor) + "-after" + part + ".png");
            for (const fs::path& p : {b, a}) {
                EXPECT_NE(std::find(named.begin(), named.end(), p.string()), named.end()) << p << " is not named at the end";
            }
            const PngSize sb = ReadPngSize(b, before), sa = ReadPngSize(a, after);
            const PngSize want = *part ? PngSize{800, 1216} : PngSize{1600, 1200};
            EXPECT_EQ(sb.width, want.width);
            EXPECT_EQ(sb.height, want.height);
            EXPECT_EQ(sa.width, want.width);
            EXPECT_EQ(sa.height, want.height);
            EXPECT_NE(before, after) << "the edit does not show";
        }
    }
    if (!HasFailure()) fs::remove_all(pattern);
}
