#include "module/library/LibraryFile.h"

#include <memory>

#include "host/ed/AcEd.h"
#include "host/win/Windows.h"
#include "module/frame/CManageStdRoom.h"
#include "module/library/RoomListFormat.h"

namespace vkroom {
namespace {
CString& LastFailure()
{
    static CString last;
    return last;
}

void Tell(const CString& text)
{
    LastFailure() = text;
    acutPrintf(u"\n%s", text.GetString());
}
}  // namespace

Acad::ErrorStatus ReadLibrary(AcDbDatabase& db)
{
    const CString path = CManageStdRoom::GetStdRoomPath();
    const Acad::ErrorStatus es = db.readDwgFile(path, _SH_DENYWR, false, nullptr);
    if (es != Acad::eFileNotFound) return es;
    auto fresh = std::make_unique<AcDbDatabase>(true, true);
    if (const Acad::ErrorStatus saved = fresh->saveAs(path, true, AcDb::kDHL_1027, nullptr); saved != Acad::eOk)
        return saved;
    fresh.reset();
    return db.readDwgFile(path, _SH_DENYWR, false, nullptr);
}

void TellLibraryReadFailure(const CString& path, Acad::ErrorStatus es)
{
    Tell(u"标准房间库文件" + path + u"无法读取：" + acadErrorStatusDescription(es));
}

void TellLibraryWriteFailure(const CString& path, Acad::ErrorStatus es)
{
    const bool list = path.CompareNoCase(CManageStdRoom::GetRoomlist()) == 0;
    Tell((list ? u"房间列表文件" : u"标准房间库文件") + path + u"无法写入：" + acadErrorStatusDescription(es));
}

bool RoomListPathFits(const CString& path)
{
    if (path.GetLength() <= vkroom::kRoomListPathMaxLength) return true;
    Tell(u"房间列表文件" + path + u"的路径过长（须少于128个字符）");
    return false;
}

void NoteLibraryFailure(const CString& text)
{
    LastFailure() = text;
}

CString TakeLibraryFailure()
{
    CString last = LastFailure();
    LastFailure().Empty();
    return last;
}
}  // namespace vkroom
