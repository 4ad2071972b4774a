#pragma once
// The L-band tune screen: the beam the receiver is tuned to, and tuning by frequency and
// rate, automatically, or by continent and beam name.

#include <cstdint>
#include <string>

#include "shell/BaseDialog.h"

enum : int {
    IDC_LBND2_TAB = 1008,
    IDC_LBND2_FREQ_LIST = 1035,
    IDC_LBND2_RATE_LIST = 1036,
    IDC_LBND2_CONTINENT = 1037,
    IDC_LBND2_BEAM_LIST = 1038,
    IDC_LBND2_TUNE_MANUAL = 1064,
    IDC_LBND2_TUNE_AUTO = 1065,
    IDC_LBND2_TUNE_NAME = 1066,
    IDC_LBND2_FREQ = 1124,
    IDC_LBND2_BEAM = 1125,
    IDC_LBND2_RATE = 1126,
};

class CLBND_2 : public CBaseDialog {
public:
    CLBND_2();

    ui::BOOL OnInitDialog() override;
    void OnCancel() override;
    void OnTimer(ui::UINT id) override;

    void RefreshBeam();

    // Remembered choices, kept across visits.
    int32_t m_iFreqIndex = 2;       // "1535.0800"
    int32_t m_iRateIndex = 0;       // "1200"
    int32_t m_iContinentIndex = 4;  // "North America"
    int32_t m_iBeamIndex = 2;       // "MSV-W"

    std::string m_strFreq;
    std::string m_strBeamName;
    std::string m_strRate;

private:
    void FillBeamList(int continent);
    void OnContinent();
    void OnTuneManual();
    void OnTuneAuto();
    void OnTuneByName();
    // "$JFREQ" sent: the pause, D1 on again, the commanded values and cleared read-outs.
    void AfterTune(uint32_t freqKhz, int32_t rate);
};
