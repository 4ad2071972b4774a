#pragma once
// The SBAS bit-error-rate plot: the last hour of the two tracked satellites' bit-error rates
// as two curves on the strip chart, with a value scale that follows their recent values, and
// the current rates as bars.

#include <string>

#include "screens/differential/ber_scale.h"
#include "shell/BaseDialog.h"
#include "shell/StripChart.h"

enum : int {
    IDC_SBAS3_TAB = 1029,
    IDC_SBAS3_SECONDS = 1007,
    IDC_SBAS3_VALUE1 = 1008,
    IDC_SBAS3_VALUE2 = 1009,
    IDC_SBAS3_ROW1 = 1120,
    IDC_SBAS3_ROW2 = 1121,
};

class CSBAS_3 : public CBaseDialog {
public:
    CSBAS_3();
    ~CSBAS_3() override;

    ui::BOOL OnInitDialog() override;
    void OnCancel() override;
    void OnTimer(ui::UINT id) override;

    void RefreshBars();
    void DrawStripChart();
    strip::StripChart& Chart() { return m_Chart; }

    int32_t m_iPRN1 = 0;
    int32_t m_iPRN2 = 0;
    BerScaleDecision m_Scale;  // the last decision of the automatic value scale

private:
    strip::StripChart m_Chart;
};
