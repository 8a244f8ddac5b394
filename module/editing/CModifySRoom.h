#pragma once
// The edit command's dialog: the stored rooms, a preview, and the edits waiting to be applied.
#include <map>
#include <set>

#include "host/ed/AcApDocManager.h"
#include "host/ge/AcGeMatrix3d.h"
#include "host/ui/AfxWin.h"
#include "module/interfaces/FrameInterfaces.h"
#include "module/resources/resource.h"

// One room re-extracted from a placed copy and not yet applied.
struct SRoomEditInfo {
    AcGePoint3d insertPt;
    AcGeMatrix3d matrix;
    AcDbObjectId standRoomId;
    AcDbObjectIdArray oldEnts{0, 8};
    AcDbObjectId roomId;
    AcDbObjectIdArray newEnts{0, 8};
};

struct CStringLess {
    bool operator()(const CString& a, const CString& b) const { return a.Compare(b) < 0; }
};

using SRoomEditMap = std::map<CString, SRoomEditInfo, CStringLess>;
using FloorNameSet = std::set<CString, CStringLess>;

class CModifySRoom : public CAcUiDialog {
public:
    DECLARE_DYNAMIC(CModifySRoom)
    explicit CModifySRoom(CWnd* parent = nullptr);
    ~CModifySRoom() override;
    // Carries the pending edits to the library and the drawings; runs after the point loop.
    void ProcessModify();
    BOOL ShowRoomPreview(int row);

    VkQsGsPreviewCtrl m_Preview;
    CListBox m_RoomList;
    SRoomEditMap m_mapEdit;
    bool m_bOK = false;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnCancel() override;
    afx_msg LRESULT OnAcadKeepFocus(WPARAM, LPARAM);
    afx_msg void OnBnClickedReExtract();
    afx_msg void OnSelchangeRoomList();
    afx_msg void OnBnClickedOk();
    afx_msg void OnClose();
    DECLARE_MESSAGE_MAP()

    void HighlightEnts(const AcDbObjectIdArray& ids, bool on);

    // ---- the run after OK ----
    // Rewrites the library entry of each pending room; a room whose entry could not be
    // rewritten goes into m_notRewritten.
    void SaveModifiedRooms(SRoomEditMap& edits);
    // Points each source marker at its old components again (and at those the re-extraction
    // newly took in), so that its rebuild erases every one of them.
    void RestoreSourceEnts();
    // The floors whose drawings hold a copy of a pending room, the current one included.
    void CollectFloors(SRoomEditMap& edits, FloorNameSet& floors);

private:
    // Saves the current drawing at OK, telling when it cannot.
    void SaveCurrentDrawing();
    // The pending rooms whose copies are rebuilt: those whose library entry was rewritten and
    // can be read back.
    SRoomEditMap RoomsToRebuild() const;

    FloorNameSet m_notRewritten;
};
