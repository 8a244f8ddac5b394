#pragma once
// A valve sitting on a pipe. The pipe lists the valve (and owns it for cloning and erasing);
// the valve names its pipe by a soft pointer.
#include "siblings/object/VkQsEntity.h"

class VkQsPipeValve : public VkQsEntity {
public:
    ACRX_DECLARE_MEMBERS(VkQsPipeValve);
    VkQsPipeValve() = default;
    VkQsPipeValve(const AcGePoint3d& position, double angle) : m_position(position), m_angle(angle) {}

    AcDbObjectId GetPipeId() const { return m_pipe; }
    Acad::ErrorStatus SetPipeId(AcDbObjectId pipeId);
    AcGePoint3d position() const { return m_position; }
    Acad::ErrorStatus setPosition(const AcGePoint3d& p);
    double angle() const { return m_angle; }  // of the pipe's direction, from +X
    Acad::ErrorStatus setAngle(double a);
    double size() const { return m_size; }      // length of the drawn body
    Acad::ErrorStatus setSize(double s);        // eInvalidInput unless positive

    AcGePoint3d referencePoint() const override { return m_position; }
    // The body: a bow-tie across the pipe's direction.
    void getGeomPieces(std::vector<GeomPiece>& pieces) const override;
    void list(CString& out) const override;
    // "pipe" (soft pointer), "position", "angle", "size"
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;

protected:
    Acad::ErrorStatus subTransformBy(const AcGeMatrix3d& xform) override;
    // Leaves (or rejoins) the pipe's valve list.
    Acad::ErrorStatus subErase(bool erasing) override;

private:
    AcDbObjectId m_pipe;
    AcGePoint3d m_position;
    double m_angle = 0;
    double m_size = 200;
};
