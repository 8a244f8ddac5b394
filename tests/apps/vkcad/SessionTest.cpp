#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "apps/vkcad/Batch.h"
#include "apps/vkcad/Session.h"
#include "host/ed/AcApDocManager.h"
#include "host/ed/Transcript.h"
#include "siblings/project/VkQsProject.h"
#include "tests/support/ProjectFiles.h"

namespace fs = std::filesystem;

TEST(VkcadSession, DefaultPluginListSkipsBlanksAndCommentsAndResolvesBesideTheProgram)
{
    const fs::path dir = vktest::FreshTestDir("vkcad_plugins");
    std::ofstream(dir / "vkcad.plugins") << "a.so\n\n  # not this\n/abs/b.so\r\n  c.so  \n";
    EXPECT_EQ(vkcad::DefaultPlugins(dir.string()),
              (std::vector<std::string>{dir.string() + "/a.so", "/abs/b.so", dir.string() + "/c.so"}));
    fs::remove(dir / "vkcad.plugins");
    EXPECT_TRUE(vkcad::DefaultPlugins(dir.string()).empty());
    fs::remove_all(dir);
}

