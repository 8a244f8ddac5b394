#pragma once
// The module loaded on a floor of a scratch project, as vkcad runs it with --project and
// --floor: script lines run through the input queue, the transcript captured, and nothing left
// open when the test ends.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "host/ed/AcApDocManager.h"
#include "host/ed/Transcript.h"
#include "host/rx/AcRxDynamicLinker.h"
#include "siblings/project/VkQsProject.h"
#include "tests/support/ModuleSession.h"
#include "tests/support/NothingOpen.h"
#include "tests/support/ProjectFiles.h"

namespace vktest {

class ModuleOnFloorTest : public ::testing::Test {
protected:
    // A fresh folder with the project file p.prj naming one floor 1F, current; opens that floor
    // (its drawing is not there yet) and loads the module.
    void startOnFloor(const std::string& prefix)
    {
        dir = FreshTestDir(prefix);
        WriteProjectFile(dir / "p.prj", {{"1F", "1F.dwg"}});
        CString err;
        ASSERT_TRUE(VkQsProject::SetCurrentProjectFile((dir / "p.prj").string(), &err)) << err.ToUtf8();
        ASSERT_TRUE(VkQsProject::OpenProjectFloor(u"", &err)) << err.ToUtf8();
        ASSERT_TRUE(acrxDynamicLinker()->loadModule(ModulePath())) << acrxDynamicLinker()->lastError();
        vked::inputQueue().clear();
        vked::ResetInputEnded();
        acdbTakeOpenObjectReports();  // what earlier tests left is theirs
    }
    void TearDown() override
    {
        vked::inputQueue().setPullSource(nullptr);
        // The commands leave nothing open, in the floor drawing or in the library they used.
        EXPECT_TRUE(NothingLeftOpen(acdbCurDwg()));
        acrxDynamicLinker()->unloadModule(ModulePath());
        acDocManager->closeAll();
        VkQsProject::SetCurrentProjectFile("");
        std::filesystem::remove_all(dir);
    }

    static void run(const std::vector<CString>& lines) { RunLines(lines); }
    size_t count(const std::string& text) const { return Occurrences(out.utf8(), text); }
    bool seen(const char* text) const { return out.utf8().find(text) != std::string::npos; }
    std::string bytes(const char* file) const { return FileBytes(dir / file); }

    std::filesystem::path dir;
    vked::TranscriptCapture out;
};

}  // namespace vktest
