#pragma once
// Maps drive C: onto a fresh temporary folder for one test, so no test touches the real
// drive folders under $HOME.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "PrintCString.h"
#include "host/win/WinPath.h"
#include "host/win/Windows.h"

class TempDriveTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string tmpl = (std::filesystem::temp_directory_path() / "vkwin-XXXXXX").string();
        ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
        m_root = tmpl;
        m_savedMap = vkwin::GetDriveMap();
        vkwin::SetDriveMap({{'C', m_root}});
    }
    void TearDown() override {
        vkwin::SetDriveMap(m_savedMap);
        std::error_code ec;
        std::filesystem::remove_all(m_root, ec);
    }

    std::string Host(const std::string& rel) const { return m_root + "/" + rel; }
    void WriteBytes(const std::string& rel, const std::string& bytes) const {
        std::ofstream(Host(rel), std::ios::binary) << bytes;
    }
    std::string ReadBytes(const std::string& rel) const {
        std::ifstream in(Host(rel), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    std::string m_root;
    std::map<char, std::string> m_savedMap;
};
