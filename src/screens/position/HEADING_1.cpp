#include "screens/position/HEADING_1.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <numbers>
#include <string>

#include "engine/gps.h"
#include "engine/txnmea.h"
#include "platform/clock.h"
#include "platform/numbers.h"
#include "resources/dlg_heading1.h"
#include "screens/position/HEADING_2.h"
#include "screens/position/HEADING_3.h"
#include "shell/ScreenPage.h"
#include "shell/Tessaray_PC.h"
#include "ui/fonts.h"

namespace {

constexpr ui::UINT kDrawTimer = 1;
constexpr ui::UINT kDrawMs = 1000;
constexpr int kRateOn = 2;  // eRateCode: 1 Hz
constexpr int kRateOff = 0;
constexpr int kResendTicks = 4;
constexpr std::array<float, 3> kSpeedFactors{1.0f, 0.6215f, 0.54f};
constexpr std::array<const char*, 4> kOutputs{"HEHDT", "HEROT", "GPVTG", "HPR"};

constexpr ui::Rgb kWhite{255, 255, 255};
constexpr ui::Rgb kGrey{120, 120, 120};
constexpr ui::Rgb kOrange{234, 175, 15};
constexpr ui::Rgb kDarkBlue{30, 28, 119};
constexpr ui::Rgb kNearBlack{10, 10, 10};
constexpr ui::Rgb kBlack{0, 0, 0};

constexpr double kPanel[] = {44.654, 132.038, 324.174, 301.659};
constexpr double kCompassRect[] = {72.249, 148.709, 203.566, 280.026};
constexpr double kRotRect[] = {238.199, 136.979, 309.136, 207.916};
constexpr double kSpeedRect[] = {238.199, 203.84, 309.136, 274.777};
constexpr double kGaugeFlat = 15.0;  // design units of each gauge's foot left white

constexpr double kRotFullScale = 500.0;  // degrees per minute at 120 degrees of the arc
constexpr double kRotDegreesPer = 180.0 / 750.0;
constexpr double kSpeedMax = 80.0;

// Compass labels other than the cardinal points and the diagonals: text and offset from the
// dial's centre in design units.
struct DialLabel {
    const char* text;
    int dx, dy;
};
constexpr DialLabel kCompassLabels[] = {
    {"15", 11, -58},   {"30", 24, -51},   {"60", 45, -32},   {"75", 50, -18},
    {"105", 46, 7},    {"120", 41, 20},   {"150", 22, 41},   {"165", 7, 47},
    {"195", -19, 48},  {"210", -33, 41},  {"240", -52, 20},  {"255", -58, 8},
    {"285", -58, -19}, {"300", -53, -31}, {"330", -34, -52}, {"345", -19, -59},
};

double Radians(double degrees) {
    return degrees * std::numbers::pi / 180.0;
}

// A point at a screen angle (degrees counter-clockwise from the right) from the centre.
ui::Point AtAngle(int cx, int cy, double rx, double ry, double theta) {
    return ui::Point{cx + static_cast<int>(std::lround(rx * std::cos(Radians(theta)))),
                     cy - static_cast<int>(std::lround(ry * std::sin(Radians(theta))))};
}

// Bearings (clockwise from the top) to screen angles.
double FromBearing(double bearing) {
    return 90.0 - bearing;
}

DialGeometry Geometry(const double (&r)[4], float sx, float sy) {
    DialGeometry g;
    g.rect = ui::Rect{ui::ScaleX(r[0], sx), ui::ScaleY(r[1], sy), ui::ScaleX(r[2], sx),
                      ui::ScaleY(r[3], sy)};
    g.cx = (g.rect.left + g.rect.right) / 2;
    g.cy = (g.rect.top + g.rect.bottom) / 2;
    g.rx = (g.rect.right - g.rect.left) / 2;
    g.ry = (g.rect.bottom - g.rect.top) / 2;
    return g;
}

void Needle(ui::Canvas& c, const DialGeometry& g, double theta, int tipRadius, int baseHalf,
            int hub, ui::Rgb colour) {
    const ui::Point tip = AtAngle(g.cx, g.cy, tipRadius, tipRadius, theta);
    const double px = std::sin(Radians(theta)) * baseHalf;
    const double py = std::cos(Radians(theta)) * baseHalf;
    const ui::Point triangle[] = {
        tip,
        {g.cx + static_cast<int>(std::lround(px)), g.cy + static_cast<int>(std::lround(py))},
        {g.cx - static_cast<int>(std::lround(px)), g.cy - static_cast<int>(std::lround(py))}};
    c.SetPen(colour, 1);
    c.SetBrush(colour);
    c.Polygon(triangle);
    c.Ellipse(g.cx - hub, g.cy - hub, g.cx + hub + 1, g.cy + hub + 1);
}

void Tick(ui::Canvas& c, const DialGeometry& g, double theta, int length) {
    const ui::Point outer = AtAngle(g.cx, g.cy, g.rx, g.ry, theta);
    const ui::Point inner = AtAngle(g.cx, g.cy, g.rx - length, g.ry - length, theta);
    c.MoveTo(outer.x, outer.y);
    c.LineTo(inner.x, inner.y);
}

// A text centred on a point, white on grey.
void LabelAt(ui::Canvas& c, ui::Point p, const std::string& text) {
    const ui::Point ext = c.GetTextExtent(text);
    c.TextOut(p.x - ext.x / 2, p.y - ext.y / 2, text);
}

// A value written opaque into a box centred on x, at least as large as the text.
void ValueBox(ui::Canvas& c, int centreX, int top, int minWidth, int minHeight,
              const std::string& text, ui::Rgb ink, ui::Rgb paper) {
    const ui::Point ext = c.GetTextExtent(text);
    const int w = std::max(minWidth, ext.x + 4);
    const int h = std::max(minHeight, ext.y);
    c.SetTextColor(ink);
    c.SetBkColor(paper);
    c.FillRect(ui::Rect{centreX - w / 2, top, centreX - w / 2 + w, top + h}, paper);
    c.TextOut(centreX - ext.x / 2, top + (h - ext.y) / 2, text);
}

void Caption(ui::Canvas& c, int x, int y, const std::string& text, ui::Rgb ink, ui::Rgb paper) {
    c.SetTextColor(ink);
    c.SetBkColor(paper);
    c.TextOut(x, y, text);
}

}  // namespace

CHEADING_1::CHEADING_1()
    : CBaseDialog(Heading1DialogTemplate(), ScreenFamily::Heading, SCR_HEADING_1) {
    SetTabScreens(IDC_HEADING_TAB, {SCR_HEADING_1, SCR_HEADING_2, SCR_HEADING_3});
    DDX_Text(IDC_HEADING1_HEADING, m_fHeading);
    DDX_Text(IDC_HEADING1_COG, m_fCOG);
    DDX_Text(IDC_HEADING1_ROT, m_fROT);
    DDX_Text(IDC_HEADING1_SPEED, m_fSpeed);
    OnControl(IDC_HEADING1_GO, ui::BN_CLICKED, [] { g_TxNMEA.SearchAttitude(); });
    OnControl(IDC_HEADING1_SPEED_UNIT, ui::CBN_SELCHANGE, [this] { OnSpeedUnit(); });
}

CHEADING_1::~CHEADING_1() = default;

ui::BOOL CHEADING_1::OnInitDialog() {
    CBaseDialog::OnInitDialog();
    if (FirstActivation()) {
        FillTabLabels(*this, IDC_HEADING_TAB, {"Status", "Setup", "Plot"});
        SetPageFont(*this, Template());
        for (int id : {1095, 1101, 1103, 1105}) SetDlgItemText(id, "\xC2\xBA");
        SetDlgItemText(1107, "\xC2\xBA\\min");
        UpdateStatusStrip();
    }
    m_iTick = 0;
    FillSpeedUnits();
    SelectOwnTab();
    m_nTimer1 = SetTimer(kDrawTimer, kDrawMs);
    SendOutputs(true, false);
    ActivationDone();
    return ui::TRUE;
}

void CHEADING_1::SendOutputs(bool on, bool paced) {
    for (const char* name : kOutputs) {
        g_TxNMEA.SetMessageRate(on ? kRateOn : kRateOff, name, false);
        if (paced) platform::Sleep(10);
    }
    if (!on) return;
    g_TxNMEA.QueryRoll();
    if (paced) platform::Sleep(10);
    g_TxNMEA.QueryDiff();
}

void CHEADING_1::OnCancel() {
    SendOutputs(false, false);
    KillTimer(kDrawTimer);
    CBaseDialog::OnCancel();
}

void CHEADING_1::FillSpeedUnits() {
    ResetContent(IDC_HEADING1_SPEED_UNIT);
    for (const char* s : {"KMH", "MPH", "KNOTS"}) AddString(IDC_HEADING1_SPEED_UNIT, s);
    int32_t unit;
    {
        RecordLock lock(g_GPS.Info.ulPart1Lock);
        unit = g_GPS.Info.eSpeedUnit;
    }
    if (unit >= 0 && unit < static_cast<int32_t>(kSpeedFactors.size())) {
        SetCurSel(IDC_HEADING1_SPEED_UNIT, unit);
        m_fSpeedFactor = kSpeedFactors[static_cast<size_t>(unit)];
    }
    ShowValues();
}

void CHEADING_1::OnSpeedUnit() {
    const int sel = GetCurSel(IDC_HEADING1_SPEED_UNIT);
    if (sel < 0 || sel >= static_cast<int>(kSpeedFactors.size())) return;
    {
        RecordLock lock(g_GPS.Info.ulPart1Lock);
        g_GPS.Info.eSpeedUnit = sel;
    }
    m_fSpeedFactor = kSpeedFactors[static_cast<size_t>(sel)];
}

void CHEADING_1::OnTimer(ui::UINT id) {
    if (!BeginScreenTick(id)) return;
    ShowValues();
    theApp().iHeadingAge.fetch_add(1);
    if (id == kDrawTimer) {
        DrawCompass();
        if (m_iTick < kResendTicks) {
            ++m_iTick;
        } else {
            m_iTick = 0;
            SendOutputs(true, true);
        }
    } else {
        CBaseDialog::OnTimer(id);
    }
    EndScreenTick();
}

void CHEADING_1::ShowValues() {
    {
        const NavInfo& nav = g_GPS.Info.Nav;
        RecordLock lock(g_GPS.Info.Nav.ulNavLock);
        m_fHeading = nav.fHeading;
        if (nav.bRollOutput) {
            SetDlgItemText(IDC_HEADING1_PITCH, "  -  ");
            SetDlgItemText(IDC_HEADING1_ROLL,
                           platform::Format("%.1f", static_cast<double>(nav.fRoll)));
        } else {
            SetDlgItemText(IDC_HEADING1_PITCH,
                           platform::Format("%.1f", static_cast<double>(nav.fPitch)));
            SetDlgItemText(IDC_HEADING1_ROLL, "  -  ");
        }
        m_fCOG = nav.fCourse;
        m_fROT = nav.fROT;
        m_fSpeed = nav.fSpeedKmh * m_fSpeedFactor;
        UpdateStatusStrip();
    }
    UpdateData(ui::FALSE);
}

DialGeometry CHEADING_1::Compass() const {
    return Geometry(kCompassRect, host().fScaleX(), host().fScaleY());
}
DialGeometry CHEADING_1::RotGauge() const {
    return Geometry(kRotRect, host().fScaleX(), host().fScaleY());
}
DialGeometry CHEADING_1::SpeedGauge() const {
    return Geometry(kSpeedRect, host().fScaleX(), host().fScaleY());
}

ui::Point CHEADING_1::HeadingTip(float heading) const {
    const DialGeometry g = Compass();
    const int r = g.rx - 18;
    return AtAngle(g.cx, g.cy, r, r, FromBearing(heading));
}

void CHEADING_1::DrawCompass() {
    // One snapshot of the record for the whole picture.
    float heading, rot, course, speedKmh;
    {
        const NavInfo& nav = g_GPS.Info.Nav;
        RecordLock lock(g_GPS.Info.Nav.ulNavLock);
        heading = nav.fHeading;
        rot = nav.fROT;
        course = nav.fCourse;
        speedKmh = nav.fSpeedKmh;
    }
    const float sx = host().fScaleX();
    const float sy = host().fScaleY();
    const int w = ui::ScaleX(ui::Host::kDesignWidth, sx);
    const int h = ui::ScaleY(ui::Host::kDesignHeight, sy);
    if (m_Canvas.Width() != w || m_Canvas.Height() != h) m_Canvas = ui::Canvas(w, h);
    ui::Canvas& c = m_Canvas;
    QFont font = Widget()->font();
    font.setFamily(ui::SubstituteFamily("Tahoma"));
    c.SetFont(font);
    const auto dx = [sx](double units) { return static_cast<int>(std::lround(units * sx)); };
    const auto dy = [sy](double units) { return static_cast<int>(std::lround(units * sy)); };

    const ui::Rect panel{ui::ScaleX(kPanel[0], sx), ui::ScaleY(kPanel[1], sy),
                         ui::ScaleX(kPanel[2], sx), ui::ScaleY(kPanel[3], sy)};
    c.FillRect(panel, kWhite);

    const DialGeometry compass = Compass();
    const DialGeometry rotGauge = RotGauge();
    const DialGeometry speedGauge = SpeedGauge();
    c.SetPen(kBlack, 1);
    c.SetBrush(kGrey);
    for (const DialGeometry* g : {&compass, &rotGauge, &speedGauge})
        c.Ellipse(g->rect.left, g->rect.top, g->rect.right, g->rect.bottom);
    for (const DialGeometry* g : {&rotGauge, &speedGauge})
        c.FillRect(ui::Rect{g->rect.left, g->rect.bottom - dy(kGaugeFlat), g->rect.right + 1,
                            g->rect.bottom + 1},
                   kWhite);

    c.SetPen(kWhite, 1);
    {
        const DialGeometry& g = compass;
        c.MoveTo(g.cx, g.rect.top);
        c.LineTo(g.cx, g.rect.bottom);
        c.MoveTo(g.rect.left, g.cy);
        c.LineTo(g.rect.right, g.cy);
        const int ox = static_cast<int>(0.707 * g.rx), oy = static_cast<int>(0.707 * g.ry);
        c.MoveTo(g.cx - ox, g.cy - oy);
        c.LineTo(g.cx + ox, g.cy + oy);
        c.MoveTo(g.cx + ox, g.cy - oy);
        c.LineTo(g.cx - ox, g.cy + oy);
        for (int k = 0; k < 24; ++k) Tick(c, g, FromBearing(15.0 * k), 8);
    }
    for (int i = 0; i <= 10; ++i) {
        Tick(c, rotGauge, FromBearing(12.0 * i), i % 2 == 0 ? 6 : 3);
        Tick(c, rotGauge, FromBearing(-12.0 * i), i % 2 == 0 ? 6 : 3);
    }
    for (int i = 0; i <= 8; ++i) {
        Tick(c, speedGauge, FromBearing(15.0 * i), 5);
        Tick(c, speedGauge, FromBearing(-15.0 * i), 5);
    }

    const double speed = static_cast<double>(speedKmh * m_fSpeedFactor);
    const double s = std::isnan(speed) ? 0.0 : std::clamp(speed, 0.0, kSpeedMax);
    const bool fastScale = s > 8.0;

    // Dial labels in white, under the needles so that a needle passing a label stays whole.
    c.SetBkMode(ui::BkMode::Transparent);
    c.SetTextColor(kWhite);
    {
        const DialGeometry& g = compass;
        const ui::Point n = c.GetTextExtent("N");
        c.TextOut(g.cx - n.x / 2, g.rect.top + dy(2), "N");
        c.TextOut(g.cx - n.x / 2, g.rect.bottom - dy(2) - n.y, "S");
        c.TextOut(g.rect.left + dx(3), g.cy - n.y / 2, "W");
        c.TextOut(g.rect.right - dx(3) - c.GetTextExtent("E").x, g.cy - n.y / 2, "E");
        for (const DialLabel& l : kCompassLabels) {
            const ui::Point ext = c.GetTextExtent(l.text);
            // The table places the top-left corner for a text 12 units wide and high.
            c.TextOut(g.cx + dx(l.dx + 6) - ext.x / 2, g.cy + dy(l.dy + 6) - ext.y / 2, l.text);
        }
        for (int b : {45, 135, 225, 315})
            LabelAt(c, AtAngle(g.cx, g.cy, g.rx * 0.6, g.ry * 0.6, FromBearing(b)),
                    std::to_string(b));
    }
    // The gauges are small: their scale figures use a smaller face of the same font.
    QFont small = font;
    small.setPointSizeF(font.pointSizeF() * 0.8);
    c.SetFont(small);
    for (int v : {-500, -250, 0, 250, 500})
        LabelAt(c,
                AtAngle(rotGauge.cx, rotGauge.cy, rotGauge.rx - dx(14), rotGauge.ry - dy(14),
                        FromBearing(v * kRotDegreesPer)),
                std::to_string(v));
    const int speedStep = fastScale ? 10 : 1;
    for (int k = 0; k <= 8; ++k)
        LabelAt(c,
                AtAngle(speedGauge.cx, speedGauge.cy, speedGauge.rx - dx(13),
                        speedGauge.ry - dy(13), 210.0 - 30.0 * k),
                std::to_string(k * speedStep));
    c.SetFont(font);

    // Needles.
    const int headingRadius = compass.rx - 18;
    Needle(c, compass, FromBearing(heading), headingRadius, 5, 5, kOrange);
    const double rotShown = std::clamp(static_cast<double>(rot), -kRotFullScale, kRotFullScale);
    Needle(c, rotGauge, FromBearing(rotShown * kRotDegreesPer), rotGauge.rx - 13, 3, 3, kOrange);
    Needle(c, compass, FromBearing(course), headingRadius, 2, 2, kDarkBlue);
    const double fullScale = fastScale ? 60.0 : 6.0;
    Needle(c, speedGauge, 210.0 - s / fullScale * 180.0, speedGauge.rx - 13, 3, 3, kDarkBlue);

    c.SetBkMode(ui::BkMode::Opaque);
    // Values in boxes, captions in the colours of their needles.
    const auto f1 = [](const char* fmt, double v) { return platform::Format(fmt, v); };
    ValueBox(c, compass.cx, compass.cy + dy(2), dx(30), dy(12),
             f1(" %5.1f", static_cast<double>(heading)), kNearBlack, kOrange);
    ValueBox(c, compass.cx, compass.cy + dy(14), dx(30), dy(13),
             f1(" %5.1f", static_cast<double>(course)), kWhite, kDarkBlue);
    ValueBox(c, rotGauge.cx + dx(3), rotGauge.cy + dy(5), dx(26), dy(12),
             f1("%5.1f", static_cast<double>(rot)), kNearBlack, kOrange);
    ValueBox(c, speedGauge.cx, speedGauge.cy + dy(5), dx(27), dy(12), f1("%5.1f", speed), kWhite,
             kDarkBlue);
    const int textH = c.GetTextExtent("R").y;
    Caption(c, compass.rect.left - dx(3), compass.rect.top - dy(5), "Heading", kNearBlack, kOrange);
    Caption(c, compass.rect.left - dx(3), compass.rect.bottom - dy(15), "COG", kWhite, kDarkBlue);
    Caption(c, rotGauge.rect.left - dx(2) - c.GetTextExtent("ROT").x, rotGauge.cy - textH / 2,
            "ROT", kNearBlack, kOrange);
    Caption(c, speedGauge.rect.left - dx(2) - c.GetTextExtent("Speed").x, speedGauge.cy - textH / 2,
            "Speed", kWhite, kDarkBlue);

    CopyToWindow(c, panel);
}

void RegisterHeadingScreens() {
    RegisterScreen(SCR_HEADING_1, [] { return std::make_unique<CHEADING_1>(); });
    RegisterScreen(SCR_HEADING_2, [] { return std::make_unique<CHEADING_2>(); });
    RegisterScreen(SCR_HEADING_3, [] { return std::make_unique<CHEADING_3>(); });
}
