#pragma once
// The heading setup screen: pitch or roll, the aiding and mounting flags, time constants,
// biases and antenna separation of the attitude solution, and the heading sentences' rates on
// both receiver ports. Each change is sent the moment it is made.

#include <array>
#include <cstdint>

#include "shell/BaseDialog.h"

enum : int {
    IDC_HEADING2_PITCH = 1032,
    IDC_HEADING2_ROLL = 1033,
    IDC_HEADING2_CSEP = 1038,
};

class CHEADING_2 : public CBaseDialog {
public:
    CHEADING_2();
    ~CHEADING_2() override;

    ui::BOOL OnInitDialog() override;
    void OnCancel() override;
    void OnTimer(ui::UINT id) override;

    void LoadSettings();

    int32_t m_iRoll = -1;
    std::array<int32_t, 5> m_bFlags{};  // tilt aid, gyro aid, level, negative tilt, flip board
    float m_fCurSep = 0.0f;
    int32_t m_iTick = 0;

private:
    void OnRoll(bool roll);
    void OnFlag(size_t flag);
    void OnValueEdit(size_t value);
    void OnRate(size_t combo);
    void QueryAll(bool paced);
    void ShowValue(size_t value, float v);
};
