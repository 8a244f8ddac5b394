#pragma once
// Application messages and the dynamic linker that loads plug-ins.
#include <string>
#include <vector>

#include "host/win/CString.h"

namespace AcRx {
enum AppMsgCode { kNullMsg = 0, kInitAppMsg = 1, kUnloadAppMsg = 2, kLoadDwgMsg = 3, kUnloadDwgMsg = 4,
                  kInvkSubrMsg = 5, kCfgMsg = 6, kEndMsg = 7, kQuitMsg = 8, kSaveMsg = 9,
                  kDependencyMsg = 10, kNoDependencyMsg = 11, kOleUnloadAppMsg = 12,
                  kPreQuitMsg = 13, kInitDialogMsg = 14, kEndDialogMsg = 15, kSuspendMsg = 16 };
enum AppRetCode { kRetOK = 0, kRetError = 3 };
}  // namespace AcRx

// The id of a loaded application: its handle, passed to its entry point.
using AcRxAppId = void*;
// Every plug-in exports: extern "C" AcRx::AppRetCode acrxEntryPoint(AcRx::AppMsgCode, void* appId);
using AcRxEntryPointFn = AcRx::AppRetCode (*)(AcRx::AppMsgCode, void*);

class AcRxDynamicLinker {
public:
    // Loads a plug-in by path and calls its entry point with kInitAppMsg. A plug-in already
    // loaded is not loaded twice. False (and a reason in lastError) when it cannot be loaded or
    // has no entry point.
    bool loadModule(const std::string& path, bool printit = false);
    // Calls the entry point with kUnloadAppMsg and unloads the library, unless it is locked.
    bool unloadModule(const std::string& path);
    void unloadAll();                                  // in reverse order of loading
    bool unlockApplication(void* appId);               // allows unloading
    bool lockApplication(void* appId);
    bool isApplicationLocked(void* appId) const;
    bool registerAppMDIAware(void* appId);
    bool isAppMDIAware(void* appId) const;
    std::vector<std::string> loadedModules() const;    // paths, in load order
    const std::string& lastError() const { return m_lastError; }

private:
    std::string m_lastError;
};

AcRxDynamicLinker* acrxDynamicLinker();
