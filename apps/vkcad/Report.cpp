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

// A function of that name exported by a loaded plug-in.
template <class Fn>
Fn FindInPlugins(const char* symbol)
{
    for (const std::string& path : acrxDynamicLinker()->loadedModules()) {
        void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
        if (!handle) continue;
        auto fn = reinterpret_cast<Fn>(dlsym(handle, symbol));
        dlclose(handle);  // the linker keeps its own reference
        if (fn) return fn;
    }
    return nullptr;
}

// Runs fn with the report plug-in's function of that name, the default plug-ins loaded for
// the call; without it: a message on err, 1.
template <class Fn, class Call>
int WithReportPlugin(const Options& o, const char* symbol, std::ostream& err, Call&& call)
{
    if (!o.noDefaultPlugins) {
        for (const std::string& p : DefaultPlugins(ExecutableDir()))
            if (access(p.c_str(), F_OK) == 0 && !acrxDynamicLinker()->loadModule(p))
                err << "vkcad: cannot load " << p << ": " << acrxDynamicLinker()->lastError() << "\n";
    }
    int rc = 1;
    if (Fn fn = FindInPlugins<Fn>(symbol)) rc = call(fn);
    else err << "vkcad report: no loaded plug-in provides the report (SrReport.so, listed in vkcad.plugins)\n";
    acrxDynamicLinker()->unloadAll();
    return rc;
}

}  // namespace

int RunReport(const Options& o, std::ostream& out, std::ostream& err)
{
    return WithReportPlugin<SrReportBatchFn>(o, kSrReportBatchSymbol, err, [&](SrReportBatchFn report) {
        const SrReportBatchRequest req{o.project.c_str(), o.floor.c_str(), o.room.c_str(), o.json.c_str(), &out, &err};
        return report(&req);
    });
}

int BuildProjectReport(const Options& o, srreport::Report& report, std::ostream& err)
{
    return WithReportPlugin<SrReportBuildFn>(o, kSrReportBuildSymbol, err, [&](SrReportBuildFn build) {
        const SrReportBuildRequest req{o.project.c_str(), o.floor.c_str(), &report, &err};
        return build(&req);
    });
}

}  // namespace vkcad
