#pragma once
// The beacon status screen: the station the beacon receiver hears, its frequency, tune mode,
// bit rate and mode, station ID and health, four signal bars and the differential-source
// combo. The first tab of the beacon group.

#include <string>

#include "shell/BaseDialog.h"

enum : int {
    IDC_BEACON1_NAME = 1007,
    IDC_BEACON1_FREQ = 1024,
    IDC_BEACON1_FREQ_MODE = 1025,
    IDC_BEACON1_RATE = 1026,
    IDC_BEACON1_RATE_MODE = 1027,
    IDC_BEACON1_STATION_ID = 1028,
    IDC_BEACON1_HEALTH = 1029,
    IDC_BEACON1_SS_BAR = 1066,
    IDC_BEACON1_SNR_BAR = 1067,
    IDC_BEACON1_MTP_BAR = 1068,
    IDC_BEACON1_Q_BAR = 1069,
    IDC_BEACON1_SS_VALUE = 1035,
    IDC_BEACON1_SNR_VALUE = 1036,
    IDC_BEACON1_MTP_VALUE = 1037,
    IDC_BEACON1_Q_VALUE = 1038,
    IDC_BEACON1_TAB = 1051,
};

class CBEACON_1 : public CBaseDialog {
public:
    CBEACON_1();
    ~CBEACON_1() override;

    ui::BOOL OnInitDialog() override;
    void OnCancel() override;
    void OnTimer(ui::UINT id) override;

    void RefreshStatus();

    std::string m_strName;
    std::string m_strFreq;
    std::string m_strFreqMode;
    std::string m_strRate;
    std::string m_strRateMode;
    std::string m_strStationId;
    std::string m_strHealth;
    std::string m_strSS;
    std::string m_strSNR;
    std::string m_strMTP;
    std::string m_strQ;

private:
    void SendStatusQueries();
};

// The beacon receiver's bit rate as the beacon screens write it.
std::string BeaconRateText(int32_t iBeaconBitRate);
// Leaving a beacon screen: the beacon status sentence off, the screen's timer killed.
void LeaveBeaconScreen(CBaseDialog& screen);
