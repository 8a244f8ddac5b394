// The marker of a newly defined room: an outline 40 units off the room boundary's corners,
// put into model space as the reference copy, and linked with the boundary and components.
#include "module/definition/CStdRoomTool.h"

#include <cmath>
#include <vector>

#include "module/interfaces/DefinitionInterfaces.h"

namespace {
// How far each corner of the marker moves along each of its two edges.
constexpr double kCornerOffset = 40.0;
constexpr double kPi = 3.14159265358979323846;

// The corner at P between its neighbours A (before) and B (after): moved towards both where
// the angle from PA to PB, counter-clockwise, is at most a half turn, away from both where it
// is more. A vertex on a straight run stays put.
AcGePoint3d OffsetCorner(const AcGePoint3d& p, const AcGePoint3d& a, const AcGePoint3d& b)
{
    const AcGeVector3d u = a - p;
    const AcGeVector3d v = b - p;
    const AcGeVector3d uHat = u.normal(AcGeContext::gTol);
    const AcGeVector3d vHat = v.normal(AcGeContext::gTol);
    const double theta = u.angleTo(v, AcGeVector3d::kZAxis);
    if (theta > kPi) return p - kCornerOffset * uHat - kCornerOffset * vHat;
    return p + kCornerOffset * uHat + kCornerOffset * vHat;
}

// The marker's outline from the boundary's vertices, in the boundary's order.
std::vector<AcGePoint3d> MarkerOutline(const AcDbPolyline* boundary, unsigned int n)
{
    std::vector<AcGePoint3d> pts(n), out;
    for (unsigned int i = 0; i < n; ++i) boundary->getPointAt(i, pts[i]);
    out.reserve(n);
    for (unsigned int i = 0; i < n; ++i) {
        const unsigned int prev = i == 0 ? n - 1 : i - 1;
        const unsigned int next = i == n - 1 ? 0 : i + 1;
        out.push_back(OffsetCorner(pts[i], pts[prev], pts[next]));
    }
    return out;
}
}  // namespace

bool CStdRoomTool::CreateStdRoomMarker(AcDbObjectId& markerId, const CString& roomName, AcDbObjectId& roomId,
                                       AcDbObjectIdArray& entIds, AcGePoint3d& basePt)
{
    AcDbObject* obj = nullptr;
    if (acdbOpenAcDbObject(obj, roomId, AcDb::kForRead) != Acad::eOk) return false;
    AcDbVkRoom* room = AcDbVkRoom::cast(obj);
    if (!room) {
        obj->close();
        return false;
    }
    const unsigned int n = room->numVerts();
    if (n == 0) {
        room->close();
        return false;
    }

    auto* marker = new AcDbQsStandRoom;
    marker->SetRoomName(roomName);
    const CString layer = CVKQsLayer::GetLayer(CObjectKind::GetLayerByKind(Object::kStandRoom));
    marker->setLayer(layer, true);
    if (addToModelSpace(markerId, marker) != Acad::eOk) {
        delete marker;
        room->close();
        return false;
    }

    AcDbEntity* ent = nullptr;
    if (acdbOpenAcDbEntity(ent, markerId, AcDb::kForWrite) != Acad::eOk) {
        room->close();
        return false;
    }
    AcDbQsStandRoom* opened = AcDbQsStandRoom::cast(ent);
    if (!AcDbPolyline::cast(ent) || !opened) {
        ent->close();
        room->close();
        return false;
    }
    opened->SetBasePt(basePt);
    opened->SetInsertPt(basePt);
    opened->SetMatrix(AcGeMatrix3d::kIdentity);

    const std::vector<AcGePoint3d> outline = MarkerOutline(room, n);
    room->close();
    for (unsigned int i = 0; i < n; ++i)
        opened->addVertexAt(i, AcGePoint2d(outline[i].x, outline[i].y), 0.0, -1.0, -1.0);
    opened->addVertexAt(n, AcGePoint2d(outline[0].x, outline[0].y), 0.0, -1.0, -1.0);
    opened->close();

    LinkStdRoomMarker(markerId, roomId, entIds);
    return true;
}

void CStdRoomTool::LinkStdRoomMarker(AcDbObjectId& markerId, AcDbObjectId& roomId, AcDbObjectIdArray& entIds)
{
    for (const AcDbObjectId& id : entIds) {
        AcDbEntity* ent = nullptr;
        if (acdbOpenAcDbEntity(ent, id, AcDb::kForWrite) != Acad::eOk) continue;
        if (VkQsEntity* component = VkQsEntity::cast(ent)) component->SetAssositSRoom(markerId);
        ent->close();
    }

    AcDbVkRoom* room = nullptr;
    if (acdbOpenObject(room, roomId, AcDb::kForWrite) == Acad::eOk) {
        room->SetIfBelongSR(true);
        room->close();
    }

    AcDbQsStandRoom* marker = nullptr;
    if (acdbOpenObject(marker, markerId, AcDb::kForWrite) == Acad::eOk) {
        marker->SetAssositEnts(entIds);
        marker->SetAssositRoom(roomId);
        marker->close();
    }
}
