#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>

#include "host/db/AcDbJson.h"
#include "siblings/region/AcDbVkBeam.h"
#include "siblings/region/AcDbVkConstrucSegment.h"
#include "siblings/region/AcDbVkRoom.h"
#include "tests/support/ProjectFiles.h"
#include "tests/siblings/region/RegionTestDb.h"

namespace {

std::string dump(AcDbDatabase& db) { return vktest::DumpJson(db); }

nlohmann::json lineOfClass(const std::string& text, const std::string& cls)
{
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (line.empty()) continue;
        nlohmann::json j = nlohmann::json::parse(line);
        if (j.value("class", "") == cls) return j;
    }
    return nullptr;
}

}  // namespace

TEST(RegionFiling, FieldsCarryTheirDocumentedNamesAndRoundTrip)
{
    AcDbDatabase db;
    auto* room = new AcDbVkRoom;
    regiontest::setOutline(*room, {{0, 0}, {0, 4000}, {6000, 4000}, {6000, 0}});
    room->SetAttname(u"办公室");
    room->SetAttIndex(u"A-3");
    room->SetIfBelongSR(true);
    regiontest::appendToModelSpace(db, room);
    auto* seg = new AcDbVkConstrucSegment;
    regiontest::setOutline(*seg, {{-10, -10}, {-10, 9000}, {9000, 9000}});
    seg->SetAttname(u"施工段1");
    regiontest::appendToModelSpace(db, seg);
    regiontest::appendToModelSpace(db, new AcDbVkBeam(AcGePoint3d(0, 0, 0), AcGePoint3d(0, 6000, 0), 250));

    const std::string text = dump(db);
    const nlohmann::json r = lineOfClass(text, "AcDbVkRoom");
    ASSERT_TRUE(r.is_object());
    EXPECT_EQ(r["attName"], "办公室");
    EXPECT_EQ(r["attIndex"], "A-3");
    EXPECT_EQ(r["belongSR"], true);
    const nlohmann::json s = lineOfClass(text, "AcDbVkConstrucSegment");
    ASSERT_TRUE(s.is_object());
    EXPECT_EQ(s["attName"], "施工段1");
    EXPECT_FALSE(s.contains("belongSR"));
    const nlohmann::json b = lineOfClass(text, "AcDbVkBeam");
    ASSERT_TRUE(b.is_object());
    EXPECT_EQ(b["width"], 250.0);
    EXPECT_EQ(b["end"], nlohmann::json::array({0.0, 6000.0, 0.0}));

    AcDbDatabase back(false);
    ASSERT_TRUE(vktest::LoadJsonLines(text, back));
    EXPECT_EQ(dump(back), text);
}

TEST(RegionFiling, ANegativeBeamWidthIsRefused)
{
    AcDbDatabase db(false);
    std::istringstream in(R"({"handle":"A0","class":"AcDbVkBeam","start":[0,0,0],"end":[1,0,0],"width":-5})");
    CString error;
    EXPECT_NE(acdbLoadJson(in, &db, error), Acad::eOk);
    EXPECT_FALSE(error.IsEmpty());
}
