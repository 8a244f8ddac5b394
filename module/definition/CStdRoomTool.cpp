// The marker of a newly defined room: an outline 40 units off the room boundary's corners,
// put into model space as the reference copy, and linked with the boundary and components.
#include "module/definition/CStdRoomTool.h"

#include <cmath>
#include <memory>
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
    std::vector<AcGePoint3d> outline;
    {
        AcDbObjectPointer<AcDbVkRoom> room(roomId, AcDb::kForRead);
        if (!room || room->numVerts() == 0) return false;
        outline = MarkerOutline(room.object(), room->numVerts());
    }

    auto created = std::make_unique<AcDbQsStandRoom>();
    created->SetRoomName(roomName);
    created->setLayer(CVKQsLayer::GetLayer(CObjectKind::GetLayerByKind(Object::kStandRoom)), true);
    if (addToModelSpace(markerId, created.get()) != Acad::eOk) return false;
    created.release();  // the drawing owns it now

    {
        AcDbObjectPointer<AcDbQsStandRoom> marker(markerId, AcDb::kForWrite);
        if (!marker) return false;
        marker->SetBasePt(basePt);
        marker->SetInsertPt(basePt);
        marker->SetMatrix(AcGeMatrix3d::kIdentity);
        const unsigned int n = static_cast<unsigned int>(outline.size());
        for (unsigned int i = 0; i < n; ++i)
            marker->addVertexAt(i, AcGePoint2d(outline[i].x, outline[i].y), 0.0, -1.0, -1.0);
        marker->addVertexAt(n, AcGePoint2d(outline[0].x, outline[0].y), 0.0, -1.0, -1.0);
    }

    LinkStdRoomMarker(markerId, roomId, entIds);
    return true;
}

void CStdRoomTool::LinkStdRoomMarker(AcDbObjectId& markerId, AcDbObjectId& roomId, AcDbObjectIdArray& entIds)
{
    for (const AcDbObjectId& id : entIds) {
        AcDbObjectPointer<VkQsEntity> component(id, AcDb::kForWrite);
        if (component) component->SetAssositSRoom(markerId);
    }
    if (AcDbObjectPointer<AcDbVkRoom> room(roomId, AcDb::kForWrite); room) room->SetIfBelongSR(true);
    if (AcDbObjectPointer<AcDbQsStandRoom> marker(markerId, AcDb::kForWrite); marker) {
        marker->SetAssositEnts(entIds);
        marker->SetAssositRoom(roomId);
    }
}
