#include "host/win/WinPath.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <optional>

namespace vkwin {
namespace {

std::mutex g_mutex;
std::optional<std::map<char, std::string>> g_drives;  // read from VKCAD_DRIVES at first use

std::string StripTrailingSlash(std::string p) {
    while (p.size() > 1 && p.back() == '/') p.pop_back();
    return p;
}

std::string HomeDir() {
    if (const char* h = std::getenv("HOME"); h && *h) return h;
    if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) return pw->pw_dir;
    return ".";
}

std::string DefaultDriveRoot(char letter) {
    return HomeDir() + "/.vkcad/drives/" + char(letter - 'A' + 'a');
}

// Caller holds g_mutex.
const std::map<char, std::string>& Drives() {
    if (!g_drives) {
        std::map<char, std::string> m;
        if (const char* env = std::getenv("VKCAD_DRIVES"); env && *env && !ParseDriveMap(env, m)) {
            std::fprintf(stderr, "vkcad: VKCAD_DRIVES=\"%s\" is not of the form C=/path;D=/path; ignored\n", env);
            m.clear();
        }
        g_drives = std::move(m);
    }
    return *g_drives;
}

// The host directory of a drive; an unmapped drive gets its default folder, made on demand.
std::string DriveRoot(char letter) {
    std::lock_guard lock(g_mutex);
    const auto& drives = Drives();
    if (auto it = drives.find(letter); it != drives.end()) return it->second;
    std::string root = DefaultDriveRoot(letter);
    std::error_code ec;
    std::filesystem::create_directories(root, ec);  // a failure shows up when the file is opened
    return root;
}

bool IsSep(char16_t c) { return c == u'\\' || c == u'/'; }

bool UnderRoot(const std::string& path, const std::string& root) {
    if (root == "/") return !path.empty() && path[0] == '/';
    return path.compare(0, root.size(), root) == 0 && (path.size() == root.size() || path[root.size()] == '/');
}

}  // namespace

std::string ToHostPath(const CString& winPath) {
    std::u16string p = winPath.str();
    std::string prefix;
    const bool hasDrive = p.size() >= 2 && p[1] == u':' &&
                          ((p[0] >= u'A' && p[0] <= u'Z') || (p[0] >= u'a' && p[0] <= u'z'));
    if (hasDrive) {
        const char letter = char(p[0] >= u'a' ? p[0] - u'a' + u'A' : p[0]);
        prefix = DriveRoot(letter);
        p.erase(0, 2);
        while (!p.empty() && IsSep(p.front())) p.erase(0, 1);  // "C:x" and "C:\x" both sit at the root
        if (p.empty()) return prefix;
        if (prefix.back() != '/') prefix += '/';
    }
    for (auto& c : p)
        if (c == u'\\') c = u'/';
    return prefix + CString(p).ToUtf8();
}

CString FromHostPath(const std::string& hostPath) {
    std::string best;
    char bestLetter = 0;
    {
        std::lock_guard lock(g_mutex);
        for (const auto& [letter, root] : Drives()) {
            if (UnderRoot(hostPath, root) && root.size() > best.size()) {
                best = root;
                bestLetter = letter;
            }
        }
        const std::string defaults = HomeDir() + "/.vkcad/drives/";
        if (hostPath.compare(0, defaults.size(), defaults) == 0 && hostPath.size() > defaults.size()) {
            const char c = hostPath[defaults.size()];
            const char letter = char(c - 'a' + 'A');
            if (c >= 'a' && c <= 'z' && !Drives().count(letter)) {
                const std::string root = DefaultDriveRoot(letter);
                if (UnderRoot(hostPath, root) && root.size() > best.size()) {
                    best = root;
                    bestLetter = letter;
                }
            }
        }
    }
    std::string rest = bestLetter ? hostPath.substr(best == "/" ? 0 : best.size()) : hostPath;
    CString out = CString::FromUtf8(rest);
    out.Replace(u'/', u'\\');
    if (!bestLetter) return out;
    CString drive(static_cast<char16_t>(bestLetter), 1);
    drive += u':';
    if (out.IsEmpty()) out = u"\\";
    return drive + out;
}

FileIdentity IdentityOf(const CString& winPath) {
    FileIdentity id;
    if (winPath.IsEmpty()) return id;
    const std::string host = ToHostPath(winPath);
    struct stat st {};
    if (stat(host.c_str(), &st) == 0) {
        id.exists = true;
        id.device = static_cast<std::uint64_t>(st.st_dev);
        id.inode = static_cast<std::uint64_t>(st.st_ino);
        return id;
    }
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(host, ec);
    std::filesystem::path resolved = std::filesystem::weakly_canonical(absolute, ec);
    if (ec) resolved = absolute.lexically_normal();
    id.resolved = resolved.string();
    return id;
}

bool IsSameFile(const CString& a, const CString& b) {
    return !a.IsEmpty() && !b.IsEmpty() && IdentityOf(a) == IdentityOf(b);
}

void SetDriveMap(const std::map<char, std::string>& drives) {
    std::map<char, std::string> m;
    for (const auto& [letter, root] : drives) {
        const char up = (letter >= 'a' && letter <= 'z') ? char(letter - 'a' + 'A') : letter;
        m[up] = StripTrailingSlash(root);
    }
    std::lock_guard lock(g_mutex);
    g_drives = std::move(m);
}

std::map<char, std::string> GetDriveMap() {
    std::lock_guard lock(g_mutex);
    return Drives();
}

bool ParseDriveMap(const std::string& text, std::map<char, std::string>& out) {
    std::map<char, std::string> m;
    size_t pos = 0;
    while (pos <= text.size()) {
        size_t end = text.find(';', pos);
        if (end == std::string::npos) end = text.size();
        const std::string item = text.substr(pos, end - pos);
        pos = end + 1;
        if (item.empty()) continue;  // "C=/x;" and ";;" are tolerated
        if (item.size() < 3 || item[1] != '=') return false;
        char letter = item[0];
        if (letter >= 'a' && letter <= 'z') letter = char(letter - 'a' + 'A');
        if (letter < 'A' || letter > 'Z') return false;
        const std::string root = item.substr(2);
        if (root[0] != '/' || m.count(letter)) return false;  // roots are absolute; a letter once
        m[letter] = StripTrailingSlash(root);
    }
    out = std::move(m);
    return true;
}

}  // namespace vkwin
