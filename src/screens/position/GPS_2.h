#pragma once
// The satellites screen: the second tab of the GPS group. A sky plot of the GPS satellites in
// view and of the correction satellite in use, twelve signal bars of the tracked channels, the
// satellite counts of the solution, and a right-hand panel that follows the differential
// source (SBAS bit-error rates, the L-band satellite, or the beacon's signal).

#include <string>

#include "shell/BaseDialog.h"

enum : int {
    IDC_GPS2_VIEWABLE = 1007,
    IDC_GPS2_ABOVE_MASK = 1022,
    IDC_GPS2_CORRECTIONS = 1023,
    IDC_GPS2_USED = 1024,
    IDC_GPS2_SBAS_VIEWABLE = 1025,
    IDC_GPS2_SBAS_TRACKED = 1026,
    IDC_GPS2_SBAS_GROUP = 1006,
    IDC_GPS2_LBAND_NAME = 1034,
    IDC_GPS2_LEFT_BAR = 1132,
    IDC_GPS2_RIGHT_BAR = 1131,
    IDC_GPS2_LEFT_VALUE = 1035,
    IDC_GPS2_RIGHT_VALUE = 1036,
    IDC_GPS2_LEFT_UNDER = 1027,
    IDC_GPS2_RIGHT_UNDER = 1028,
    IDC_GPS2_LEFT_TITLE = 1030,
    IDC_GPS2_RIGHT_TITLE = 1032,
    IDC_GPS2_TAB = 1029,
};

// Bars of the twelve GPS channels and the labels under them, channel order.
extern const int kGps2Bars[12];
extern const int kGps2BarLabels[12];

class CGPS_2 : public CBaseDialog {
public:
    CGPS_2();
    ~CGPS_2() override;

    ui::BOOL OnInitDialog() override;
    void OnCancel() override;
    void OnTimer(ui::UINT id) override;

    // Counts, signal bars and the right-hand panel from the record.
    void RefreshPanel();
    // Draws the sky plot off screen and copies it to the window.
    void DrawSkyPlot();

    int m_iSbasTracked = 0;
    int m_iSbasViewable = 0;
    int m_iGpsViewable = 0;
    int m_iGpsAboveMask = 0;
    int m_iGpsCorrections = 0;
    int m_iGpsUsed = 0;
};
