// The room list: "Roomlist.txt" in the ANSI code page, kept in step with the library drawing.
#include <algorithm>
#include <memory>
#include <set>

#include "host/win/DeferredWrites.h"
#include "host/win/Windows.h"
#include "module/frame/CManageStdRoom.h"
#include "module/library/LibraryFile.h"
#include "module/library/NaturalOrder.h"
#include "module/library/RoomListFormat.h"

namespace {

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
    if (!vkroom::RoomListPathFits(m_RoomlistPath)) return;
    std::string text;
    if (!vkwin::ReadWholeFile(m_RoomlistPath, text)) return;
    m_RoomNames = vkroom::ParseRoomList(text);
    ValidateRoom();
}

void CManageStdRoom::WriteToFile()
{
    if (!vkroom::RoomListPathFits(m_RoomlistPath)) {
        ValidateRoom();
        return;
    }
    // The list on file now joins ours, so that what other sessions stored since this one read
    // it stays listed; the library drawing then decides, as always, which names stay. The file
    // is replaced in one step, and only if no one else rewrote it meanwhile. Within a store's
    // or removal's scope the new list waits for that scope's commit.
    vkwin::DeferredWrites scope{m_RoomlistPath};
    std::string onFile;
    if (vkwin::ReadWholeFile(m_RoomlistPath, onFile)) m_RoomNames = MergeWithFile(onFile, m_RoomNames);
    ValidateRoom();
    vkwin::ReplaceWholeFile(m_RoomlistPath, vkroom::FormatRoomList(m_RoomNames));  // staged in the scope
    if (!scope.Commit()) vkroom::TellLibraryWriteFailure(m_RoomlistPath, acdbFileErrorStatus(scope.Error()));
}

void CManageStdRoom::ValidateRoom()
{
    // One read of the library drawing answers for every name. Names are matched as the block
    // table matches them (case folded), so the result is that of a lookup per name.
    AcDbDatabase db(false, true);
    vkroom::ReadLibrary(db);
    AcDbObjectPointer<AcDbBlockTable> table(db.blockTableId(), AcDb::kForRead);
    if (!table) return;
    std::set<CString> blocks;
    for (const AcDbObjectId& id : table->recordIds()) {
        AcDbObjectPointer<AcDbSymbolTableRecord> rec(id, AcDb::kForRead);
        if (!rec) continue;
        CString name;
        rec->getName(name);
        blocks.insert(name.MakeLower());
    }
    table.close();
    std::erase_if(m_RoomNames, [&](const CString& name) {
        CString folded = name;
        return name.IsEmpty() || !blocks.contains(folded.MakeLower());
    });
}

bool CManageStdRoom::IsListed(const CString& name) const
{
    return std::any_of(m_RoomNames.begin(), m_RoomNames.end(), [&](const CString& listed) { return listed.Compare(name) == 0; });
}

std::vector<CString> CManageStdRoom::GetStdRoomSet()
{
    std::stable_sort(m_RoomNames.begin(), m_RoomNames.end(),
                     [](const CString& a, const CString& b) { return vkroom::NaturalCompare(a, b) < 0; });
    return m_RoomNames;
}
