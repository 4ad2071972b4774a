#include "screens/position/HEADING_2.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include "engine/gps.h"
#include "engine/txnmea.h"
#include "platform/clock.h"
#include "platform/numbers.h"
#include "resources/dlg_heading2.h"
#include "screens/position/HEADING_1.h"
#include "shell/ScreenPage.h"
#include "shell/Tessaray_PC.h"
#include "ui/fonts.h"
#include "ui/messagebox.h"

namespace {

constexpr ui::UINT kQueryTimer = 1;
constexpr ui::UINT kQueryMs = 1000;
constexpr int kResendTicks = 4;
constexpr uint32_t kReplyWaitMs = 1000;
constexpr uint32_t kSeparationWaitMs = 100;
constexpr double kNoLimit = std::numeric_limits<double>::infinity();

struct Flag {
    int id;
    const char* name;
    int32_t NavInfo::*field;
};
constexpr std::array<Flag, 5> kFlags{{{1146, "TILTAID", &NavInfo::bTiltAid},
                                      {1147, "GYROAID", &NavInfo::bGyroAid},
                                      {1149, "LEVEL", &NavInfo::bLevel},
                                      {1150, "NEGTILT", &NavInfo::bNegTilt},
                                      {1151, "FLIPBRD", &NavInfo::bFLIPBRD}}};

struct Value {
    int id;
    const char* name;
    float NavInfo::*field;
    double limit;  // the value is kept within -limit..limit; a bias has a finite one
};
constexpr std::array<Value, 8> kValues{{{1007, "HTAU", &NavInfo::fHDGTau, kNoLimit},
                                        {1030, "HRTAU", &NavInfo::fHDGRateTau, kNoLimit},
                                        {1031, "COGTAU", &NavInfo::fCOGTau, kNoLimit},
                                        {1034, "SPDTAU", &NavInfo::fSPDTau, kNoLimit},
                                        {1035, "HBIAS", &NavInfo::fHBias, kMaxHeadingBias},
                                        {1036, "PBIAS", &NavInfo::fPRBias, kMaxPitchRollBias},
                                        {1037, "MSEP", &NavInfo::fManSep, kNoLimit},
                                        {1038, "CSEP", &NavInfo::fCurSep, kNoLimit}}};
constexpr size_t kSeparationValue = 7;  // shown, queried every tick, never sent

struct Rate {
    int id;
    bool other;
    int32_t PortConfig::*field;
};
constexpr std::array<Rate, 6> kRates{{{1059, false, &PortConfig::eHEHDT},
                                      {1060, false, &PortConfig::eHEROT},
                                      {1061, false, &PortConfig::eHPR},
                                      {1063, true, &PortConfig::eHEHDT},
                                      {1064, true, &PortConfig::eHEROT},
                                      {1065, true, &PortConfig::eHPR}}};
constexpr std::array<const char*, 6> kRateItems{"OFF", "1 Hz", "5 Hz", "5 s", "10Hz", "20Hz"};
constexpr std::array<int32_t, 6> kItemToCode{0, 2, 3, 1, 4, 5};

int ItemOfCode(int32_t code) {
    for (size_t i = 0; i < kItemToCode.size(); ++i)
        if (kItemToCode[i] == code) return static_cast<int>(i);
    return -1;
}

// A number typed up to its exponent, as the edits show large and small values ("1e", "5e-").
bool ExponentInProgress(std::string_view text) {
    if (!text.empty() && (text.back() == '+' || text.back() == '-')) text.remove_suffix(1);
    if (text.empty() || (text.back() != 'e' && text.back() != 'E')) return false;
    text.remove_suffix(1);
    return platform::ParseDouble(text).has_value();
}

// A number still being typed: nothing to send yet and nothing to complain about. The biases
// may be negative, so a minus sign may end their text.
bool NumberInProgress(const std::string& text, bool signedValue) {
    return text.empty() || text.back() == '.' || (signedValue && text.back() == '-') ||
           ExponentInProgress(text);
}

PortConfig& Port(bool other) {
    WizardInfo& live = g_GPS.Info.Settings.WizardLive;
    return other ? live.OtherPortConfig : live.ThisPortConfig;
}

}  // namespace

CHEADING_2::CHEADING_2()
    : CBaseDialog(Heading2DialogTemplate(), ScreenFamily::Heading, SCR_HEADING_2) {
    SetTabScreens(IDC_HEADING_TAB, {SCR_HEADING_1, SCR_HEADING_2, SCR_HEADING_3});
    OnControl(IDC_HEADING2_PITCH, ui::BN_CLICKED, [this] { OnRoll(false); });
    OnControl(IDC_HEADING2_ROLL, ui::BN_CLICKED, [this] { OnRoll(true); });
    for (size_t i = 0; i < kFlags.size(); ++i)
        OnControl(kFlags[i].id, ui::BN_CLICKED, [this, i] { OnFlag(i); });
    for (size_t i = 0; i < kValues.size(); ++i)
        if (i != kSeparationValue)
            OnControl(kValues[i].id, ui::EN_CHANGE, [this, i] { OnValueEdit(i); });
    for (size_t i = 0; i < kRates.size(); ++i)
        OnControl(kRates[i].id, ui::CBN_SELCHANGE, [this, i] { OnRate(i); });
}

CHEADING_2::~CHEADING_2() = default;

void CHEADING_2::QueryAll(bool paced) {
    g_TxNMEA.QueryRoll();
    if (paced) platform::Sleep(10);
    for (const Flag& f : kFlags) {
        g_TxNMEA.QueryAttitude(f.name);
        if (paced) platform::Sleep(10);
    }
    for (const Value& v : kValues) {
        g_TxNMEA.QueryAttitude(v.name);
        if (paced) platform::Sleep(10);
    }
    g_TxNMEA.QueryDiff();
}

ui::BOOL CHEADING_2::OnInitDialog() {
    CBaseDialog::OnInitDialog();
    QueryAll(false);
    if (FirstActivation()) {
        FillTabLabels(*this, IDC_HEADING_TAB, {"Status", "Setup", "Plot"});
        SetPageFont(*this, Template());
        UpdateStatusStrip();
    }
    SelectOwnTab();
    // The page shows what the record holds while the replies come in.
    LoadSettings();
    RepaintNow();
    platform::Sleep(kReplyWaitMs);
    m_iTick = 0;
    LoadSettings();
    m_nTimer1 = SetTimer(kQueryTimer, kQueryMs);
    ActivationDone();
    return ui::TRUE;
}

void CHEADING_2::OnCancel() {
    KillTimer(kQueryTimer);
    CBaseDialog::OnCancel();
}

void CHEADING_2::ShowValue(size_t value, float v) {
    const int id = kValues[value].id;
    if (value == kSeparationValue)
        SetDlgItemText(id, platform::Format("%.3f", static_cast<double>(v)));
    else
        SetDlgItemText(id, platform::Format("%g", static_cast<double>(v)));
}

void CHEADING_2::LoadSettings() {
    std::array<float, kValues.size()> values{};
    {
        const NavInfo& nav = g_GPS.Info.Nav;
        RecordLock lock(g_GPS.Info.Nav.ulNavLock);
        m_iRoll = nav.bRollOutput != 0 ? 1 : 0;
        for (size_t i = 0; i < kFlags.size(); ++i) m_bFlags[i] = nav.*kFlags[i].field != 0;
        for (size_t i = 0; i < kValues.size(); ++i) values[i] = nav.*kValues[i].field;
        m_fCurSep = nav.fCurSep;
        UpdateStatusStrip();
    }
    CheckRadioButton(IDC_HEADING2_PITCH, IDC_HEADING2_ROLL,
                     m_iRoll ? IDC_HEADING2_ROLL : IDC_HEADING2_PITCH);
    for (size_t i = 0; i < kFlags.size(); ++i) CheckDlgButton(kFlags[i].id, m_bFlags[i]);
    for (size_t i = 0; i < kValues.size(); ++i) ShowValue(i, values[i]);
    for (const Rate& r : kRates) {
        ResetContent(r.id);
        for (const char* item : kRateItems) AddString(r.id, item);
        // A code outside the list (negative included) leaves the combo without a choice.
        int32_t code = 0;
        {
            RecordLock lock(g_GPS.Info.ulPart1Lock);
            code = Port(r.other).*r.field;
        }
        SetCurSel(r.id, ItemOfCode(code));
    }
}

void CHEADING_2::OnTimer(ui::UINT id) {
    if (!BeginScreenTick(id)) return;
    UpdateStatusStrip();
    theApp().iHeadingAge.fetch_add(1);
    if (id == kQueryTimer) {
        if (m_iTick < kResendTicks) {
            ++m_iTick;
        } else {
            m_iTick = 0;
            QueryAll(true);
        }
    } else {
        CBaseDialog::OnTimer(id);
    }
    // The separation is shown a tick after its query: the reply needs the time.
    g_TxNMEA.QueryAttitude(kValues[kSeparationValue].name);
    platform::Sleep(kSeparationWaitMs);
    {
        RecordLock lock(g_GPS.Info.Nav.ulNavLock);
        m_fCurSep = g_GPS.Info.Nav.fCurSep;
    }
    ShowValue(kSeparationValue, m_fCurSep);
    EndScreenTick();
}

void CHEADING_2::OnRoll(bool roll) {
    g_TxNMEA.SetRoll(roll);
    m_iRoll = roll ? 1 : 0;
    CheckRadioButton(IDC_HEADING2_PITCH, IDC_HEADING2_ROLL,
                     roll ? IDC_HEADING2_ROLL : IDC_HEADING2_PITCH);
}

void CHEADING_2::OnFlag(size_t flag) {
    // The record follows when the receiver answers; clicks in a row alternate.
    m_bFlags[flag] = !m_bFlags[flag];
    g_TxNMEA.SetAttitudeFlag(kFlags[flag].name, m_bFlags[flag] != 0);
    CheckDlgButton(kFlags[flag].id, m_bFlags[flag]);
}

void CHEADING_2::OnValueEdit(size_t value) {
    const Value& v = kValues[value];
    const std::string text = GetDlgItemText(v.id);
    if (NumberInProgress(text, std::isfinite(v.limit))) return;
    // The edits show "%g", so what they show is taken back.
    const std::optional<double> parsed = platform::ParseDoubleOrExponent(text);
    if (!parsed || std::fabs(*parsed) > std::numeric_limits<float>::max()) {
        ui::MessageBox("Please enter a number.", ui::MB_OK | ui::MB_ICONEXCLAMATION);
        return;
    }
    const double clamped = std::clamp(*parsed, -v.limit, v.limit);
    const float stored = static_cast<float>(clamped);
    {
        RecordLock lock(g_GPS.Info.Nav.ulNavLock);
        g_GPS.Info.Nav.*v.field = stored;
    }
    g_TxNMEA.SetAttitudeValue(v.name, stored);
    if (clamped != *parsed) ShowValue(value, stored);
}

void CHEADING_2::OnRate(size_t combo) {
    const int sel = GetCurSel(kRates[combo].id);
    if (sel < 0 || sel >= static_cast<int>(kItemToCode.size())) return;
    {
        RecordLock lock(g_GPS.Info.ulPart1Lock);
        Port(kRates[combo].other).*kRates[combo].field = kItemToCode[static_cast<size_t>(sel)];
    }
    g_GPS.SendChangedConfig(g_GPS.Info.Settings.WizardLive);
}
