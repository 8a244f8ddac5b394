#include "host/win/DeferredWrites.h"

#include <sys/stat.h>

#include <filesystem>
#include <memory>
#include <vector>

#include "host/win/FileReplace.h"
#include "host/win/HostFile.h"
#include "host/win/WinPath.h"

namespace vkwin {
namespace {

// What tells one version of a file from another: replaced by a save (new identity), rewritten
// in place (size, time).
struct Version {
    bool exists = false;
    dev_t dev = 0;
    ino_t ino = 0;
    off_t size = 0;
    long long mtimeNs = 0;
    bool operator==(const Version&) const = default;
};

Version VersionOf(const struct stat& st)
{
    return Version{true, st.st_dev, st.st_ino, st.st_size,
                   static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec};
}

Version VersionAt(const std::string& hostPath)
{
    struct stat st {};
    return stat(hostPath.c_str(), &st) == 0 ? VersionOf(st) : Version{};
}

struct Entry {
    std::string host;
    CString win;
    Version before;
    bool staged = false;
    std::string bytes;
    std::string backup;
};

struct Scope {
    int depth = 0;
    std::vector<Entry> entries;
};

Scope& Current()
{
    static Scope scope;
    return scope;
}

std::string Normal(const std::string& hostPath)
{
    std::error_code ec;
    std::filesystem::path p = std::filesystem::absolute(hostPath, ec);
    return (ec ? std::filesystem::path(hostPath) : p).lexically_normal().string();
}

Entry* Find(const std::string& hostPath)
{
    Scope& s = Current();
    if (s.depth == 0) return nullptr;
    const std::string normal = Normal(hostPath);
    for (Entry& e : s.entries)
        if (e.host == normal) return &e;
    return nullptr;
}

// One file of a commit: held against other writers, replaced, and undone on a later failure.
struct Replaced {
    SharedFile holder;
    std::unique_ptr<FileReplacement> replacement;
};

DWORD CommitOne(const Entry& e, Replaced& r)
{
    const Version now = VersionAt(e.host);
    if (now.exists) {
        std::string onDisk;
        if (now == e.before && detail::ReadHostFile(e.host, onDisk) && onDisk == e.bytes) return ERROR_SUCCESS;
        if (!r.holder.Open(e.win, SharedFile::kWrite, _SH_DENYWR)) return GetLastError();
        struct stat st {};
        if (fstat(r.holder.Fd(), &st) != 0 || !(VersionOf(st) == e.before)) return ERROR_SHARING_VIOLATION;
    } else if (e.before.exists) {
        return ERROR_SHARING_VIOLATION;  // removed by someone else meanwhile
    }
    CleanLeftoversOf(e.host, e.backup);
    r.replacement = std::make_unique<FileReplacement>(e.host, e.backup, true);
    if (DWORD err = r.replacement->Write(e.bytes); err != ERROR_SUCCESS) return err;
    return r.replacement->Replace(now.exists ? &r.holder : nullptr);
}

ReplaceObserver*& Observer()
{
    static ReplaceObserver* observer = nullptr;
    return observer;
}

}  // namespace

void SetReplaceObserver(ReplaceObserver* observer) { Observer() = observer; }

DeferredWrites::DeferredWrites(std::initializer_list<CString> winPaths)
{
    Scope& s = Current();
    m_outermost = s.depth++ == 0;
    for (const CString& win : winPaths) {
        const std::string host = Normal(ToHostPath(win));
        if (Find(host)) continue;
        s.entries.push_back(Entry{host, win, VersionAt(host)});
    }
}

DeferredWrites::~DeferredWrites()
{
    Scope& s = Current();
    if (--s.depth == 0) s.entries.clear();
}

bool DeferredWrites::Active() { return Current().depth > 0; }

bool DeferredWrites::Commit()
{
    m_error = ERROR_SUCCESS;
    m_failed.Empty();
    if (!m_outermost) return true;
    Scope& s = Current();
    // What the files held before, for whoever keeps it.
    ReplaceObserver* observer = Observer();
    std::vector<std::pair<bool, std::string>> before(s.entries.size());
    if (observer && observer->wantsContents())
        for (size_t k = 0; k < s.entries.size(); ++k)
            if (s.entries[k].staged) before[k].first = detail::ReadHostFile(s.entries[k].host, before[k].second);
    std::vector<Replaced> done(s.entries.size());
    size_t i = 0;
    for (; i < s.entries.size(); ++i) {
        if (!s.entries[i].staged) continue;
        if (DWORD err = CommitOne(s.entries[i], done[i]); err != ERROR_SUCCESS) {
            m_error = err;
            m_failed = s.entries[i].win;
            break;
        }
    }
    if (m_error != ERROR_SUCCESS) {
        for (size_t j = i; j-- > 0;)
            if (done[j].replacement) done[j].replacement->Undo();
    } else {
        for (Replaced& r : done)
            if (r.replacement) r.replacement->Finish();
        if (observer && observer->wantsContents())
            for (size_t k = 0; k < s.entries.size(); ++k)
                if (s.entries[k].staged) observer->replaced(s.entries[k].win, before[k].first, std::move(before[k].second));
    }
    // Committed or not, the files now say what is true: reads go to them again.
    for (Entry& e : s.entries) {
        e.staged = false;
        e.bytes.clear();
        e.before = VersionAt(e.host);
    }
    return m_error == ERROR_SUCCESS;
}

bool ReadWholeFile(const CString& winPath, std::string& out)
{
    if (const std::string* staged = deferred::Staged(ToHostPath(winPath))) {
        out = *staged;
        return true;
    }
    SharedFile file;
    return file.Open(winPath, SharedFile::kRead, _SH_DENYNO) && file.ReadAll(out);
}

bool ReplaceWholeFile(const CString& winPath, std::string_view bytes)
{
    DeferredWrites scope{winPath};
    deferred::Stage(ToHostPath(winPath), std::string(bytes), std::string());
    if (scope.Commit()) return true;
    SetLastError(scope.Error());
    return false;
}

namespace deferred {

bool Defers(const std::string& hostPath) { return Find(hostPath) != nullptr; }

const std::string* Staged(const std::string& hostPath)
{
    const Entry* e = Find(hostPath);
    return e && e->staged ? &e->bytes : nullptr;
}

void Stage(const std::string& hostPath, std::string bytes, const std::string& backupHostPath)
{
    Entry* e = Find(hostPath);
    if (!e) return;
    e->staged = true;
    e->bytes = std::move(bytes);
    if (!backupHostPath.empty()) e->backup = backupHostPath;
}

}  // namespace deferred
}  // namespace vkwin
