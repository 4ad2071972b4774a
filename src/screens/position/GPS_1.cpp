#include "screens/position/GPS_1.h"

#include <time.h>

#include <array>
#include <cmath>
#include <memory>

#include "engine/gps.h"
#include "engine/txnmea.h"
#include "platform/clock.h"
#include "platform/numbers.h"
#include "platform/trace.h"
#include "resources/dlg_gps1.h"
#include "screens/position/GPS_5.h"
#include "screens/position/register_gps.h"
#include "shell/CoordFormat.h"
#include "shell/DiffSource.h"
#include "shell/Tessaray_PC.h"
#include "ui/controls.h"
#include "ui/fonts.h"
#include "ui/pictures.h"

namespace {

constexpr ui::UINT kRefreshTimer = 1;
constexpr ui::UINT kRefreshMs = 171;
constexpr ui::UINT kPollTimer = 2;
constexpr ui::UINT kPollMs = 2000;

constexpr int kRateOn = 2;  // eRateCode: 1 Hz
constexpr int kRateOff = 0;
constexpr int kBinaryDop = 2;

constexpr std::array<float, 2> kDistanceFactors{1.0f, 3.28f};
constexpr std::array<float, 3> kSpeedFactors{1.0f, 0.6215f, 0.54f};
constexpr std::array<float, 4> kConfidenceFactors{1.0f, 2.0f, 0.8f, 3.0f};

constexpr int kOffsetCount = 49;  // 12.0 down to -12.0 hours in half hours
constexpr const char* kSigmaText = "1 \xCF\x83";

constexpr std::array<eScreen, 6> kTabs{SCR_GPS_1, SCR_GPS_2, SCR_GPS_3,
                                       SCR_GPS_4, SCR_GPS_5, SCR_GPS_6};
constexpr std::array<const char*, 6> kTabLabels{"Pos'n",     "Sats", "Setup",
                                                "Precision", "Plot", "About"};

constexpr int kFontIds[] = {1001, 1002, 1003, 1007, 1008, 1009, 1010, 1011, 1012, 1013, 1014, 1015,
                            1016, 1017, 1018, 1021, 1022, 1023, 1024, 1025, 1026, 1027, 1028, 1029,
                            1030, 1031, 1032, 1035, 1036, 1038, 1039, 1040, 1042, 1049, 1050};

template <size_t N>
bool InList(int index, const std::array<float, N>&) {
    return index >= 0 && index < static_cast<int>(N);
}

}  // namespace

CGPS_1::CGPS_1() : CBaseDialog(Gps1DialogTemplate(), ScreenFamily::Gps, SCR_GPS_1) {
    DDX_Text(IDC_GPS1_DATE, m_strDate);
    DDX_Text(IDC_GPS1_TIME, m_strTime);
    DDX_Text(IDC_GPS1_LAT, m_strLat);
    DDX_Text(IDC_GPS1_LON, m_strLon);
    DDX_Text(IDC_GPS1_ALT, m_strAlt);
    DDX_Text(IDC_GPS1_SPEED, m_strSpeed);
    DDX_Text(IDC_GPS1_COURSE, m_strCourse);
    DDX_Text(IDC_GPS1_HEADING, m_strHeading);
    DDX_Text(IDC_GPS1_PRECISION, m_strPrecision);
    DDX_Text(IDC_GPS1_HDOP, m_strHDOP);
    DDX_Text(IDC_GPS1_DIFFAGE, m_strDiffAge);

    OnNotify(IDC_GPS1_TAB, ui::TCN_SELCHANGE, [this](const ui::Notification&) { OnTabChange(); });
    OnControl(IDC_GPS1_TIME_DISPLAY, ui::CBN_SELCHANGE, [this] { OnTimeDisplay(); });
    OnControl(IDC_GPS1_OFFSET, ui::CBN_SELCHANGE, [this] { OnOffset(); });
    OnControl(IDC_GPS1_COORD_FORMAT, ui::CBN_SELCHANGE, [this] { OnCoordFormat(); });
    OnControl(IDC_GPS1_DISTANCE_UNIT, ui::CBN_SELCHANGE, [this] { OnDistanceUnit(); });
    OnControl(IDC_GPS1_SPEED_UNIT, ui::CBN_SELCHANGE, [this] { OnSpeedUnit(); });
    OnControl(IDC_GPS1_CONFIDENCE, ui::CBN_SELCHANGE, [this] { OnConfidence(); });
    OnControl(IDC_DIFF_SOURCE, ui::CBN_SELCHANGE, [this] { OnDiffSource(); });
    OnControl(IDC_GPS1_PAUSE, ui::STN_CLICKED, [this] { OnPause(true); });
    OnControl(IDC_GPS1_RESUME, ui::STN_CLICKED, [this] { OnPause(false); });
}

CGPS_1::~CGPS_1() = default;

ui::BOOL CGPS_1::OnInitDialog() {
    CBaseDialog::OnInitDialog();
    if (FirstActivation()) FirstActivationSetup();

    FillOptionCombos();
    SetCurSel(IDC_GPS1_TAB, 0);
    m_bPaused = 0;
    ShowItem(IDC_GPS1_PAUSE, true);
    ShowItem(IDC_GPS1_RESUME, false);
    m_nTimer1 = SetTimer(kRefreshTimer, kRefreshMs);
    m_nTimer2 = SetTimer(kPollTimer, kPollMs);

    g_TxNMEA.SetMessageRate(kRateOn, "GPVTG", false);
    g_TxNMEA.SetMessageRate(kRateOn, "GPGST", false);
    g_TxNMEA.SetMessageRate(kRateOn, "GPGGA", false);
    g_TxNMEA.SetBinaryRate(kRateOn, kBinaryDop, false);
    g_TxNMEA.QueryApp(false);
    g_TxNMEA.QueryDiff();

    ActivationDone();
    return ui::TRUE;
}

void CGPS_1::FirstActivationSetup() {
    DeleteAllItems(IDC_GPS1_TAB);
    for (size_t i = 0; i < kTabLabels.size(); ++i)
        InsertItem(IDC_GPS1_TAB, static_cast<int>(i), kTabLabels[i]);
    // "Tahoma" 8 point is the dialog font itself, which grows with the window's scale.
    QFont font = Widget()->font();
    font.setFamily(ui::SubstituteFamily("Tahoma"));
    for (int id : kFontIds) SetItemFont(id, font);
    // The read-outs change every 171 ms: the frame under them is drawn once per size.
    if (auto* background = Item<ui::Picture>(IDC_BACKGROUND)) background->setKeepRendered(true);
    UpdateStatusStrip();
}

void CGPS_1::FillOptionCombos() {
    InitDiffSourceCombo(this, IDC_DIFF_SOURCE);

    ResetContent(IDC_GPS1_TIME_DISPLAY);
    AddString(IDC_GPS1_TIME_DISPLAY, "Local");
    AddString(IDC_GPS1_TIME_DISPLAY, "UTC");
    ResetContent(IDC_GPS1_OFFSET);
    for (int i = 0; i < kOffsetCount; ++i)
        AddString(IDC_GPS1_OFFSET, platform::Format("%.1f", 12.0 - 0.5 * i));
    ResetContent(IDC_GPS1_COORD_FORMAT);
    for (const char* s : {"DM.M", "D.D", "DMS"}) AddString(IDC_GPS1_COORD_FORMAT, s);
    ResetContent(IDC_GPS1_DISTANCE_UNIT);
    for (const char* s : {"Meters", "Feet"}) AddString(IDC_GPS1_DISTANCE_UNIT, s);
    ResetContent(IDC_GPS1_SPEED_UNIT);
    for (const char* s : {"KMH", "MPH", "KNOTS"}) AddString(IDC_GPS1_SPEED_UNIT, s);
    ResetContent(IDC_GPS1_CONFIDENCE);
    for (const char* s : {kSigmaText, "95%", "CEP", "99%"}) AddString(IDC_GPS1_CONFIDENCE, s);

    Refresh();
    SelectOptionsFromRecord();
    UpdateData(ui::FALSE);
}

void CGPS_1::SelectOptionsFromRecord() {
    GPSInfo& info = g_GPS.Info;
    RecordLock lock(info.Nav.ulNavLock);
    if (info.eTimeDisplay == 0) {
        SetCurSel(IDC_GPS1_TIME_DISPLAY, 0);
        ShowOffset(true);
    } else if (info.eTimeDisplay == 1) {
        SetCurSel(IDC_GPS1_TIME_DISPLAY, 1);
        ShowOffset(false);
    }
    if (std::isfinite(info.fLocalTimeOffset)) {
        const int offset = static_cast<int>(2.0 * (12.0 - info.fLocalTimeOffset) + 0.1);
        if (offset >= 0 && offset < kOffsetCount) SetCurSel(IDC_GPS1_OFFSET, offset);
    }
    if (info.eCoordFormat >= 0 && info.eCoordFormat <= 2)
        SetCurSel(IDC_GPS1_COORD_FORMAT, info.eCoordFormat);
    if (InList(info.eDistanceUnit, kDistanceFactors)) {
        SetCurSel(IDC_GPS1_DISTANCE_UNIT, info.eDistanceUnit);
        m_fDistanceFactor = kDistanceFactors[static_cast<size_t>(info.eDistanceUnit)];
    }
    if (InList(info.eSpeedUnit, kSpeedFactors)) {
        SetCurSel(IDC_GPS1_SPEED_UNIT, info.eSpeedUnit);
        m_fSpeedFactor = kSpeedFactors[static_cast<size_t>(info.eSpeedUnit)];
    }
    if (InList(info.eAccuracyLevel, kConfidenceFactors)) {
        SetCurSel(IDC_GPS1_CONFIDENCE, info.eAccuracyLevel);
        m_fConfidenceFactor = kConfidenceFactors[static_cast<size_t>(info.eAccuracyLevel)];
    }
}

void CGPS_1::ShowOffset(bool show) {
    ShowItem(IDC_GPS1_OFFSET_LABEL, show);
    ShowItem(IDC_GPS1_OFFSET, show);
}

void CGPS_1::OnCancel() {
    KillOwnTimers();
    g_TxNMEA.SetMessageRate(kRateOff, "GPVTG", false);
    g_TxNMEA.SetMessageRate(kRateOff, "GPGST", false);
    g_TxNMEA.SetMessageRate(kRateOff, "GPGGA", false);
    g_TxNMEA.SetBinaryRate(kRateOff, kBinaryDop, false);
    CBaseDialog::OnCancel();
}

void CGPS_1::OnTimer(ui::UINT id) {
    if (!BeginScreenTick(id)) return;
    if (id == kRefreshTimer) {
        if (!m_bPaused) Refresh();
    } else if (id == kPollTimer) {
        g_TxNMEA.QueryApp(false);
        g_TxNMEA.QueryDiff();
        platform::Sleep(10);
    } else {
        CBaseDialog::OnTimer(id);
    }
    EndScreenTick();
}

void CGPS_1::Refresh() {
    CTessaray_PCApp& app = theApp();
    GPSInfo& info = g_GPS.Info;
    NavInfo& nav = info.Nav;
    RecordLock lock(nav.ulNavLock);
    if (app.bDemoMode.load()) {
        nav.cLatDir = kDemoLatDir;
        nav.iLatDeg = kDemoLatDeg;
        nav.dLatMin = kDemoLatMin;
        nav.cLonDir = kDemoLonDir;
        nav.iLonDeg = kDemoLonDeg;
        nav.dLonMin = kDemoLonMin;
        nav.fAltitude = kDemoAltitude;
    }
    SelectDiffSourceItem(this, IDC_DIFF_SOURCE);

    const bool utc = info.eTimeDisplay != 0;
    int month = utc ? nav.iMonth : nav.iLocalMonth;
    int day = utc ? nav.iDay : nav.iLocalDay;
    int year = utc ? nav.iYear : nav.iLocalYear;
    if (nav.iYear == 0) {
        // No date from the receiver yet: the computer's date stands in.
        const time_t now = time(nullptr);
        struct tm local {};
        if (localtime_r(&now, &local)) {
            month = local.tm_mon + 1;
            day = local.tm_mday;
            year = local.tm_year + 1900;
        }
    }
    m_strDate = platform::Format("%2d/%02d/%4d", month, day, year);
    if (utc)
        m_strTime = platform::Format("%2d:%02d:%02d", nav.iHour, nav.iMinute, nav.iSecond);
    else
        m_strTime =
            platform::Format("%2d:%02d:%02d", nav.iLocalHour, nav.iLocalMinute, nav.iLocalSecond);

    // The demo position is stored with hemisphere letters, whatever the receiver sent before.
    const bool signedDegrees = app.bBin1Position.load() != 0 && !app.bDemoMode.load();
    m_strLat = FormatCoordinate(info.eCoordFormat,
                                CoordValue{nav.iLatDeg, nav.dLatMin, nav.cLatDir, signedDegrees});
    m_strLon = FormatCoordinate(info.eCoordFormat,
                                CoordValue{nav.iLonDeg, nav.dLonMin, nav.cLonDir, signedDegrees});

    m_strAlt = platform::Format("%10.3lf", static_cast<double>(nav.fAltitude * m_fDistanceFactor));
    m_strSpeed = platform::Format("%f", static_cast<double>(nav.fSpeedKmh * m_fSpeedFactor));
    m_strCourse = platform::Format("%f", static_cast<double>(nav.fCourse));
    m_strHeading = g_GPS.ReceiverType() == RECEIVER_HEADING
                       ? platform::Format("%f", static_cast<double>(nav.fHeading))
                       : std::string("N/A");
    // Precision stays in metres whatever the distance unit.
    const double latErr = nav.fGSTLatErr;
    const double lonErr = nav.fGSTLonErr;
    m_strPrecision =
        platform::Format("%f", std::sqrt(latErr * latErr + lonErr * lonErr) * m_fConfidenceFactor);
    m_strHDOP = platform::Format("%10.3lf", static_cast<double>(nav.fHDOP));
    m_strDiffAge = platform::Format("%10.3lf", static_cast<double>(nav.fDiffAge));

    UpdateStatusStrip();
    UpdateData(ui::FALSE);
}

void CGPS_1::OnTabChange() {
    const int index = GetCurSel(IDC_GPS1_TAB);
    if (index <= 0 || index >= static_cast<int>(kTabs.size())) return;
    const eScreen target = kTabs[static_cast<size_t>(index)];
    if (!IsScreenRegistered(target)) {
        platform::Trace("Tessaray_PC: screen %s is not available\n", ScreenClassName(target));
        SetCurSel(IDC_GPS1_TAB, 0);
        return;
    }
    SwitchTo(target);
}

void CGPS_1::OnTimeDisplay() {
    const int sel = GetCurSel(IDC_GPS1_TIME_DISPLAY);
    if (sel != 0 && sel != 1) return;
    {
        RecordLock lock(g_GPS.Info.ulPart1Lock);
        g_GPS.Info.eTimeDisplay = sel;
    }
    ShowOffset(sel == 0);
}

void CGPS_1::OnOffset() {
    const int sel = GetCurSel(IDC_GPS1_OFFSET);
    if (sel < 0 || sel >= kOffsetCount) return;
    RecordLock lock(g_GPS.Info.ulPart1Lock);
    g_GPS.Info.fLocalTimeOffset = static_cast<float>(12.0 - 0.5 * sel);
}

void CGPS_1::OnCoordFormat() {
    const int sel = GetCurSel(IDC_GPS1_COORD_FORMAT);
    if (sel < 0 || sel > 2) return;
    RecordLock lock(g_GPS.Info.ulPart1Lock);
    g_GPS.Info.eCoordFormat = sel;
}

void CGPS_1::OnDistanceUnit() {
    const int sel = GetCurSel(IDC_GPS1_DISTANCE_UNIT);
    if (!InList(sel, kDistanceFactors)) return;
    {
        RecordLock lock(g_GPS.Info.ulPart1Lock);
        g_GPS.Info.eDistanceUnit = sel;
    }
    m_fDistanceFactor = kDistanceFactors[static_cast<size_t>(sel)];
}

void CGPS_1::OnSpeedUnit() {
    const int sel = GetCurSel(IDC_GPS1_SPEED_UNIT);
    if (!InList(sel, kSpeedFactors)) return;
    {
        RecordLock lock(g_GPS.Info.ulPart1Lock);
        g_GPS.Info.eSpeedUnit = sel;
    }
    m_fSpeedFactor = kSpeedFactors[static_cast<size_t>(sel)];
}

void CGPS_1::OnConfidence() {
    const int sel = GetCurSel(IDC_GPS1_CONFIDENCE);
    if (!InList(sel, kConfidenceFactors)) return;
    {
        RecordLock lock(g_GPS.Info.ulPart1Lock);
        g_GPS.Info.eAccuracyLevel = sel;
    }
    m_fConfidenceFactor = kConfidenceFactors[static_cast<size_t>(sel)];
}

void CGPS_1::OnDiffSource() {
    ApplyDiffSourceItem(this, IDC_DIFF_SOURCE);
    UpdateNavBar();
    GoToDiffScreen();
}

void CGPS_1::OnPause(bool pause) {
    m_bPaused = pause ? 1 : 0;
    ShowItem(IDC_GPS1_PAUSE, !pause);
    ShowItem(IDC_GPS1_RESUME, pause);
}

void RegisterPositionScreens() {
    RegisterScreen(SCR_GPS_1, [] { return std::make_unique<CGPS_1>(); });
    RegisterScreen(SCR_GPS_5, [] { return std::make_unique<CGPS_5>(); });
    RegisterGpsDetailScreens();
}
