#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "TempDrive.h"

using vkwin::FromHostPath;
using vkwin::ToHostPath;
using DriveMap = TempDriveTest;

TEST_F(DriveMap, MappedDriveLettersAndSeparators) {
    vkwin::SetDriveMap({{'C', m_root}, {'d', "/mnt/data/"}});
    EXPECT_EQ(ToHostPath(u"C:\\proj\\Roomlist.txt"), m_root + "/proj/Roomlist.txt");
    EXPECT_EQ(ToHostPath(u"c:/proj/a.dwg"), m_root + "/proj/a.dwg");
    EXPECT_EQ(ToHostPath(u"D:\\标准\\x"), "/mnt/data/标准/x");
    EXPECT_EQ(ToHostPath(u"c:\\sgd.ini"), m_root + "/sgd.ini");
    EXPECT_EQ(ToHostPath(u"C:"), m_root);
    EXPECT_EQ(ToHostPath(u"..\\lib\\a.dwg"), "../lib/a.dwg");
    EXPECT_EQ(ToHostPath(u"\\tmp\\x"), "/tmp/x");

    EXPECT_EQ(FromHostPath(m_root + "/proj/a.dwg"), CString(u"C:\\proj\\a.dwg"));
    EXPECT_EQ(FromHostPath(m_root), CString(u"C:\\"));
    EXPECT_EQ(FromHostPath("/mnt/data/标准"), CString(u"D:\\标准"));
    EXPECT_EQ(FromHostPath("/mnt/database"), CString(u"\\mnt\\database"));  // not under /mnt/data
    EXPECT_EQ(FromHostPath("rel/x"), CString(u"rel\\x"));
}

TEST_F(DriveMap, UnmappedDriveLandsUnderHomeAndIsCreated) {
    const char* oldHome = std::getenv("HOME");
    const std::string saved = oldHome ? oldHome : "";
    setenv("HOME", m_root.c_str(), 1);
    vkwin::SetDriveMap({});
    const std::string host = ToHostPath(u"Q:\\sgd.ini");
    EXPECT_EQ(host, m_root + "/.vkcad/drives/q/sgd.ini");
    EXPECT_TRUE(std::filesystem::is_directory(m_root + "/.vkcad/drives/q"));
    EXPECT_EQ(FromHostPath(host), CString(u"Q:\\sgd.ini"));
    if (oldHome) setenv("HOME", saved.c_str(), 1); else unsetenv("HOME");
}

TEST(DriveMapText, ParsesAndRejectsMalformedText) {
    std::map<char, std::string> m{{'Z', "/keep"}};
    ASSERT_TRUE(vkwin::ParseDriveMap("C=/srv/cad/c;d=/mnt/d/;", m));
    EXPECT_EQ(m, (std::map<char, std::string>{{'C', "/srv/cad/c"}, {'D', "/mnt/d"}}));
    const auto before = m;
    for (const char* bad : {"C/srv", "CC=/x", "1=/x", "C=", "C=relative", "C=/a;C=/b", "=/x"}) {
        EXPECT_FALSE(vkwin::ParseDriveMap(bad, m)) << bad;
        EXPECT_EQ(m, before) << bad;
    }
    EXPECT_TRUE(vkwin::ParseDriveMap("", m));
    EXPECT_TRUE(m.empty());
}
