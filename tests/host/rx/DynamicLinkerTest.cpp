#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "host/rx/AcRxDynamicLinker.h"
#include "host/rx/AcRxObject.h"

namespace {
std::vector<std::pair<int, void*>> g_messages;
}

extern "C" void vkRxTestRecord(int msg, void* appId) { g_messages.emplace_back(msg, appId); }

namespace {

std::string binDir()
{
    const char* d = std::getenv("VK_BIN_DIR");
    return d ? d : ".";
}
std::string pluginPath() { return binDir() + "/rx_test_plugin.so"; }

class DynamicLinkerTest : public ::testing::Test {
protected:
    void SetUp() override { g_messages.clear(); }
    void TearDown() override
    {
        unsetenv("VK_RXTEST_STAY_LOCKED");
        unsetenv("VK_RXTEST_FAIL_INIT");
        acrxDynamicLinker()->unloadAll();
    }
    AcRxDynamicLinker* dl = acrxDynamicLinker();
};

TEST_F(DynamicLinkerTest, LoadSendsInitOnceAndUnloadSendsUnloadToTheSameApp)
{
    ASSERT_TRUE(dl->loadModule(pluginPath())) << dl->lastError();
    ASSERT_TRUE(dl->loadModule(pluginPath()));  // already there: not loaded again
    ASSERT_EQ(g_messages.size(), 1u);
    EXPECT_EQ(g_messages[0].first, AcRx::kInitAppMsg);
    void* appId = g_messages[0].second;
    EXPECT_TRUE(dl->isAppMDIAware(appId));
    EXPECT_FALSE(dl->isApplicationLocked(appId));
    EXPECT_EQ(dl->loadedModules(), std::vector<std::string>{pluginPath()});

    ASSERT_TRUE(dl->unloadModule(pluginPath())) << dl->lastError();
    ASSERT_EQ(g_messages.size(), 2u);
    EXPECT_EQ(g_messages[1], std::make_pair(static_cast<int>(AcRx::kUnloadAppMsg), appId));
    EXPECT_TRUE(dl->loadedModules().empty());
    EXPECT_FALSE(dl->unloadModule(pluginPath()));
}

TEST_F(DynamicLinkerTest, PluginClassesAreRegisteredWhileLoaded)
{
    ASSERT_EQ(acrxFindClass(u"RxTestPluginThing"), nullptr);
    ASSERT_TRUE(dl->loadModule(pluginPath())) << dl->lastError();
    AcRxClass* c = acrxFindClass(u"RxTestPluginThing");
    ASSERT_NE(c, nullptr);
    EXPECT_TRUE(c->isDerivedFrom(AcRxObject::desc()));
    AcRxObject* o = c->create();
    ASSERT_NE(o, nullptr);
    EXPECT_EQ(o->isA(), c);
    delete o;
    ASSERT_TRUE(dl->unloadModule(pluginPath()));
    EXPECT_EQ(acrxFindClass(u"RxTestPluginThing"), nullptr);
}

TEST_F(DynamicLinkerTest, LockedApplicationStaysUntilUnlocked)
{
    setenv("VK_RXTEST_STAY_LOCKED", "1", 1);
    ASSERT_TRUE(dl->loadModule(pluginPath()));
    void* appId = g_messages.at(0).second;
    EXPECT_TRUE(dl->isApplicationLocked(appId));
    EXPECT_FALSE(dl->unloadModule(pluginPath()));
    EXPECT_FALSE(dl->lastError().empty());
    EXPECT_EQ(g_messages.size(), 1u);  // a locked app is not asked to unload
    EXPECT_TRUE(dl->unlockApplication(appId));
    EXPECT_TRUE(dl->unloadModule(pluginPath()));
}

}  // namespace
