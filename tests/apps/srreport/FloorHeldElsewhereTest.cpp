// A floor open in another vkcad is read by the report as last saved: its copies count, no room
// is called unused for want of it, the forecast says the edit cannot visit it, and the room
// placed there is in use.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <nlohmann/json.hpp>

#include "tests/apps/srreport/ReportProject.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/ModuleSession.h"
#include "tests/support/RunCommand.h"

namespace reporttest {
namespace {

class FloorHeldElsewhereTest : public ReportProjectTest {};

TEST_F(FloorHeldElsewhereTest, TheReportReadsAFloorAnotherVkcadHoldsAndTheForecastLeavesIt)
{
    writeLibrary();
    writeDrawing("1F.dwg", CopyLines(0x300, {0, false, 0, 0}, CopyOptions().room("Gone")));
    writeDrawing("2F.dwg", CopyLines(0x300, {90, false, 10000, 0}));
    useProject({{"1F", "1F.dwg"}, {"2F", "2F.dwg"}});
    const std::string bin = fs::absolute(vktest::BinDir()).string();
    const std::string env = "cd '" + dir.string() + "' && VKCAD_DRIVES='C=" + dir.string() + "' ";

    // Another vkcad holds 2F once it echoes its first script line, until it reads the next.
    vktest::ChildProcess holder(env + "timeout -s KILL 120 '" + bin + "/vkcad' --no-default-plugins --script - 2F.dwg 2>&1");
    ASSERT_TRUE(holder.started());
    holder.write("LIST\n<enter>\n");
    ASSERT_TRUE(holder.readUntil("Command: LIST")) << holder.output();
    int status = -1;
    const std::string err = vktest::RunCommand(env + "'" + bin + "/vkcad' report --project p.prj --json out.json R 2>&1", &status);
    // Nor can the room placed only there be deleted from the library on 1F.
    std::ofstream(dir / "delete.scr") << "bjbz\n!select 204 \"R\"\n!click 207\n<esc>\n";
    const std::string placed = vktest::RunCommand(env + "'" + bin + "/vkcad' --project p.prj --floor 1F --script delete.scr 2>&1");
    holder.write("QUIT\n");
    EXPECT_EQ(holder.wait(), 0) << holder.output();
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << err;

    EXPECT_NE(placed.find("当前构件已使用，不能删除"), std::string::npos) << placed;

    const nlohmann::json j = nlohmann::json::parse(bytes("out.json"));
    EXPECT_EQ(j["floors"][1]["read"], true);
    EXPECT_EQ(j["floors"][1]["heldElsewhere"], true);
    ASSERT_EQ(j["rooms"][0]["copies"].size(), 1u);
    EXPECT_EQ(j["rooms"][0]["copies"][0]["state"], "in step");
    EXPECT_EQ(j["unusedRooms"], nlohmann::json::array({"U"}));
    EXPECT_EQ(j["forecast"]["heldElsewhere"], nlohmann::json::array({"2F"}));
    ASSERT_EQ(j["forecast"]["floors"].size(), 1u);
    EXPECT_EQ(j["forecast"]["floors"][0]["floor"], "1F");
}

}  // namespace
}  // namespace reporttest
