#pragma once
// The module on a floor of a scratch project, as vkcad runs it with --project and --floor. The
// module's test programs link its objects (VK_MODULE_LINKED): the module is started here as the
// host starts a plug-in (its entry point with the load message) and shares the program's state,
// so what a test sets through CManageStdRoom is what the commands see. Other programs reach the
// module through a library that needs the plug-in: the dynamic linker starts that one.
#include "host/ed/AcApDocManager.h"
#include "host/ed/EditorLoop.h"
#include "host/rx/AcRxDynamicLinker.h"
#include "module/frame/CManageStdRoom.h"
#include "tests/support/ScratchProjectTest.h"

#if defined(VK_MODULE_LINKED)
extern "C" AcRx::AppRetCode acrxEntryPoint(AcRx::AppMsgCode msg, void* appId);
#endif

namespace vktest {

// Starts the module; stops it when it goes.
class ModuleStarted {
public:
#if defined(VK_MODULE_LINKED)
    ModuleStarted() { acrxEntryPoint(AcRx::kInitAppMsg, this); }
    ~ModuleStarted() { acrxEntryPoint(AcRx::kUnloadAppMsg, this); }
#else
    ModuleStarted() { EXPECT_TRUE(acrxDynamicLinker()->loadModule(ModulePath())) << acrxDynamicLinker()->lastError(); }
    ~ModuleStarted() { acrxDynamicLinker()->unloadModule(ModulePath()); }
#endif
    ModuleStarted(const ModuleStarted&) = delete;
    ModuleStarted& operator=(const ModuleStarted&) = delete;
};

class ModuleOnFloorTest : public ScratchProjectTest {
protected:
    void TearDown() override
    {
        vked::inputQueue().setPullSource(nullptr);
        // The commands leave nothing open, in the floor drawing or in the library they used.
        EXPECT_TRUE(NothingLeftOpen(acdbCurDwg()));
        module.reset();
        acDocManager->closeAll();
        CManageStdRoom::DelIntance();
        ScratchProjectTest::TearDown();
    }

    // Makes p.prj current (written when `floors` are given), opens the floor and starts the module.
    void startOn(const char16_t* floor, const std::vector<std::pair<std::string, std::string>>& floors = {})
    {
        if (!floors.empty()) useProject(floors);
        CString err;
        ASSERT_TRUE(VkQsProject::SetCurrentProjectFile((dir / "p.prj").string(), &err)) << err.ToUtf8();
        ASSERT_TRUE(VkQsProject::OpenProjectFloor(floor, &err)) << err.ToUtf8();
        module = std::make_unique<ModuleStarted>();
        acdbTakeOpenObjectReports();
    }

    static void run(const std::vector<CString>& lines) { RunLines(lines); }
    static AcDbDatabase* working() { return acdbHostApplicationServices()->workingDatabase(); }

    std::unique_ptr<ModuleStarted> module;
};

}  // namespace vktest
