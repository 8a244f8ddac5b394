// vkcad report: the standard-room report is the report plug-in's, so it is found among the
// plug-ins vkcad loads by default and run without an editor session.
#include <dlfcn.h>
#include <unistd.h>

#include <ostream>

#include "apps/srreport/SrReportBatch.h"
#include "apps/vkcad/Batch.h"
#include "apps/vkcad/Options.h"
#include "apps/vkcad/Session.h"
#include "host/rx/AcRxDynamicLinker.h"

namespace vkcad {

namespace {

SrReportBatchFn FindReport()
{
    for (const std::string& path : acrxDynamicLinker()->loadedModules()) {
        void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
        if (!handle) continue;
        auto fn = reinterpret_cast<SrReportBatchFn>(dlsym(handle, kSrReportBatchSymbol));
        dlclose(handle);  // the linker keeps its own reference
        if (fn) return fn;
    }
    return nullptr;
}

}  // namespace

int RunReport(const Options& o, std::ostream& out, std::ostream& err)
{
    if (!o.noDefaultPlugins) {
        for (const std::string& p : DefaultPlugins(ExecutableDir()))
            if (access(p.c_str(), F_OK) == 0 && !acrxDynamicLinker()->loadModule(p))
                err << "vkcad: cannot load " << p << ": " << acrxDynamicLinker()->lastError() << "\n";
    }
    int rc = 1;
    if (SrReportBatchFn report = FindReport()) {
        const SrReportBatchRequest req{o.project.c_str(), o.floor.c_str(), o.room.c_str(), o.json.c_str(), &out, &err};
        rc = report(&req);
    } else {
        err << "vkcad report: no loaded plug-in provides the report (SrReport.so, listed in vkcad.plugins)\n";
    }
    acrxDynamicLinker()->unloadAll();
    return rc;
}

}  // namespace vkcad
