#include "screens/position/GPS_2.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <initializer_list>
#include <numbers>

#include "engine/gps.h"
#include "engine/sbas.h"
#include "engine/txnmea.h"
#include "platform/numbers.h"
#include "resources/dlg_gps2.h"
#include "shell/ScreenPage.h"
#include "shell/Tessaray_PC.h"
#include "ui/canvas.h"

const int kGps2Bars[12] = {1130, 1070, 1071, 1072, 1073, 1074, 1075, 1076, 1077, 1078, 1079, 1080};
const int kGps2BarLabels[12] = {1038, 1039, 1040, 1041, 1042, 1046,
                                1047, 1048, 1049, 1050, 1051, 1052};

namespace {

constexpr ui::UINT kRefreshTimer = 1;
constexpr ui::UINT kRefreshMs = 1000;
constexpr int kRateOn = RATE_1HZ;
constexpr int kRateOff = RATE_OFF;
constexpr int kBinaryChannels = 99;

constexpr int kBarMax = 30;
constexpr double kMinCodeLock = 19.53125;  // gives exactly 0 dB
constexpr int kBeaconSSMax = 60;
constexpr int kBeaconSNRMax = 30;
constexpr uint32_t kLBandNoSatelliteKhz = 1540000;

constexpr ui::Rgb kPanelGrey{212, 208, 200};
constexpr ui::Rgb kSkyGrey{150, 150, 150};
using ui::kBlack;
using ui::kWhite;
constexpr ui::Rgb kGpsColour = ui::kOrange;
constexpr ui::Rgb kCorrColour = ui::kDarkBlue;
constexpr int kSatRadius = 5;
constexpr int kUnavailRadius = 3;
constexpr double kSkyPlotSpan = 141.0;

// The eleventh and twelfth bars give way to the SBAS panel.
constexpr int kBar11 = 1079, kBar12 = 1080, kBar11Label = 1051, kBar12Label = 1052;

constexpr int kLegendTrackedCorr = 1015, kLegendTrackedCorrPic = 1137;
constexpr int kLegendUnavailCorr = 1021, kLegendUnavailCorrPic = 1136;
constexpr int kSbasViewableLabel = 1012, kSbasTrackedLabel = 1013;
constexpr int kLeftScaleTop = 1054, kRightScaleTop = 1055;
constexpr int kLeftScaleBottom = 1056, kRightScaleBottom = 1057;

struct LBandName {
    uint32_t khz;
    const char* name;
};
constexpr std::array<LBandName, 6> kLBandNames{{{1530359, "MSV-E"},
                                                {1534741, "MSV-C"},
                                                {1536782, "MSV-W"},
                                                {1535080, "AFSAT"},
                                                {1535152, "EA-SAT"},
                                                {1558510, "Optus"}}};
constexpr uint32_t kAsiaPacificKhz = 1535137;

// The page's font scaled by `factor`, whether its size is given in points or pixels.
QFont ScaledFont(const QFont& page, double factor) {
    QFont font = page;
    if (font.pixelSize() > 0)
        font.setPixelSize(std::max(1, static_cast<int>(font.pixelSize() * factor + 0.5)));
    else
        font.setPointSizeF(font.pointSizeF() * factor);
    return font;
}

const char* LBandSatelliteName(uint32_t khz, float longitude) {
    if (khz == kAsiaPacificKhz) return longitude >= 0.0f ? "AP-SAT" : "AM-SAT";
    for (const LBandName& n : kLBandNames)
        if (n.khz == khz) return n.name;
    return "MSV-W";
}

// What one refresh needs from the record, copied under its lock.
struct PanelData {
    uint32_t status = 0;
    int32_t satsUsed = 0;
    int32_t source = 0;
    uint32_t geoKhz = 0;
    float geoLongitude = 0.0f;
    int32_t lbandBer = 0;
    int32_t sbasPrn1 = 0, sbasPrn2 = 0;
    int32_t sbasBer1 = 0, sbasBer2 = 0;
    int32_t beaconSS = 0, beaconSNR = 0;
    std::array<uint16_t, 12> codeLock{};
};

PanelData CopyPanelData() {
    GPSInfo& info = g_GPS.Info;
    RecordLock lock(info.Nav.ulNavLock);
    PanelData d;
    d.status = info.LBand.ulRD1Status;
    d.satsUsed = info.Nav.iSatsUsed;
    d.source = info.eCurCorrSource;
    d.geoKhz = info.LBand.ulGeoFreqKhz;
    d.geoLongitude = info.LBand.fGeoLongitude;
    d.lbandBer = info.LBand.iLBandBer;
    d.sbasPrn1 = info.LBand.iSBASPRN1;
    d.sbasPrn2 = info.LBand.iSBASPRN2;
    d.sbasBer1 = info.LBand.iSBASBer1;
    d.sbasBer2 = info.LBand.iSBASBer2;
    d.beaconSS = info.Beacon.iSignalStrength;
    d.beaconSNR = info.Beacon.iSNR;
    for (size_t j = 0; j < d.codeLock.size(); ++j)
        d.codeLock[j] = info.Binary.Bin99.Channel[j].usCodeLock();
    return d;
}

int SignalDb(uint16_t codeLock) {
    const double c = std::max(static_cast<double>(codeLock), kMinCodeLock);
    const int db = static_cast<int>(10.0 * std::log10(c * 4096.0 / 80000.0) + 0.5);
    return std::clamp(db, 0, kBarMax);
}

struct SkyPoint {
    double elev, azim;
    bool unavailable;
    bool correction;
};

// What the sky plot needs from the record, copied under its lock.
struct SkyData {
    std::vector<SkyPoint> points;  // drawn in this order
};

SkyData CopySkyData() {
    GPSInfo& info = g_GPS.Info;
    RecordLock lock(info.Nav.ulNavLock);
    SkyData d;
    const int mask = info.Settings.WizardLive.iElevation;
    const int inView = std::clamp(info.SatView.iSatsInView, 0, kSatChannels);
    for (int j = inView - 1; j >= 0; --j) {
        const SatChannelInfo& ch = info.SatView.Channel[j];
        d.points.push_back(
            {static_cast<double>(ch.iElev), static_cast<double>(ch.iAzim), ch.iElev < mask, false});
    }
    const LBandInfo& lb = info.LBand;
    if (info.eCurCorrSource == CORR_LBND) {
        if (lb.ulGeoFreqKhz != 0 && lb.ulGeoFreqKhz != kLBandNoSatelliteKhz)
            d.points.push_back({lb.fGeoElevation, lb.fGeoAzimuth, false, true});
    } else if (info.eCurCorrSource == CORR_SBAS) {
        const int32_t prns[2] = {lb.iSBASPRN1, lb.iSBASPRN2};
        for (int i = 0; i < 2; ++i) {
            if (prns[i] == 0) continue;
            float elev = 0.0f, azim = 0.0f;
            GetSBASValues(lb, prns[i], elev, azim);
            d.points.push_back({elev, azim, i == 1, true});
        }
    }
    return d;
}

}  // namespace

CGPS_2::CGPS_2() : CBaseDialog(Gps2DialogTemplate(), ScreenFamily::Gps, SCR_GPS_2) {
    DDX_Text(IDC_GPS2_SBAS_TRACKED, m_iSbasTracked);
    DDX_Text(IDC_GPS2_SBAS_VIEWABLE, m_iSbasViewable);
    DDX_Text(IDC_GPS2_VIEWABLE, m_iGpsViewable);
    DDX_Text(IDC_GPS2_ABOVE_MASK, m_iGpsAboveMask);
    DDX_Text(IDC_GPS2_CORRECTIONS, m_iGpsCorrections);
    DDX_Text(IDC_GPS2_USED, m_iGpsUsed);
    SetTabScreens(IDC_GPS2_TAB, {SCR_GPS_1, SCR_GPS_2, SCR_GPS_3, SCR_GPS_4, SCR_GPS_5, SCR_GPS_6});
}

CGPS_2::~CGPS_2() = default;

ui::BOOL CGPS_2::OnInitDialog() {
    CBaseDialog::OnInitDialog();
    if (FirstActivation()) {
        FillTabLabels(*this, IDC_GPS2_TAB,
                      {"Pos'n", "Sats", "Setup", "Precision", "Plot", "About"});
        SetPageFont(*this, Template());
        // The dB values under the bars are set a little smaller so that twelve fit.
        const QFont small = ScaledFont(Widget()->font(), 0.85);
        for (int id : kGps2BarLabels) SetItemFont(id, small);
        UpdateStatusStrip();
    }
    for (int bar : kGps2Bars) {
        SetRange(bar, 0, kBarMax);
        SetStep(bar, 1);
    }
    RefreshPanel();
    DrawSkyPlot();
    SelectOwnTab();

    g_TxNMEA.SetMessageRate(kRateOn, "GPGSV", false);
    g_TxNMEA.SetMessageRate(kRateOn, "D1", false);
    g_TxNMEA.QueryGeo();
    g_TxNMEA.QueryDiff();
    g_TxNMEA.SetBeaconStatus(1, false);
    g_TxNMEA.SetBinaryRate(kRateOn, kBinaryChannels, false);
    m_nTimer1 = SetTimer(kRefreshTimer, kRefreshMs);
    ActivationDone();
    return ui::TRUE;
}

void CGPS_2::OnCancel() {
    KillTimer(m_nTimer1);
    g_TxNMEA.SetMessageRate(kRateOff, "GPGSV", false);
    g_TxNMEA.SetMessageRate(kRateOff, "D1", false);
    g_TxNMEA.SetBeaconStatus(0, false);
    CBaseDialog::OnCancel();
}

void CGPS_2::OnTimer(ui::UINT id) {
    if (!BeginScreenTick(id)) return;
    RefreshPanel();
    EndScreenTick();
    if (id == kRefreshTimer) {
        DrawSkyPlot();
        g_TxNMEA.QueryGeo();
        g_TxNMEA.QueryDiff();
    } else {
        CBaseDialog::OnTimer(id);
    }
}

void CGPS_2::RefreshPanel() {
    const PanelData d = CopyPanelData();
    const auto show = [this](std::initializer_list<int> ids, bool visible) {
        for (int id : ids) ShowItem(id, visible);
    };
    const auto setBar = [this](int bar, int high, int pos) {
        SetRange(bar, 0, high);
        SetStep(bar, 1);
        SetPos(bar, std::clamp(pos, 0, high));
    };

    m_iGpsViewable = static_cast<int>(d.status & 0xF);
    m_iGpsAboveMask = static_cast<int>((d.status >> 16) & 0xF);
    m_iGpsCorrections = static_cast<int>((d.status >> 20) & 0xF);
    m_iGpsUsed = std::min(static_cast<int>((d.status >> 12) & 0xF), static_cast<int>(d.satsUsed));

    switch (d.source) {
        case CORR_SBAS: {
            SetDlgItemText(IDC_GPS2_SBAS_GROUP, "SBAS Satellites");
            show(
                {IDC_GPS2_SBAS_GROUP, kSbasViewableLabel, kSbasTrackedLabel, IDC_GPS2_SBAS_VIEWABLE,
                 IDC_GPS2_SBAS_TRACKED, IDC_GPS2_LEFT_BAR, IDC_GPS2_RIGHT_BAR, IDC_GPS2_LEFT_UNDER,
                 IDC_GPS2_RIGHT_UNDER, IDC_GPS2_LEFT_TITLE, IDC_GPS2_RIGHT_TITLE,
                 IDC_GPS2_LEFT_VALUE, IDC_GPS2_RIGHT_VALUE, kLeftScaleTop, kRightScaleTop,
                 kLeftScaleBottom, kRightScaleBottom},
                true);
            show({IDC_GPS2_LBAND_NAME, kBar11, kBar12, kBar11Label, kBar12Label}, false);
            SetDlgItemText(IDC_GPS2_LEFT_TITLE, "BER");
            SetDlgItemText(IDC_GPS2_RIGHT_TITLE, "BER");
            SetDlgItemText(kLeftScaleTop, "0");
            SetDlgItemText(kRightScaleTop, "0");
            SetDlgItemText(kLeftScaleBottom, "500");
            SetDlgItemText(kRightScaleBottom, "500");
            SetDlgItemText(IDC_GPS2_LEFT_UNDER, platform::Format("%d", d.sbasPrn1));
            SetDlgItemText(IDC_GPS2_RIGHT_UNDER, platform::Format("%d", d.sbasPrn2));
            // Clamped copies: the record keeps what the receiver said.
            const BerBar ber1 = SetBERBar(d.sbasBer1);
            const BerBar ber2 = SetBERBar(d.sbasBer2);
            setBar(IDC_GPS2_LEFT_BAR, BerBar::kMax, ber1.iPos);
            setBar(IDC_GPS2_RIGHT_BAR, BerBar::kMax, ber2.iPos);
            SetDlgItemText(IDC_GPS2_LEFT_VALUE, platform::Format("%d", ber1.iBer));
            SetDlgItemText(IDC_GPS2_RIGHT_VALUE, platform::Format("%d", ber2.iBer));
            if (d.sbasPrn1 == 0 && d.sbasPrn2 == 0)
                m_iSbasViewable = 0;
            else if (d.sbasPrn1 != 0 && d.sbasPrn2 != 0)
                m_iSbasViewable = 2;
            else
                m_iSbasViewable = 1;
            m_iSbasTracked = d.sbasPrn1 != 0 ? 1 : 0;
            SetDlgItemText(kLegendTrackedCorr, "Tracked SBAS:");
            SetDlgItemText(kLegendUnavailCorr, "Unavail SBAS:");
            show({kLegendTrackedCorr, kLegendTrackedCorrPic, kLegendUnavailCorr,
                  kLegendUnavailCorrPic},
                 true);
            break;
        }
        case CORR_LBND: {
            SetDlgItemText(IDC_GPS2_SBAS_GROUP, "OmniSTAR");
            show({IDC_GPS2_SBAS_GROUP, kSbasTrackedLabel, IDC_GPS2_SBAS_TRACKED, IDC_GPS2_RIGHT_BAR,
                  IDC_GPS2_RIGHT_TITLE, IDC_GPS2_RIGHT_VALUE, kRightScaleTop, kRightScaleBottom,
                  IDC_GPS2_LBAND_NAME, kBar11, kBar12, kBar11Label, kBar12Label},
                 true);
            show({kSbasViewableLabel, IDC_GPS2_SBAS_VIEWABLE, IDC_GPS2_LEFT_UNDER,
                  IDC_GPS2_RIGHT_UNDER, IDC_GPS2_LEFT_TITLE, IDC_GPS2_LEFT_VALUE, kLeftScaleTop,
                  kLeftScaleBottom, IDC_GPS2_LEFT_BAR},
                 false);
            SetDlgItemText(IDC_GPS2_RIGHT_TITLE, "BER");
            SetDlgItemText(kRightScaleTop, "0");
            SetDlgItemText(kRightScaleBottom, "500");
            SetDlgItemText(IDC_GPS2_LBAND_NAME, LBandSatelliteName(d.geoKhz, d.geoLongitude));
            const int pos = d.lbandBer >= kBerNoValue ? 0 : kBerNoValue - d.lbandBer;
            setBar(IDC_GPS2_RIGHT_BAR, kBerNoValue, pos);
            SetDlgItemText(IDC_GPS2_RIGHT_VALUE, platform::Format("%d", d.lbandBer));
            m_iSbasTracked = d.geoKhz != kLBandNoSatelliteKhz ? 1 : 0;
            SetDlgItemText(kLegendTrackedCorr, "Tracked LBND:");
            show({kLegendTrackedCorr, kLegendTrackedCorrPic}, true);
            show({kLegendUnavailCorr, kLegendUnavailCorrPic}, false);
            break;
        }
        case CORR_BEACON: {
            show({IDC_GPS2_SBAS_GROUP, kSbasViewableLabel, kSbasTrackedLabel,
                  IDC_GPS2_SBAS_VIEWABLE, IDC_GPS2_SBAS_TRACKED, IDC_GPS2_LEFT_UNDER,
                  IDC_GPS2_RIGHT_UNDER, IDC_GPS2_LBAND_NAME},
                 false);
            show({IDC_GPS2_LEFT_BAR, IDC_GPS2_RIGHT_BAR, IDC_GPS2_LEFT_TITLE, IDC_GPS2_RIGHT_TITLE,
                  IDC_GPS2_LEFT_VALUE, IDC_GPS2_RIGHT_VALUE, kLeftScaleTop, kRightScaleTop,
                  kLeftScaleBottom, kRightScaleBottom, kBar11, kBar12, kBar11Label, kBar12Label},
                 true);
            SetDlgItemText(IDC_GPS2_LEFT_TITLE, "SS");
            SetDlgItemText(IDC_GPS2_RIGHT_TITLE, "SNR");
            SetDlgItemText(kLeftScaleTop, "60");
            SetDlgItemText(kLeftScaleBottom, "0");
            SetDlgItemText(kRightScaleTop, "30");
            SetDlgItemText(kRightScaleBottom, "0");
            setBar(IDC_GPS2_LEFT_BAR, kBeaconSSMax, d.beaconSS);
            SetDlgItemText(IDC_GPS2_LEFT_VALUE, platform::Format("%d", d.beaconSS));
            const int snr = std::max(d.beaconSNR, 0);
            setBar(IDC_GPS2_RIGHT_BAR, kBeaconSNRMax, snr);
            SetDlgItemText(IDC_GPS2_RIGHT_VALUE, platform::Format("%d", snr));
            show({kLegendTrackedCorr, kLegendTrackedCorrPic, kLegendUnavailCorr,
                  kLegendUnavailCorrPic},
                 false);
            break;
        }
        default:
            show({IDC_GPS2_SBAS_GROUP,    kSbasViewableLabel,    kSbasTrackedLabel,
                  IDC_GPS2_SBAS_VIEWABLE, IDC_GPS2_SBAS_TRACKED, IDC_GPS2_LEFT_UNDER,
                  IDC_GPS2_RIGHT_UNDER,   IDC_GPS2_LEFT_TITLE,   IDC_GPS2_RIGHT_TITLE,
                  IDC_GPS2_LBAND_NAME,    IDC_GPS2_LEFT_VALUE,   IDC_GPS2_RIGHT_VALUE,
                  kLeftScaleTop,          kRightScaleTop,        kLeftScaleBottom,
                  kRightScaleBottom,      IDC_GPS2_LEFT_BAR,     IDC_GPS2_RIGHT_BAR,
                  kLegendTrackedCorr,     kLegendTrackedCorrPic, kLegendUnavailCorr,
                  kLegendUnavailCorrPic},
                 false);
            show({kBar11, kBar12, kBar11Label, kBar12Label}, true);
            break;
    }

    for (int label : kGps2BarLabels) SetDlgItemText(label, "");
    for (size_t j = 0; j < d.codeLock.size(); ++j) {
        const int db = SignalDb(d.codeLock[j]);
        SetPos(kGps2Bars[j], db);
        SetDlgItemText(kGps2BarLabels[j], platform::Format("%02d", db));
    }

    UpdateStatusStrip();
    UpdateData(ui::FALSE);
}

void CGPS_2::DrawSkyPlot() {
    const SkyData sky = CopySkyData();
    const CTessaray_PCApp& app = theApp();
    const double sx = app.fScaleX;
    const double sy = app.fScaleY;
    const ui::Rect client = GetClientRect();
    if (client.Width() <= 0 || client.Height() <= 0) return;
    ui::Canvas canvas(client.Width(), client.Height(), kPanelGrey);

    const int left = static_cast<int>(kSkyPlotLeft * sx);
    const int top = static_cast<int>(kSkyPlotTop * sy);
    const int right = static_cast<int>(kSkyPlotRight * sx);
    const int bottom = static_cast<int>(kSkyPlotBottom * sy);
    const int w = right - left;
    const int h = bottom - top;
    const int cx = (left + right) / 2;
    const int cy = (top + bottom) / 2;

    canvas.FillRect(ui::Rect{left, top, right, bottom}, kPanelGrey);
    canvas.SetPen(kBlack);
    canvas.SetBrush(kSkyGrey);
    canvas.Ellipse(left, top, right, bottom);
    canvas.SetPen(kWhite);
    canvas.SetHollowBrush();
    for (int k = 1; k <= 5; ++k)
        canvas.Ellipse(left + k * w / 12, top + k * h / 12, right - k * w / 12,
                       bottom - k * h / 12);
    canvas.MoveTo(cx, top);
    canvas.LineTo(cx, bottom);
    canvas.MoveTo(left, cy);
    canvas.LineTo(right, cy);

    // Compass letters and the 30 and 60 degree rings.
    canvas.SetFont(ScaledFont(Widget()->font(), 0.85));
    canvas.SetBkMode(ui::BkMode::Transparent);
    canvas.SetTextColor(kWhite);
    const auto label = [&canvas](int x, int y, const char* text) {
        const ui::Point size = canvas.GetTextExtent(text);
        canvas.TextOut(x - size.x / 2, y - size.y / 2, text);
    };
    const int inset = w / 24;
    label(cx + inset, top + inset, "N");
    label(cx + inset, bottom - inset, "S");
    label(right - inset, cy - inset, "E");
    label(left + inset, cy - inset, "W");
    label(cx - inset, cy - (h / 2 - 2 * h / 12) + inset / 2, "30");
    label(cx - inset, cy - (h / 2 - 4 * h / 12) + inset / 2, "60");

    // One projection for every satellite, so each sits on the ring of its elevation.
    for (const SkyPoint& p : sky.points) {
        if (!std::isfinite(p.elev) || !std::isfinite(p.azim)) continue;
        const double a = std::numbers::pi / 2 - p.azim * std::numbers::pi / 180.0;
        const double r = (90.0 - p.elev) / 90.0 * 60.0 * 1.173 * 1.02;
        const int x = cx + ui::ClampToPixel((std::cos(a) * r - 2.0) * sx, -4 * w, 4 * w);
        const int y = cy - ui::ClampToPixel(std::sin(a) * r * sy, -4 * h, 4 * h);
        canvas.SetPen(kBlack);
        canvas.SetBrush(p.correction ? kCorrColour : kGpsColour);
        canvas.Ellipse(x - kSatRadius, y - kSatRadius, x + kSatRadius, y + kSatRadius);
        if (p.unavailable) {
            canvas.SetBrush(kSkyGrey);
            canvas.Ellipse(x - kUnavailRadius, y - kUnavailRadius, x + kUnavailRadius,
                           y + kUnavailRadius);
        }
    }

    const int spanX = static_cast<int>(kSkyPlotSpan * sx);
    const int spanY = static_cast<int>(kSkyPlotSpan * sy);
    CopyToWindow(canvas, ui::Rect{left, top, left + spanX, top + spanY});
}
