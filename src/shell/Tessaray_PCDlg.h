#pragma once
// The main window: a three-second welcome page that measures the screen geometry, probes
// the COM ports and hands over to the start-up dialog.

#include "shell/BaseDialog.h"

class CTessaray_PCDlg : public CBaseDialog {
public:
    static constexpr ui::UINT kHandOverTimer = 1;
    static constexpr ui::UINT kPortProbeTimer = 2;
    static constexpr ui::UINT kHandOverMs = 3000;
    static constexpr ui::UINT kPortProbeMs = 100;

    CTessaray_PCDlg();

    ui::BOOL OnInitDialog() override;
    void OnCancel() override;
    void OnTimer(ui::UINT id) override;
    void OnCloseBox() override;
};

// The About box, reached from the window's context menu.
class CAboutDlg : public ui::Dialog {
public:
    CAboutDlg();
};

// Installs the context menu with "&About Tessaray_PC..." on the host window.
void InstallAboutMenu();
