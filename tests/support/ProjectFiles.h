#pragma once
// The files of a test project: a scratch folder per test, the project file listing the floors,
// drawings and library blocks built from JSON lines.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "host/db/AcDb.h"
#include "host/db/AcDbJson.h"

namespace vktest {

// A handle as JSON dumps write it.
inline std::string Hex(int h)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%X", h);
    return buf;
}

// An empty folder of its own for the running test: <temp>/<prefix>-<pid>-<test name>.
inline std::filesystem::path FreshTestDir(const std::string& prefix)
{
    const auto dir = std::filesystem::temp_directory_path() /
                     (prefix + "-" + std::to_string(::getpid()) + "-" +
                      ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

// The project file: floor names and drawing files, in floor order.
inline void WriteProjectFile(const std::filesystem::path& prj, const std::vector<std::pair<std::string, std::string>>& floors)
{
    std::ofstream out(prj);
    out << "[Project]\n[Floors]\n";
    for (const auto& [name, file] : floors) out << name << "=" << file << "\n";
}

inline std::string FileBytes(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Loads JSON lines into db.
inline ::testing::AssertionResult LoadJsonLines(const std::string& jsonLines, AcDbDatabase& db)
{
    std::istringstream in(jsonLines);
    CString why;
    if (acdbLoadJson(in, &db, why) != Acad::eOk) return ::testing::AssertionFailure() << why.ToUtf8();
    return ::testing::AssertionSuccess();
}

// The drawing as JSON lines.
inline std::string DumpJson(AcDbDatabase& db)
{
    std::ostringstream out;
    EXPECT_EQ(acdbDumpJson(&db, out), Acad::eOk);
    return out.str();
}

// Adds the block `name` to library, made of the entities the JSON lines describe.
inline ::testing::AssertionResult InsertJsonBlock(AcDbDatabase& library, const char16_t* name, const std::string& jsonLines)
{
    AcDbDatabase room(true, true);
    if (auto loaded = LoadJsonLines(jsonLines, room); !loaded) return loaded;
    AcDbObjectId blockId;
    if (library.insert(blockId, name, &room, true) != Acad::eOk) return ::testing::AssertionFailure() << "insert failed";
    return ::testing::AssertionSuccess();
}

}  // namespace vktest
