#pragma once
// The beacon tune screen: what the beacon receiver is tuned to, and four ways to retune it —
// by frequency and bit rate, automatically, automatically after erasing the receiver's beacon
// memory, and by a station chosen by region, country and name.

#include <string>
#include <vector>

#include "shell/BaseDialog.h"

enum : int {
    IDC_BEACON2_NAME = 1011,
    IDC_BEACON2_FREQ = 1067,
    IDC_BEACON2_RATE = 1068,
    IDC_BEACON2_FREQ_LIST = 1035,
    IDC_BEACON2_RATE_LIST = 1036,
    IDC_BEACON2_REGION = 1037,
    IDC_BEACON2_COUNTRY = 1038,
    IDC_BEACON2_STATION = 1039,
    IDC_BEACON2_TUNE_MANUAL = 1064,
    IDC_BEACON2_TUNE_AUTO = 1065,
    IDC_BEACON2_TUNE_ERASE = 1066,
    IDC_BEACON2_TUNE_NAME = 1069,
    IDC_BEACON2_TAB = 1050,
};

class CBEACON_2 : public CBaseDialog {
public:
    CBEACON_2();
    ~CBEACON_2() override;

    ui::BOOL OnInitDialog() override;
    void OnCancel() override;
    void OnTimer(ui::UINT id) override;

    void RefreshStatus();
    void OnRegionChange();
    void OnCountryChange();
    void OnStationChange();
    void OnManualTune();
    void OnAutoTune();
    void OnAutoTuneErase();
    void OnTuneByName();

    // The choices as the station tables spell them (Windows-1252); they survive leaving.
    std::string m_strRegion;
    std::string m_strCountry;
    std::string m_strStation;
    float m_fFreq = 0.0f;    // kHz, the last manual or by-name tune
    int32_t m_iBitRate = 0;  // eBeaconBitRate of that tune

    std::string m_strName;
    std::string m_strFreq;
    std::string m_strRate;

private:
    void FillLists();
    void FillCountries(bool takeFirst);
    void FillStations(bool takeFirst);
    // Sends the tune, the pauses and the status request, and records what was commanded.
    void Tune(float freqKhz, int bitRate, bool erase);

    std::vector<std::string> countries_;
    std::vector<std::string> stations_;
};
