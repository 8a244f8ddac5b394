// The library's single instance, its filter and the command-ending routine.
#include "module/frame/CManageStdRoom.h"

#include <new>

#include "host/db/AcDbUndo.h"

#include "module/interfaces/LibraryInterfaces.h"

CManageStdRoom* CManageStdRoom::pStdRoom = nullptr;
CString CManageStdRoom::m_PreRoomlistPath;

namespace {
unsigned g_undoSeen = 0;  // the undo count when the instance read the room list
}

CManageStdRoom::CManageStdRoom()
{
    InitRoomList();
}

CManageStdRoom::~CManageStdRoom()
{
    m_RoomNames.clear();
    if (pStdRoom == this) pStdRoom = nullptr;
}

CManageStdRoom::CManageStdRoom(const CManageStdRoom& other)
    : m_RoomNames(other.m_RoomNames),
      m_RoomId(other.m_RoomId),
      m_FilterOption(other.m_FilterOption),
      m_RoomlistPath(other.m_RoomlistPath)
{
}

CManageStdRoom& CManageStdRoom::operator=(const CManageStdRoom& other)
{
    m_RoomNames = other.m_RoomNames;
    m_RoomId = other.m_RoomId;
    m_FilterOption = other.m_FilterOption;
    m_RoomlistPath = other.m_RoomlistPath;
    return *this;
}

CManageStdRoom* CManageStdRoom::CreateOnlyInstance()
{
    if (pStdRoom) {
        if (GetRoomlist().Compare(m_PreRoomlistPath) == 0 && vkundo::appliedCount() == g_undoSeen) return pStdRoom;
        DelIntance();  // the project has changed, or an undo put the room list back
    }
    g_undoSeen = vkundo::appliedCount();
    pStdRoom = new (std::nothrow) CManageStdRoom();
    return pStdRoom;
}

void CManageStdRoom::DelIntance()
{
    if (!pStdRoom) return;
    delete pStdRoom;
    pStdRoom = nullptr;
}

void CManageStdRoom::SetRoomId(AcDbObjectId& id)
{
    m_RoomId = id;
}

std::bitset<6>& CManageStdRoom::GetFilterOption()
{
    return m_FilterOption;
}

void CManageStdRoom::SetFilterOption(std::bitset<6>& filter)
{
    m_FilterOption = filter;
}

void CancelCurrentCommand()
{
    const char16_t cancel[] = {0x0003, 0};
    VkCommonTool::sendCommandToHost(CString(cancel));
}
