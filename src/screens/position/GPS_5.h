#pragma once
// The position plot: a reference position taken from the receiver or typed in, and how far
// the receiver has been north and east of it over any 150 seconds of the last hour.

#include <array>
#include <cstdint>
#include <string>

#include "shell/BaseDialog.h"
#include "shell/CoordFormat.h"
#include "shell/StripChart.h"

enum : int {
    IDC_GPS5_NORTH = 1007,
    IDC_GPS5_EAST = 1013,
    IDC_GPS5_HEIGHT = 1024,
    IDC_GPS5_TIME = 1021,
    IDC_GPS5_REF_LAT = 1025,
    IDC_GPS5_REF_LON = 1031,
    IDC_GPS5_REF_ALT = 1032,
    IDC_GPS5_TAB = 1029,
    IDC_GPS5_WIDTH = 1035,
    IDC_GPS5_FORMAT = 1036,
    IDC_GPS5_ALT_UNIT = 1037,
    IDC_GPS5_OFFSET_UNIT = 1038,
    IDC_GPS5_MARKER = 1039,
    IDC_GPS5_SNAPSHOT = 1064,
    IDC_GPS5_USE_POINT = 1066,
    IDC_GPS5_ZOOM_IN = 1149,
    IDC_GPS5_ZOOM_OUT = 1148,
};

class CGPS_5 : public CBaseDialog {
public:
    CGPS_5();
    ~CGPS_5() override;

    ui::BOOL OnInitDialog() override;
    void OnCancel() override;
    void OnTimer(ui::UINT id) override;

    void ShowReference();
    void DrawPlot();
    void OnSnapShot();
    void OnUseThisPoint();

    strip::StripChart& Chart() { return m_Chart; }

    float m_fAltFactor = 1.0f;
    float m_fOffsetFactor = 1.0f;
    int32_t m_bEditPending = 0;

private:
    void FillCombos();
    void OnReferenceEdited(int id);
    void OnEntryFormatChanged(int32_t format, float altFactor);
    int32_t CurrentFormat();
    void OnZoom(int delta);
    void OnUnit(int comboId, int32_t GPSInfo::*field, float* factor);

    strip::StripChart m_Chart;
    // The coordinate format of the latitude and longitude texts and the unit factor of the
    // altitude text, as they were written or typed; a pending entry is read in them.
    std::array<int32_t, 2> m_entryFormat{COORD_DMM, COORD_DMM};
    float m_fEntryAltFactor = 1.0f;
};
