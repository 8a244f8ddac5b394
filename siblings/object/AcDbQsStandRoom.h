#pragma once
// The standard-room marker: an outline drawn round a room that records which room it is
// (name, base point), where and how this copy was placed (insertion point, matrix), which
// boundary and components make up the copy, and whether the copy was changed by hand since
// it was placed (change type).
#include <vector>

#include "host/db/AcDbEntities.h"
#include "siblings/object/CObjectKind.h"

class AcDbQsStandRoom : public AcDbPolyline {
public:
    ACRX_DECLARE_MEMBERS(AcDbQsStandRoom);
    AcDbQsStandRoom();
    ~AcDbQsStandRoom() override;
    static constexpr Object::Kind kKind = Object::kStandRoom;

    CString GetRoomName() const { return m_roomName; }
    Acad::ErrorStatus SetRoomName(const CString& name);
    AcGePoint3d GetBasePt() const { return m_basePt; }
    Acad::ErrorStatus SetBasePt(const AcGePoint3d& p);
    AcGePoint3d GetInsertPt() const { return m_insertPt; }
    Acad::ErrorStatus SetInsertPt(const AcGePoint3d& p);
    AcGeMatrix3d GetMatrix() const { return m_matrix; }
    Acad::ErrorStatus SetMatrix(const AcGeMatrix3d& m);
    AcDbObjectIdArray GetAssositEnts() const { return m_assocEnts; }
    void GetAssositEnts(AcDbObjectIdArray& ids) const { ids = m_assocEnts; }
    Acad::ErrorStatus SetAssositEnts(const AcDbObjectIdArray& ids);
    AcDbObjectId GetAssositRoom() const { return m_assocRoom; }
    Acad::ErrorStatus SetAssositRoom(AcDbObjectId roomId);

    // 0: as placed; 1: a component or the boundary of this copy was edited or erased by hand
    // (set by the library while the standard-room notification switch is on).
    int GetChgType() const;
    Acad::ErrorStatus SetChgType(int type);
    Acad::ErrorStatus SetUnModifyState();  // change type 0

    // Markers of db, not erased, whose associated room is roomId (no opening involved).
    static std::vector<AcDbObjectId> FindByRoom(const AcDbDatabase* db, AcDbObjectId roomId);

    void list(CString& out) const override;
    // "roomName", "basePt", "insertPt", "matrix", "assocEnts" and "assocRoom" (soft
    // pointers), "chgType"
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;

protected:
    Acad::ErrorStatus subTransformBy(const AcGeMatrix3d& xform) override;
    bool subWorldDraw(AcGiWorldDraw* wd) const override;

private:
    CString m_roomName;
    AcGePoint3d m_basePt;
    AcGePoint3d m_insertPt;
    AcGeMatrix3d m_matrix;
    AcDbObjectIdArray m_assocEnts;
    AcDbObjectId m_assocRoom;
    Adesk::Int32 m_chgType = 0;
};
