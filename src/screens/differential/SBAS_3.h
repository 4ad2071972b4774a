#pragma once
// The SBAS bit-error-rate plot: the last hour of the two tracked satellites' bit-error rates
// as two curves on the strip chart, with a value scale that follows their recent values, and
// the current rates as bars.

#include <string>

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

// The automatic value scale: 0 for 500, 1 for 200, 2 for 40.
int SbasPlotScaleFor(int32_t largest);

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
    int32_t m_iLargest = 500;     // the largest recent rate at the last scale decision
    int32_t m_iLastDecision = 0;  // the write index then

private:
    strip::StripChart m_Chart;
};
