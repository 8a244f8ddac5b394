// The report plug-in: the command SRREPORT in the editor and the batch form behind
// `vkcad report`. Both read the project's drawings and change none of them.
#include <fstream>
#include <ostream>

#include "apps/srreport/RoomReport.h"
#include "apps/srreport/SrReportBatch.h"
#include "host/ed/AcEd.h"
#include "host/rx/AcRxDynamicLinker.h"
#include "siblings/project/CProj.h"
#include "siblings/project/VkQsProject.h"

namespace {
constexpr const char16_t* kGroup = u"VKSRREPORT";

void CmdSrReport()
{
    char16_t room[256] = {};
    if (acedGetString(0, u"\nRoom whose edit to forecast <none>: ", room, 256) != RTNORM) return;
    srreport::ReportSource source;
    source.currentFloor = VkQsDataMng::CProj().GetCurFloorName();
    source.currentDb = acdbHostApplicationServices()->workingDatabase();
    source.useOpenDocuments = true;
    source.forecastRoom = room;
    srreport::Report report;
    CString why;
    if (!srreport::BuildReport(source, report, why)) {
        acutPrintf(u"\nNo report: %s.", why.GetString());
        return;
    }
    const CString text = CString::FromUtf8(srreport::FormatReportText(report));
    acutPrintf(u"\n%s", text.Left(text.GetLength() - 1).GetString());  // the prompt adds the line end
}

bool IsFloor(const CString& name)
{
    CArray<VkQsDataMng::FloorRecord> floors;
    VkQsDataMng::CProj().GetAllFloorData(floors);
    for (const VkQsDataMng::FloorRecord& f : floors)
        if (f.strFloorName.Compare(name) == 0) return true;
    return false;
}

CString FirstFloor()
{
    CArray<VkQsDataMng::FloorRecord> floors;
    VkQsDataMng::CProj().GetAllFloorData(floors);
    return floors.IsEmpty() ? CString() : floors[0].strFloorName;
}

// Makes the project current and builds its report as read from disk, from the floor given
// (default: the first); false with a message on err.
bool BuildFromDisk(const char* project, const char* floor, const char* room, srreport::Report& report, std::ostream& err)
{
    CString why;
    if (!VkQsProject::SetCurrentProjectFile(project ? project : "", &why)) {
        err << "vkcad report: project " << (project ? project : "") << ": " << why.ToUtf8() << "\n";
        return false;
    }
    srreport::ReportSource source;
    source.currentFloor = floor && *floor ? CString::FromUtf8(floor) : FirstFloor();
    if (!IsFloor(source.currentFloor)) {
        err << "vkcad report: the project has no floor " << source.currentFloor.ToUtf8() << "\n";
        return false;
    }
    if (room) source.forecastRoom = CString::FromUtf8(room);
    if (!srreport::BuildReport(source, report, why)) {
        err << "vkcad report: " << why.ToUtf8() << "\n";
        return false;
    }
    return true;
}

int RunBatch(const SrReportBatchRequest& req)
{
    std::ostream& err = *req.err;
    srreport::Report report;
    if (!BuildFromDisk(req.project, req.floor, req.room, report, err)) return 1;
    *req.out << srreport::FormatReportText(report);
    req.out->flush();
    if (req.json && *req.json) {
        std::ofstream file(req.json, std::ios::binary | std::ios::trunc);
        file << srreport::FormatReportJson(report);
        file.close();
        if (!file) {
            err << "vkcad report: cannot write " << req.json << "\n";
            return 1;
        }
    }
    if (report.forecast && !report.forecast->stored) {
        err << "vkcad report: the library holds no room " << report.forecast->room.ToUtf8() << "\n";
        return 1;
    }
    return 0;
}
}  // namespace

extern "C" __attribute__((visibility("default"))) int SrReportBatch(const SrReportBatchRequest* req)
{
    const int rc = RunBatch(*req);
    VkQsProject::SetCurrentProjectFile("");
    return rc;
}

extern "C" __attribute__((visibility("default"))) int SrReportBuild(const SrReportBuildRequest* req)
{
    const int rc = BuildFromDisk(req->project, req->floor, nullptr, *req->report, *req->err) ? 0 : 1;
    VkQsProject::SetCurrentProjectFile("");
    return rc;
}

extern "C" __attribute__((visibility("default"))) AcRx::AppRetCode acrxEntryPoint(AcRx::AppMsgCode msg, void* appId)
{
    if (msg == AcRx::kInitAppMsg) {
        acrxDynamicLinker()->unlockApplication(appId);
        acrxDynamicLinker()->registerAppMDIAware(appId);
        acedRegCmds()->addCommand(kGroup, u"_SRREPORT", u"SRREPORT", 0, &CmdSrReport);
        acedRegCmds()->setCommandHelp(kGroup, u"_SRREPORT",
                                      u"Prints the standard-room report of the current project.",
                                      u"Room whose edit to forecast <none>:");
    } else if (msg == AcRx::kUnloadAppMsg) {
        acedRegCmds()->removeGroup(kGroup);
    }
    return AcRx::kRetOK;
}
