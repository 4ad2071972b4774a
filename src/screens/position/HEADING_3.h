#pragma once
// The heading plot: the current heading and rate of turn in large figures over a strip chart
// of the heading's last hour, centred on a recent mean heading and zoomed in powers of two.

#include <cstdint>
#include <optional>
#include <vector>

#include "shell/BaseDialog.h"
#include "shell/StripChart.h"

enum : int {
    IDC_HEADING3_READOUT = 1007,
    IDC_HEADING3_SECONDS = 1014,
    IDC_HEADING3_MINUTES = 1032,
    IDC_HEADING3_ZOOM_IN = 1149,
    IDC_HEADING3_ZOOM_OUT = 1148,
};

// Mean heading of the newest `count` seconds of a heading ring, in [0, 360): seconds without
// heading are left out, and a window that straddles north is averaged across it; nullopt when
// no second of the window has a heading.
std::optional<double> RecentHeadingMean(const std::vector<double>& ring, int writeIndex, int count);

class CHEADING_3 : public CBaseDialog {
public:
    CHEADING_3();
    ~CHEADING_3() override;

    ui::BOOL OnInitDialog() override;
    void OnCancel() override;
    void OnTimer(ui::UINT id) override;

    void DrawStripChart();
    strip::StripChart& Chart() { return m_Chart; }
    // The value scale of the last redraw.
    strip::StripScale Scale() const { return m_Scale; }

    int32_t m_iTick = 0;

private:
    void DrawFigures();
    void OnZoom(int delta);

    strip::StripChart m_Chart;
    strip::StripScale m_Scale;
};
