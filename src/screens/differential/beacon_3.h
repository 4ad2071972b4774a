#pragma once
// The beacon plot screen: the last hour of the beacon receiver's signal strength,
// signal-to-noise ratio or tuned frequency on the strip chart, one series at a time.

#include <string>

#include "shell/BaseDialog.h"
#include "shell/StripChart.h"

enum : int {
    IDC_BEACON3_TAB = 1029,
    IDC_BEACON3_SS = 1032,
    IDC_BEACON3_SNR = 1033,
    IDC_BEACON3_FREQ = 1037,
    IDC_BEACON3_SECONDS = 1007,
    IDC_BEACON3_MINUTES = 1024,
    IDC_BEACON3_SS_VALUE = 1009,
    IDC_BEACON3_SNR_VALUE = 1008,
    IDC_BEACON3_FREQ_VALUE = 1011,
};

class CBEACON_3 : public CBaseDialog {
public:
    CBEACON_3();
    ~CBEACON_3() override;

    ui::BOOL OnInitDialog() override;
    void OnCancel() override;
    void OnTimer(ui::UINT id) override;

    void DrawStripChart();
    strip::StripChart& Chart() { return m_Chart; }

    // 0 signal strength, 1 SNR, 2 frequency.
    int32_t m_iSeries = 1;
    float m_fFreqTop = 325.0f;  // kHz
    float m_fFreqBottom = 283.0f;

private:
    void OnSeries(int series);

    strip::StripChart m_Chart;
};
