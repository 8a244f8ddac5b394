#include "siblings/object/AcDbQsStandRoom.h"

#include <algorithm>
#include <unordered_set>

#include "siblings/object/QsGlobalVariable.h"
#include "siblings/object/StandRoomNotifier.h"

ACRX_DEFINE_MEMBERS(AcDbQsStandRoom, AcDbPolyline);

namespace {
// Every marker in memory, so that a boundary finds its markers without opening anything.
std::unordered_set<AcDbQsStandRoom*>& liveMarkers()
{
    static auto* set = new std::unordered_set<AcDbQsStandRoom*>;  // outlives every database
    return *set;
}
}  // namespace

AcDbQsStandRoom::AcDbQsStandRoom()
{
    liveMarkers().insert(this);
}

AcDbQsStandRoom::~AcDbQsStandRoom()
{
    liveMarkers().erase(this);
}

Acad::ErrorStatus AcDbQsStandRoom::SetRoomName(const CString& name)
{
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_roomName = name;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbQsStandRoom::SetBasePt(const AcGePoint3d& p)
{
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_basePt = p;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbQsStandRoom::SetInsertPt(const AcGePoint3d& p)
{
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_insertPt = p;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbQsStandRoom::SetMatrix(const AcGeMatrix3d& m)
{
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_matrix = m;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbQsStandRoom::SetAssositEnts(const AcDbObjectIdArray& ids)
{
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_assocEnts = ids;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbQsStandRoom::SetAssositRoom(AcDbObjectId roomId)
{
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_assocRoom = roomId;
    return Acad::eOk;
}

int AcDbQsStandRoom::GetChgType() const
{
    return StandRoomNotifier::isPending(objectId()) ? 1 : m_chgType;
}

Acad::ErrorStatus AcDbQsStandRoom::SetChgType(int type)
{
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_chgType = type;
    StandRoomNotifier::clearPending(objectId());
    return Acad::eOk;
}

Acad::ErrorStatus AcDbQsStandRoom::SetUnModifyState()
{
    return SetChgType(0);
}

std::vector<AcDbObjectId> AcDbQsStandRoom::FindByRoom(const AcDbDatabase* db, AcDbObjectId roomId)
{
    std::vector<AcDbObjectId> found;
    if (!db || roomId.isNull()) return found;
    for (const AcDbQsStandRoom* m : liveMarkers())
        if (m->database() == db && !m->isErased() && m->m_assocRoom == roomId) found.push_back(m->objectId());
    return found;
}

void AcDbQsStandRoom::list(CString& out) const
{
    AcDbPolyline::list(out);
    CString s;
    s.Format(u"  Room: %s\n  Insertion point: %g, %g, %g\n  Components: %d\n  Change type: %d\n",
             m_roomName.GetString(), m_insertPt.x, m_insertPt.y, m_insertPt.z, m_assocEnts.length(), GetChgType());
    out += s;
}

Acad::ErrorStatus AcDbQsStandRoom::dwgOutFields(AcDbDwgFiler* filer) const
{
    Acad::ErrorStatus es = AcDbPolyline::dwgOutFields(filer);
    if (es != Acad::eOk) return es;
    filer->writeString(m_roomName, "roomName");
    filer->writePoint3d(m_basePt, "basePt");
    filer->writePoint3d(m_insertPt, "insertPt");
    filer->writeMatrix3d(m_matrix, "matrix");
    filer->writeIdArray(m_assocEnts, AcDb::kSoftPointer, "assocEnts");
    filer->writeSoftPointerId(m_assocRoom, "assocRoom");
    filer->writeInt32(GetChgType(), "chgType");
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbQsStandRoom::dwgInFields(AcDbDwgFiler* filer)
{
    Acad::ErrorStatus es = AcDbPolyline::dwgInFields(filer);
    if (es != Acad::eOk) return es;
    filer->readString(&m_roomName, "roomName");
    filer->readPoint3d(&m_basePt, "basePt");
    filer->readPoint3d(&m_insertPt, "insertPt");
    filer->readMatrix3d(&m_matrix, "matrix");
    filer->readIdArray(&m_assocEnts, AcDb::kSoftPointer, "assocEnts");
    filer->readSoftPointerId(&m_assocRoom, "assocRoom");
    filer->readInt32(&m_chgType, "chgType");
    const AcDb::FilerType t = filer->filerType();
    const bool cloned = t == AcDb::kDeepCloneFiler || t == AcDb::kWblockCloneFiler;
    if (cloned && QsGlobalVariable::SRoomInsertEnabled()) m_chgType = 0;  // a fresh copy of a room
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbQsStandRoom::subTransformBy(const AcGeMatrix3d& xform)
{
    Acad::ErrorStatus es = AcDbPolyline::subTransformBy(xform);
    if (es != Acad::eOk) return es;
    m_basePt.transformBy(xform);
    m_insertPt.transformBy(xform);
    m_matrix.preMultBy(xform);
    return Acad::eOk;
}

bool AcDbQsStandRoom::subWorldDraw(AcGiWorldDraw* wd) const
{
    const bool drawn = AcDbPolyline::subWorldDraw(wd);
    AcDbExtents ext;
    if (numVerts() == 0 || m_roomName.IsEmpty() || getGeomExtents(ext) != Acad::eOk) return drawn;
    // The standard room's name in the lower left corner, inside: the room's own label keeps the
    // middle. Turned or flipped, the copy keeps its name upright in that corner.
    const AcGeVector3d size = ext.maxPoint() - ext.minPoint();
    const double height = std::clamp(std::min(size.x, size.y) / 10.0, 1.0, 200.0);
    const AcGePoint3d corner(ext.minPoint().x + height / 2, ext.minPoint().y + height / 2, elevation());
    wd->geometry().alignedText(corner, AcGeVector3d::kXAxis, height, m_roomName, 0, 1, 1.0);
    return drawn;
}
