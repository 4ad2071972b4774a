#include "shell/STARTUP3.h"

#include <QWidget>
#include <array>

#include "engine/gps.h"
#include "engine/scomm.h"
#include "platform/clock.h"
#include "platform/numbers.h"
#include "platform/ports.h"
#include "platform/trace.h"
#include "resources/dlg_startup.h"
#include "shell/CHECK.h"
#include "shell/CLOSESCREEN_2.h"
#include "shell/DiffSource.h"
#include "shell/Tessaray_PC.h"
#include "ui/fonts.h"
#include "ui/messagebox.h"
#include "ui/settings.h"

namespace {

constexpr ui::UINT kProgressTimer = 1;
constexpr ui::UINT kProgressMs = 200;
constexpr ui::UINT kStartTimer = 2;
constexpr ui::UINT kStartMs = 500;
constexpr int kComboPorts = 16;
constexpr size_t kBaudTextMax = 30;

constexpr std::array<int, 6> kBaudChoices = {4800, 9600, 19200, 38400, 57600, 115200};
// A baud rate that is not in the list shows as "38400".
constexpr int kOtherBaudIndex = 3;

StartupDialogFactory& Factory() {
    static StartupDialogFactory factory;
    return factory;
}

std::string ComText(int port) {
    return "COM" + platform::FormatInt(port);
}

}  // namespace

std::optional<int> ParseBaudText(std::string_view text) {
    const std::optional<int> baud = platform::ParseInt(text);
    if (!baud || *baud <= 0) return std::nullopt;
    return baud;
}

std::optional<int> ParseComPortText(std::string_view text) {
    for (int n = 1; n <= kComboPorts; ++n) {
        if (text == ComText(n)) return n;
    }
    return std::nullopt;
}

void SetStartupDialogFactory(StartupDialogFactory factory) {
    Factory() = std::move(factory);
}

void RunStartupDialogModal() {
    std::unique_ptr<ui::Dialog> dlg = Factory() ? Factory()() : std::make_unique<CSTARTUP3>();
    if (!dlg) return;
    CBaseDialog::StopEveryScreenTimer();
    dlg->DoModal();
}

CSTARTUP3::CSTARTUP3() : CBaseDialog(StartupDialogTemplate(), ScreenFamily::Startup) {
    m_bAlwaysStoreMove = true;
    DDX_Text(IDC_RECEIVER_TYPE_LABEL, m_strReceiverType);
    for (int i = 0; i < 5; ++i) DDX_Text(kProgressLineIds[i], m_strLine[i]);
    DDX_Check(IDC_AUTO_BAUD, m_bAutoBaud);
    DDX_Check(IDC_GENERATE_REPORT, m_bGenerateReport);

    OnControl(IDC_STARTUP_OK, ui::BN_CLICKED, [this] { OnStartupOK(); });
    OnControl(IDC_DEMO_MODE, ui::BN_CLICKED, [this] { OnDemoMode(); });
    OnControl(IDC_SEARCH, ui::BN_CLICKED, [this] { OnSearch(); });
    OnControl(IDC_AUTO_BAUD, ui::BN_CLICKED, [this] { OnAutoBaud(); });
    OnControl(IDC_GENERATE_REPORT, ui::BN_CLICKED, [this] {
        m_bGenerateReport = m_bGenerateReport ? 0 : 1;
        CheckDlgButton(IDC_GENERATE_REPORT, m_bGenerateReport);
    });
    OnControl(IDC_PORT_COMBO, ui::CBN_SELCHANGE, [this] { OnPortSelect(); });
    OnControl(IDC_BAUD_COMBO, ui::CBN_SELCHANGE, [this] { OnBaudSelect(); });
    OnControl(IDC_RECEIVER_TYPE_COMBO, ui::CBN_SELCHANGE, [this] { OnReceiverTypeSelect(); });
}

CSTARTUP3::~CSTARTUP3() = default;

ui::BOOL CSTARTUP3::OnInitDialog() {
    CBaseDialog::OnInitDialog();
    CTessaray_PCApp& app = theApp();
    // Whatever was heard before this dialog opened says nothing of the search to come.
    app.bSentenceReceived = 0;
    app.bBytesReceived = 0;

    FillControls();
    const QFont small = ui::MakeFont("Tahoma", 8);
    for (int id : {1001, 1002, 1008, 1009, 1010, 1011, 1012, 1013, 1014, 1015,
                   1017, 1021, 1022, 1023, 1035, 1036, 1147, 1166, 1167, IDC_PORT_DEVICE}) {
        SetItemFont(id, small);
    }
    const QFont heading = ui::MakeFont("Tahoma", 8, true);
    SetItemFont(1008, heading);
    SetItemFont(1009, heading);

    app.bStartupPhase = 1;
    EnableItem(IDC_BAUD_COMBO, !m_bAutoBaud);
    EnableItem(IDC_BAUD_LABEL, !m_bAutoBaud);
    m_bGenerateReport = 0;
    m_bOKPressed = 0;
    app.bSearchRequested = 0;
    UpdateData(ui::FALSE);
    PlaceOnSharedRect();
    UpdateNavBar();
    return ui::TRUE;
}

void CSTARTUP3::FillControls() {
    GPSInfo& info = g_GPS.Info;
    const CTessaray_PCApp& app = theApp();

    int port = kDefaultComPort;
    if (const auto stored = ui::Settings::ReadInt("LastPort"); stored && *stored >= 1) {
        port = *stored;
    }
    ResetContent(IDC_PORT_COMBO);
    bool listed = false;
    for (int n = 1; n <= kComPortProbeCount; ++n) {
        if (!app.iComPortTable[n - 1]) continue;
        AddString(IDC_PORT_COMBO, ComText(n));
        if (n == port) listed = true;
    }
    if (!listed) port = kDefaultComPort;
    info.iComPort = port;
    SetDlgItemText(IDC_PORT_COMBO, ComText(port));
    ShowPortDevice();

    ResetContent(IDC_BAUD_COMBO);
    for (int baud : kBaudChoices) AddString(IDC_BAUD_COMBO, platform::FormatInt(baud));
    int baud = kDefaultBaud;
    if (const auto stored = ui::Settings::ReadInt("LastBaud"); stored && *stored > 0) {
        baud = *stored;
    }
    info.Settings.WizardLive.iNMEABaudRate = baud;
    int index = kOtherBaudIndex;
    for (size_t i = 0; i < kBaudChoices.size(); ++i) {
        if (kBaudChoices[i] == baud) index = static_cast<int>(i);
    }
    SetCurSel(IDC_BAUD_COMBO, index);

    m_bAutoBaud = 1;
    if (const auto stored = ui::Settings::ReadInt("AutoBaud"); stored && *stored == 0) {
        OnAutoBaud();
    }

    int type = g_GPS.ReceiverType();
    if (type < RECEIVER_GPS || type > RECEIVER_BLUETOOTH) type = RECEIVER_GPS;
    SetReceiverType(type);
    SetCurSel(IDC_RECEIVER_TYPE_COMBO, type);
    UpdateData(ui::FALSE);
}

void CSTARTUP3::ShowPortDevice() {
    const int port = g_GPS.Info.iComPort;
    const std::string path = platform::PortDevicePath(port);
    SetDlgItemText(IDC_PORT_DEVICE, path.empty() ? "no device known for " + ComText(port) : path);
    if (QWidget* combo = GetDlgItem(IDC_PORT_COMBO)) {
        combo->setToolTip(QString::fromStdString(platform::PortLabel(port)));
    }
}

void CSTARTUP3::SetReceiverType(int type) {
    g_GPS.SetReceiverType(type);
}

void CSTARTUP3::ShowChoice() {
    for (int id : {IDC_RECEIVER_TYPE_LABEL, IDC_RECEIVER_TYPE_COMBO, IDC_STARTUP_OK,
                   IDC_GENERATE_REPORT_LABEL, IDC_GENERATE_REPORT}) {
        ShowItem(id, true);
    }
}

void CSTARTUP3::OnSearch() {
    CTessaray_PCApp& app = theApp();
    GPSInfo& info = g_GPS.Info;
    app.bDemoMode = 0;
    app.bSearchRequested = 1;
    for (std::string& line : m_strLine) line.clear();
    info.Comm.iOpenComPort = info.iComPort;
    info.Comm.iOpenBaudRate = info.Settings.WizardLive.iNMEABaudRate;
    // The device as the port table gives it now (ports.conf may have changed).
    ShowPortDevice();
    if (m_bAutoBaud) {
        StartBaudSearch();
    } else {
        {
            RecordLock lock(info.Nav.ulNavLock);
            info.Nav.usNavMode = 0;
        }
        info.eCurCorrSource = CORR_NONE;
        Reconnect(info.iComPort, info.Settings.WizardLive.iNMEABaudRate);
        platform::Sleep(1000);
        UpdateData(ui::FALSE);
    }
    app.iLinkLostCount = 0;
    m_nTimer1 = SetTimer(kProgressTimer, kProgressMs);
}

void CSTARTUP3::OnDemoMode() {
    CTessaray_PCApp& app = theApp();
    app.bDemoMode = 1;
    app.bSearchRequested = 0;
    for (std::string& line : m_strLine) line.clear();
    m_nTimer1 = SetTimer(kProgressTimer, kProgressMs);
}

void CSTARTUP3::OnStartupOK() {
    GPSInfo& info = g_GPS.Info;
    ui::Settings::SetInt("LastBaud", info.Settings.WizardLive.iNMEABaudRate);
    ui::Settings::SetInt("LastPort", info.iComPort);
    ui::Settings::SetInt("AutoBaud", m_bAutoBaud);
    const int type = GetCurSel(IDC_RECEIVER_TYPE_COMBO);
    SetReceiverType(type >= RECEIVER_GPS && type <= RECEIVER_BLUETOOTH ? type : RECEIVER_GPS);
    m_strLine[3] = "- Polling receiver for current settings ...";
    UpdateData(ui::FALSE);
    m_bOKPressed = 1;
    theApp().bSaveOnExit = 1;
    m_nTimer2 = SetTimer(kStartTimer, kStartMs);
}

void CSTARTUP3::OnAutoBaud() {
    m_bAutoBaud = m_bAutoBaud ? 0 : 1;
    CheckDlgButton(IDC_AUTO_BAUD, m_bAutoBaud);
    if (m_bAutoBaud) {
        EnableItem(IDC_BAUD_COMBO, false);
        EnableItem(IDC_BAUD_LABEL, false);
        return;
    }
    GPSInfo& info = g_GPS.Info;
    if (const auto port = ParseComPortText(GetDlgItemText(IDC_PORT_COMBO))) {
        info.iComPort = *port;
    }
    std::string text = GetDlgItemText(IDC_BAUD_COMBO);
    if (text.size() > kBaudTextMax) text.resize(kBaudTextMax);
    const std::optional<int> baud = ParseBaudText(text);
    if (baud && SComm::IsBaudRate(*baud)) {
        info.Settings.WizardLive.iNMEABaudRate = *baud;
    } else {
        // A rate the port would quietly run at 9600 is no choice.
        if (baud) RefuseBaud(*baud);
        // What is shown is what a search without Auto-Baud uses.
        SetDlgItemText(IDC_BAUD_COMBO, platform::FormatInt(info.Settings.WizardLive.iNMEABaudRate));
    }
    EnableItem(IDC_BAUD_COMBO, true);
    EnableItem(IDC_BAUD_LABEL, true);
    ShowPortDevice();
}

void CSTARTUP3::RefuseBaud(int baud) {
    std::string rates;
    const auto all = SComm::BaudRates();
    for (size_t i = 0; i < all.size(); ++i) {
        if (i > 0) rates += i + 1 == all.size() ? " or " : ", ";
        rates += platform::FormatInt(all[i]);
    }
    ui::MessageBox("The serial port cannot run at " + platform::FormatInt(baud) +
                       " baud.\nIt takes " + rates + " baud.",
                   ui::MB_OK | ui::MB_ICONEXCLAMATION);
}

void CSTARTUP3::OnPortSelect() {
    const int index = GetCurSel(IDC_PORT_COMBO);
    if (index < 0) return;
    if (const auto port = ParseComPortText(GetLBText(IDC_PORT_COMBO, index))) {
        g_GPS.Info.iComPort = *port;
    }
    ShowPortDevice();
}

void CSTARTUP3::OnBaudSelect() {
    const int index = GetCurSel(IDC_BAUD_COMBO);
    if (index < 0 || index >= static_cast<int>(kBaudChoices.size())) return;
    g_GPS.Info.Settings.WizardLive.iNMEABaudRate = kBaudChoices[static_cast<size_t>(index)];
}

void CSTARTUP3::OnReceiverTypeSelect() {
    const int index = GetCurSel(IDC_RECEIVER_TYPE_COMBO);
    SetReceiverType(index == RECEIVER_HEADING || index == RECEIVER_BLUETOOTH ? index
                                                                             : RECEIVER_GPS);
    UpdateNavBar();
}

void CSTARTUP3::OnTimer(ui::UINT id) {
    CTessaray_PCApp& app = theApp();
    if (m_bClosing || app.bSuspendTimers) {
        KillTimer(m_nTimer1);
        KillTimer(m_nTimer2);
        KillTimer(id);
        return;
    }
    CBaseDialog::OnTimer(id);
    platform::Sleep(0);
    if (id == kStartTimer) {
        if (m_bOKPressed) OnTimer2();
        return;
    }
    if (id == kProgressTimer) OnTimer1();
    EndScreenTick();
    UpdateData(ui::FALSE);
}

void CSTARTUP3::OnTimer1() {
    CTessaray_PCApp& app = theApp();
    const GPSInfo& info = g_GPS.Info;
    if (app.bDemoMode.load()) {
        m_strLine[0] = "- Starting Demo Mode";
        m_strLine[1].clear();
        m_strLine[2] = "- Select Receiver Type ...";
        ShowChoice();
        KillTimer(m_nTimer1);
        return;
    }
    if (!app.bSearchRequested) {
        for (std::string& line : m_strLine) line.clear();
        return;
    }
    m_strLine[0] = platform::Format("- Looking for receiver: Com%d at %d baud",
                                    info.Comm.iOpenComPort, info.Comm.iOpenBaudRate);
    if (app.iLinkLostCount != 0) {
        app.iLinkLostCount = 0;
        m_strLine[1] = "- Receiver not found";
        m_strLine[2] = "- Check Receiver and connections";
        m_strLine[3] = "- Then perform new search";
        // A port that could not be opened is named with the reason.
        const std::string error = g_Comm.LastOpenError();
        if (!error.empty()) m_strLine[4] = "- " + error;
        ShowPortDevice();
        KillTimer(m_nTimer1);
    } else if (app.bReceiverFound.load() && OpenPortBaud() != 0) {
        // Every new connection comes through here, and it may be to another receiver.
        g_GPS.ForgetReceiver();
        SetPortBaud(info.Comm.iOpenBaudRate);
        m_strLine[1] = "- Receiver found";
        ShowChoice();
        m_strLine[2] = "- Select receiver type ...";
        m_strLine[3] = std::string(26, ' ');
        KillTimer(m_nTimer1);
    }
}

void CSTARTUP3::OnTimer2() {
    CTessaray_PCApp& app = theApp();
    m_strLine[4] = "- Starting...";
    UpdateData(ui::FALSE);
    KillTimer(m_nTimer2);
    KillTimer(m_nTimer1);
    m_bOKPressed = 0;
    // The settings poll blocks for seconds: show where we are first.
    RepaintNow();
    if (m_bGenerateReport) {
        if (RunConfigReport() == ui::IDOK) {
            OnDestroy();
            return;
        }
    } else {
        g_GPS.ReadConfig(g_GPS.Info.Settings.WizardLive);
    }
    app.bStartupPhase = 0;
    // Own OnCancel ends this dialog's loop; the position screen runs nested in this handler.
    SwitchTo(SCR_GPS_1);
}

void CSTARTUP3::OnCancel() {
    KillTimer(m_nTimer1);
    OnFullCancel();
}

void CSTARTUP3::OnCloseBox() {
    const int action = AskExit();
    if (action == EXIT_ACTION_STAY) return;
    if (action == EXIT_ACTION_QUIT) {
        CTessaray_PCApp& app = theApp();
        app.bExiting = 1;
        ShowWindow(ui::SW_SHOW);
        SetWindowPos(ui::ZOrder::Top, app.iWinX, app.iWinY, app.iWinWidth, app.iWinHeight,
                     ui::SWP_SHOWWINDOW);
        BeforeExitProcess();
        CTessaray_PCApp::EndProcess(0);
        return;
    }
    if (action == EXIT_ACTION_CLOSE) {
        KillTimer(m_nTimer1);
        KillTimer(m_nTimer2);
        OnDestroy();
    }
}
