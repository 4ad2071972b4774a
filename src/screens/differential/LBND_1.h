#pragma once
// The L-band status screen: the beam the receiver is tuned to, its bit-error rate, the
// service flags and the differential-source combo. A frequency that is no beam makes the
// page switch the receiver to automatic tuning.

#include <cstdint>
#include <string>

#include "shell/BaseDialog.h"

enum : int {
    IDC_LBND1_TAB = 1008,
    IDC_LBND1_BER_BAR = 1070,
    IDC_LBND1_BER_TEXT = 1105,
    IDC_LBND1_BEAM = 1118,
    IDC_LBND1_FREQ = 1119,
    IDC_LBND1_RATE = 1120,
    IDC_LBND1_LONGITUDE = 1121,
    IDC_LBND1_ELEVATION = 1122,
    IDC_LBND1_AZIMUTH = 1123,
};

// The service flags: bit of wLBandStatus and the read-out that shows it.
struct LBandStatusFlag {
    uint32_t bit;
    int edit;
};
inline constexpr LBandStatusFlag kLBandStatusFlags[] = {
    {0x1, 1038},  {0x2, 1041},  {0x4, 1053},  {0x8, 1050},    {0x10, 1055},
    {0x20, 1057}, {0x40, 1059}, {0x80, 1061}, {0x8000, 1063},
};

// The retune's follow-up "$JASC,D1,1" comes this long after "$JFREQ,0".
inline constexpr ui::UINT kRetuneTimer = 3;
inline constexpr ui::UINT kRetuneFollowUpMs = 1000;

class CLBND_1 : public CBaseDialog {
public:
    CLBND_1();

    ui::BOOL OnInitDialog() override;
    void OnCancel() override;
    void OnTimer(ui::UINT id) override;

    // Read-outs from the record; starts the automatic retune when the frequency is no beam.
    void RefreshStatus();

    bool RetunePending() const { return m_bRetunePending; }

    std::string m_strBeamName;
    std::string m_strFreq;
    std::string m_strRate;
    std::string m_strLongitude;
    std::string m_strElevation;
    std::string m_strAzimuth;
    std::string m_strBer;
    std::string m_strFlag[std::size(kLBandStatusFlags)];

private:
    void StartRetune();
    // "$JASC,D1,1", then what the page held back during the second; the link watch's held
    // tick too unless the page is being left.
    void FinishRetune(bool deliverLinkTick);
    void SendEntryQueries();
    void SendTickQueries();

    bool m_bRetunePending = false;
    bool m_bEntryHeld = false;
    bool m_bTickHeld = false;
};
