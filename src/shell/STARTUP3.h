#pragma once
// The start-up dialog: port, baud rate, automatic baud search and receiver type; the search
// for the receiver (or demo mode); the settings poll and the hand-over to the position
// screen.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "shell/BaseDialog.h"

class CSTARTUP3 : public CBaseDialog {
public:
    CSTARTUP3();
    ~CSTARTUP3() override;

    ui::BOOL OnInitDialog() override;
    void OnCancel() override;
    void OnTimer(ui::UINT id) override;
    void OnCloseBox() override;

    int32_t m_bOKPressed = 0;
    int32_t m_bAutoBaud = 1;
    int32_t m_bGenerateReport = 0;
    std::string m_strReceiverType = "Receiver Type";
    std::string m_strLine[5];

private:
    void FillControls();
    void ShowPortDevice();
    void ShowChoice();
    void OnSearch();
    void OnDemoMode();
    void OnStartupOK();
    void OnAutoBaud();
    // Tells the user that the typed baud is none the port takes, naming those it does.
    void RefuseBaud(int baud);
    void OnPortSelect();
    void OnBaudSelect();
    void OnReceiverTypeSelect();
    void OnTimer1();
    void OnTimer2();
    void SetReceiverType(int type);
};

// Registry defaults.
inline constexpr int kDefaultComPort = 1;
inline constexpr int kDefaultBaud = 19200;

// A baud rate typed or stored: only a positive whole number counts.
std::optional<int> ParseBaudText(std::string_view text);
// n of "COM<n>" (n = 1 to 16) equal to the text, else nothing.
std::optional<int> ParseComPortText(std::string_view text);

// Closes the port and runs a new start-up dialog on top of the current screen (navigation
// button 6); the screen stays as it was underneath. The argument is not used.
void RunStartupDialog(int unused);

// Builds the start-up dialog and runs it modally (the welcome page's hand-over, the link
// watchdog's loss).
void RunStartupDialogModal();

// What RunStartupDialogModal builds. Tests put a page of their own in; an empty function
// restores the program's own dialog.
using StartupDialogFactory = std::function<std::unique_ptr<ui::Dialog>()>;
void SetStartupDialogFactory(StartupDialogFactory factory);

