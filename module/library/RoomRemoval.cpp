// Removing a stored room: its block of the library drawing and its name.
#include <algorithm>
#include <memory>

#include "host/db/AcDb.h"
#include "module/frame/CManageStdRoom.h"

void CManageStdRoom::EraseStdRoom(CString& name)
{
    const auto same = [&](const CString& listed) { return listed.Compare(name) == 0; };
    if (std::none_of(m_RoomNames.begin(), m_RoomNames.end(), same)) return;

    AcDbDatabase* raw = nullptr;
    GetDb(raw);
    std::unique_ptr<AcDbDatabase> library(raw);
    AcDbBlockTable* table = nullptr;
    if (library->getBlockTable(table, AcDb::kForRead) != Acad::eOk) return;
    AcDbBlockTableRecord* block = nullptr;
    const Acad::ErrorStatus es = table->getAt(name, block, AcDb::kForWrite);
    table->close();
    if (es != Acad::eOk) return;  // listed without a block: the next validation drops it
    block->erase();
    block->close();

    std::erase_if(m_RoomNames, same);
    library->saveAs(GetStdRoomPath(), true, AcDb::kDHL_1027, nullptr);
    library.reset();
    WriteToFile();
}
