#pragma once
// A pipe-like straight component that owns the valves sitting on it. The valve list is
// filed as hard pointers, so a deep clone of the pipe carries its valves along; erasing the
// pipe erases them.
#include "siblings/object/VkQsEntity.h"

class VkQsPolyForValve : public VkQsEntity {
public:
    ACRX_DECLARE_MEMBERS(VkQsPolyForValve);
    VkQsPolyForValve() = default;
    VkQsPolyForValve(const AcGePoint3d& start, const AcGePoint3d& end) : m_start(start), m_end(end) {}

    AcGePoint3d startPoint() const { return m_start; }
    AcGePoint3d endPoint() const { return m_end; }
    Acad::ErrorStatus setStartPoint(const AcGePoint3d& p);
    Acad::ErrorStatus setEndPoint(const AcGePoint3d& p);

    AcDbObjectIdArray GetRefValves() const { return m_valves; }
    void GetRefValves(AcDbObjectIdArray& ids) const { ids = m_valves; }
    // Adds a valve id once; eDuplicateKey when it is listed already.
    Acad::ErrorStatus addValve(AcDbObjectId valveId);
    // Takes a valve id out of the list; eKeyNotFound when it is not listed.
    Acad::ErrorStatus removeValve(AcDbObjectId valveId);

    Acad::ErrorStatus getStartPoint(AcGePoint3d& p) const override;
    Acad::ErrorStatus getEndPoint(AcGePoint3d& p) const override;
    Acad::ErrorStatus getOffsetCurves(double dist, std::vector<AcDbCurve*>& curves) const override;
    Acad::ErrorStatus getDistAtPoint(const AcGePoint3d& p, double& dist) const override;
    AcGePoint3d referencePoint() const override;
    void getGeomPieces(std::vector<GeomPiece>& pieces) const override;
    void list(CString& out) const override;
    // "start", "end", "valves" (hard pointers)
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;

protected:
    Acad::ErrorStatus subTransformBy(const AcGeMatrix3d& xform) override;
    // Erasing takes the valves along; unerasing brings them back.
    Acad::ErrorStatus subErase(bool erasing) override;

private:
    AcGePoint3d m_start, m_end;
    AcDbObjectIdArray m_valves;
};
