#include "screens/position/GPS_3.h"

#include <algorithm>
#include <array>
#include <optional>

#include "engine/Profile.h"
#include "engine/gps.h"
#include "engine/txnmea.h"
#include "platform/clock.h"
#include "platform/numbers.h"
#include "platform/trace.h"
#include "resources/dlg_gps3.h"
#include "shell/DiffSource.h"
#include "shell/FileOpenDlg.h"
#include "shell/SaveProfile.h"
#include "shell/ScreenPage.h"
#include "shell/Tessaray_PC.h"
#include "ui/messagebox.h"

const int kGps3ThisPortCombos[11] = {1035, 1036, 1037, 1038, 1039, 1040,
                                     1041, 1049, 1050, 1051, 1052};
const int kGps3OtherPortCombos[11] = {1053, 1054, 1055, 1056, 1057, 1058,
                                      1059, 1060, 1061, 1062, 1063};

namespace {

constexpr ui::UINT kRefreshTimer = 1;
constexpr ui::UINT kRefreshMs = 1000;
constexpr int kKindOpen = 3;
constexpr int kFileTypeConfigOpen = 6;
constexpr int kBaudPauseMs = 500;
constexpr int kMaxElevation = 90;

// Rows that offer the full list of rates; the others offer "OFF" and "1 Hz".
struct RateRow {
    int32_t PortConfig::*field;
    bool full;
};
constexpr std::array<RateRow, 11> kRateRows{{{&PortConfig::eGGA, true},
                                             {&PortConfig::eGLL, true},
                                             {&PortConfig::eGSA, false},
                                             {&PortConfig::eGST, false},
                                             {&PortConfig::eGSV, false},
                                             {&PortConfig::eRMC, true},
                                             {&PortConfig::eRRE, false},
                                             {&PortConfig::eVTG, true},
                                             {&PortConfig::eZDA, true},
                                             {&PortConfig::eBIN95, false},
                                             {&PortConfig::eBIN96, false}}};

// Combo item index to eRateCode and back.
constexpr std::array<int32_t, 6> kIndexCode{RATE_OFF, RATE_1HZ,  RATE_5HZ,
                                            RATE_5S,  RATE_10HZ, RATE_20HZ};
constexpr std::array<const char*, 6> kRateTexts{"OFF", "1 Hz", "5 Hz", "5 s", "10 Hz", "20 Hz"};

int RateIndex(int32_t code, bool has20Hz) {
    if (code == RATE_20HZ && !has20Hz) return 4;
    for (size_t i = 0; i < kIndexCode.size(); ++i)
        if (kIndexCode[i] == code) return static_cast<int>(i);
    return -1;
}

int BaudIndex(int baud) {
    const auto it = std::find(kOfferedBauds.begin(), kOfferedBauds.end(), baud);
    return it == kOfferedBauds.end() ? -1 : static_cast<int>(it - kOfferedBauds.begin());
}

WizardInfo& Live() {
    return g_GPS.Info.Settings.WizardLive;
}

// The number typed into the mask or age edit; nullopt while it is still being typed (empty,
// a trailing decimal point) or, after the box that the dialog's integer exchange shows, when
// it is no whole number of an int (a lone minus too).
std::optional<int> TypedWholeNumber(const std::string& text) {
    if (text.empty() || text.back() == '.') return std::nullopt;
    const std::optional<int> value = platform::ParseInt(text);
    if (!value) ui::MessageBox("Please enter an integer.", ui::MB_OK | ui::MB_ICONEXCLAMATION);
    return value;
}

}  // namespace

CGPS_3::CGPS_3() : CBaseDialog(Gps3DialogTemplate(), ScreenFamily::Gps, SCR_GPS_3) {
    DDX_Text(IDC_GPS3_PROFILE, m_strProfile);
    SetTabScreens(IDC_GPS3_TAB, {SCR_GPS_1, SCR_GPS_2, SCR_GPS_3, SCR_GPS_4, SCR_GPS_5, SCR_GPS_6});
    for (int row = 0; row < static_cast<int>(kRateRows.size()); ++row) {
        OnControl(kGps3ThisPortCombos[row], ui::CBN_SELCHANGE, [this, row] { OnRate(row, false); });
        OnControl(kGps3OtherPortCombos[row], ui::CBN_SELCHANGE, [this, row] { OnRate(row, true); });
    }
    OnControl(IDC_GPS3_ALL_OFF_THIS, ui::BN_CLICKED, [this] { OnAllOff(false); });
    OnControl(IDC_GPS3_ALL_OFF_OTHER, ui::BN_CLICKED, [this] { OnAllOff(true); });
    OnControl(IDC_GPS3_BAUD_THIS, ui::CBN_SELCHANGE, [this] { OnThisPortBaud(); });
    OnControl(IDC_GPS3_BAUD_OTHER, ui::CBN_SELCHANGE, [this] { OnOtherPortBaud(); });
    OnControl(IDC_GPS3_ELEVATION, ui::EN_CHANGE, [this] { OnElevation(); });
    OnControl(IDC_GPS3_MAX_AGE, ui::EN_CHANGE, [this] { OnMaxAge(); });
    OnControl(IDC_GPS3_LOAD, ui::BN_CLICKED, [this] { OnLoadProfile(); });
    OnControl(IDC_GPS3_SAVE, ui::BN_CLICKED, [this] { OnSaveProfile(); });
}

CGPS_3::~CGPS_3() = default;

ui::BOOL CGPS_3::OnInitDialog() {
    CBaseDialog::OnInitDialog();
    if (FirstActivation()) {
        FillTabLabels(*this, IDC_GPS3_TAB,
                      {"Pos'n", "Sats", "Setup", "Precision", "Plot", "About"});
        SetPageFont(*this, Template());
        UpdateStatusStrip();
    }
    FillControls();
    SelectOwnTab();
    m_nTimer1 = SetTimer(kRefreshTimer, kRefreshMs);
    ActivationDone();
    return ui::TRUE;
}

void CGPS_3::OnCancel() {
    KillTimer(m_nTimer1);
    CBaseDialog::OnCancel();
}

void CGPS_3::OnTimer(ui::UINT id) {
    if (!BeginScreenTick(id)) return;
    if (id == kRefreshTimer) {
        UpdateStatusStrip();
        if (!IsComboDroppedDown(IDC_GPS3_BAUD_THIS)) SelectThisPortBaud();
        g_TxNMEA.QueryDiff();
    } else {
        CBaseDialog::OnTimer(id);
    }
    EndScreenTick();
}

void CGPS_3::FillControls() {
    const bool has20Hz = bHas20HzOption();
    WizardInfo w;
    {
        RecordLock lock(g_GPS.Info.ulPart1Lock);
        WizardInfo& live = Live();
        live.iElevation = std::clamp(live.iElevation, 0, kMaxElevation);
        live.iMaxAge = std::max(live.iMaxAge, 0);
        w = live;
    }
    for (size_t row = 0; row < kRateRows.size(); ++row) {
        const RateRow& r = kRateRows[row];
        const size_t choices = !r.full ? 2 : has20Hz ? 6 : 5;
        const std::pair<int, const PortConfig*> ports[] = {
            {kGps3ThisPortCombos[row], &w.ThisPortConfig},
            {kGps3OtherPortCombos[row], &w.OtherPortConfig}};
        for (const auto& [combo, config] : ports) {
            ResetContent(combo);
            for (size_t i = 0; i < choices; ++i) AddString(combo, kRateTexts[i]);
            const int index = RateIndex(config->*r.field, has20Hz);
            SetCurSel(combo, index < static_cast<int>(choices) ? index : -1);
        }
    }
    for (int combo : {IDC_GPS3_BAUD_THIS, IDC_GPS3_BAUD_OTHER}) {
        ResetContent(combo);
        for (int baud : kOfferedBauds) AddString(combo, platform::Format("%d", baud));
    }
    SetCurSel(IDC_GPS3_BAUD_THIS, BaudIndex(w.iNMEABaudRate));
    SetCurSel(IDC_GPS3_BAUD_OTHER, BaudIndex(w.iRTCMBaudRate));
    m_iElevation = w.iElevation;
    m_iMaxAge = w.iMaxAge;
    SetDlgItemInt(IDC_GPS3_ELEVATION, m_iElevation);
    SetDlgItemInt(IDC_GPS3_MAX_AGE, m_iMaxAge);
    UpdateData(ui::FALSE);
}

void CGPS_3::SelectThisPortBaud() {
    int baud;
    {
        RecordLock lock(g_GPS.Info.ulPart1Lock);
        baud = Live().iNMEABaudRate;
    }
    SetCurSel(IDC_GPS3_BAUD_THIS, BaudIndex(baud));
}

void CGPS_3::OnRate(int row, bool otherPort) {
    const int combo = (otherPort ? kGps3OtherPortCombos : kGps3ThisPortCombos)[row];
    const int sel = GetCurSel(combo);
    if (sel < 0 || sel >= static_cast<int>(kIndexCode.size())) return;
    {
        RecordLock lock(g_GPS.Info.ulPart1Lock);
        PortConfig& port = otherPort ? Live().OtherPortConfig : Live().ThisPortConfig;
        port.*kRateRows[static_cast<size_t>(row)].field = kIndexCode[static_cast<size_t>(sel)];
    }
    g_GPS.SendChangedConfig(Live());
}

void CGPS_3::OnAllOff(bool otherPort) {
    {
        RecordLock lock(g_GPS.Info.ulPart1Lock);
        PortConfig& port = otherPort ? Live().OtherPortConfig : Live().ThisPortConfig;
        for (const RateRow& r : kRateRows) port.*r.field = RATE_OFF;
        port.bRTCM = 0;
        port.ulLastWord = 0;
    }
    FillControls();
    g_GPS.SendChangedConfig(Live());
}

void CGPS_3::OnOtherPortBaud() {
    const int sel = GetCurSel(IDC_GPS3_BAUD_OTHER);
    if (sel < 0 || sel >= static_cast<int>(kOfferedBauds.size())) return;
    {
        RecordLock lock(g_GPS.Info.ulPart1Lock);
        Live().iRTCMBaudRate = kOfferedBauds[static_cast<size_t>(sel)];
    }
    g_GPS.SendChangedConfig(Live());
}

void CGPS_3::OnThisPortBaud() {
    const int sel = GetCurSel(IDC_GPS3_BAUD_THIS);
    if (sel < 0 || sel >= static_cast<int>(kOfferedBauds.size())) return;
    const int baud = kOfferedBauds[static_cast<size_t>(sel)];
    int oldBaud;
    {
        RecordLock lock(g_GPS.Info.ulPart1Lock);
        oldBaud = Live().iNMEABaudRate;
        Live().iNMEABaudRate = baud;
    }
    if (ui::MessageBox("You have chosen to change the baud rates.\n Do you want to continue?",
                       ui::MB_OKCANCEL) != ui::IDOK) {
        {
            RecordLock lock(g_GPS.Info.ulPart1Lock);
            Live().iNMEABaudRate = oldBaud;
        }
        SelectThisPortBaud();
        return;
    }
    ChangeThisPortBaud(baud, oldBaud);
}

void CGPS_3::ChangeThisPortBaud(int baud, int oldBaud) {
    GPSInfo& info = g_GPS.Info;
    RepaintNow();
    const bool modem = ModemProbe() != ui::FALSE;
    int32_t type;
    {
        RecordLock lock(info.ulPart1Lock);
        type = info.eReceiverType;
    }
    if (modem && type == RECEIVER_BLUETOOTH) {
        for (int i = 0; i < 2; ++i) {
            g_TxNMEA.SetBaud(baud, false);
            platform::Sleep(kBaudPauseMs);
        }
        ModemSetBaud(baud);
        SetTargetBaud(baud);
    } else if (!modem && type != RECEIVER_BLUETOOTH) {
        g_TxNMEA.SetBaud(baud, false);
        platform::Sleep(kBaudPauseMs);
        int port;
        {
            RecordLock lock(info.Nav.ulNavLock);
            info.Nav.usNavMode = 0;
            info.eCurCorrSource = CORR_NONE;
            port = info.iComPort;
            info.Comm.iOpenComPort = port;
            info.Comm.iOpenBaudRate = baud;
        }
        Reconnect(port, baud);
        g_GPS.SendChangedConfig(Live());
        SetTargetBaud(baud);
    } else {
        ui::MessageBox(
            "You have chosen either the incorrect receiver type or incorrect data mode, "
            "operation failed!",
            ui::MB_OK);
        {
            RecordLock lock(info.ulPart1Lock);
            Live().iNMEABaudRate = oldBaud;
        }
        SelectThisPortBaud();
    }
}

void CGPS_3::OnElevation() {
    const std::optional<int> value = TypedWholeNumber(GetDlgItemText(IDC_GPS3_ELEVATION));
    if (!value) return;
    const int mask = std::clamp(*value, 0, kMaxElevation);
    {
        RecordLock lock(g_GPS.Info.ulPart1Lock);
        Live().iElevation = mask;
    }
    m_iElevation = mask;
    // Rewritten only when clamped, so the caret stays where the user types.
    if (mask != *value) SetDlgItemInt(IDC_GPS3_ELEVATION, mask);
    g_GPS.SendChangedConfig(Live());
}

void CGPS_3::OnMaxAge() {
    const std::optional<int> value = TypedWholeNumber(GetDlgItemText(IDC_GPS3_MAX_AGE));
    if (!value) return;
    const int age = std::max(*value, 0);
    {
        RecordLock lock(g_GPS.Info.ulPart1Lock);
        Live().iMaxAge = age;
    }
    m_iMaxAge = age;
    if (age != *value) SetDlgItemInt(IDC_GPS3_MAX_AGE, age);
    g_GPS.SendChangedConfig(Live());
}

bool CGPS_3::SaveProfileAs(std::string& name) {
    return BrowseAndSaveProfile(name);
}

void CGPS_3::OnSaveProfile() {
    SaveProfileAs(m_strProfile);
    UpdateData(ui::FALSE);
}

void CGPS_3::OnLoadProfile() {
    CFileOpenDlg dlg;
    dlg.SetKind(kKindOpen);
    dlg.SetFileType(kFileTypeConfigOpen);
    dlg.SetFilter("*.rcf");
    dlg.SetFolder(m_strProfile);
    if (dlg.DoModal() != ui::IDOK) return;
    const std::string path = dlg.GetPathName();
    m_strProfile = path;
    UpdateData(ui::FALSE);

    int oldBaud;
    {
        RecordLock lock(g_GPS.Info.ulPart1Lock);
        oldBaud = Live().iNMEABaudRate;
    }
    CProfile profile;
    if (!profile.Load(path)) {
        if (!profile.RefusedValue().empty()) {
            ui::MessageBox("The receiver configuration file\n" + path + "\nwas not loaded: " +
                               profile.RefusedValue() + ".\nNothing was sent.",
                           ui::MB_OK);
        } else {
            ui::MessageBox("Could not read the receiver configuration file\n" + profile.LastError(),
                           ui::MB_OK);
        }
        FillControls();
        return;
    }
    int loadedBaud;
    {
        RecordLock lock(g_GPS.Info.ulPart1Lock);
        WizardInfo& live = Live();
        live.iElevation = std::clamp(live.iElevation, 0, kMaxElevation);
        live.iMaxAge = std::max(live.iMaxAge, 0);
        loadedBaud = live.iNMEABaudRate;
    }
    if (loadedBaud != OpenPortBaud()) ChangeThisPortBaud(loadedBaud, oldBaud);
    g_GPS.SendConfig(Live());
    FillControls();
}
