// The dynamic linker: loads plug-ins, calls their entry point, keeps their lock and MDI flags.
#include "host/rx/AcRxDynamicLinker.h"

#include <dlfcn.h>
#include <stdlib.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <memory>

namespace {

struct LoadedApp {
    std::string path;       // as given
    std::string realPath;   // to recognise a second load under another spelling
    void* handle = nullptr; // the application id
    AcRxEntryPointFn entry = nullptr;
    bool locked = true;     // applications stay until they unlock themselves
    bool mdiAware = false;
};

std::vector<LoadedApp>& apps()
{
    static auto* list = new std::vector<LoadedApp>;
    return *list;
}

std::string canonical(const std::string& path)
{
    char buf[PATH_MAX];
    return realpath(path.c_str(), buf) ? std::string(buf) : path;
}

LoadedApp* findByHandle(void* appId)
{
    for (LoadedApp& a : apps())
        if (a.handle == appId) return &a;
    return nullptr;
}

LoadedApp* findByPath(const std::string& path)
{
    const std::string real = canonical(path);
    for (LoadedApp& a : apps())
        if (a.path == path || a.realPath == real) return &a;
    return nullptr;
}

}  // namespace

bool AcRxDynamicLinker::loadModule(const std::string& path, bool printit)
{
    m_lastError.clear();
    if (findByPath(path)) return true;
    void* h = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!h) {
        const char* e = dlerror();
        m_lastError = e ? e : "cannot load " + path;
        return false;
    }
    auto entry = reinterpret_cast<AcRxEntryPointFn>(dlsym(h, "acrxEntryPoint"));
    if (!entry) {
        m_lastError = path + ": no acrxEntryPoint";
        dlclose(h);
        return false;
    }
    // Registered before the call: the entry point unlocks itself and declares MDI awareness.
    apps().push_back({path, canonical(path), h, entry});
    if (entry(AcRx::kInitAppMsg, h) != AcRx::kRetOK) {
        auto& list = apps();
        list.erase(std::remove_if(list.begin(), list.end(), [h](const LoadedApp& a) { return a.handle == h; }),
                   list.end());
        dlclose(h);
        m_lastError = path + ": initialisation failed";
        return false;
    }
    if (printit) std::printf("%s loaded.\n", path.c_str());
    return true;
}

bool AcRxDynamicLinker::unloadModule(const std::string& path)
{
    m_lastError.clear();
    LoadedApp* app = findByPath(path);
    if (!app) {
        m_lastError = path + ": not loaded";
        return false;
    }
    if (app->locked) {
        m_lastError = path + ": the application is locked";
        return false;
    }
    void* h = app->handle;
    if (app->entry(AcRx::kUnloadAppMsg, h) != AcRx::kRetOK) {
        m_lastError = path + ": the application refused to unload";
        return false;
    }
    auto& list = apps();
    list.erase(std::remove_if(list.begin(), list.end(), [h](const LoadedApp& a) { return a.handle == h; }),
               list.end());
    dlclose(h);
    return true;
}

void AcRxDynamicLinker::unloadAll()
{
    // Shutting down: every application hears kUnloadAppMsg, locked or not.
    auto& list = apps();
    while (!list.empty()) {
        LoadedApp app = list.back();
        list.pop_back();
        app.entry(AcRx::kUnloadAppMsg, app.handle);
        dlclose(app.handle);
    }
}

bool AcRxDynamicLinker::unlockApplication(void* appId)
{
    LoadedApp* a = findByHandle(appId);
    if (!a) return false;
    a->locked = false;
    return true;
}

bool AcRxDynamicLinker::lockApplication(void* appId)
{
    LoadedApp* a = findByHandle(appId);
    if (!a) return false;
    a->locked = true;
    return true;
}

bool AcRxDynamicLinker::isApplicationLocked(void* appId) const
{
    const LoadedApp* a = findByHandle(appId);
    return a && a->locked;
}

bool AcRxDynamicLinker::registerAppMDIAware(void* appId)
{
    LoadedApp* a = findByHandle(appId);
    if (!a) return false;
    a->mdiAware = true;
    return true;
}

bool AcRxDynamicLinker::isAppMDIAware(void* appId) const
{
    const LoadedApp* a = findByHandle(appId);
    return a && a->mdiAware;
}

std::vector<std::string> AcRxDynamicLinker::loadedModules() const
{
    std::vector<std::string> out;
    for (const LoadedApp& a : apps()) out.push_back(a.path);
    return out;
}

AcRxDynamicLinker* acrxDynamicLinker()
{
    static auto* linker = new AcRxDynamicLinker;
    return linker;
}
