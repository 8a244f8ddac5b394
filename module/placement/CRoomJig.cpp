#include "module/placement/CRoomJig.h"

#include <memory>
#include <vector>

#include "host/db/AcDb.h"
#include "host/ed/AcEdInput.h"
#include "host/ge/AcGePlane.h"
#include "host/ui/CDialog.h"
#include "module/definition/CStdRoomTool.h"
#include "module/frame/CManageStdRoom.h"
#include "module/frame/PointInReach.h"
#include "module/interfaces/PlacementInterfaces.h"
#include "module/library/LibraryReadCache.h"
#include "module/placement/CVkQsTempRoom.h"

namespace {
// Rotation and mirrors act about the origin of the stored geometry, the room's base point.
AcGeMatrix3d Unturned() { return AcGeMatrix3d::rotation(0, AcGeVector3d::kZAxis, AcGePoint3d::kOrigin); }
}  // namespace

CRoomJig::CRoomJig(const CString& roomName) : m_strLoadedName(roomName), m_strRoomName(roomName)
{
    LoadRoom(roomName);
}

CRoomJig::~CRoomJig() = default;

void CRoomJig::DropPreview() { m_pTempRoom.reset(); }

void CRoomJig::LoadRoom(CString roomName)
{
    CWaitCursor wait;
    AcDbDatabase* raw = nullptr;
    CManageStdRoom::GetDb(raw);
    std::unique_ptr<AcDbDatabase> library(raw);
    if (!library) return;
    AcDbObjectId blockId;
    {
        AcDbObjectPointer<AcDbBlockTable> table(library->blockTableId(), AcDb::kForRead);
        if (!table || table->getAt(roomName, blockId) != Acad::eOk) return;
    }
    AcDbObjectPointer<AcDbBlockTableRecord> block(blockId, AcDb::kForRead);
    if (!block) return;
    m_BlockOrigin = block->origin();
    m_CurPt = m_BlockOrigin;
    for (const AcDbObjectId& id : block->entityIds()) {
        AcDbObjectPointer<AcDbVkRoom> room(id, AcDb::kForRead);
        if (!room) continue;
        std::vector<CVkQsTempRoom::Vertex> vertices;
        for (unsigned int i = 0; i < room->numVerts(); ++i) {
            CVkQsTempRoom::Vertex v;
            room->getBulgeAt(i, v.first);
            room->getPointAt(i, v.second);
            vertices.push_back(v);
        }
        // Of several boundaries, the last one is shown.
        m_pTempRoom = std::make_unique<CVkQsTempRoom>(&vertices, &m_BlockOrigin, &m_Xform);
    }
}

AcEdJig::DragStatus CRoomJig::sampler()
{
    setUserInputControls(kInputControls);
    setSpecialCursorType(kCrosshair);
    setKeywordList(kKeywords);
    return acquirePoint(m_CurPt);
}

bool CRoomJig::update()
{
    if (m_pTempRoom) m_pTempRoom->SetDragState(&m_CurPt, &m_Xform);
    return true;
}

AcDbEntity* CRoomJig::entity() const { return m_pTempRoom.get(); }

AcEdJig::DragStatus CRoomJig::Run()
{
    m_bDragging = 1;
    m_Xform = Unturned();
    // One read of the library serves every copy of this session while the file is unchanged.
    vkroom::LibraryReadSession libraryRead;
    DragStatus status;
    do {
        if (m_strLoadedName.Compare(m_strRoomName) != 0) {
            DropPreview();
            LoadRoom(m_strRoomName);
            m_Xform = Unturned();
            m_strLoadedName = m_strRoomName;
        }
        acutPrintf(u"\n指定插入点[A-旋转角度,B-左右翻转，C-上下翻转]");
        status = drag();
        switch (status) {
        case kNormal:
            if (vkroom::PointInReach(m_CurPt)) PlaceCopy();
            break;
        case kKW1:
            if (!AskAngle()) {
                DropPreview();
                m_bDragging = 0;
                return kCancel;
            }
            break;
        case kKW2:
            m_Xform.preMultBy(AcGeMatrix3d::mirroring(AcGePlane(AcGePoint3d::kOrigin, AcGeVector3d::kYAxis, AcGeVector3d::kZAxis)));
            break;
        case kKW3:
            m_Xform.preMultBy(AcGeMatrix3d::mirroring(AcGePlane(AcGePoint3d::kOrigin, AcGeVector3d::kXAxis, AcGeVector3d::kZAxis)));
            break;
        case kCancel:
            DropPreview();
            CManageStdRoom::DelIntance();
            break;
        default:  // Enter and anything else: keep dragging
            break;
        }
    } while (status != kCancel);
    m_bDragging = 0;
    return kCancel;
}

bool CRoomJig::AskAngle()
{
    CString prompt;
    prompt.Format(u"\n请输入旋转角度值:<%g>", m_dAngle);
    const int rc = acedGetReal(prompt, &m_dAngle);
    if (rc == RTNORM) {
        m_dAngleRad = m_dAngle * kDegToRad;
        m_Xform = AcGeMatrix3d::rotation(m_dAngleRad, AcGeVector3d::kZAxis, AcGePoint3d::kOrigin);
    }
    return rc != RTCAN;
}

void CRoomJig::PlaceCopy()
{
    CWaitCursor wait;
    // Placing is no change by hand: the link repair after the insertion (a fitting's reference
    // to a pipe that was not stored is dropped) must not mark the fresh copy as changed.
    TmpSetDeepCone deepClone(false);
    TmpSetNotifySRoom notify(false);
    const AcGePoint3d pt = m_CurPt;
    // The marker records this copy's own (x, y, 0) with the jig's rotation and mirroring, as
    // a rebuild of the copy records it.
    AcGeMatrix3d recorded = m_Xform;
    recorded.setTranslation(AcGeVector3d(pt.x, pt.y, 0));
    // What was appended before this copy is none of its members.
    AcDbObjectIdArray ids(0, 8);
    VkQsReactorHelper::GetAllAppendId(ids);

    CManageStdRoom::InsertRoom(m_strRoomName, m_CurPt, m_Xform);
    CStdRoomTool tool;
    VkQsReactorHelper::GetAllAppendId(ids);
    tool.LinkInsertedRoom(&pt, &recorded, &ids);
    VkQsAutoHelper::Linkage(u"");
    VkQsReactorHelper::FlushGraphic(u"");
    VkQsAutoHelper::Batch(u"");
}
