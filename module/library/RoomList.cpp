// The room list: "Roomlist.txt" in the ANSI code page, kept in step with the library drawing.
#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdint>
#include <memory>
#include <set>

#include "host/win/Windows.h"
#include "module/frame/CManageStdRoom.h"
#include "module/library/NaturalOrder.h"

namespace {
// Paths and names pass through 128-character buffers on their way to the file functions.
constexpr int kBufferLength = 128;

bool IsSpace(unsigned char c) { return std::isspace(c) != 0; }

// Skips whitespace, then returns the next word (empty at the end of the text).
std::string_view NextWord(std::string_view text, size_t& pos)
{
    while (pos < text.size() && IsSpace(static_cast<unsigned char>(text[pos]))) ++pos;
    const size_t start = pos;
    while (pos < text.size() && !IsSpace(static_cast<unsigned char>(text[pos]))) ++pos;
    return text.substr(start, pos - start);
}

// The leading count of the list; 0 when it is not a number.
long long ReadCount(std::string_view text, size_t& pos)
{
    const std::string_view word = NextWord(text, pos);
    long long n = 0;
    auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), n);
    if (ec != std::errc()) return 0;
    // A count followed by other characters ("3x") stops there, as a stream read would.
    pos -= static_cast<size_t>(word.data() + word.size() - end);
    return n;
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
    size_t pos = 0;
    const long long count = ReadCount(text, pos);
    for (long long i = 0; i < count; ++i) {
        const std::string_view word = NextWord(text, pos);
        // Past the end every further name would be empty, and validation drops empty names:
        // stop here rather than append what a huge count asks for.
        if (word.empty()) break;
        if (word.size() >= kBufferLength) continue;  // longer than any name can be
        m_RoomNames.push_back(AnsiToWide(word));
    }
    ValidateRoom();
}

void CManageStdRoom::WriteToFile()
{
    ValidateRoom();
    if (m_RoomlistPath.GetLength() >= kBufferLength) return;
    std::string text = std::to_string(m_RoomNames.size()) + "\r\n";
    for (const CString& name : m_RoomNames) text += WideToAnsi(name) + "\r\n";
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
