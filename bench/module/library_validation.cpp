// Reading and validating a room list against its library drawing: one read of the library
// for the whole list, beside the name-by-name way that reads it once per listed name.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "host/db/AcDb.h"
#include "host/win/Windows.h"
#include "host/win/WinPath.h"
#include "module/frame/CManageStdRoom.h"
#include "siblings/project/VkQsProject.h"
#include "bench/module/ValidationByName.h"

namespace fs = std::filesystem;

namespace {
// A project whose library holds `rooms` blocks of a few lines each, all listed.
class BenchProject {
public:
    explicit BenchProject(int rooms)
    {
        dir = fs::temp_directory_path() / ("vkroom-bench-" + std::to_string(::getpid()) + "-" + std::to_string(rooms));
        fs::remove_all(dir);
        fs::create_directories(dir);
        std::ofstream(dir / "p.prj") << "[Project]\n[Floors]\n1F=1F.dwg\n";
        VkQsProject::SetCurrentProjectFile((dir / "p.prj").string());
        AcDbDatabase db(true, true);
        AcDbBlockTable* table = nullptr;
        db.getBlockTable(table, AcDb::kForWrite);
        std::ofstream list(dir / "Roomlist.txt", std::ios::binary);
        list << rooms << "\r\n";
        for (int i = 0; i < rooms; ++i) {
            const CString name = CString(u"房间") + CString::FromUtf8(std::to_string(i));
            auto* rec = new AcDbBlockTableRecord;
            rec->setName(name);
            table->add(rec);
            for (int k = 0; k < 8; ++k) {
                auto* line = new AcDbLine(AcGePoint3d(k, 0, 0), AcGePoint3d(k, 100, 0));
                rec->appendAcDbEntity(line);
                line->close();
            }
            rec->close();
            list << WideToAnsi(name) << "\r\n";
        }
        table->close();
        db.saveAs(vkwin::FromHostPath((dir / "StardardRoom.dwg").string()));
    }
    ~BenchProject()
    {
        CManageStdRoom::DelIntance();
        VkQsProject::SetCurrentProjectFile("");
        fs::remove_all(dir);
    }
    fs::path dir;
};

void BM_ReadLibraryOnce(benchmark::State& state)
{
    BenchProject project(int(state.range(0)));
    for (auto _ : state) {
        AcDbDatabase* raw = nullptr;
        CManageStdRoom::GetDb(raw);
        delete raw;
    }
}

void BM_ReadAndValidateList(benchmark::State& state)
{
    BenchProject project(int(state.range(0)));
    for (auto _ : state) {
        CManageStdRoom::DelIntance();
        CManageStdRoom* lib = CManageStdRoom::CreateOnlyInstance();
        if (lib->m_RoomNames.size() != size_t(state.range(0))) state.SkipWithError("validation lost names");
    }
}

void BM_ReadAndValidateListNameByName(benchmark::State& state)
{
    BenchProject project(int(state.range(0)));
    CManageStdRoom* lib = CManageStdRoom::CreateOnlyInstance();
    const std::vector<CString> listed = lib->m_RoomNames;
    for (auto _ : state) {
        const std::vector<CString> names = vktest::ValidatedNameByName(listed);
        if (names.size() != listed.size()) state.SkipWithError("validation lost names");
    }
}
}  // namespace

BENCHMARK(BM_ReadLibraryOnce)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadAndValidateList)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadAndValidateListNameByName)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond)->Iterations(1);
