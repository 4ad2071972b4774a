#include "screens/position/GPS_5.h"

#include <array>
#include <cmath>
#include <iterator>
#include <limits>
#include <memory>
#include <optional>
#include <vector>

#include "engine/gps.h"
#include "engine/txnmea.h"
#include "platform/numbers.h"
#include "resources/dlg_gps5.h"
#include "shell/CoordFormat.h"
#include "shell/ScreenPage.h"
#include "shell/Tessaray_PC.h"
#include "ui/fonts.h"
#include "ui/messagebox.h"

namespace {

constexpr ui::UINT kPlotTimer = 1;
constexpr ui::UINT kPlotMs = 1000;
constexpr int kRateOn = 2;  // eRateCode: 1 Hz
constexpr int kRateOff = 0;
constexpr int kZoomMin = -2;
constexpr int kZoomMax = 3;
constexpr int kZoomStoredMin = -3;
constexpr double kMeanFloor = 0.001;  // metres; smaller offsets are missing seconds
constexpr size_t kMaxReferenceText = 30;
constexpr std::array<float, 2> kUnitFactors{1.0f, 3.28f};
constexpr const char* kNotAvailable = "N/A";

constexpr ui::Rgb kNorthColour = ui::kDarkBlue;
constexpr ui::Rgb kEastColour = ui::kOrange;
using ui::kBlack;

enum Series { kNorth = 0, kEast = 1, kHeight = 2 };

strip::StripChartSpec PlotSpec() {
    GPSInfo& info = g_GPS.Info;
    strip::StripChartSpec spec;
    spec.series = {
        {{info.fNorthHistory, nullptr, &info.iPositionHistoryIndex}, kNorthColour, false},
        {{info.fEastHistory, nullptr, &info.iPositionHistoryIndex}, kEastColour, true},
        {{info.fHeightHistory, nullptr, &info.iPositionHistoryIndex}, kBlack, false},
    };
    // Seconds without a position are gaps in the curves, not points at the reference; one
    // offset alone at 0.0 is a place due north, east or level of it.
    spec.noValueWhenAllZero = {kNorth, kEast, kHeight};
    spec.plot = {52.73, 220.127, 229.68, 300.583};
    spec.title = {52, 201, 199, 217};
    spec.marginRows = 0;
    spec.strictInside = true;
    spec.widthWord = &GPSInfo::iPositionPlotLineWidth;
    spec.markerWord = &GPSInfo::iPositionPlotMarker;
    spec.markerCombo = IDC_GPS5_MARKER;
    spec.secondsEdit = IDC_GPS5_TIME;
    return spec;
}

// Whether the text starts (after blanks) with a number: an optional sign and at least one
// digit before or after a decimal point.
bool HoldsNumber(std::string_view text) {
    size_t p = 0;
    while (p < text.size() && (text[p] == ' ' || text[p] == '\t')) ++p;
    if (p < text.size() && (text[p] == '+' || text[p] == '-')) ++p;
    if (p < text.size() && text[p] == '.') ++p;
    return p < text.size() && text[p] >= '0' && text[p] <= '9';
}

std::string Trimmed(std::string text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.back())) text.pop_back();
    size_t start = 0;
    while (start < text.size() && blank(text[start])) ++start;
    text.erase(0, start);
    if (text.size() > kMaxReferenceText) text.resize(kMaxReferenceText);
    return text;
}

// The number a text starts with. One too large for a double is infinite, so it fails every
// range check instead of reading as 0; one too small for it is 0.
double LeadingValue(const std::string& text) {
    if (!HoldsNumber(text)) return 0.0;
    return platform::ScanDoubleSaturated(text).value_or(0.0);
}

std::vector<std::string> Tokens(const std::string& text) {
    std::vector<std::string> out;
    size_t p = 0;
    while (p < text.size()) {
        while (p < text.size() && text[p] == ' ') ++p;
        const size_t start = p;
        while (p < text.size() && text[p] != ' ') ++p;
        if (p > start) out.push_back(text.substr(start, p - start));
    }
    return out;
}

// Decimal degrees from a reference text in a coordinate format; nullopt when the text holds
// no number. The sign of the whole text applies to minutes and seconds too.
std::optional<double> ParseCoordinate(const std::string& raw, int format) {
    const std::string text = Trimmed(raw);
    if (!HoldsNumber(text)) return std::nullopt;
    const double m = text[0] == '-' ? -1.0 : 1.0;
    const std::vector<std::string> t = Tokens(text);
    const auto num = [](const std::string& s) { return LeadingValue(s); };
    if (format == COORD_DMM && t.size() >= 2) return num(t[0]) + num(t[1]) / 60.0 * m;
    if (format == COORD_DMS && t.size() == 2) return num(t[0]) + num(t[1]) / 60.0 * m;
    if (format == COORD_DMS && t.size() >= 3)
        return num(t[0]) + num(t[1]) / 60.0 * m + num(t[2]) / 3600.0 * m;
    return num(text);
}

// Splits decimal degrees into the record's form. With signed degrees the degrees carry the
// sign; in both forms the letter follows the sign, so a value between 0 and -1 degree keeps
// its hemisphere.
void StoreCoordinate(double v, bool signedDegrees, char positive, char negative, int32_t* deg,
                     double* min, char* dir) {
    const double magnitude = std::fabs(v);
    const double whole = std::trunc(magnitude);
    *deg = static_cast<int32_t>(signedDegrees && v < 0 ? -whole : whole);
    *min = (magnitude - whole) * 60.0;
    *dir = v < 0 ? negative : positive;
}

}  // namespace

CGPS_5::CGPS_5()
    : CBaseDialog(Gps5DialogTemplate(), ScreenFamily::Gps, SCR_GPS_5), m_Chart(PlotSpec()) {
    SetTabScreens(IDC_GPS5_TAB, {SCR_GPS_1, SCR_GPS_2, SCR_GPS_3, SCR_GPS_4, SCR_GPS_5, SCR_GPS_6});
    m_Chart.Attach(*this);
    OnControl(IDC_GPS5_FORMAT, ui::CBN_SELCHANGE, [this] {
        const int sel = GetCurSel(IDC_GPS5_FORMAT);
        if (sel < 0 || sel > 2) return;
        {
            RecordLock lock(g_GPS.Info.ulPart1Lock);
            g_GPS.Info.ePositionPlotCoordFormat = sel;
        }
        OnEntryFormatChanged(sel, m_fAltFactor);
    });
    OnControl(IDC_GPS5_ALT_UNIT, ui::CBN_SELCHANGE, [this] {
        OnUnit(IDC_GPS5_ALT_UNIT, &GPSInfo::ePositionPlotAltUnit, &m_fAltFactor);
        OnEntryFormatChanged(CurrentFormat(), m_fAltFactor);
    });
    OnControl(IDC_GPS5_OFFSET_UNIT, ui::CBN_SELCHANGE, [this] {
        OnUnit(IDC_GPS5_OFFSET_UNIT, &GPSInfo::ePositionPlotOffsetUnit, &m_fOffsetFactor);
    });
    OnControl(IDC_GPS5_ZOOM_OUT, ui::BN_CLICKED, [this] { OnZoom(+1); });
    OnControl(IDC_GPS5_ZOOM_IN, ui::BN_CLICKED, [this] { OnZoom(-1); });
    OnControl(IDC_GPS5_SNAPSHOT, ui::BN_CLICKED, [this] { OnSnapShot(); });
    OnControl(IDC_GPS5_USE_POINT, ui::BN_CLICKED, [this] { OnUseThisPoint(); });
    for (int id : {IDC_GPS5_REF_LAT, IDC_GPS5_REF_LON, IDC_GPS5_REF_ALT})
        OnControl(id, ui::EN_CHANGE, [this, id] { OnReferenceEdited(id); });
}

CGPS_5::~CGPS_5() = default;

ui::BOOL CGPS_5::OnInitDialog() {
    CBaseDialog::OnInitDialog();
    if (FirstActivation()) {
        FillTabLabels(*this, IDC_GPS5_TAB,
                      {"Pos'n", "Sats", "Setup", "Precision", "Plot", "About"});
        SetPageFont(*this, Template());
        UpdateStatusStrip();
        // The reference belongs to this run of the program only.
        PlotReference none;
        none.cPlotRefNS = 'N';
        none.cPlotRefEW = 'E';
        theApp().SetPlotRef(none);
        m_bEditPending = 0;
        m_Chart.FirstActivation(*this);
    }
    FillCombos();
    SelectOwnTab();
    g_TxNMEA.SetMessageRate(kRateOn, "GPGST", false);
    g_TxNMEA.QueryDiff();
    m_nTimer1 = SetTimer(kPlotTimer, kPlotMs);
    ActivationDone();
    return ui::TRUE;
}

void CGPS_5::FillCombos() {
    m_Chart.Activate(*this);
    int32_t format, altUnit, offsetUnit;
    {
        RecordLock lock(g_GPS.Info.ulPart1Lock);
        GPSInfo& info = g_GPS.Info;
        if (info.ePositionPlotAltUnit < 0 || info.ePositionPlotAltUnit > 1)
            info.ePositionPlotAltUnit = 0;
        if (info.ePositionPlotOffsetUnit < 0 || info.ePositionPlotOffsetUnit > 1)
            info.ePositionPlotOffsetUnit = 0;
        format = info.ePositionPlotCoordFormat;
        altUnit = info.ePositionPlotAltUnit;
        offsetUnit = info.ePositionPlotOffsetUnit;
    }
    ResetContent(IDC_GPS5_FORMAT);
    for (const char* s : {"DM.M", "D.D", "DMS"}) AddString(IDC_GPS5_FORMAT, s);
    SetCurSel(IDC_GPS5_FORMAT, format >= 0 && format <= 2 ? format : -1);
    for (int id : {IDC_GPS5_ALT_UNIT, IDC_GPS5_OFFSET_UNIT}) {
        ResetContent(id);
        for (const char* s : {"Meters", "Feet"}) AddString(id, s);
    }
    SetCurSel(IDC_GPS5_ALT_UNIT, altUnit);
    m_fAltFactor = kUnitFactors[static_cast<size_t>(altUnit)];
    SetCurSel(IDC_GPS5_OFFSET_UNIT, offsetUnit);
    m_fOffsetFactor = kUnitFactors[static_cast<size_t>(offsetUnit)];
    ShowReference();
}

void CGPS_5::OnCancel() {
    g_TxNMEA.SetMessageRate(kRateOff, "GPGST", false);
    KillTimer(kPlotTimer);
    CBaseDialog::OnCancel();
}

void CGPS_5::OnTimer(ui::UINT id) {
    if (!BeginScreenTick(id)) return;
    ShowReference();
    if (id == kPlotTimer) {
        DrawPlot();
        g_TxNMEA.SetMessageRate(kRateOn, "GPGST", false);
        g_TxNMEA.QueryDiff();
    } else {
        CBaseDialog::OnTimer(id);
    }
    EndScreenTick();
}

void CGPS_5::ShowReference() {
    {
        RecordLock lock(g_GPS.Info.Nav.ulNavLock);
        if (!m_bEditPending) {
            const PlotReference ref = theApp().GetPlotRef();
            const int format = g_GPS.Info.ePositionPlotCoordFormat;
            if (!ref.bPlotRefValid) {
                for (int id : {IDC_GPS5_REF_LAT, IDC_GPS5_REF_LON, IDC_GPS5_REF_ALT})
                    SetDlgItemText(id, kNotAvailable);
                m_entryFormat = {format, format};
                m_fEntryAltFactor = m_fAltFactor;
            } else {
                const bool signedDegrees = theApp().bBin1Position.load() != 0;
                if (format >= COORD_DMM && format <= COORD_DMS) {
                    m_entryFormat = {format, format};
                    SetDlgItemText(
                        IDC_GPS5_REF_LAT,
                        FormatCoordinate(format, CoordValue{ref.iPlotRefLatDeg, ref.dPlotRefLatMin,
                                                            ref.cPlotRefNS, signedDegrees}));
                    SetDlgItemText(
                        IDC_GPS5_REF_LON,
                        FormatCoordinate(format, CoordValue{ref.iPlotRefLonDeg, ref.dPlotRefLonMin,
                                                            ref.cPlotRefEW, signedDegrees}));
                }
                SetDlgItemText(IDC_GPS5_REF_ALT,
                               platform::Format(
                                   "%10.3lf", static_cast<double>(ref.fPlotRefAlt) * m_fAltFactor));
                m_fEntryAltFactor = m_fAltFactor;
            }
        }
    }
    UpdateStatusStrip();
}

void CGPS_5::DrawPlot() {
    CTessaray_PCApp& app = theApp();
    const PlotReference ref = app.GetPlotRef();
    m_Chart.Snapshot();

    int zoom;
    {
        RecordLock lock(g_GPS.Info.ulPart1Lock);
        int32_t& z = g_GPS.Info.iPositionPlotZoom;
        z = std::clamp(z, kZoomStoredMin, kZoomMax);
        zoom = z;
    }
    const double step = std::ldexp(1.0, zoom);
    const std::vector<double>& north = m_Chart.Ring(kNorth);
    const int index = m_Chart.WriteIndex(kNorth);
    const strip::Mean longMean = strip::RecentMean(north, index, strip::kPoints, kMeanFloor);
    const strip::Mean shortMean = strip::RecentMean(north, index, 16, kMeanFloor);
    double centre = longMean.value;
    // Sixteen seconds without a position are no reason to move the centre to 0.
    if (shortMean.used > 0 && std::fabs(longMean.value - shortMean.value) > 1.5 * step)
        centre = shortMean.value;
    const double c = step * std::trunc(centre / step + 0.5);

    strip::StripFrame frame;
    frame.scale = strip::StripScale{c, 4 * step, false};
    if (ref.bPlotRefValid) {
        frame.series = {kNorth, kEast};
        for (int k = 0; k < 5; ++k)
            frame.valueLabels[static_cast<size_t>(k)] =
                platform::Format("%6.2fm", c + (k - 2) * step);
    } else {
        frame.valueLabels = {"-2.00m", "-1.00m", " 0.00m", " 1.00m", " 2.00m"};
    }
    // The legend steps are design units, so the words keep apart at every scale.
    frame.title = {{"Northing", kNorthColour, 0, false},
                   {"Easting", kEastColour, 55, false},
                   {"Error", kBlack, 110, false}};
    const strip::StripCursor cursor = m_Chart.Draw(*this, frame);

    if (ref.bPlotRefValid && !app.bDemoMode.load()) {
        const auto offset = [&](int series) {
            return platform::Format("%.1f", m_Chart.Sample(series, cursor.sample) *
                                                static_cast<double>(m_fOffsetFactor));
        };
        SetDlgItemText(IDC_GPS5_NORTH, offset(kNorth));
        SetDlgItemText(IDC_GPS5_EAST, offset(kEast));
        SetDlgItemText(IDC_GPS5_HEIGHT, offset(kHeight));
    } else {
        for (int id : {IDC_GPS5_NORTH, IDC_GPS5_EAST, IDC_GPS5_HEIGHT})
            SetDlgItemText(id, kNotAvailable);
    }
}

void CGPS_5::OnSnapShot() {
    m_bEditPending = 0;
    PlotReference ref;
    {
        const NavInfo& nav = g_GPS.Info.Nav;
        RecordLock lock(g_GPS.Info.Nav.ulNavLock);
        if (nav.usNavMode == 0 && nav.iFixQuality == 0) return;
        ref.bPlotRefValid = true;
        ref.iPlotRefLatDeg = nav.iLatDeg;
        ref.dPlotRefLatMin = nav.dLatMin;
        ref.iPlotRefLonDeg = nav.iLonDeg;
        ref.dPlotRefLonMin = nav.dLonMin;
        ref.fPlotRefAlt = nav.fAltitude;
        ref.cPlotRefNS = nav.cLatDir;
        ref.cPlotRefEW = nav.cLonDir;
    }
    theApp().SetPlotRef(ref);
}

void CGPS_5::OnUseThisPoint() {
    const std::optional<double> lat =
        ParseCoordinate(GetDlgItemText(IDC_GPS5_REF_LAT), m_entryFormat[0]);
    const std::optional<double> lon =
        ParseCoordinate(GetDlgItemText(IDC_GPS5_REF_LON), m_entryFormat[1]);
    std::string altText = Trimmed(GetDlgItemText(IDC_GPS5_REF_ALT));
    // The panel shows "N/A" before any reference: no altitude typed is 0.
    if (altText == kNotAvailable) altText.clear();
    const double altitude = LeadingValue(altText) / static_cast<double>(m_fEntryAltFactor);
    // A text without a number or a place off the globe keeps the reference and its hour of
    // history.
    std::string refusal;
    if (!lat || !lon || !(altText.empty() || HoldsNumber(altText)))
        refusal = "Please enter a number.";
    else if (refusal = LatitudeRangeError(*lat); refusal.empty())
        refusal = LongitudeRangeError(*lon);
    // The altitude is kept in single precision, as the float exchange of the dialogs keeps it.
    if (refusal.empty() && !(std::fabs(altitude) <= std::numeric_limits<float>::max()))
        refusal = "Please enter a number.";
    if (!refusal.empty()) {
        ui::MessageBox(refusal, ui::MB_OK | ui::MB_ICONEXCLAMATION);
        return;
    }
    const bool signedDegrees = theApp().bBin1Position.load() != 0;
    PlotReference ref;
    ref.bPlotRefValid = true;
    StoreCoordinate(*lat, signedDegrees, 'N', 'S', &ref.iPlotRefLatDeg, &ref.dPlotRefLatMin,
                    &ref.cPlotRefNS);
    StoreCoordinate(*lon, signedDegrees, 'E', 'W', &ref.iPlotRefLonDeg, &ref.dPlotRefLonMin,
                    &ref.cPlotRefEW);
    ref.fPlotRefAlt = static_cast<float>(altitude);
    theApp().SetPlotRef(ref);
    ShowItem(IDC_GPS5_USE_POINT, false);
    m_bEditPending = 0;
}

void CGPS_5::OnReferenceEdited(int id) {
    ShowItem(IDC_GPS5_USE_POINT, true);
    m_bEditPending = 1;
    // What is typed now is typed in the format and unit chosen now.
    if (id == IDC_GPS5_REF_ALT)
        m_fEntryAltFactor = m_fAltFactor;
    else
        m_entryFormat[id == IDC_GPS5_REF_LAT ? 0 : 1] = CurrentFormat();
}

int32_t CGPS_5::CurrentFormat() {
    RecordLock lock(g_GPS.Info.ulPart1Lock);
    return g_GPS.Info.ePositionPlotCoordFormat;
}

void CGPS_5::OnEntryFormatChanged(int32_t format, float altFactor) {
    // Without an edit pending the panel is redrawn in the new format at once, so that what
    // the user starts typing over is in the format chosen.
    if (!m_bEditPending) {
        ShowReference();
        return;
    }
    // A pending entry is redrawn in the new format where its value has a form there; any
    // other text stays as typed and is read in the format it was typed in.
    const bool signedDegrees = theApp().bBin1Position.load() != 0;
    const struct {
        int id;
        char positive, negative;
    } coordinates[] = {{IDC_GPS5_REF_LAT, 'N', 'S'}, {IDC_GPS5_REF_LON, 'E', 'W'}};
    for (size_t i = 0; i < std::size(coordinates); ++i) {
        const auto& c = coordinates[i];
        const std::string text = GetDlgItemText(c.id);
        const std::optional<double> v = ParseCoordinate(text, m_entryFormat[i]);
        if (v && !(std::fabs(*v) < std::numeric_limits<int32_t>::max())) continue;
        if (v) {
            CoordValue value{0, 0.0, 0, signedDegrees};
            StoreCoordinate(*v, signedDegrees, c.positive, c.negative, &value.iDeg, &value.dMin,
                            &value.cDir);
            SetDlgItemText(c.id, FormatCoordinate(format, value));
        }
        m_entryFormat[i] = format;
    }
    std::string altText = Trimmed(GetDlgItemText(IDC_GPS5_REF_ALT));
    if (!HoldsNumber(altText)) {
        m_fEntryAltFactor = altFactor;
        return;
    }
    const double metres = LeadingValue(altText) / static_cast<double>(m_fEntryAltFactor);
    if (!(std::fabs(metres) <= std::numeric_limits<float>::max())) return;
    const std::string redrawn =
        platform::Format("%10.3lf", metres * static_cast<double>(altFactor));
    // Only what is read back whole.
    if (redrawn.size() - redrawn.find_first_not_of(' ') > kMaxReferenceText) return;
    SetDlgItemText(IDC_GPS5_REF_ALT, redrawn);
    m_fEntryAltFactor = altFactor;
}

void CGPS_5::OnZoom(int delta) {
    RecordLock lock(g_GPS.Info.ulPart1Lock);
    int32_t& z = g_GPS.Info.iPositionPlotZoom;
    if (delta > 0 && z < kZoomMax) ++z;
    if (delta < 0 && z > kZoomMin) --z;
}

void CGPS_5::OnUnit(int comboId, int32_t GPSInfo::*field, float* factor) {
    const int sel = GetCurSel(comboId);
    if (sel < 0 || sel >= static_cast<int>(kUnitFactors.size())) return;
    {
        RecordLock lock(g_GPS.Info.ulPart1Lock);
        g_GPS.Info.*field = sel;
    }
    *factor = kUnitFactors[static_cast<size_t>(sel)];
}
