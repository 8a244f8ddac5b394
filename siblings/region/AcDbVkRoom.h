#pragma once
// A room boundary: a region that knows whether it belongs to a standard room.
#include "siblings/region/AcDbVkBanBase.h"

class AcDbVkRoom : public AcDbVkBanBase {
public:
    ACRX_DECLARE_MEMBERS(AcDbVkRoom);
    AcDbVkRoom() = default;
    AcDbVkRoom(const AcDbVkRoom& other) : AcDbVkBanBase(other), m_belongSR(other.m_belongSR) {}
    AcDbVkRoom& operator=(const AcDbVkRoom& other)
    {
        if (this != &other) {
            AcDbVkBanBase::operator=(other);
            m_belongSR = other.m_belongSR;
        }
        return *this;
    }

    // A link, not an edit: setting it does not count as a change of the boundary.
    Acad::ErrorStatus SetIfBelongSR(bool belongs);
    bool GetIfBelongSR() const { return m_belongSR; }

    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;  // "belongSR"
    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;

    // Keeps the name inside the outline: a centroid that falls outside (an L-shaped room)
    // moves to the middle of the widest inside stretch of its horizontal line.
    void AdjustTextPosition(AcGePoint3d& pt) override;
    AcDbVkBanBase* CreateNew() override;

private:
    bool m_belongSR = false;
};
