#pragma once
// The third kind of set-up, on top of an editor session: a scratch project, a folder of its own
// with a project file, drawings and a library built from JSON lines.
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "host/win/WinPath.h"
#include "host/win/Windows.h"
#include "siblings/project/VkQsProject.h"
#include "tests/support/EditorTest.h"
#include "tests/support/ProjectFiles.h"

namespace vktest {

class ScratchProjectTest : public EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        dir = FreshTestDir("vkroom");
        std::filesystem::create_directories(dir / "c");
        vkwin::SetDriveMap({{'C', (dir / "c").string()}});
    }
    void TearDown() override
    {
        VkQsProject::SetCurrentProjectFile("");
        vkwin::SetDriveMap({});
        EditorTest::TearDown();
        std::filesystem::remove_all(dir);
    }

    CString hostPath(const std::string& file) const { return vkwin::FromHostPath((dir / file).string()); }
    std::string bytes(const std::string& file) const { return FileBytes(dir / file); }

    // The project file p.prj (floor names and drawing files, in floor order), made current.
    void useProject(const std::vector<std::pair<std::string, std::string>>& floors)
    {
        WriteProjectFile(dir / "p.prj", floors);
        CString err;
        ASSERT_TRUE(VkQsProject::SetCurrentProjectFile((dir / "p.prj").string(), &err)) << err.ToUtf8();
    }

    // Builds a drawing from JSON lines of entities (or a whole dump) and saves it.
    void writeDrawing(const std::string& file, const std::string& jsonLines)
    {
        const bool whole = jsonLines.find("\"AcDbBlockTable\"") != std::string::npos;
        AcDbDatabase drawing(!whole, true);
        ASSERT_TRUE(LoadJsonLines(jsonLines, drawing)) << file;
        ASSERT_EQ(drawing.saveAs(hostPath(file), true, AcDb::kDHL_1027), Acad::eOk) << file;
    }

    // The library drawing with each room stored as a block made from JSON lines (a copy at the
    // origin), and the room list naming them.
    void writeLibrary(const std::vector<std::pair<std::u16string, std::string>>& rooms)
    {
        AcDbDatabase library(true, true);
        std::string list = std::to_string(rooms.size()) + "\r\n";
        for (const auto& [name, lines] : rooms) {
            ASSERT_TRUE(InsertJsonBlock(library, name.c_str(), lines));
            list += WideToAnsi(CString(name.c_str())) + "\r\n";
        }
        ASSERT_EQ(library.saveAs(hostPath("StardardRoom.dwg"), true, AcDb::kDHL_1027), Acad::eOk);
        std::ofstream(dir / "Roomlist.txt", std::ios::binary) << list;
    }

    // Names of the blocks of the library drawing that are not layouts, read from the file.
    std::vector<CString> libraryBlocks() const
    {
        AcDbDatabase lib(false, true);
        std::vector<CString> names;
        if (lib.readDwgFile(hostPath("StardardRoom.dwg")) != Acad::eOk) return names;
        AcDbBlockTable* table = nullptr;
        EXPECT_EQ(lib.getBlockTable(table, AcDb::kForRead), Acad::eOk);
        for (const AcDbObjectId& id : table->recordIds()) {
            AcDbObjectPointer<AcDbBlockTableRecord> rec(id, AcDb::kForRead);
            CString name;
            if (rec && !rec->isLayout() && rec->getName(name) == Acad::eOk) names.push_back(name);
        }
        table->close();
        return names;
    }

    std::filesystem::path dir;
};

}  // namespace vktest
