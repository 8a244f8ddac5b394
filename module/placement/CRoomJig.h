#pragma once
// The placement jig: drags the outline of a stored room; A turns it by an angle, B and C
// mirror it left-right and up-down, each picked point inserts one linked copy there, until
// the user cancels. The select dialog may change the room, the angle and the matrix while a
// drag is in progress; each pass of Run reads them afresh.
#include <memory>

#include "host/ed/AcEdJig.h"
#include "host/ge/AcGeMatrix3d.h"
#include "host/win/CString.h"

class CVkQsTempRoom;

class CRoomJig : public AcEdJig {
public:
    static constexpr const char16_t* kKeywords = u"A B C";
    static constexpr int kInputControls = 0xE3;  // ortho, null accepted, no zero, no negative, 3D
    static constexpr double kDegToRad = 0.017453;

    explicit CRoomJig(const CString& roomName);
    ~CRoomJig() override;
    DragStatus sampler() override;
    bool update() override;
    AcDbEntity* entity() const override;

    // Places copies until the drag is cancelled; answers kCancel.
    DragStatus Run();
    // Builds the preview entity from the room boundary of the named block.
    void LoadRoom(CString roomName);
    CString GetLoadedName() const { return m_strLoadedName; }

    int m_bDragging = 0;
    std::unique_ptr<CVkQsTempRoom> m_pTempRoom;
    AcGeMatrix3d m_Xform;
    AcGePoint3d m_BlockOrigin;
    AcGePoint3d m_CurPt;
    CString m_strLoadedName;
    CString m_strRoomName;
    double m_dAngle = 0;
    double m_dAngleRad = 0;

private:
    void PlaceCopy();
    // A at the drag: false when the angle prompt was cancelled.
    bool AskAngle();
    void DropPreview();
};
