#pragma once
// The outline that follows the cursor while a stored room is placed: the room boundary's
// vertices in the block's coordinates, drawn through the jig's rotation and mirroring with
// the block's origin at the cursor. It never enters a database and has no run-time class of
// its own (it answers AcDbEntity's).
#include <utility>
#include <vector>

#include "host/db/AcDbEntities.h"

class CVkQsTempRoom : public AcDbEntity {
public:
    using Vertex = std::pair<double, AcGePoint3d>;  // bulge, point
    static constexpr Adesk::Int32 kVersion = 1;
    static constexpr Adesk::Int32 kUndoTransform = 555;  // partial-undo opcode of subTransformBy

    // All three are copied.
    CVkQsTempRoom(const std::vector<Vertex>* vertices, const AcGePoint3d* blockOrigin, const AcGeMatrix3d* xform);
    ~CVkQsTempRoom() override;
    // The cursor point (where the block's origin is drawn) and the jig's matrix.
    void SetDragState(const AcGePoint3d* insertPt, const AcGeMatrix3d* xform);

    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
    Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;
    Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;
    Acad::ErrorStatus applyPartialUndo(AcDbDwgFiler* undoFiler, AcRxClass* classObj) override;
    Acad::ErrorStatus getPlane(AcGePlane& plane, AcDb::Planarity& planarity) const override;

    mutable AcGeMatrix3d m_Xform;  // its translation is set at each draw
    std::vector<Vertex> m_Vertices;
    int m_nVertexCount = 0;
    AcGePoint3d m_InsertPt;

protected:
    // An open polyline through the transformed vertices, flat on the XY plane; bulges as
    // stored, also when the matrix mirrors.
    bool subWorldDraw(AcGiWorldDraw* wd) const override;
    // Records the transform for partial undo; the outline itself does not move.
    Acad::ErrorStatus subTransformBy(const AcGeMatrix3d& xform) override;
};
