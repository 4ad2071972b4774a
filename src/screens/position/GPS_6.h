#pragma once
// The receiver information screen: the sixth tab of the GPS group. The receiver model, the
// firmware of both applications, of the DSP and of the beacon engine, and the capture that
// switches the receiver to its other application to read that application's firmware.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "shell/BaseDialog.h"

enum : int {
    IDC_GPS6_DEVICE = 1007,
    IDC_GPS6_APP1 = 1022,
    IDC_GPS6_APP2 = 1023,
    IDC_GPS6_DSP = 1024,
    IDC_GPS6_BEACON = 1026,
    IDC_GPS6_STATUS = 1015,
    IDC_GPS6_PROGRESS = 1142,
    IDC_GPS6_GO = 1064,
    IDC_GPS6_TAB = 1006,
};

// 0 idle, 1 capturing, 2 hold-off after a capture until timer 2 fires.
extern int32_t iCaptureState;

// The timer that runs the capture's steps.
inline constexpr ui::UINT kCaptureStepTimer = 3;

class CGPS_6 : public CBaseDialog {
public:
    CGPS_6();
    ~CGPS_6() override;

    ui::BOOL OnInitDialog() override;
    void OnCancel() override;
    void OnTimer(ui::UINT id) override;
    void OnLButtonDown(ui::UINT flags, ui::Point point) override;
    void OnClose() override;

    void ShowDeviceName();
    void ShowInfo();
    // Starts the capture; its steps follow on the step timer.
    void CaptureFirmware();

    int32_t m_bCapturePending = 0;
    int32_t m_eSavedCorrSource = 0;
    std::string m_strDevice, m_strApp1, m_strApp2, m_strDsp, m_strBeacon, m_strStatus;

private:
    struct Step {
        std::function<void()> action;
        ui::UINT waitMs;  // before the next step
    };
    void OnGo();
    void RunSteps();
    void FinishCapture();
    // "GO" and the tabs enabled, the label in place of the progress bar, no capture pending.
    void GiveGoBack();

    std::vector<Step> steps_;
    size_t nextStep_ = 0;
    uint32_t jiRepliesBefore_ = 0;
    uint32_t stepDue_ = 0;  // tick count at which the running step's wait is over
};
