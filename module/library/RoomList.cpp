// The room list: "Roomlist.txt" in the ANSI code page, kept in step with the library drawing.
#include <algorithm>
#include <memory>
#include <set>

#include "host/win/Windows.h"
#include "module/frame/CManageStdRoom.h"
#include "module/library/NaturalOrder.h"
#include "module/library/RoomListFormat.h"

namespace {
// Paths pass through a 128-character buffer on their way to the file functions.
constexpr int kBufferLength = 128;
}  // namespace

void CManageStdRoom::InitRoomList()
{
    m_RoomlistPath = GetRoomlist();
    m_PreRoomlistPath = m_RoomlistPath;
    if (m_RoomlistPath.GetLength() >= kBufferLength) return;
    SharedFile file;
    std::string text;
    if (!file.Open(m_RoomlistPath, SharedFile::kRead, _SH_DENYNO) || !file.ReadAll(text)) return;
    file.Close();
    m_RoomNames = vkroom::ParseRoomList(text);
    ValidateRoom();
}

void CManageStdRoom::WriteToFile()
{
    ValidateRoom();
    if (m_RoomlistPath.GetLength() >= kBufferLength) return;
    const std::string text = vkroom::FormatRoomList(m_RoomNames);
    SharedFile file;
    if (!file.Open(m_RoomlistPath, SharedFile::kWrite, _SH_DENYNO, true)) return;
    file.WriteAll(text);
}

void CManageStdRoom::ValidateRoom()
{
    // One read of the library drawing answers for every name. Names are matched as the block
    // table matches them (case folded), so the result is that of a lookup per name.
    AcDbDatabase* raw = nullptr;
    GetDb(raw);
    std::unique_ptr<AcDbDatabase> db(raw);
    AcDbBlockTable* table = nullptr;
    if (db->getBlockTable(table, AcDb::kForRead) != Acad::eOk) return;
    std::set<CString> blocks;
    for (const AcDbObjectId& id : table->recordIds()) {
        AcDbSymbolTableRecord* rec = nullptr;
        if (acdbOpenObject(rec, id, AcDb::kForRead) != Acad::eOk) continue;
        CString name;
        rec->getName(name);
        blocks.insert(name.MakeLower());
        rec->close();
    }
    table->close();
    std::erase_if(m_RoomNames, [&](const CString& name) {
        CString folded = name;
        return name.IsEmpty() || !blocks.contains(folded.MakeLower());
    });
}

std::vector<CString> CManageStdRoom::GetStdRoomSet()
{
    std::stable_sort(m_RoomNames.begin(), m_RoomNames.end(),
                     [](const CString& a, const CString& b) { return vkroom::NaturalCompare(a, b) < 0; });
    return m_RoomNames;
}
