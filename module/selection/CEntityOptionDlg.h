#pragma once
// The component selection dialog ("构件选择"): which kinds of entity follow a room when it is
// stored. Every click updates the library's filter at once; OK and Cancel leave it alone.
#include <bitset>

#include "host/ui/AfxWin.h"
#include "module/frame/VkQsRoomExport.h"

class VKQSROOM_API CEntityOptionDlg : public CDialog {
public:
    DECLARE_DYNAMIC(CEntityOptionDlg)
    // Sets the library's filter to all six kinds.
    explicit CEntityOptionDlg(CWnd* parent = nullptr);
    // Runs on template 202 with the module's resource handle pushed.
    INT_PTR DoModal() override;

    // Check values in filter bit order: architectural, water, electrical, HVAC, fire, low voltage.
    int m_bArch = 1;
    int m_bWater = 1;
    int m_bElectric = 1;
    int m_bHvac = 1;
    int m_bFire = 1;
    int m_bLowVolt = 1;
    std::bitset<6> m_Filter;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    afx_msg void OnBnClickedArch();
    afx_msg void OnBnClickedWater();
    afx_msg void OnBnClickedElectric();
    afx_msg void OnBnClickedHvac();
    afx_msg void OnBnClickedFire();
    afx_msg void OnBnClickedLowVolt();
    DECLARE_MESSAGE_MAP()

private:
    // Pulls the boxes into the members, then hands bit `bit` and the whole filter on.
    void FollowClick(size_t bit, const int& value);
};
