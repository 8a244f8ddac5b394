// Feeds arbitrary bytes to the project file reader. Whatever the input, it answers true with a
// project that has floors, each with a name of its own and a drawing, or false with a reason.
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>

#include "siblings/project/ProjectFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    VkQsProject::ProjectFile project;
    CString error;
    const std::string text(reinterpret_cast<const char*>(data), size);
    if (!VkQsProject::ParseProjectFile(text, "/srv/prj/cfg/p.prj", project, error)) {
        if (error.IsEmpty()) std::abort();
        return 0;
    }
    if (project.floors.empty() || project.dir.empty() || (project.dir.size() > 1 && project.dir.back() == '/'))
        std::abort();
    std::set<CString> names;
    for (const VkQsProject::ProjectFloor& floor : project.floors) {
        if (floor.name.IsEmpty() || floor.drawing.IsEmpty() || floor.hostPath.empty()) std::abort();
        if (!names.insert(CString(floor.name).MakeUpper()).second) std::abort();
    }
    return 0;
}
