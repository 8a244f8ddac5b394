// The test plug-in's TDLG run through vkcad's input loop: a dialog action that cannot reach the
// hidden dialog is a bad line. (Its whole run is scenario dialog_plugin; its nesting and unwinding
// are the editor's own tests.)
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "apps/vkcad/HostCommands.h"
#include "apps/vkcad/Session.h"
#include "host/db/AcDbJson.h"
#include "host/ed/AcApDocManager.h"
#include "host/ed/InputQueue.h"
#include "host/ed/Transcript.h"
#include "host/rx/AcRxDynamicLinker.h"
#include "host/ui/AfxWin.h"

namespace {

class VkcadPluginDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The build puts the plug-in beside the test program (ctest also names the folder).
        const char* bin = std::getenv("VK_BIN_DIR");
        plugin = (bin ? std::string(bin) : vkcad::ExecutableDir()) + "/vkcad_test_plugin.so";
        ASSERT_TRUE(acrxDynamicLinker()->loadModule(plugin)) << acrxDynamicLinker()->lastError();
        ASSERT_EQ(acDocManager->appContextNewDocument(), Acad::eOk);
        std::istringstream in(
            "{\"handle\":\"1A0\",\"class\":\"AcDbLine\",\"start\":[0,0,0],\"end\":[100,0,0]}\n");
        CString err;
        ASSERT_EQ(acdbLoadJson(in, acDocManager->curDocument()->database(), err), Acad::eOk) << err.ToUtf8();
        vkcad::RegisterHostCommands();
    }
    void TearDown() override
    {
        vked::inputQueue().clear();
        acDocManager->closeAll();
        acrxDynamicLinker()->unloadModule(plugin);
    }
    int Run(const char16_t* script)
    {
        vked::inputQueue().pushText(script, u"t.scr");
        return vkcad::RunInput();
    }
    // The transcript from `from` on must hold each of `parts`, in this order.
    void ExpectInOrder(std::initializer_list<const char*> parts)
    {
        std::string t = capture.utf8();
        size_t at = 0;
        for (const char* p : parts) {
            size_t found = t.find(p, at);
            ASSERT_NE(found, std::string::npos) << "missing, or out of order: " << p << "\n--- transcript:\n" << t;
            at = found + std::string(p).size();
        }
    }
    std::string plugin;
    vked::TranscriptCapture capture;
};

}  // namespace

TEST_F(VkcadPluginDialog, AClickWhileTheDialogIsHiddenIsABadLineAndThePickGoesOn)
{
    // The pick prompt is the one waiting: a dialog action cannot reach the hidden dialog.
    EXPECT_EQ(Run(u"tdlg\n!click 10\n!click 11\n#1A0\n<esc>\n!click 12\n"), 1) << capture.utf8();
    ExpectInOrder({"<dialog 400 \"测试对话框\" hidden>", "** line 3 (t.scr): ", "picked #1A0", "*Cancel*",
                   "<dialog 400 \"测试对话框\" shown>", "0 points, loop ended by cancel"});
}
