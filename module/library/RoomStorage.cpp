// Storing a room: a block of the library drawing named after the room, made from copies of
// its entities with the base point as origin, without the valves that do not go with it.
#include <memory>

#include "host/ed/AcEd.h"
#include "host/win/DeferredWrites.h"
#include "host/win/Windows.h"
#include "module/frame/CManageStdRoom.h"
#include "module/interfaces/LibraryInterfaces.h"
#include "module/library/LibraryFile.h"
#include "module/library/NotCarriedMark.h"
#include "module/library/RoomListFormat.h"

namespace {
using vkroom::kNotCarriedMark;

// Refuses a name the list file could not give back; nothing is stored.
bool CheckName(const CString& name)
{
    if (vkroom::FitsRoomList(name)) return true;
    acedPrompt(u"\n房间名称过长、含有空白或当前代码页不能表示的字符，未保存");
    vkroom::NoteLibraryFailure(u"房间名称过长、含有空白或当前代码页不能表示的字符");
    return false;
}

// Takes a marked valve off its pipe's valve list, then erases it.
void StripValve(AcDbObjectId valveId, AcDbObjectId pipeId)
{
    if (AcDbObjectPointer<VkQsPipe> pipe(pipeId, AcDb::kForRead); pipe && pipe->upgradeOpen() == Acad::eOk) {
        pipe->removeValve(valveId);
        pipe->downgradeOpen();
    }
    if (AcDbObjectPointer<VkQsPipeValve> valve(valveId, AcDb::kForRead); valve && valve->upgradeOpen() == Acad::eOk) {
        valve->erase();
        valve->downgradeOpen();
    }
}

// Stores the block and lists the name, both files replaced once at the end. The list goes
// first: a kill between the two replacements leaves a list naming a room the library lacks,
// which validation drops; the other way round would leave a block that no list names.
int StoreAndList(CManageStdRoom& library, const CString& name, AcDbObjectIdArray& ids, const AcGePoint3d& basePt)
{
    // A room the list could not name is not stored: the library would hold a block no one sees.
    if (!vkroom::RoomListPathFits(library.m_RoomlistPath)) return 0;
    vkwin::DeferredWrites scope{library.m_RoomlistPath, CManageStdRoom::GetStdRoomPath()};
    const std::vector<CString> names = library.m_RoomNames;
    if (!library.DefineStdRoom(name, ids, basePt)) return 0;
    library.m_RoomNames.push_back(name);
    library.WriteToFile();
    if (scope.Commit()) return 1;
    library.m_RoomNames = names;
    vkroom::TellLibraryWriteFailure(scope.FailedPath(), acdbFileErrorStatus(scope.Error()));
    acedPrompt(u"保存出错");
    return 0;
}
}  // namespace

int CManageStdRoom::AppendStdRoom(CString name, AcDbObjectIdArray& ids, AcGePoint3d basePt)
{
    if (IsListed(name)) return 0;
    // The caller's ids take the room id for any name not yet listed, stored or not.
    ids.append(m_RoomId);
    if (!CheckName(name)) return 0;
    return StoreAndList(*this, name, ids, basePt);
}

int CManageStdRoom::AppendStdRoom1(const CString& name, const AcDbObjectIdArray& ids, const AcGePoint3d& basePt)
{
    if (IsListed(name) || !CheckName(name)) return 0;
    AcDbObjectIdArray copy = ids;
    return StoreAndList(*this, name, copy, basePt);
}

int CManageStdRoom::DefineStdRoom(CString name, AcDbObjectIdArray& ids, AcGePoint3d basePt)
{
    auto library = std::make_unique<AcDbDatabase>(false, true);
    if (const Acad::ErrorStatus es = vkroom::ReadLibrary(*library); es != Acad::eOk) {
        vkroom::TellLibraryReadFailure(GetStdRoomPath(), es);
        return 0;
    }

    AcDbDatabase* current = acdbHostApplicationServices()->workingDatabase();
    AcDbDatabase* rawCopy = nullptr;
    if (current) current->wblock(rawCopy, ids, basePt);
    std::unique_ptr<AcDbDatabase> copy(rawCopy);

    Acad::ErrorStatus es = Acad::eNullObjectPointer;
    if (copy) {
        AcDbObjectId blockId;
        es = library->insert(blockId, name, copy.get(), true);
    }
    copy.reset();
    if (es != Acad::eOk) {
        acedPrompt(u"复制出错");
        vkroom::NoteLibraryFailure(u"复制出错");
        return 0;
    }
    DeletNoRelatValue(name, library.get());
    es = library->saveAs(GetStdRoomPath(), true, AcDb::kDHL_1027, nullptr);
    library.reset();
    if (es != Acad::eOk) {
        vkroom::TellLibraryWriteFailure(GetStdRoomPath(), es);
        acedPrompt(u"保存出错");
        return 0;
    }
    return 1;
}

void CManageStdRoom::ValueIsRelate(AcDbObjectId& id)
{
    AcDbObjectPointer<VkQsPipeValve> valve(id, AcDb::kForRead);
    if (valve && valve->upgradeOpen() == Acad::eOk) {
        valve->SetStyle(valve->GetStyle() | kNotCarriedMark);
        valve->downgradeOpen();
        vkroom::NoteNotCarriedMark(id);
    }
}

void CManageStdRoom::DeletNoRelatValue(CString blockName, AcDbDatabase* db)
{
    if (!db) return;
    AcDbObjectId blockId;
    {
        AcDbObjectPointer<AcDbBlockTable> table(db->blockTableId(), AcDb::kForRead);
        if (!table || table->getAt(blockName, blockId) != Acad::eOk) return;
    }
    AcDbObjectPointer<AcDbBlockTableRecord> block(blockId, AcDb::kForWrite);
    if (!block) return;

    // Gather first: stripping a valve changes the record being walked. A valve goes with its
    // pipe: one whose pipe was not stored with it is stripped as if marked.
    std::vector<std::pair<AcDbObjectId, AcDbObjectId>> marked;  // valve, its pipe
    for (const AcDbObjectId& id : block->entityIds()) {
        AcDbObjectPointer<VkQsPipeValve> valve(id, AcDb::kForRead);
        if (valve && ((valve->GetStyle() & kNotCarriedMark) || !vkroom::IsLive(valve->GetPipeId())))
            marked.emplace_back(id, valve->GetPipeId());
    }
    for (const auto& [valveId, pipeId] : marked) StripValve(valveId, pipeId);
}
