#include "siblings/project/ProjectFile.h"

#include <cctype>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string_view>

#include "host/win/WinPath.h"

namespace fs = std::filesystem;

namespace VkQsProject {
namespace {

std::string Trim(const std::string& s)
{
    size_t b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos) return {};
    size_t e = s.find_last_not_of(" \t\r");
    return s.substr(b, e - b + 1);
}

// Windows separators in the file are accepted too.
std::string Slashes(std::string s)
{
    for (char& c : s)
        if (c == '\\') c = '/';
    return s;
}

std::string Absolute(const std::string& base, const std::string& p)
{
    // A path on a drive (C:\proj) lies where the drive map puts that drive.
    const bool onDrive = p.size() >= 3 && std::isalpha(static_cast<unsigned char>(p[0])) && p[1] == ':' &&
                         (p[2] == '\\' || p[2] == '/');
    fs::path path(onDrive ? vkwin::ToHostPath(CString::FromUtf8(p)) : Slashes(p));
    if (!path.is_absolute()) path = fs::path(base) / path;
    std::string out = path.lexically_normal().string();
    while (out.size() > 1 && out.back() == '/') out.pop_back();
    return out;
}

bool Fail(CString& error, const std::string& file, int lineNo, const char* why)
{
    std::string text = lineNo > 0 ? file + " line " + std::to_string(lineNo) + ": " + why : file + ": " + why;
    error = CString::FromUtf8(text);
    return false;
}

}  // namespace

bool LoadProjectFile(const std::string& hostPath, ProjectFile& out, CString& error)
{
    out = ProjectFile{};
    std::error_code ec;
    fs::path file = fs::absolute(fs::path(hostPath), ec).lexically_normal();
    std::ifstream in(file, std::ios::binary);
    if (hostPath.empty() || !in || fs::is_directory(file, ec))
        return Fail(error, hostPath.empty() ? std::string("project file") : hostPath, 0, "cannot read the project file");
    std::stringstream buf;
    buf << in.rdbuf();
    return ParseProjectFile(buf.str(), file.string(), out, error);
}

bool ParseProjectFile(std::string text, const std::string& absolutePath, ProjectFile& out, CString& error)
{
    out = ProjectFile{};
    const fs::path file(absolutePath);
    const std::string name = file.filename().string();
    if (text.rfind("\xEF\xBB\xBF", 0) == 0) text.erase(0, 3);

    out.path = file.string();
    std::string folder = file.parent_path().string();
    std::string dir;
    bool haveDir = false;
    enum { kNone, kProject, kFloors } section = kNone;
    std::vector<std::pair<std::string, std::string>> floors;
    std::set<std::u16string> seen;

    std::istringstream lines(text);
    std::string line;
    for (int lineNo = 1; std::getline(lines, line); ++lineNo) {
        line = Trim(line);
        if (line.empty() || line[0] == ';' || line[0] == '#') continue;
        if (line[0] == '[') {
            if (line.back() != ']') return Fail(error, name, lineNo, "section header without ']'");
            std::string sec = Trim(line.substr(1, line.size() - 2));
            if (CString::FromUtf8(sec).CompareNoCase(u"Project") == 0) section = kProject;
            else if (CString::FromUtf8(sec).CompareNoCase(u"Floors") == 0) section = kFloors;
            else return Fail(error, name, lineNo, "unknown section (expected [Project] or [Floors])");
            continue;
        }
        size_t eq = line.find('=');
        if (eq == std::string::npos) return Fail(error, name, lineNo, "expected KEY=VALUE");
        std::string key = Trim(line.substr(0, eq));
        std::string value = Trim(line.substr(eq + 1));
        if (section == kNone) return Fail(error, name, lineNo, "a line before any section");
        if (section == kProject) {
            if (CString::FromUtf8(key).CompareNoCase(u"Dir") != 0)
                return Fail(error, name, lineNo, "unknown key in [Project] (expected Dir=)");
            if (haveDir) return Fail(error, name, lineNo, "Dir= given twice");
            dir = value;
            haveDir = true;
            continue;
        }
        if (key.empty()) return Fail(error, name, lineNo, "a floor without a name");
        if (value.empty()) return Fail(error, name, lineNo, "a floor without a drawing");
        if (!seen.insert(CString::FromUtf8(key).MakeUpper().str()).second)
            return Fail(error, name, lineNo, "floor named twice");
        floors.emplace_back(key, value);
    }
    if (floors.empty()) return Fail(error, name, 0, "no floors (a [Floors] section with NAME=DRAWING lines is needed)");

    out.dir = dir.empty() ? folder : Absolute(folder, dir);
    for (auto& [floor, drawing] : floors)
        out.floors.push_back({CString::FromUtf8(floor), CString::FromUtf8(drawing), Absolute(out.dir, drawing)});
    error.Empty();
    return true;
}

}  // namespace VkQsProject

namespace VkQsProject {

bool WriteNewProjectFile(const std::string& hostPath, const CString& title, const std::vector<CString>& floors,
                         CString& error)
{
    std::error_code ec;
    if (fs::exists(hostPath, ec)) {
        error = u"the file exists";
        return false;
    }
    std::string text = "; " + title.ToUtf8() + "\n[Project]\nDir=.\n\n[Floors]\n";
    for (const CString& floor : floors) {
        CString name = floor;
        name.Trim();
        if (std::u16string_view(name.GetString()).find_first_of(u"\\/:*?\"<>|=;#[]") != std::u16string_view::npos) {
            error.Format(u"the floor name \"%s\" cannot name a drawing file", name.GetString());
            return false;
        }
        text += name.ToUtf8() + "=" + name.ToUtf8() + ".dwg\n";
    }
    // The text is checked as any project file is read, so what is written will read back.
    ProjectFile check;
    const std::string absolute = fs::absolute(hostPath, ec).string();
    if (!ParseProjectFile(text, absolute, check, error)) return false;
    // Written beside its place and renamed over it: whole or not at all.
    const std::string temp = hostPath + ".new";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out << text;
        out.flush();
        if (!out) {
            fs::remove(temp, ec);
            error = u"the file cannot be written";
            return false;
        }
    }
    fs::rename(temp, hostPath, ec);
    if (ec) {
        fs::remove(temp, ec);
        error = u"the file cannot be written";
        return false;
    }
    return true;
}

}  // namespace VkQsProject
