// Where the library files lie, and access to the library drawing.
#include <memory>

#include "host/win/Windows.h"
#include "module/frame/CManageStdRoom.h"
#include "module/interfaces/LibraryInterfaces.h"
#include "module/library/LibraryFile.h"

namespace {
// The project file's folder: everything before the last backslash, or the whole path when it
// has none (or only a leading one).
CString ProjectFileFolder()
{
    const CString path = VkQsDataMng::CProj().GetPrjPath();
    const int slash = path.ReverseFind(u'\\');
    return slash > 0 ? path.Left(slash) : path;
}
}  // namespace

CString CManageStdRoom::GetStdRoomPath()
{
    return VkQsDataMng::CProj().GetPrjDir() + u"\\" + u"StardardRoom.dwg";
}

CString CManageStdRoom::GetStdRoomPath(CString fileName)
{
    return ProjectFileFolder() + u"\\" + fileName;
}

CString CManageStdRoom::GetStdRoomTempPath()
{
    const CString copy = VkQsDataMng::CProj().GetPrjDir() + u"\\StandardRoomTmp.dwg";
    CopyFileW(GetStdRoomPath(), copy, FALSE);
    return copy;
}

const CString CManageStdRoom::GetRoomlist()
{
    return ProjectFileFolder() + u"\\Roomlist.txt";
}

void CManageStdRoom::GetDb(AcDbDatabase*& db)
{
    db = new AcDbDatabase(false, true);
    vkroom::ReadLibrary(*db);
}
