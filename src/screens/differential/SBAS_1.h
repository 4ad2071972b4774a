#pragma once
// The SBAS status screen: the two SBAS satellites the receiver tracks, each with its PRN and
// augmentation system, longitude, elevation and azimuth, and its bit-error rate as a bar and
// a number; and the differential-source combo.

#include <string>

#include "shell/BaseDialog.h"

enum : int {
    IDC_SBAS1_TAB = 1008,
    IDC_SBAS1_SYSTEM1 = 1013,
    IDC_SBAS1_SYSTEM2 = 1014,
    IDC_SBAS1_PRN1 = 1086,
    IDC_SBAS1_PRN2 = 1087,
    IDC_SBAS1_LOC_PRN1 = 1088,
    IDC_SBAS1_LON1 = 1089,
    IDC_SBAS1_EL1 = 1090,
    IDC_SBAS1_AZ1 = 1091,
    IDC_SBAS1_LOC_PRN2 = 1096,
    IDC_SBAS1_LON2 = 1097,
    IDC_SBAS1_EL2 = 1075,
    IDC_SBAS1_AZ2 = 1076,
    IDC_SBAS_CAPTION1 = 1106,
    IDC_SBAS_CAPTION2 = 1107,
    IDC_SBAS_BER1 = 1108,
    IDC_SBAS_BER2 = 1109,
    IDC_SBAS_BAR1 = 1127,
    IDC_SBAS_BAR2 = 1128,
};

class CSBAS_1 : public CBaseDialog {
public:
    CSBAS_1();
    ~CSBAS_1() override;

    ui::BOOL OnInitDialog() override;
    void OnCancel() override;
    void OnTimer(ui::UINT id) override;

    void RefreshStatus();

    std::string m_strSystem1, m_strSystem2;
    std::string m_strPRN1, m_strPRN2, m_strLocPRN1, m_strLocPRN2;
    std::string m_strLon1, m_strLon2;
    std::string m_strEl1, m_strEl2, m_strAz1, m_strAz2;
    std::string m_strBer1, m_strBer2;
    std::string m_strCaption1, m_strCaption2;
};
