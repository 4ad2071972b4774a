#include "screens/position/GPS_6.h"

#include <cstring>

#include "engine/cp1252.h"
#include "engine/gps.h"
#include "engine/nmea.h"
#include "engine/txnmea.h"
#include "platform/clock.h"
#include "resources/dlg_gps6.h"
#include "shell/ScreenPage.h"
#include "shell/Tessaray_PC.h"

int32_t iCaptureState = 0;

namespace {

constexpr ui::UINT kRefreshTimer = 1;
constexpr ui::UINT kHoldOffTimer = 2;
constexpr ui::UINT kRefreshMs = 1000;
constexpr ui::UINT kHoldOffMs = 3000;
constexpr int kProgressMax = 9;

constexpr const char* kUnavailable = "Unavailable";
constexpr const char* kClickGo = "Click GO Button to Capture Information.";
constexpr const char* kWait = "Wait until system captures information.";

const char* AppNamePrefix(int32_t app) {
    switch (app) {
        case 0:
            return "NODIFF, ";
        case 1:
            return "BEACON, ";
        case 2:
            return "LBAND, ";
        case 5:
            return "RTK, ";
        case 6:
            return "AUTO, ";
        case 7:
            return "RTKBAS, ";
        case 8:
            return "LOCDIF, ";
        case 9:
            return "SUBSEA7, ";
        default:
            return "SBAS, ";
    }
}

// A fixed text field of the record, as far as its terminator.
std::string Field(const char* text, size_t size) {
    return std::string(text, strnlen(text, size));
}

template <size_t N>
void Store(char (&dst)[N], const std::string& text) {
    const size_t n = std::min(text.size(), N - 1);
    std::memcpy(dst, text.data(), n);
    std::memset(dst + n, 0, N - n);
}

std::string AppLine(int32_t app, const std::string& firmware) {
    std::string line = AppNamePrefix(app);
    if (firmware != kUnavailable) line += Cp1252ToPrintableUtf8(firmware);
    return line;
}

std::string Found(const std::string& firmware) {
    return firmware == kUnavailable ? std::string("Not Found") : Cp1252ToPrintableUtf8(firmware);
}

// The firmware text of the active application, from the last "$>JI" reply.
std::string ActiveAppFirmware() {
    LBandInfo& lb = g_GPS.Info.LBand;
    RecordLock lock(lb.ulLBandLock);
    return Field(lb.szAppFirmware, sizeof lb.szAppFirmware);
}

void SetAppFirmware(char (LBandInfo::*field)[20], const std::string& text) {
    LBandInfo& lb = g_GPS.Info.LBand;
    RecordLock lock(lb.ulLBandLock);
    Store(lb.*field, text);
}

}  // namespace

CGPS_6::CGPS_6() : CBaseDialog(Gps6DialogTemplate(), ScreenFamily::Gps, SCR_GPS_6) {
    DDX_Text(IDC_GPS6_DEVICE, m_strDevice);
    DDX_Text(IDC_GPS6_APP1, m_strApp1);
    DDX_Text(IDC_GPS6_APP2, m_strApp2);
    DDX_Text(IDC_GPS6_DSP, m_strDsp);
    DDX_Text(IDC_GPS6_BEACON, m_strBeacon);
    DDX_Text(IDC_GPS6_STATUS, m_strStatus);
    SetTabScreens(IDC_GPS6_TAB, {SCR_GPS_1, SCR_GPS_2, SCR_GPS_3, SCR_GPS_4, SCR_GPS_5, SCR_GPS_6});
    OnControl(IDC_GPS6_GO, ui::BN_CLICKED, [this] { OnGo(); });
    m_strStatus = kClickGo;
}

CGPS_6::~CGPS_6() = default;

ui::BOOL CGPS_6::OnInitDialog() {
    CBaseDialog::OnInitDialog();
    // Every activation starts idle (iCaptureState below).
    KillTimer(kCaptureStepTimer);
    steps_.clear();
    GiveGoBack();
    if (FirstActivation()) {
        FillTabLabels(*this, IDC_GPS6_TAB,
                      {"Pos'n", "Sats", "Setup", "Precision", "Plot", "About"});
        SetPageFont(*this, Template());
        UpdateStatusStrip();
    }
    ShowDeviceName();
    SelectOwnTab();
    m_nTimer1 = SetTimer(kRefreshTimer, kRefreshMs);
    g_TxNMEA.OutputsOff(false);
    g_TxNMEA.SetBeaconStatus(1, false);
    platform::Sleep(50);
    g_TxNMEA.QueryApp(false);
    platform::Sleep(50);
    g_TxNMEA.QueryInfo();
    platform::Sleep(50);
    ActivationDone();
    iCaptureState = 0;
    return ui::TRUE;
}

void CGPS_6::OnCancel() {
    // A capture asked for but not begun is dropped with the screen.
    if (iCaptureState != 1) GiveGoBack();
    g_TxNMEA.SetBeaconStatus(0, false);
    KillTimer(m_nTimer1);
    KillTimer(m_nTimer2);
    CBaseDialog::OnCancel();
}

void CGPS_6::OnLButtonDown(ui::UINT flags, ui::Point point) {
    // The navigation bar waits while the receiver is on its other application.
    if (iCaptureState == 1) return;
    CBaseDialog::OnLButtonDown(flags, point);
}

void CGPS_6::OnClose() {
    if (iCaptureState == 1) return;
    CBaseDialog::OnClose();
}

void CGPS_6::OnTimer(ui::UINT id) {
    if (id == kCaptureStepTimer) {
        KillTimer(kCaptureStepTimer);
        if (iCaptureState != 1) return;
        // A timer that comes early waits out the rest: the receiver needs every pause whole.
        const auto left = static_cast<int32_t>(stepDue_ - platform::TickCount());
        if (left > 0) {
            SetOneShotTimer(kCaptureStepTimer, static_cast<ui::UINT>(left));
            return;
        }
        RunSteps();
        return;
    }
    if (iCaptureState == 1) return;
    if (iCaptureState == 2 && id == kLinkWatchTimer) return;
    if (id == kHoldOffTimer) {
        iCaptureState = 0;
        KillTimer(m_nTimer2);
    }
    if (!BeginScreenTick(id)) return;
    ShowInfo();
    EndScreenTick();
    if (m_bCapturePending) {
        CaptureFirmware();
        return;
    }
    if (id == kRefreshTimer) {
        g_TxNMEA.QueryApp(false);
        platform::Sleep(50);
        g_TxNMEA.QueryInfo();
        platform::Sleep(50);
    } else {
        CBaseDialog::OnTimer(id);
    }
    platform::Sleep(0);
}

void CGPS_6::ShowDeviceName() {
    int32_t type;
    {
        RecordLock lock(g_GPS.Info.ulPart1Lock);
        if (g_GPS.Info.eReceiverType < RECEIVER_GPS || g_GPS.Info.eReceiverType > 2)
            g_GPS.Info.eReceiverType = RECEIVER_GPS;
        type = g_GPS.Info.eReceiverType;
    }
    static constexpr const char* kNames[] = {"Varnholt GPS", "Varnholt Quillbar",
                                             "Varnholt Bluetooth"};
    m_strDevice = kNames[type];
    ShowInfo();
}

void CGPS_6::ShowInfo() {
    int32_t app, otherApp;
    std::string app1, app2, dsp, beacon;
    {
        GPSInfo& info = g_GPS.Info;
        RecordLock lock(info.ulPart1Lock);
        app = info.eRxApp;
        otherApp = info.eRxOtherApp;
        const LBandInfo& lb = info.LBand;
        app1 = Field(lb.szApp1Firmware, sizeof lb.szApp1Firmware);
        app2 = Field(lb.szApp2Firmware, sizeof lb.szApp2Firmware);
        dsp = Field(lb.szDspFirmware, sizeof lb.szDspFirmware);
        beacon = Field(info.Beacon.szBeaconFirmware, sizeof info.Beacon.szBeaconFirmware);
    }
    m_strApp1 = AppLine(app, app1);
    m_strApp2 = AppLine(otherApp, app2);
    m_strDsp = Found(dsp);
    m_strBeacon = Found(beacon);
    UpdateStatusStrip();
    UpdateData(ui::FALSE);
}

void CGPS_6::OnGo() {
    if (iCaptureState == 1 || m_bCapturePending) return;
    m_strStatus = kWait;
    m_bCapturePending = 1;
    EnableItem(IDC_GPS6_GO, false);
    UpdateData(ui::FALSE);
}

void CGPS_6::CaptureFirmware() {
    iCaptureState = 1;
    EnableItem(IDC_GPS6_GO, false);
    EnableItem(IDC_GPS6_TAB, false);
    SetAppFirmware(&LBandInfo::szApp1Firmware, ActiveAppFirmware());

    int nmeaBaud, otherBaud;
    {
        RecordLock lock(g_GPS.Info.ulPart1Lock);
        nmeaBaud = g_GPS.Info.Settings.WizardLive.iNMEABaudRate;
        otherBaud = g_GPS.Info.Settings.WizardLive.iRTCMBaudRate;
    }
    const bool bauds = nmeaBaud != otherBaud;
    const auto linkAlive = [this] {
        m_bNotFound = 0;
        theApp().bSentenceReceived = 1;
    };
    const auto progress = [this](int pos) {
        return [this, pos] { SetPos(IDC_GPS6_PROGRESS, pos); };
    };
    const auto send = [](const char* text) { return [text] { g_TxNMEA.SendString(text); }; };

    steps_.clear();
    if (bauds) {
        // The other port follows this port's baud while the applications switch.
        steps_.push_back({[nmeaBaud, linkAlive] {
                              g_TxNMEA.SetBaud(nmeaBaud, true);
                              linkAlive();
                          },
                          1000});
    }
    steps_.push_back({[this, linkAlive] {
                          SetRange(IDC_GPS6_PROGRESS, 0, kProgressMax);
                          SetStep(IDC_GPS6_PROGRESS, 1);
                          SetPos(IDC_GPS6_PROGRESS, 0);
                          ShowItem(IDC_GPS6_PROGRESS, true);
                          ShowItem(IDC_GPS6_STATUS, false);
                          linkAlive();
                          RecordLock lock(g_GPS.Info.ulPart1Lock);
                          m_eSavedCorrSource = g_GPS.Info.eCurCorrSource;
                      },
                      0});
    // The switch: the query's own 2000 ms, then 5000 ms for the application to start.
    steps_.push_back({send("$JAPP,OTHER\r\n"), 7000});
    steps_.push_back({progress(3), 0});
    steps_.push_back({[this] {
                          jiRepliesBefore_ = g_ulJIReplies.load();
                          g_TxNMEA.QueryInfo();
                      },
                      1000});
    steps_.push_back({[] { g_TxNMEA.QueryInfo(); }, 1000});
    steps_.push_back({progress(4), 0});
    steps_.push_back({[this] {
                          // Only a reply from the other application names its firmware.
                          const bool answered = g_ulJIReplies.load() != jiRepliesBefore_;
                          SetAppFirmware(&LBandInfo::szApp2Firmware,
                                         answered ? ActiveAppFirmware() : kUnavailable);
                      },
                      0});
    steps_.push_back({send("$JAPP,OTHER\r\n"), 7000});
    steps_.push_back({progress(7), 0});
    steps_.push_back({[] { g_TxNMEA.QueryApp(false); }, 500});
    steps_.push_back({[] { g_TxNMEA.QueryDiff(); }, 500});
    steps_.push_back({[this] { g_TxNMEA.SetDiffSource(m_eSavedCorrSource); }, 500});
    steps_.push_back({[] { g_TxNMEA.QueryApp(false); }, 1000});
    steps_.push_back({[] { g_TxNMEA.QueryApp(false); }, 1000});
    steps_.push_back({progress(kProgressMax), 0});
    steps_.push_back({[this] {
                          ShowItem(IDC_GPS6_PROGRESS, false);
                          ShowItem(IDC_GPS6_STATUS, true);
                      },
                      0});
    if (bauds) steps_.push_back({[otherBaud] { g_TxNMEA.SetBaud(otherBaud, true); }, 1000});
    nextStep_ = 0;
    RunSteps();
}

void CGPS_6::RunSteps() {
    while (nextStep_ < steps_.size()) {
        const Step& step = steps_[nextStep_++];
        step.action();
        if (step.waitMs > 0) {
            stepDue_ = platform::TickCount() + step.waitMs;
            SetOneShotTimer(kCaptureStepTimer, step.waitMs);
            return;
        }
    }
    FinishCapture();
}

void CGPS_6::GiveGoBack() {
    m_bCapturePending = 0;
    m_strStatus = kClickGo;
    EnableItem(IDC_GPS6_GO, true);
    EnableItem(IDC_GPS6_TAB, true);
    ShowItem(IDC_GPS6_PROGRESS, false);
    ShowItem(IDC_GPS6_STATUS, true);
    UpdateData(ui::FALSE);
}

void CGPS_6::FinishCapture() {
    steps_.clear();
    GiveGoBack();
    ShowInfo();
    iCaptureState = 2;
    m_nTimer2 = SetTimer(kHoldOffTimer, kHoldOffMs);
}
