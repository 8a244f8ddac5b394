// A copy rebuilt on a floor of many entities comes out as on a floor of a few: member for member
// the same, linked the same way, a fitting outside it let go of the pipe the rebuild erased, and
// so it stays once the floor is saved and read again.
#include <algorithm>
#include <nlohmann/json.hpp>
#include <sstream>

#include "host/db/AcDbJson.h"
#include "tests/module/editing/EditProject.h"

using namespace edittest;
using nlohmann::json;

namespace {

const Placement kSource{0, false, 10000, 10000};
const Placement kFirst{90, true, 30000, 10000}, kSecond{30, false, 50000, 10000};

// A tee outside a copy, joined to the copy's water pipe (handle base+1 of the copy).
std::string Tee(int handle, int copyBase, const Placement& p)
{
    return R"({"handle":")" + Hex(handle) + R"(","class":"VkQsPipeFitting","pipes":[")" + Hex(copyBase + 1) +
           R"("],"position":)" + Pt(p.apply(-200, 1000)) + "}\n";
}

std::string OtherLines(int firstHandle, int count)
{
    std::string s;
    for (int i = 0; i < count; ++i)
        s += R"({"handle":")" + Hex(firstHandle + i) + R"(","class":"AcDbLine","start":[)" + std::to_string(-1000 - i) +
             R"(,0,0],"end":[)" + std::to_string(-1000 - i) + ",50,0]}\n";
    return s;
}

// Replaces every handle text of `names` in j by its name there.
void Rename(json& j, const std::map<std::string, std::string>& names)
{
    if (j.is_string()) {
        if (auto it = names.find(j.get<std::string>()); it != names.end()) j = it->second;
    } else if (j.is_structured()) {
        for (json& item : j) Rename(item, names);
    }
}

// The copy whose marker lies at `p` and the tee beside it, as the drawing's JSON view gives them:
// marker first, then its members in its order, the boundary, the tee. Handles become places in
// that list ("#0" the marker), so that two floors compare; each says whether model space lists it.
std::vector<json> CopyAt(AcDbDatabase* db, const Placement& p)
{
    std::ostringstream dump;
    EXPECT_EQ(acdbDumpJson(db, dump), Acad::eOk);
    std::map<std::string, json> byHandle;
    std::string marker, tee, modelSpace;
    std::istringstream lines(dump.str());
    for (std::string line; std::getline(lines, line);) {
        json j = json::parse(line);
        const std::string h = j["handle"], cls = j["class"];
        if (j.value("erased", false)) continue;
        if (cls == "AcDbQsStandRoom" && j["insertPt"] == json::parse(Pt(p.apply(0, 0)))) marker = h;
        if (cls == "VkQsPipeFitting" && j["position"] == json::parse(Pt(p.apply(-200, 1000)))) tee = h;
        if (cls == "AcDbBlockTableRecord" && j["name"] == "*Model_Space") modelSpace = h;
        byHandle[h] = std::move(j);
    }
    if (marker.empty() || tee.empty()) return {};
    std::vector<std::string> order{marker};
    for (const json& h : byHandle[marker]["assocEnts"]) order.push_back(h);
    order.push_back(byHandle[marker]["assocRoom"]);
    order.push_back(tee);
    std::map<std::string, std::string> names{{modelSpace, "*Model_Space"}};
    for (size_t i = 0; i < order.size(); ++i) names[order[i]] = "#" + std::to_string(i);
    const json& listed = byHandle[modelSpace]["entities"];
    std::vector<json> out;
    for (const std::string& h : order) {
        json j = byHandle[h];
        j.erase("handle");
        j["inModelSpace"] = std::find(listed.begin(), listed.end(), h) != listed.end();
        Rename(j, names);
        out.push_back(std::move(j));
    }
    return out;
}

TEST_F(EditProjectTest, ARebuiltCopyOnALargeFloorIsTheSameMemberForMemberAsOnASmallOne)
{
    // F1 (current): the source copy, where the drain pipe was drawn, and two copies with a tee
    // each; F2: the same two copies and tees among 10,000 other entities.
    const std::string copies =
        CopyLines(0x200, kFirst) + Tee(0x250, 0x200, kFirst) + CopyLines(0x300, kSecond) + Tee(0x350, 0x300, kSecond);
    writeDrawing("F1.dwg", CopyLines(0x100, kSource) + DrainLine(0x110, kSource) + copies);
    writeDrawing("F2.dwg", copies + OtherLines(0x1000, 10000));
    useProject({{"F1", "F1.dwg"}, {"F2", "F2.dwg"}});
    startOn(u"F1");

    editAndOk(u"#103");

    for (const Placement& p : {kFirst, kSecond}) {
        const std::vector<json> small = CopyAt(floorDb("F1.dwg"), p), large = CopyAt(floorDb("F2.dwg"), p);
        // Rebuilt: marker, water pipe, drain, the new drain pipe, boundary, and the tee, which let
        // go of the erased water pipe; all in model space's list.
        ASSERT_EQ(small.size(), 6u) << "copy at " << p.x;
        EXPECT_EQ(std::count_if(small.begin(), small.end(), [](const json& m) { return m["layer"] == "VK_给排水_排水管"; }), 1);
        EXPECT_EQ(small.back()["pipes"], json::array());
        for (const json& member : small) EXPECT_TRUE(member["inModelSpace"].get<bool>());
        EXPECT_EQ(large, small) << "copy at " << p.x;
    }
    std::vector<AcApDocument*> docs;
    AcApDocumentIterator* it = acDocManager->newAcApDocumentIterator();
    for (; !it->done(); it->step()) docs.push_back(it->document());
    delete it;
    for (Acad::ErrorStatus es : vked::SaveDocuments(docs)) ASSERT_EQ(es, Acad::eOk);
    AcDbDatabase again(false, true);
    ASSERT_EQ(again.readDwgFile(hostPath("F2.dwg"), _SH_DENYNO), Acad::eOk);
    for (const Placement& p : {kFirst, kSecond}) EXPECT_EQ(CopyAt(&again, p), CopyAt(floorDb("F1.dwg"), p));
}

}  // namespace
