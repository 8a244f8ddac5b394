// A drawing with one object of every concrete class of the product's libraries: it loads from
// JSON lines, dumps back the same, survives a save and a read, and renders to a picture.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "host/db/AcDb.h"
#include "host/db/AcDbJson.h"
#include "host/win/WinPath.h"
#include "siblings/services/VkQsGsPreviewCtrl.h"
#include "tests/support/ProjectFiles.h"
#include "tests/support/TestDrawing.h"

namespace fs = std::filesystem;

namespace {
const char* const kSample = R"(
{"handle":"100","class":"AcDbVkRoom","layer":"VK_建筑_SYS_房间","vertices":[[0,0,0,-1,-1],[6000,0,0,-1,-1],[6000,4000,0.5,-1,-1],[0,4000,0,-1,-1]],"closed":true,"attName":"卫生间","attIndex":"7","belongSR":true}
{"handle":"101","class":"AcDbVkConstrucSegment","layer":"VK_建筑_SYS_施工段","vertices":[[-100,-100,0,-1,-1],[7000,-100,0,-1,-1],[7000,5000,0,-1,-1]],"closed":true,"attName":"一区"}
{"handle":"102","class":"AcDbVkBeam","layer":"VK_建筑_SYS_梁","start":[0,4500,0],"end":[6000,4500,0],"width":300}
{"handle":"110","class":"VkQsPipe","typePath":"给排水\\管道\\给水管","sroom":"120","start":[500,2000,0],"end":[5500,2000,0],"valves":["111"]}
{"handle":"111","class":"VkQsPipeValve","typePath":"给排水\\阀门\\闸阀","sroom":"120","pipe":"110","position":[2000,2000,0],"angle":0,"size":200}
{"handle":"112","class":"VkQsMainPipe","typePath":"给排水\\管道\\立管","start":[100,100,0],"end":[100,900,0],"valves":[]}
{"handle":"113","class":"VkQsMainLeadCon","typePath":"给排水\\管道\\接驳","start":[100,900,0],"end":[500,900,0],"valves":[]}
{"handle":"114","class":"VkQsPipeFitting","typePath":"给排水\\管件\\弯头","pipes":["110","113"],"position":[500,2000,0]}
{"handle":"115","class":"VkQsDlpEnt","typePath":"暖通\\风管\\送风","start":[1000,3000,0],"end":[4000,3000,0],"width":400}
{"handle":"116","class":"VkQsDuctFitting","typePath":"暖通\\风管件\\三通","pipes":[],"dlps":["115"],"position":[4000,3000,0]}
{"handle":"117","class":"VkQsNode","typePath":"给排水\\附件\\地漏","insertPt":[4500,1000,0],"radius":75}
{"handle":"118","class":"VkQsSprinkler","typePath":"消防\\喷头\\下垂型","location":[3000,3500,0],"refDir":[1,0,0]}
{"handle":"119","class":"VkQsElementComponent","typePath":"电气\\设备\\配电箱","product":"配电箱","location":[5500,3500,0],"angle":0,"width":600,"depth":200}
{"handle":"120","class":"AcDbQsStandRoom","layer":"VK_标准房间","vertices":[[0,0,0,-1,-1],[6000,0,0,-1,-1],[6000,4000,0,-1,-1],[0,4000,0,-1,-1]],"closed":true,"roomName":"卫生间","basePt":[0,0,0],"insertPt":[0,0,0],"matrix":[1,0,0,0,0,1,0,0,0,0,1,0,0,0,0,1],"assocEnts":["110","111"],"assocRoom":"100","chgType":0}
)";

std::string Dump(AcDbDatabase& db) { return vktest::DumpJson(db); }
}  // namespace

TEST(SampleDrawingTest, EveryClassLoadsDumpsSavesReadsAndRenders)
{
    AcDbDatabase db(true, true);
    ASSERT_TRUE(vktest::LoadJsonLines(kSample, db));
    const std::string first = Dump(db);
    for (const char* cls : {"AcDbVkRoom", "AcDbVkConstrucSegment", "AcDbVkBeam", "VkQsPipe\"", "VkQsPipeValve",
                            "VkQsMainPipe", "VkQsMainLeadCon", "VkQsPipeFitting", "VkQsDlpEnt", "VkQsDuctFitting",
                            "VkQsNode", "VkQsSprinkler", "VkQsElementComponent", "AcDbQsStandRoom"})
        EXPECT_NE(first.find(std::string("\"class\":\"") + cls), std::string::npos) << cls;

    AcDbDatabase reloaded(false, true);  // a whole dump brings its own tables
    ASSERT_TRUE(vktest::LoadJsonLines(first, reloaded));
    EXPECT_EQ(Dump(reloaded), first);

    const fs::path dir = vktest::FreshTestDir("vk-sample");
    const CString file = vkwin::FromHostPath((dir / "sample.dwg").string());
    ASSERT_EQ(db.saveAs(file), Acad::eOk);
    {
        AcDbDatabase read(false, true);
        ASSERT_EQ(read.readDwgFile(file), Acad::eOk);
        EXPECT_EQ(Dump(read), first);
    }

    VkQsGsPreviewCtrl preview(u"");
    AcDbObjectIdArray ids;
    for (const AcDbObjectId& id : vktest::EntityIds(&db)) ids.append(id);
    preview.AddEntsToView(&db, ids);
    EXPECT_FALSE(preview.IsEmpty());
    std::vector<unsigned> pixels;
    ASSERT_TRUE(preview.RenderImage(200, 150, pixels));
    const unsigned background = pixels.front();
    EXPECT_GT(std::count_if(pixels.begin(), pixels.end(), [&](unsigned p) { return p != background; }), 200);
    ASSERT_TRUE(preview.RenderPng((dir / "sample.png").string(), 200, 150));
    EXPECT_GT(fs::file_size(dir / "sample.png"), 100u);
    EXPECT_EQ(db.numOpenObjects(), 0);
    fs::remove_all(dir);
}
