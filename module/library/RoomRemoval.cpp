// Removing a stored room: its block of the library drawing and its name.
#include <algorithm>
#include <memory>

#include "host/db/AcDb.h"
#include "host/ed/AcEd.h"
#include "host/win/DeferredWrites.h"
#include "module/frame/CManageStdRoom.h"
#include "module/library/LibraryFile.h"

void CManageStdRoom::EraseStdRoom(CString& name)
{
    const auto same = [&](const CString& listed) { return listed.Compare(name) == 0; };
    if (std::none_of(m_RoomNames.begin(), m_RoomNames.end(), same)) return;

    // Both files are replaced once at the end, the library first: a kill between the two
    // leaves a list naming a room the library lacks, which validation drops; the other way
    // round would leave a block that no list names.
    vkwin::DeferredWrites scope{GetStdRoomPath(), m_RoomlistPath};
    auto library = std::make_unique<AcDbDatabase>(false, true);
    if (const Acad::ErrorStatus es = vkroom::ReadLibrary(*library); es != Acad::eOk) {
        vkroom::TellLibraryReadFailure(GetStdRoomPath(), es);
        acutPrintf(u"\n标准房间%s未删除", name.GetString());
        return;
    }
    AcDbObjectId blockId;
    {
        AcDbObjectPointer<AcDbBlockTable> table(library->blockTableId(), AcDb::kForRead);
        if (!table || table->getAt(name, blockId) != Acad::eOk) return;  // listed without a block: the next validation drops it
    }
    {
        AcDbObjectPointer<AcDbBlockTableRecord> block(blockId, AcDb::kForWrite);
        if (!block) return;
        block->erase();
    }

    const std::vector<CString> names = m_RoomNames;
    std::erase_if(m_RoomNames, same);
    const Acad::ErrorStatus saved = library->saveAs(GetStdRoomPath(), true, AcDb::kDHL_1027, nullptr);
    library.reset();
    if (saved == Acad::eOk) WriteToFile();
    if (saved == Acad::eOk && scope.Commit()) return;
    m_RoomNames = names;
    if (saved != Acad::eOk) vkroom::TellLibraryWriteFailure(GetStdRoomPath(), saved);
    else vkroom::TellLibraryWriteFailure(scope.FailedPath(), acdbFileErrorStatus(scope.Error()));
    acutPrintf(u"\n标准房间%s未删除", name.GetString());
}
