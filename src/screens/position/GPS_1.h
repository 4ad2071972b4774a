#pragma once
// The position screen: the first tab of the GPS group and the program's home screen. Date,
// time, position, altitude, speed, course, heading, precision, HDOP and differential age in
// the units and formats the user chooses, a pause button that freezes the read-outs, and the
// differential-source combo.

#include <cstdint>
#include <string>

#include "shell/BaseDialog.h"

// Control ids of the position screen.
enum : int {
    IDC_GPS1_DATE = 1007,
    IDC_GPS1_TIME = 1022,
    IDC_GPS1_LAT = 1023,
    IDC_GPS1_LON = 1024,
    IDC_GPS1_ALT = 1025,
    IDC_GPS1_SPEED = 1026,
    IDC_GPS1_COURSE = 1027,
    IDC_GPS1_HEADING = 1028,
    IDC_GPS1_PRECISION = 1029,
    IDC_GPS1_HDOP = 1030,
    IDC_GPS1_DIFFAGE = 1031,
    IDC_GPS1_COORD_FORMAT = 1036,
    IDC_GPS1_TIME_DISPLAY = 1035,
    IDC_GPS1_DISTANCE_UNIT = 1038,
    IDC_GPS1_SPEED_UNIT = 1039,
    IDC_GPS1_CONFIDENCE = 1040,
    IDC_GPS1_OFFSET = 1049,
    IDC_GPS1_OFFSET_LABEL = 1050,
    IDC_GPS1_TAB = 1006,
    IDC_GPS1_PAUSE = 1133,
    IDC_GPS1_RESUME = 1134,
};

// The fixed position shown in demo mode.
inline constexpr char kDemoLatDir = 'N';
inline constexpr int32_t kDemoLatDeg = 51;
inline constexpr double kDemoLatMin = 2.587;
inline constexpr char kDemoLonDir = 'W';
inline constexpr int32_t kDemoLonDeg = 114;
inline constexpr double kDemoLonMin = 3.456;
inline constexpr float kDemoAltitude = 1100.0f;

class CGPS_1 : public CBaseDialog {
public:
    CGPS_1();
    ~CGPS_1() override;

    ui::BOOL OnInitDialog() override;
    void OnCancel() override;
    void OnTimer(ui::UINT id) override;

    // Reformats the read-outs from the record (timer 1, and once per activation).
    void Refresh();

    int32_t m_bPaused = 0;
    float m_fConfidenceFactor = 1.0f;
    float m_fSpeedFactor = 1.0f;
    float m_fDistanceFactor = 1.0f;

    std::string m_strDate;
    std::string m_strTime;
    std::string m_strLat;
    std::string m_strLon;
    std::string m_strAlt;
    std::string m_strSpeed;
    std::string m_strCourse;
    std::string m_strHeading;
    std::string m_strPrecision;
    std::string m_strHDOP;
    std::string m_strDiffAge;

private:
    void FirstActivationSetup();
    void FillOptionCombos();
    void SelectOptionsFromRecord();
    void ShowOffset(bool show);
    void OnTabChange();
    void OnTimeDisplay();
    void OnOffset();
    void OnCoordFormat();
    void OnDistanceUnit();
    void OnSpeedUnit();
    void OnConfidence();
    void OnDiffSource();
    void OnPause(bool pause);
};

// Registers the screens of the GPS group.
void RegisterPositionScreens();
