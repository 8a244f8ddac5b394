#include "module/selection/CEntityOptionDlg.h"

#include "host/ed/AcApDocManager.h"
#include "module/frame/CManageStdRoom.h"
#include "module/frame/ModuleInstance.h"
#include "module/resources/resource.h"

IMPLEMENT_DYNAMIC(CEntityOptionDlg, CDialog)

BEGIN_MESSAGE_MAP(CEntityOptionDlg, CDialog)
    ON_BN_CLICKED(IDC_FILTER_ARCH, &CEntityOptionDlg::OnBnClickedArch)
    ON_BN_CLICKED(IDC_FILTER_WATER, &CEntityOptionDlg::OnBnClickedWater)
    ON_BN_CLICKED(IDC_FILTER_ELECTRIC, &CEntityOptionDlg::OnBnClickedElectric)
    ON_BN_CLICKED(IDC_FILTER_HVAC, &CEntityOptionDlg::OnBnClickedHvac)
    ON_BN_CLICKED(IDC_FILTER_FIRE, &CEntityOptionDlg::OnBnClickedFire)
    ON_BN_CLICKED(IDC_FILTER_LOWVOLT, &CEntityOptionDlg::OnBnClickedLowVolt)
END_MESSAGE_MAP()

CEntityOptionDlg::CEntityOptionDlg(CWnd* parent) : CDialog(IDD_ENTITY_OPTION, parent)
{
    m_Filter.set();
    if (CManageStdRoom* lib = CManageStdRoom::CreateOnlyInstance()) lib->SetFilterOption(m_Filter);
}

INT_PTR CEntityOptionDlg::DoModal()
{
    vkroom::ModuleResourceScope resources;
    return CDialog::DoModal();
}

void CEntityOptionDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Check(pDX, IDC_FILTER_ARCH, m_bArch);
    DDX_Check(pDX, IDC_FILTER_WATER, m_bWater);
    DDX_Check(pDX, IDC_FILTER_ELECTRIC, m_bElectric);
    DDX_Check(pDX, IDC_FILTER_HVAC, m_bHvac);
    DDX_Check(pDX, IDC_FILTER_FIRE, m_bFire);
    DDX_Check(pDX, IDC_FILTER_LOWVOLT, m_bLowVolt);
}

void CEntityOptionDlg::FollowClick(size_t bit, const int& value)
{
    UpdateData(TRUE);
    m_Filter.set(bit, value != 0);
    if (CManageStdRoom* lib = CManageStdRoom::CreateOnlyInstance()) lib->SetFilterOption(m_Filter);
}

void CEntityOptionDlg::OnBnClickedArch() { FollowClick(0, m_bArch); }
void CEntityOptionDlg::OnBnClickedWater() { FollowClick(1, m_bWater); }
void CEntityOptionDlg::OnBnClickedElectric() { FollowClick(2, m_bElectric); }
void CEntityOptionDlg::OnBnClickedHvac() { FollowClick(3, m_bHvac); }
void CEntityOptionDlg::OnBnClickedFire() { FollowClick(4, m_bFire); }
void CEntityOptionDlg::OnBnClickedLowVolt() { FollowClick(5, m_bLowVolt); }
