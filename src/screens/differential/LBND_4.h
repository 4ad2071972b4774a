#pragma once
// The L-band plot screen: the last hour of the bit-error rate on the strip chart, with a value
// scale that follows the recent values, and a bar with the current rate.

#include <cstdint>
#include <string>

#include "screens/differential/ber_scale.h"
#include "shell/BaseDialog.h"
#include "shell/StripChart.h"

enum : int {
    IDC_LBND4_TAB = 1029,
    IDC_LBND4_BER_BAR = 1127,
    IDC_LBND4_BER_TEXT = 1108,
    IDC_LBND4_TIME = 1007,
    IDC_LBND4_MINUTES = 1024,
    IDC_LBND4_VALUE = 1008,
};

class CLBND_4 : public CBaseDialog {
public:
    CLBND_4();

    ui::BOOL OnInitDialog() override;
    void OnCancel() override;
    void OnTimer(ui::UINT id) override;

    std::string m_strBer;
    std::string m_strValue;

private:
    void RefreshBar();
    void DrawStripChart();

    strip::StripChart m_Chart;
    BerScaleDecision m_Scale;
};
