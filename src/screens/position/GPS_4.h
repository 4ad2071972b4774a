#pragma once
// The precision screen: the fourth tab of the GPS group. Dilutions of precision, the
// estimated northing, easting and altitude precision in the unit and confidence level of each
// row, and the error ellipse as numbers and as a drawing on a grid that follows its size.

#include <cstdint>
#include <string>

#include "shell/BaseDialog.h"

enum : int {
    IDC_GPS4_HDOP = 1075,
    IDC_GPS4_VDOP = 1076,
    IDC_GPS4_PDOP = 1077,
    IDC_GPS4_NORTHING = 1015,
    IDC_GPS4_EASTING = 1017,
    IDC_GPS4_ALTITUDE = 1025,
    IDC_GPS4_NORTHING_UNIT = 1035,
    IDC_GPS4_EASTING_UNIT = 1036,
    IDC_GPS4_ALTITUDE_UNIT = 1037,
    IDC_GPS4_NORTHING_LEVEL = 1038,
    IDC_GPS4_EASTING_LEVEL = 1039,
    IDC_GPS4_ALTITUDE_LEVEL = 1040,
    IDC_GPS4_SEMI_MAJOR = 1026,
    IDC_GPS4_SEMI_MINOR = 1027,
    IDC_GPS4_AZIMUTH = 1028,
    IDC_GPS4_TOP_LEFT = 1079,
    IDC_GPS4_TOP_RIGHT = 1081,
    IDC_GPS4_BOTTOM_LEFT = 1080,
    IDC_GPS4_BOTTOM_RIGHT = 1034,
    IDC_GPS4_TAB = 1006,
};

class CGPS_4 : public CBaseDialog {
public:
    CGPS_4();
    ~CGPS_4() override;

    ui::BOOL OnInitDialog() override;
    void OnCancel() override;
    void OnTimer(ui::UINT id) override;

    // Read-outs from the record.
    void RefreshText();
    // Draws the ellipse when it changed or after an activation.
    void DrawErrorEllipse();

    // Rows: 0 northing, 1 easting, 2 altitude.
    float m_fLevelFactor[3] = {1.0f, 1.0f, 1.0f};
    int32_t m_iLevel[3] = {0, 0, 0};
    uint8_t m_bRedraw = 1;
    float m_fUnitFactor[3] = {1.0f, 1.0f, 1.0f};
    int32_t m_iUnit[3] = {0, 0, 0};
    int32_t m_iGridMode = 0;
    double m_dGridScale = 10.0;

    std::string m_strHDOP, m_strVDOP, m_strPDOP;
    std::string m_strNorthing, m_strEasting, m_strAltitude;
    std::string m_strSemiMajor, m_strSemiMinor, m_strAzimuth;
    std::string m_strLabelA, m_strLabelB, m_strLabelAzimuth;
    std::string m_strTopLeft, m_strTopRight, m_strBottomLeft, m_strBottomRight;
    std::string m_strDegree;

private:
    void FillCombos();
    void OnUnit(int row);
    void OnLevel(int row);
};
