// The room list: "Roomlist.txt" in the ANSI code page, kept in step with the library drawing.
#include <algorithm>
#include <chrono>
#include <memory>
#include <set>
#include <thread>

#include "host/win/Windows.h"
#include "module/frame/CManageStdRoom.h"
#include "module/library/NaturalOrder.h"
#include "module/library/RoomListFormat.h"

namespace {
// Paths pass through a 128-character buffer on their way to the file functions.
constexpr int kBufferLength = 128;
// How long a write of the list waits for another session's write of it to end.
constexpr auto kListWait = std::chrono::seconds(10);

// The list's lock: the file open for reading and writing, denying other writers (readers
// still read it). Another session holds it only while it rewrites the list, so a refused open
// is tried again for a while.
bool LockList(SharedFile& file, const CString& path)
{
    const auto deadline = std::chrono::steady_clock::now() + kListWait;
    for (;;) {
        if (file.Open(path, SharedFile::kReadWrite, _SH_DENYWR, true)) return true;
        if (GetLastError() != ERROR_SHARING_VIOLATION || std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

// The names on file first, in file order, then those of ours that the file lacks: what other
// sessions stored since this one read the list is kept.
std::vector<CString> MergeWithFile(const std::string& onFile, const std::vector<CString>& ours)
{
    std::vector<CString> merged = vkroom::ParseRoomList(onFile);
    const size_t listed = merged.size();
    for (const CString& name : ours)
        if (std::find(merged.begin(), merged.begin() + static_cast<std::ptrdiff_t>(listed), name) ==
            merged.begin() + static_cast<std::ptrdiff_t>(listed))
            merged.push_back(name);
    return merged;
}
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
    SharedFile file;
    if (m_RoomlistPath.GetLength() >= kBufferLength || !LockList(file, m_RoomlistPath)) {
        ValidateRoom();
        return;
    }
    // Under the lock, the list on file at this moment joins ours; the library drawing then
    // decides, as always, which names stay.
    std::string onFile;
    if (file.ReadAll(onFile)) m_RoomNames = MergeWithFile(onFile, m_RoomNames);
    ValidateRoom();
    file.WriteAll(vkroom::FormatRoomList(m_RoomNames));
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
