#include "screens/position/GPS_4.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <exception>
#include <numbers>

#include "engine/gps.h"
#include "engine/txnmea.h"
#include "platform/numbers.h"
#include "platform/trace.h"
#include "resources/dlg_gps4.h"
#include "shell/ScreenPage.h"
#include "shell/Tessaray_PC.h"
#include "ui/canvas.h"

namespace {

constexpr ui::UINT kRefreshTimer = 1;
constexpr ui::UINT kSecondTimer = 2;
constexpr ui::UINT kRefreshMs = 1000;
constexpr int kBinaryDop = 2;

constexpr std::array<float, 4> kLevelFactors{1.0f, 2.0f, 0.8f, 3.0f};
constexpr std::array<float, 2> kUnitFactors{1.0f, 3.28f};
constexpr int kUnitCombos[3] = {1035, 1036, 1037};
constexpr int kLevelCombos[3] = {1038, 1039, 1040};
constexpr const char* kSigma = "\xCF\x83";

constexpr ui::Rgb kGrey{150, 150, 150};
using ui::kBlack;
using ui::kOrange;
using ui::kWhite;
constexpr double kGridStep = 11.73;
constexpr double kGridSpan = 117.3;

struct Ellipse {
    float a, b, orient;
};

// The values the drawing last used, program-wide as the screen keeps them.
struct KeptEllipse {
    bool valid = false;
    Ellipse e{};
};
KeptEllipse g_kept;

bool Same(float x, float y) {
    return x == y || (std::isnan(x) && std::isnan(y));
}

// Clips the segment p0-p1 to the rectangle (Liang-Barsky); false when nothing is inside.
bool ClipSegment(double& x0, double& y0, double& x1, double& y1, double left, double top,
                 double right, double bottom) {
    double t0 = 0.0, t1 = 1.0;
    const double dx = x1 - x0, dy = y1 - y0;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x0 - left, right - x0, y0 - top, bottom - y0};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0.0) {
            if (q[i] < 0.0) return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0.0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 > t1) return false;
    }
    const double ox = x0, oy = y0;
    x0 = ox + t0 * dx, y0 = oy + t0 * dy;
    x1 = ox + t1 * dx, y1 = oy + t1 * dy;
    return true;
}

}  // namespace

CGPS_4::CGPS_4() : CBaseDialog(Gps4DialogTemplate(), ScreenFamily::Gps, SCR_GPS_4) {
    DDX_Text(IDC_GPS4_HDOP, m_strHDOP);
    DDX_Text(IDC_GPS4_VDOP, m_strVDOP);
    DDX_Text(IDC_GPS4_PDOP, m_strPDOP);
    DDX_Text(IDC_GPS4_NORTHING, m_strNorthing);
    DDX_Text(IDC_GPS4_EASTING, m_strEasting);
    DDX_Text(IDC_GPS4_ALTITUDE, m_strAltitude);
    DDX_Text(IDC_GPS4_SEMI_MAJOR, m_strSemiMajor);
    DDX_Text(IDC_GPS4_SEMI_MINOR, m_strSemiMinor);
    DDX_Text(IDC_GPS4_AZIMUTH, m_strAzimuth);
    DDX_Text(1021, m_strLabelA);
    DDX_Text(1050, m_strLabelB);
    DDX_Text(1022, m_strLabelAzimuth);
    DDX_Text(IDC_GPS4_TOP_LEFT, m_strTopLeft);
    DDX_Text(IDC_GPS4_TOP_RIGHT, m_strTopRight);
    DDX_Text(IDC_GPS4_BOTTOM_LEFT, m_strBottomLeft);
    DDX_Text(IDC_GPS4_BOTTOM_RIGHT, m_strBottomRight);
    DDX_Text(1031, m_strDegree);
    SetTabScreens(IDC_GPS4_TAB, {SCR_GPS_1, SCR_GPS_2, SCR_GPS_3, SCR_GPS_4, SCR_GPS_5, SCR_GPS_6});
    for (int row = 0; row < 3; ++row) {
        OnControl(kUnitCombos[row], ui::CBN_SELCHANGE, [this, row] { OnUnit(row); });
        OnControl(kLevelCombos[row], ui::CBN_SELCHANGE, [this, row] { OnLevel(row); });
    }
}

CGPS_4::~CGPS_4() = default;

ui::BOOL CGPS_4::OnInitDialog() {
    CBaseDialog::OnInitDialog();
    if (FirstActivation()) {
        FillTabLabels(*this, IDC_GPS4_TAB,
                      {"Pos'n", "Sats", "Setup", "Precision", "Plot", "About"});
        SetPageFont(*this, Template());
        UpdateStatusStrip();
        for (int row = 0; row < 3; ++row) {
            m_iUnit[row] = 0;
            m_fUnitFactor[row] = 1.0f;
            m_iLevel[row] = 0;
            m_fLevelFactor[row] = 1.0f;
        }
    }
    FillCombos();
    SelectOwnTab();
    m_bRedraw = 1;
    DrawErrorEllipse();
    m_nTimer1 = SetTimer(kRefreshTimer, kRefreshMs);
    g_TxNMEA.SetMessageRate(RATE_1HZ, "GPGST", false);
    g_TxNMEA.SetMessageRate(RATE_1HZ, "GPGGA", false);
    g_TxNMEA.SetBinaryRate(RATE_1HZ, kBinaryDop, false);
    ActivationDone();
    return ui::TRUE;
}

void CGPS_4::OnCancel() {
    KillTimer(m_nTimer1);
    g_TxNMEA.SetMessageRate(RATE_OFF, "GPGST", false);
    g_TxNMEA.SetBinaryRate(RATE_OFF, kBinaryDop, false);
    g_TxNMEA.SetMessageRate(RATE_OFF, "GPGGA", false);
    CBaseDialog::OnCancel();
    m_bRedraw = 1;
}

void CGPS_4::OnTimer(ui::UINT id) {
    if (!BeginScreenTick(id)) return;
    if (id == kRefreshTimer || id == kSecondTimer)
        DrawErrorEllipse();
    else
        CBaseDialog::OnTimer(id);
    RefreshText();
    EndScreenTick();
}

void CGPS_4::FillCombos() {
    m_strLabelA = std::string("a  (1") + kSigma + "):";
    m_strLabelB = std::string("b  (1") + kSigma + "):";
    m_strLabelAzimuth = "Azimuth:";
    m_strDegree = "\xC2\xBA";
    for (int row = 0; row < 3; ++row) {
        ResetContent(kUnitCombos[row]);
        AddString(kUnitCombos[row], "meters");
        AddString(kUnitCombos[row], "feet");
        ResetContent(kLevelCombos[row]);
        AddString(kLevelCombos[row], std::string("1 ") + kSigma);
        for (const char* s : {"95%", "CEP", "99%"}) AddString(kLevelCombos[row], s);
        if (m_iLevel[row] >= 0 && m_iLevel[row] < 4) {
            SetCurSel(kLevelCombos[row], m_iLevel[row]);
            m_fLevelFactor[row] = kLevelFactors[static_cast<size_t>(m_iLevel[row])];
        }
        if (m_iUnit[row] >= 0 && m_iUnit[row] < 2) {
            SetCurSel(kUnitCombos[row], m_iUnit[row]);
            m_fUnitFactor[row] = kUnitFactors[static_cast<size_t>(m_iUnit[row])];
        }
    }
    RefreshText();
}

void CGPS_4::OnUnit(int row) {
    const int sel = GetCurSel(kUnitCombos[row]);
    if (sel < 0 || sel >= static_cast<int>(kUnitFactors.size())) return;
    m_iUnit[row] = sel;
    m_fUnitFactor[row] = kUnitFactors[static_cast<size_t>(sel)];
}

void CGPS_4::OnLevel(int row) {
    const int sel = GetCurSel(kLevelCombos[row]);
    if (sel < 0 || sel >= static_cast<int>(kLevelFactors.size())) return;
    m_iLevel[row] = sel;
    m_fLevelFactor[row] = kLevelFactors[static_cast<size_t>(sel)];
}

void CGPS_4::RefreshText() {
    float hdop, lat, lon, alt, a, b, orient;
    uint16_t vdop10;
    {
        GPSInfo& info = g_GPS.Info;
        RecordLock lock(info.Nav.ulNavLock);
        hdop = info.Nav.fHDOP;
        vdop10 = info.Binary.usVDOPTimes10;
        lat = info.Nav.fGSTLatErr;
        lon = info.Nav.fGSTLonErr;
        alt = info.Nav.fGSTAltErr;
        a = info.Nav.fGSTSemiMajor;
        b = info.Nav.fGSTSemiMinor;
        orient = info.Nav.fGSTOrient;
    }
    m_strHDOP = platform::Format("%4.2f", static_cast<double>(hdop));
    if (vdop10 == 0) {
        m_strVDOP = m_strPDOP = "N/A";
    } else {
        const double vdop = vdop10 / 10.0;
        m_strVDOP = platform::Format("%4.2f", vdop);
        m_strPDOP = platform::Format("%4.2f", std::sqrt(double(hdop) * hdop + vdop * vdop));
    }
    const float errors[3] = {lat, lon, alt};
    std::string* texts[3] = {&m_strNorthing, &m_strEasting, &m_strAltitude};
    for (int row = 0; row < 3; ++row)
        *texts[row] = platform::Format(
            "%6.2f", static_cast<double>(m_fUnitFactor[row] * m_fLevelFactor[row] * errors[row]));
    m_strSemiMajor = platform::Format("%6.2f", static_cast<double>(a));
    m_strSemiMinor = platform::Format("%6.2f", static_cast<double>(b));
    m_strAzimuth = platform::Format("%5.1f", static_cast<double>(orient));
    UpdateStatusStrip();
    UpdateData(ui::FALSE);
}

void CGPS_4::DrawErrorEllipse() {
    Ellipse e;
    {
        GPSInfo& info = g_GPS.Info;
        RecordLock lock(info.Nav.ulNavLock);
        e = {info.Nav.fGSTSemiMajor, info.Nav.fGSTSemiMinor, info.Nav.fGSTOrient};
    }
    if (!g_kept.valid) g_kept = {true, e};
    if (!Same(e.a, g_kept.e.a) || !Same(e.b, g_kept.e.b) || !Same(e.orient, g_kept.e.orient)) {
        g_kept.e = e;
        m_bRedraw = 1;
    }
    if (!m_bRedraw) return;

    try {
        const CTessaray_PCApp& app = theApp();
        const double sx = app.fScaleX;
        const double sy = app.fScaleY;
        const ui::Rect client = GetClientRect();
        if (client.Width() <= 0 || client.Height() <= 0) return;
        ui::Canvas canvas(client.Width(), client.Height(), kGrey);
        canvas.SetSmooth(false);

        const int left = static_cast<int>(kEllipseLeft * sx);
        const int top = static_cast<int>(kEllipseTop * sy);
        const int right = static_cast<int>(kEllipseRight * sx);
        const int bottom = static_cast<int>(kEllipseBottom * sy);
        const ui::Rect square{left, top, right, bottom};
        canvas.FillRect(square, kGrey);
        canvas.SetPen(kWhite);
        for (int k = 0; k <= 10; ++k) {
            const double d = k * kGridStep;
            const int y = top + static_cast<int>(d * sy);
            canvas.MoveTo(left + 1, y);
            canvas.LineTo(left + 1 + static_cast<int>(kGridSpan * sx), y);
            const int x = left + 1 + static_cast<int>(d * sx);
            canvas.MoveTo(x, top);
            canvas.LineTo(x, top + static_cast<int>(kGridSpan * sy));
        }

        const double a = e.a, b = e.b;
        const char* corners[4];
        bool offGrid = false;
        if (a >= 10.0 || b >= 10.0) {
            canvas.FillRect(square, kOrange);
            offGrid = true;
            corners[0] = "(-10,10)m", corners[1] = "(10,10)m", corners[2] = "(-10,-10)m",
            corners[3] = "(10,-10)m";
            m_dGridScale = 5.0, m_iGridMode = 1;
        } else if (a >= 5.0 || b >= 5.0) {
            corners[0] = "(-10,10)m", corners[1] = "(10,10)m", corners[2] = "(-10,-10)m",
            corners[3] = "(10,-10)m";
            m_dGridScale = 5.0, m_iGridMode = 1;
        } else if (a < 1.0 && b < 1.0) {
            corners[0] = "(-1,1)m", corners[1] = "(1,1)m", corners[2] = "(-1,-1)m",
            corners[3] = "(1,-1)m";
            m_dGridScale = 50.0, m_iGridMode = 2;
        } else {
            corners[0] = "(-5,5)m", corners[1] = "(5,5)m", corners[2] = "(-5,-5)m",
            corners[3] = "(5,-5)m";
            m_dGridScale = 10.0, m_iGridMode = 0;
        }
        m_strTopLeft = corners[0];
        m_strTopRight = corners[1];
        m_strBottomLeft = corners[2];
        m_strBottomRight = corners[3];

        // Pixels per metre in the grid's own scale: the corners' 1, 5 or 10 m lie half the
        // grid's span from its middle lines, on both axes.
        const double perMetreX = m_dGridScale * kGridStep / 10.0 * sx;
        const double perMetreY = m_dGridScale * kGridStep / 10.0 * sy;
        const int cx = left + 1 + static_cast<int>(kGridSpan / 2 * sx);
        const int cy = top + static_cast<int>(kGridSpan / 2 * sy);
        const double orient = static_cast<double>(e.orient) * std::numbers::pi / 180.0;
        // The semi-major axis points along the orientation, clockwise from north.
        const double alongE = std::sin(orient), alongN = std::cos(orient);
        const bool drawable = std::isfinite(a) && std::isfinite(b) && std::isfinite(orient);
        if (drawable && !offGrid && b > 0.0 && a > 0.0) {
            // Only the pixels of the ellipse's bounding box inside the square are tested.
            const double r = std::max(a, b);
            const double reachX = r * perMetreX + 2.0, reachY = r * perMetreY + 2.0;
            const int x0 = std::max(left, cx - ui::ClampToPixel(reachX, 0, right - left));
            const int x1 = std::min(right - 1, cx + ui::ClampToPixel(reachX, 0, right - left));
            const int y0 = std::max(top, cy - ui::ClampToPixel(reachY, 0, bottom - top));
            const int y1 = std::min(bottom - 1, cy + ui::ClampToPixel(reachY, 0, bottom - top));
            for (int y = y0; y <= y1; ++y) {
                for (int x = x0; x <= x1; ++x) {
                    const double east = (x - cx) / perMetreX, north = (cy - y) / perMetreY;
                    const double along = east * alongE + north * alongN;
                    const double across = east * alongN - north * alongE;
                    if (along * along / (a * a) + across * across / (b * b) < 1.0)
                        canvas.SetPixel(x, y, kOrange);
                }
            }
        }
        if (drawable) {
            // Both axes at the length the fill gives them, clipped to the square first.
            canvas.SetPen(kBlack);
            const std::pair<double, std::pair<double, double>> axes[] = {{a, {alongE, alongN}},
                                                                         {b, {-alongN, alongE}}};
            for (const auto& [length, dir] : axes) {
                if (!(length > 0.0)) continue;
                double x0 = cx, y0 = cy;
                double x1 = cx + length * dir.first * perMetreX;
                double y1 = cy - length * dir.second * perMetreY;
                if (!ClipSegment(x0, y0, x1, y1, left, top, right - 1, bottom - 1)) continue;
                canvas.MoveTo(ui::ClampToPixel(x0, left, right - 1),
                              ui::ClampToPixel(y0, top, bottom - 1));
                canvas.LineTo(ui::ClampToPixel(x1, left, right - 1),
                              ui::ClampToPixel(y1, top, bottom - 1));
            }
        }
        CopyToWindow(canvas, square);
    } catch (const std::exception& ex) {
        platform::Trace("Error or Exception on CGPS_4::DrawErrorEllipse():%s\n", ex.what());
        platform::Trace("Error or Exception on CGPS_4::DrawErrorEllipse()! \n");
    }
    UpdateData(ui::FALSE);
    m_bRedraw = 0;
}
