#pragma once
// The base of every building-services component. Components are curves to the host: the
// straight ones (pipes, duct pieces) answer their ends; point-like ones answer their
// reference point as both start and end.
#include "host/db/AcDbEntities.h"

class VkQsEntity : public AcDbCurve {
public:
    ACRX_DECLARE_MEMBERS(VkQsEntity);
    VkQsEntity() = default;

    // A bit set; bit 0x20 belongs to the standard-room module (its not-carried mark) and
    // changing only that bit does not count as an edit of the component.
    int GetStyle() const { return m_style; }
    Acad::ErrorStatus SetStyle(int style);
    // "DISCIPLINE\\KIND\\SUBKIND": the first word names the discipline.
    const CString& GetSmallTypeNamePath() const { return m_typePath; }
    Acad::ErrorStatus SetSmallTypeNamePath(const CString& path);
    CString GetDiscipline() const;  // the path up to its first backslash
    // The standard-room marker this component belongs to (a link, not an edit).
    AcDbObjectId GetAssositSRoom() const { return m_sroom; }
    Acad::ErrorStatus SetAssositSRoom(AcDbObjectId markerId);
    // Components with this property stay out of rooms.
    bool GetKPYX() const { return m_kpyx; }
    Acad::ErrorStatus SetKPYX(bool on);

    Acad::ErrorStatus getStartPoint(AcGePoint3d& p) const override;
    Acad::ErrorStatus getEndPoint(AcGePoint3d& p) const override;
    // The point that stands for the component (its insertion, position or location);
    // straight components answer their midpoint.
    virtual AcGePoint3d referencePoint() const = 0;

    void list(CString& out) const override;
    // "typePath", "style", "sroom" (soft pointer), "kpyx"
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;

protected:
    // Adds the pieces of a closed polygon, a circle (as one full arc) or a segment.
    static void addLine(std::vector<GeomPiece>& pieces, const AcGePoint3d& a, const AcGePoint3d& b);
    static void addCircle(std::vector<GeomPiece>& pieces, const AcGePoint3d& c, double r);
    // True while this object is read in by a deep clone (as opposed to a file or a copy).
    static bool isDeepCloneFiler(const AcDbDwgFiler* filer);

private:
    CString m_typePath;
    Adesk::Int32 m_style = 0;
    AcDbObjectId m_sroom;
    bool m_kpyx = false;
};

// The component's keep-out-of-rooms property; false for null.
bool isKPYX(const VkQsEntity* ent);
