#pragma once
// The standard-room library: one instance per project, fetched with CreateOnlyInstance
// whenever it is needed and never kept.
#include <bitset>
#include <vector>

#include "host/db/AcDb.h"
#include "host/win/CString.h"
#include "module/frame/VkQsRoomExport.h"

class VKQSROOM_API CManageStdRoom {
public:
    CManageStdRoom(const CManageStdRoom& other);
    CManageStdRoom& operator=(const CManageStdRoom& other);

    // ---- instance and filter (frame/CManageStdRoom.cpp) ----
    static CManageStdRoom* CreateOnlyInstance();  // re-created when the project's room list path changes
    static void DelIntance();
    void SetRoomId(AcDbObjectId& id);
    std::bitset<6>& GetFilterOption();
    void SetFilterOption(std::bitset<6>& filter);

    // ---- locations (library/LibraryPaths.cpp) and room list (library/RoomList.cpp) ----
    static CString GetStdRoomPath();                          // project dir + "\StardardRoom.dwg"
    static CString GetStdRoomPath(CString fileName);          // project-file dir + "\" + fileName
    static CString GetStdRoomTempPath();                      // copies the library first
    static const CString GetRoomlist();                       // project-file dir + "\Roomlist.txt"
    static void GetDb(AcDbDatabase*& db);                     // side database read with _SH_DENYWR
    void InitRoomList();
    void WriteToFile();
    void ValidateRoom();
    std::vector<CString> GetStdRoomSet();                     // natural name order
    bool IsListed(const CString& name) const;                 // case-sensitive, as the list compares

    // ---- storing (library/RoomStorage.cpp) ----
    int DefineStdRoom(CString name, AcDbObjectIdArray& ids, AcGePoint3d basePt);
    int AppendStdRoom(CString name, AcDbObjectIdArray& ids, AcGePoint3d basePt);
    int AppendStdRoom1(const CString& name, const AcDbObjectIdArray& ids, const AcGePoint3d& basePt);
    static void ValueIsRelate(AcDbObjectId& id);
    void DeletNoRelatValue(CString blockName, AcDbDatabase* db);

    // ---- removal (library/RoomRemoval.cpp) ----
    void EraseStdRoom(CString& name);

    // ---- containment (selection/EntityIsInPolyline.cpp, CurveInPolyline.cpp, PolylineInterePoint.cpp) ----
    static bool EntityIsInPolyline(AcDbObjectId& boundaryId, AcDbObjectId& entityId,
                                   std::bitset<6>& filter, bool flag);
    static int IsCurveInPolyline(AcDbPolyline* boundary, const AcDbCurve* curve, double tol);
    static void GetPolylineInterePoint(AcDbPolyline* first, AcDbPolyline* second,
                                       AcArray<AcGePoint3d>& points);

    // ---- selection (selection/SelectEntity.cpp, FilterEntity.cpp) ----
    static void SelectEntity(AcDbExtents& window, AcArray<AcDbObjectId>& ids);
    static void FilterEntity(AcArray<AcDbObjectId>& candidates, AcArray<AcDbObjectId>& accepted,
                             AcDbObjectId boundaryId, std::bitset<6>& filter, bool flag);

    // ---- insertion (library/RoomInsertion.cpp) ----
    static void InsertRoom(CString name, AcGePoint3d insertPt, AcGeMatrix3d& xform);

    std::vector<CString> m_RoomNames;
    AcDbObjectId m_RoomId;
    std::bitset<6> m_FilterOption;
    CString m_RoomlistPath;

private:
    CManageStdRoom();
    ~CManageStdRoom();
    static CManageStdRoom* pStdRoom;
    static CString m_PreRoomlistPath;
};

// Ends the current command's point loop by sending the cancel character to the command line.
void CancelCurrentCommand();
