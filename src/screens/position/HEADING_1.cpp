#include "screens/position/HEADING_1.h"

#include <QFontInfo>
#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

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

using ui::kWhite;
constexpr ui::Rgb kGrey{120, 120, 120};
using ui::kDarkBlue;
using ui::kOrange;
constexpr ui::Rgb kNearBlack{10, 10, 10};
using ui::kBlack;

constexpr double kPanel[] = {44.654, 132.038, 324.174, 301.659};
// At 131 units across the dial could not keep 24 figures in the dialog font apart; it fills
// the panel's height instead and ends clear of the gauges' captions.
constexpr double kCompassRect[] = {48.0, 140.0, 200.0, 292.0};
constexpr double kRotRect[] = {238.199, 136.979, 309.136, 207.916};
constexpr double kSpeedRect[] = {238.199, 203.84, 309.136, 274.777};
constexpr double kGaugeFlat = 15.0;  // design units of each gauge's foot left white

constexpr double kRotFullScale = 500.0;  // degrees per minute at 120 degrees of the arc
constexpr double kRotDegreesPer = 180.0 / 750.0;
constexpr double kSpeedMax = 80.0;

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

// Where a text on a bearing goes (its top-left corner) to lie as far out as it can without
// its box crossing the circle of radius `reach`.
ui::Point InsideRing(ui::Canvas& c, const DialGeometry& g, double bearing, double reach,
                     const std::string& text) {
    const ui::Point ext = c.GetTextExtent(text);
    const double b = Radians(bearing);
    const double d =
        reach - (ext.x / 2.0 * std::abs(std::sin(b)) + ext.y / 2.0 * std::abs(std::cos(b)));
    const ui::Point p = AtAngle(g.cx, g.cy, d, d, FromBearing(bearing));
    return ui::Point{p.x - ext.x / 2, p.y - ext.y / 2};
}

void LabelInside(ui::Canvas& c, const DialGeometry& g, double bearing, double reach,
                 const std::string& text) {
    const ui::Point at = InsideRing(c, g, bearing, reach, text);
    c.TextOut(at.x, at.y, text);
}

// A value written opaque into a box centred on x. The box is as wide as the widest value the
// dial shows in its range (`widest`) and never grows with the value: one that does not fit is
// shown as `overflow` (the dial's limit it lies beyond), and the text is clipped to the box.
void ValueBox(ui::Canvas& c, int centreX, int top, int minWidth, int minHeight,
              const std::string& widest, std::string text, const std::string& overflow, ui::Rgb ink,
              ui::Rgb paper) {
    const ui::Point room = c.GetTextExtent(widest);
    const int w = std::max(minWidth, room.x + 4);
    const int h = std::max(minHeight, room.y);
    const ui::Rect box{centreX - w / 2, top, centreX - w / 2 + w, top + h};
    if (c.GetTextExtent(text).x + 4 > w) text = overflow;
    const ui::Point ext = c.GetTextExtent(text);
    c.SetTextColor(ink);
    c.SetBkColor(paper);
    c.FillRect(box, paper);
    c.ExtTextOutOpaque(ui::Rect{std::max(box.left, centreX - ext.x / 2), top + (h - ext.y) / 2,
                                box.right, box.bottom},
                       text);
}

// The limit of a dial's range a value lies beyond, for a value too long for its box.
std::string Beyond(double v, const char* low, const char* high) {
    return v < 0.0 ? std::string("<") + low : std::string(">") + high;
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
    // The dial shows the values at once rather than an empty panel until the first tick.
    DrawCompass();
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
    // The cardinal points and every 30 degrees just inside the ticks, the odd multiples of
    // 15 on a ring within: side by side, three-figure labels would run into each other.
    const auto scaled = [&font](double factor) {
        QFont f = font;
        f.setPixelSize(
            std::max(1, static_cast<int>(std::lround(QFontInfo(font).pixelSize() * factor))));
        return f;
    };
    const QFont outerFigures = scaled(0.9), innerFigures = scaled(0.8);
    {
        const DialGeometry& g = compass;
        const double outer = g.rx - 8 - dx(2);
        const double inner = outer - dx(16);
        struct Figure {
            std::string text;
            const QFont* font;
            ui::Point at;
        };
        std::vector<Figure> figures;
        for (int k = 0; k < 24; ++k) {
            const int b = 15 * k;
            static const char* const kCardinal[] = {"N", "E", "S", "W"};
            const bool onOuter = b % 30 == 0;
            Figure f{b % 90 == 0 ? kCardinal[b / 90] : std::to_string(b),
                     onOuter ? &outerFigures : &innerFigures,
                     {}};
            c.SetFont(*f.font);
            f.at = InsideRing(c, g, b, onOuter ? outer : inner, f.text);
            figures.push_back(std::move(f));
        }
        // Grey under every figure first, so the dial's lines stop short of the figures and no
        // figure's paper covers a neighbour.
        for (const Figure& f : figures) {
            c.SetFont(*f.font);
            const ui::Point ext = c.GetTextExtent(f.text);
            c.FillRect(ui::Rect{f.at.x, f.at.y, f.at.x + ext.x, f.at.y + ext.y}, kGrey);
        }
        for (const Figure& f : figures) {
            c.SetFont(*f.font);
            c.TextOut(f.at.x, f.at.y, f.text);
        }
    }
    // The gauges are small: their scale figures use a smaller face of the same font.
    c.SetFont(innerFigures);
    for (int v : {-500, -250, 0, 250, 500})
        LabelInside(c, rotGauge, v * kRotDegreesPer, rotGauge.rx - 6 - dx(1), std::to_string(v));
    const int speedStep = fastScale ? 10 : 1;
    for (int k = 0; k <= 8; ++k)
        LabelInside(c, speedGauge, 30.0 * k - 120.0, speedGauge.rx - 5 - dx(1),
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
    const double headingV = heading, courseV = course, rotV = rot;
    ValueBox(c, compass.cx, compass.cy + dy(2), dx(30), dy(12), " 359.9", f1(" %5.1f", headingV),
             Beyond(headingV, "0", "360"), kNearBlack, kOrange);
    ValueBox(c, compass.cx, compass.cy + dy(14), dx(30), dy(13), " 359.9", f1(" %5.1f", courseV),
             Beyond(courseV, "0", "360"), kWhite, kDarkBlue);
    // The gauges' values sit low, on the foot, clear of the figures at the ends of the arcs.
    ValueBox(c, rotGauge.cx + dx(3), rotGauge.cy + dy(15), dx(26), dy(12), "-500.0",
             f1("%5.1f", rotV), Beyond(rotV, "-500", "500"), kNearBlack, kOrange);
    ValueBox(c, speedGauge.cx, speedGauge.cy + dy(15), dx(27), dy(12), "999.9", f1("%5.1f", speed),
             Beyond(speed, "0", "80"), kWhite, kDarkBlue);
    const int textH = c.GetTextExtent("R").y;
    // The captions sit in the panel's corners beside the dial, clear of its rim.
    Caption(c, panel.left + dx(1), panel.top + dy(1), "Heading", kNearBlack, kOrange);
    Caption(c, panel.left + dx(1), panel.bottom - dy(1) - textH, "COG", kWhite, kDarkBlue);
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
