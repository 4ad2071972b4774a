#pragma once
// The heading status screen: heading, pitch or roll, course, rate of turn and speed as
// numbers and as a compass dial with rate-of-turn and speed gauges; the heading lamp; and
// "New Solution", which makes the receiver search its attitude afresh.

#include <cstdint>

#include "shell/BaseDialog.h"
#include "ui/canvas.h"

enum : int {
    IDC_HEADING1_HEADING = 1124,
    IDC_HEADING1_PITCH = 1125,
    IDC_HEADING1_COG = 1126,
    IDC_HEADING1_ROLL = 1023,
    IDC_HEADING1_ROT = 1026,
    IDC_HEADING1_SPEED = 1030,
    IDC_HEADING1_SPEED_UNIT = 1035,
    IDC_HEADING1_GO = 1145,
    IDC_HEADING_TAB = 1029,
};

// Where the dial and the two gauges lie in pixels of the work surface, with the centres and
// half-sizes the needles turn about.
struct DialGeometry {
    ui::Rect rect;
    int cx = 0, cy = 0, rx = 0, ry = 0;
};

class CHEADING_1 : public CBaseDialog {
public:
    CHEADING_1();
    ~CHEADING_1() override;

    ui::BOOL OnInitDialog() override;
    void OnCancel() override;
    void OnTimer(ui::UINT id) override;

    void ShowValues();
    void DrawCompass();

    const ui::Canvas& Picture() const { return m_Canvas; }
    DialGeometry Compass() const;
    DialGeometry RotGauge() const;
    DialGeometry SpeedGauge() const;
    // The needles' tips for the values drawn last.
    ui::Point HeadingTip(float heading) const;

    float m_fSpeedFactor = 1.0f;
    float m_fHeading = 0.0f;
    float m_fCOG = 0.0f;
    float m_fROT = 0.0f;
    float m_fSpeed = 0.0f;
    int32_t m_iTick = 0;

private:
    void FillSpeedUnits();
    void OnSpeedUnit();
    void SendOutputs(bool on, bool paced);

    ui::Canvas m_Canvas{1, 1};
};

// Registers the screens of the heading group.
void RegisterHeadingScreens();
