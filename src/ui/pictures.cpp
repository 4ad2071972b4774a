#include "ui/pictures.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>
#include <algorithm>
#include <array>
#include <cmath>
#include <string>

#include "ui/fonts.h"

namespace ui {

namespace {

// ---------------------------------------------------------------------------------------
// Palette. Plot colours are the system's; the frame colours are ours.
const QColor kOrangeInk(ui::kOrange.r, ui::kOrange.g, ui::kOrange.b);
const QColor kBlueInk(ui::kDarkBlue.r, ui::kDarkBlue.g, ui::kDarkBlue.b);
const QColor kPlotGrey(120, 120, 120);
const QColor kBodyTop(58, 63, 72);
const QColor kBodyBottom(34, 38, 44);
const QColor kScreen(244, 245, 247);
const QColor kInk(32, 36, 42);
const QColor kKey(58, 65, 77);
const QColor kKeyText(232, 234, 237);
const QColor kKeyDim(112, 120, 132);
const QColor kGood(46, 170, 80);
const QColor kBad(214, 64, 58);
const QColor kAmber(240, 160, 30);

QFont Font(double pixelSize, bool bold = false) {
    QFont f(PictureFamily());
    f.setPixelSize(std::max(1, static_cast<int>(std::lround(pixelSize))));
    f.setBold(bold);
    f.setStyleStrategy(QFont::PreferAntialias);
    return f;
}

void CenteredText(QPainter& p, const QRectF& r, const QString& text, double px, bool bold,
                  const QColor& colour) {
    p.setFont(Font(px, bold));
    p.setPen(colour);
    p.drawText(r, Qt::AlignCenter, text);
}

// ---------------------------------------------------------------------------------------
// Navigation bars: the id table of the screen families.

struct NavRow {
    NavLabel label;
    int otherFound, otherLost, headingFound, headingLost;
};

using NavRows = std::array<NavRow, 8>;

constexpr NavRows kBaseRows{{
    {NavLabel::None, 295, 286, 289, 280},
    {NavLabel::Beacon, 163, 152, 155, 143},
    {NavLabel::LBand, 186, 175, 178, 166},
    {NavLabel::Sbas, 205, 141, 199, 189},
    {NavLabel::External, 313, 304, 307, 298},
    {NavLabel::XRef, 277, 265, 268, 256},
    {NavLabel::TSpanBase, 358, 347, 350, 339},
    {NavLabel::TSpanRover, 380, 369, 372, 361},
}};

constexpr NavRows kGpsRows{{
    {NavLabel::None, 291, 282, 290, 281},
    {NavLabel::Beacon, 159, 147, 158, 146},
    {NavLabel::LBand, 180, 168, 179, 167},
    {NavLabel::Sbas, 200, 191, 142, 190},
    {NavLabel::External, 309, 300, 308, 299},
    {NavLabel::XRef, 273, 260, 272, 259},
    {NavLabel::TSpanBase, 354, 343, 353, 342},
    {NavLabel::TSpanRover, 376, 365, 375, 364},
}};

constexpr NavRows kLogsRows{{
    {NavLabel::None, 294, 285, 293, 284},
    {NavLabel::Beacon, 162, 151, 161, 150},
    {NavLabel::LBand, 185, 174, 184, 173},
    {NavLabel::Sbas, 203, 194, 202, 193},
    {NavLabel::External, 312, 303, 311, 302},
    {NavLabel::XRef, 276, 263, 275, 262},
    {NavLabel::TSpanBase, 357, 346, 356, 345},
    {NavLabel::TSpanRover, 379, 368, 378, 367},
}};

constexpr NavRows kTerminalRows{{
    {NavLabel::None, 297, 288, 296, 287},
    {NavLabel::Beacon, 165, 154, 164, 153},
    {NavLabel::LBand, 188, 177, 187, 176},
    {NavLabel::Sbas, 209, 198, 208, 197},
    {NavLabel::External, 315, 306, 314, 305},
    {NavLabel::XRef, 279, 267, 278, 266},
    {NavLabel::TSpanBase, 360, 349, 359, 348},
    {NavLabel::TSpanRover, 382, 371, 381, 370},
}};

// Heading screens exist only for heading receivers: found, then not found.
struct HeadingRow {
    NavLabel label;
    int found, lost;
};
constexpr std::array<HeadingRow, 8> kHeadingRows{{
    {NavLabel::None, 292, 283},
    {NavLabel::Beacon, 160, 149},
    {NavLabel::LBand, 181, 169},
    {NavLabel::Sbas, 201, 192},
    {NavLabel::External, 310, 301},
    {NavLabel::XRef, 274, 261},
    {NavLabel::TSpanBase, 355, 344},
    {NavLabel::TSpanRover, 377, 366},
}};

// The differential families replace only the row of their own source.
struct FamilyRow {
    NavFamily family;
    NavRow row;
};
constexpr std::array<FamilyRow, 6> kDiffFamilyRows{{
    {NavFamily::Beacon, {NavLabel::Beacon, 157, 145, 156, 144}},
    {NavFamily::LBand, {NavLabel::LBand, 183, 172, 182, 171}},
    {NavFamily::Sbas, {NavLabel::Sbas, 207, 196, 206, 195}},
    {NavFamily::XRef, {NavLabel::XRef, 270, 258, 269, 257}},
    {NavFamily::TSpanBase, {NavLabel::TSpanBase, 352, 341, 351, 340}},
    {NavFamily::TSpanRover, {NavLabel::TSpanRover, 374, 363, 373, 362}},
}};

NavButton HighlightOf(NavFamily family) {
    switch (family) {
        case NavFamily::Base:
            return NavButton::None;
        case NavFamily::Gps:
            return NavButton::Gps;
        case NavFamily::Logs:
            return NavButton::Logs;
        case NavFamily::Terminal:
            return NavButton::Terminal;
        case NavFamily::Heading:
            return NavButton::Heading;
        default:
            return NavButton::Diff;
    }
}

void AddRow(std::vector<NavBarPicture>& out, NavFamily family, const NavRow& row) {
    const NavButton hl = HighlightOf(family);
    out.push_back({row.otherFound, family, row.label, true, false, hl});
    out.push_back({row.otherLost, family, row.label, false, false, hl});
    out.push_back({row.headingFound, family, row.label, true, true, hl});
    out.push_back({row.headingLost, family, row.label, false, true, hl});
}

std::vector<NavBarPicture> BuildNavBars() {
    std::vector<NavBarPicture> out;
    for (const auto& r : kBaseRows) AddRow(out, NavFamily::Base, r);
    for (const auto& r : kGpsRows) AddRow(out, NavFamily::Gps, r);
    for (const auto& r : kLogsRows) AddRow(out, NavFamily::Logs, r);
    for (const auto& r : kTerminalRows) AddRow(out, NavFamily::Terminal, r);
    for (const auto& f : kDiffFamilyRows) AddRow(out, f.family, f.row);
    for (const auto& r : kHeadingRows) {
        out.push_back({r.found, NavFamily::Heading, r.label, true, true, NavButton::Heading});
        out.push_back({r.lost, NavFamily::Heading, r.label, false, true, NavButton::Heading});
    }
    std::sort(out.begin(), out.end(),
              [](const NavBarPicture& a, const NavBarPicture& b) { return a.id < b.id; });
    return out;
}

QString LabelText(NavLabel label) {
    switch (label) {
        case NavLabel::None:
            return QStringLiteral("NONE");
        case NavLabel::Beacon:
            return QStringLiteral("BCN");
        case NavLabel::LBand:
            return QStringLiteral("LBND");
        case NavLabel::Sbas:
            return QStringLiteral("SBAS");
        case NavLabel::External:
            return QStringLiteral("EXT");
        case NavLabel::XRef:
            return QStringLiteral("xREF");
        case NavLabel::TSpanBase:
            return QStringLiteral("BASE");
        case NavLabel::TSpanRover:
            return QStringLiteral("ROVER");
    }
    return {};
}

// Button rectangles of the bar in its own coordinates (design hot spots less the bar origin).
QRectF NavKey(double left, double right) {
    return QRectF(left - kNavBarRect.x, 421 - kNavBarRect.y, right - left, 438 - 421);
}

void NavBarBase(QPainter& p) {
    QLinearGradient g(0, 0, 0, kNavBarRect.h);
    g.setColorAt(0, QColor(44, 49, 57));
    g.setColorAt(1, QColor(30, 34, 40));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRoundedRect(QRectF(0, 0, kNavBarRect.w, kNavBarRect.h), 5, 5);
    p.setPen(QPen(QColor(255, 255, 255, 28), 0.6));
    p.setBrush(Qt::NoBrush);
    p.drawLine(QPointF(6, 0.6), QPointF(kNavBarRect.w - 6, 0.6));
}

void Key(QPainter& p, const QRectF& r, bool highlighted, bool enabled) {
    p.setPen(Qt::NoPen);
    if (highlighted) {
        p.setBrush(kOrangeInk);
    } else {
        QLinearGradient g(r.topLeft(), r.bottomLeft());
        g.setColorAt(0, enabled ? QColor(72, 80, 94) : QColor(50, 55, 63));
        g.setColorAt(1, enabled ? kKey : QColor(44, 49, 57));
        p.setBrush(g);
    }
    p.drawRoundedRect(r, 3, 3);
}

QColor KeyInk(bool highlighted, bool enabled) {
    if (highlighted) return QColor(28, 26, 20);
    return enabled ? kKeyText : kKeyDim;
}

void PaintNavBar(QPainter& p, int id) {
    const auto desc = Pictures::NavBar(id);
    if (!desc) return;
    NavBarBase(p);
    struct KeyDef {
        NavButton button;
        double left, right;
        QString text;
    };
    const std::array<KeyDef, 5> keys{{
        {NavButton::Gps, 50, 73, QStringLiteral("GPS")},
        {NavButton::Diff, 82, 109, LabelText(desc->label)},
        {NavButton::Terminal, 117, 146, QStringLiteral("TERM")},
        {NavButton::Logs, 152, 181, QStringLiteral("LOGS")},
        {NavButton::Heading, 189, 213, QStringLiteral("HDG")},
    }};
    for (const auto& k : keys) {
        const bool hl = desc->highlighted == k.button;
        const bool enabled = k.button != NavButton::Heading || desc->heading;
        const QRectF r = NavKey(k.left, k.right);
        Key(p, r, hl, enabled);
        CenteredText(p, r, k.text, k.text.size() > 4 ? 6.5 : 7.5, true, KeyInk(hl, enabled));
    }

    // Link state between the keys and the connection button.
    const QRectF status = NavKey(219, 271);
    const QColor led = desc->found ? kGood : kBad;
    const QPointF c(status.left() + 5, status.center().y());
    QRadialGradient glow(c, 4);
    glow.setColorAt(0, led.lighter(150));
    glow.setColorAt(1, led);
    p.setPen(QPen(QColor(0, 0, 0, 90), 0.5));
    p.setBrush(glow);
    p.drawEllipse(c, 3.2, 3.2);
    p.setFont(Font(7));
    p.setPen(desc->found ? kKeyText : QColor(240, 170, 160));
    p.drawText(QRectF(status.left() + 11, status.top(), status.width() - 11, status.height()),
               Qt::AlignVCenter | Qt::AlignLeft,
               desc->found ? QStringLiteral("Receiver") : QStringLiteral("No receiver"));

    // Connection button: a plug.
    const QRectF r = NavKey(277, 300);
    Key(p, r, false, true);
    p.setPen(QPen(kKeyText, 1.3, Qt::SolidLine, Qt::RoundCap));
    const QPointF m = r.center();
    p.drawLine(QPointF(m.x() - 7, m.y()), QPointF(m.x() - 3, m.y()));
    p.setBrush(kKeyText);
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(m.x() - 3, m.y() - 3.5, 5, 7), 1.2, 1.2);
    p.setPen(QPen(kKeyText, 1.1, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(m.x() + 2, m.y() - 2), QPointF(m.x() + 6, m.y() - 2));
    p.drawLine(QPointF(m.x() + 2, m.y() + 2), QPointF(m.x() + 6, m.y() + 2));
}

// The file browser's banner: OK, Cancel and the three layouts.
void PaintBanner(QPainter& p, int id) {
    const bool okAvailable = id == 237;
    NavBarBase(p);
    auto wide = [&](double l, double r) {
        return QRectF(l - kNavBarRect.x, 420 - kNavBarRect.y + 1, r - l, 440 - 420 - 2);
    };
    const QRectF ok = wide(54, 108);
    Key(p, ok, okAvailable, okAvailable);
    CenteredText(p, ok, QStringLiteral("OK"), 8, true, KeyInk(okAvailable, okAvailable));
    const QRectF cancel = wide(112, 166);
    Key(p, cancel, false, true);
    CenteredText(p, cancel, QStringLiteral("Cancel"), 8, true, kKeyText);
    // Layouts: tree and list, tree only, list only.
    const std::array<double, 3> lefts{206, 237, 268};
    for (int i = 0; i < 3; ++i) {
        const QRectF r = wide(lefts[i], lefts[i] + 27);
        Key(p, r, false, true);
        const QRectF g = r.adjusted(7, 4, -7, -4);
        p.setPen(QPen(kKeyText, 0.9));
        p.setBrush(Qt::NoBrush);
        if (i == 0) {
            p.drawRect(QRectF(g.left(), g.top(), g.width(), g.height() * 0.42));
            p.drawRect(QRectF(g.left(), g.top() + g.height() * 0.58, g.width(), g.height() * 0.42));
        } else {
            p.drawRect(g);
            const double step = g.height() / 4;
            for (int k = 1; k < 4; ++k) {
                const double y = g.top() + k * step;
                const double indent = i == 1 ? (k % 2 ? 2.5 : 4.5) : 1.5;
                p.drawLine(QPointF(g.left() + indent, y), QPointF(g.right() - 1.5, y));
            }
        }
    }
}

// ---------------------------------------------------------------------------------------
// The instrument frame every page lies on.

void PaintBackground(QPainter& p, int) {
    p.fillRect(QRectF(0, 0, 370, 510), QColor(22, 25, 30));
    // Body.
    QLinearGradient body(0, 0, 0, 510);
    body.setColorAt(0, kBodyTop);
    body.setColorAt(1, kBodyBottom);
    p.setPen(QPen(QColor(90, 97, 108), 1));
    p.setBrush(body);
    p.drawRoundedRect(QRectF(4.5, 4.5, 361, 501), 30, 30);
    p.setPen(QPen(QColor(255, 255, 255, 22), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(8.5, 8.5, 353, 493), 27, 27);

    // Screen recess and screen.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(17, 19, 23));
    p.drawRoundedRect(QRectF(38, 54, 294, 397), 9, 9);
    p.setBrush(kScreen);
    p.drawRect(QRectF(kScreenRect.x, kScreenRect.y, kScreenRect.w, kScreenRect.h));
    // A faint rule above the navigation bar.
    p.setPen(QPen(QColor(214, 217, 222), 1));
    p.drawLine(QPointF(50, 412.5), QPointF(320, 412.5));

    // Maker's mark above the screen.
    p.setFont(Font(15, true));
    p.setPen(QColor(226, 229, 233));
    QFont mark = Font(15, true);
    mark.setLetterSpacing(QFont::AbsoluteSpacing, 3);
    p.setFont(mark);
    p.drawText(QRectF(0, 16, 370, 26), Qt::AlignCenter, QStringLiteral("TESSARAY"));
    p.setPen(Qt::NoPen);
    p.setBrush(kOrangeInk);
    p.drawRoundedRect(QRectF(161, 41, 48, 3), 1.5, 1.5);

    // Close box.
    const QRectF box(kCloseBoxRect.x, kCloseBoxRect.y, kCloseBoxRect.w, kCloseBoxRect.h);
    p.setPen(QPen(QColor(150, 156, 166), 1));
    p.setBrush(QColor(226, 229, 234));
    p.drawRoundedRect(box.adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
    p.setPen(QPen(QColor(70, 76, 86), 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(box.topLeft() + QPointF(4.5, 4.5), box.bottomRight() - QPointF(4.5, 4.5));
    p.drawLine(box.topRight() + QPointF(-4.5, 4.5), box.bottomLeft() + QPointF(4.5, -4.5));

    // Speaker grille below the screen.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(24, 27, 32));
    for (int row = 0; row < 3; ++row)
        for (int i = 0; i < 9; ++i)
            p.drawEllipse(QPointF(153 + i * 8 + (row % 2) * 4, 468 + row * 7), 1.6, 1.6);
}

// ---------------------------------------------------------------------------------------
// Small pictures.

void Lamp(QPainter& p, const QColor& colour) {
    const QPointF c(6, 6);
    QRadialGradient g(QPointF(4.6, 4.4), 6);
    g.setColorAt(0, colour.lighter(170));
    g.setColorAt(0.55, colour);
    g.setColorAt(1, colour.darker(135));
    p.setPen(QPen(QColor(40, 40, 40, 160), 0.8));
    p.setBrush(g);
    p.drawEllipse(c, 5.2, 5.2);
}

void PaintLamp(QPainter& p, int id) {
    switch (id) {
        case 134:
            Lamp(p, kBad);
            break;
        case 137:
            Lamp(p, kAmber);
            break;
        default:
            Lamp(p, kGood);
            break;
    }
}

// Sky plot legend: tracked and unavailable, GPS orange and correction satellites blue.
void PaintLegend(QPainter& p, int id) {
    const bool sbas = id == 170 || id == 220;
    const bool unavailable = id == 220 || id == 222;
    p.setPen(QPen(Qt::black, 0.8));
    p.setBrush(sbas ? kBlueInk : kOrangeInk);
    p.drawEllipse(QPointF(6, 6), 5, 5);
    if (unavailable) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(150, 150, 150));
        p.drawEllipse(QPointF(6, 6), 3, 3);
    }
}

void PaintSkyLabel(QPainter& p, int id) {
    static const std::array<const char*, 8> dirs{"N", "NE", "E", "SE", "S", "SW", "W", "NW"};
    static const std::array<const char*, 4> rings{"0\u00b0", "30\u00b0", "60\u00b0", "90\u00b0"};
    const QString text = id >= 210 && id <= 217 ? QString::fromUtf8(dirs[id - 210])
                                                : QString::fromUtf8(rings[id - 232]);
    CenteredText(p, QRectF(0, 0, 18, 12), text, 8.5, id <= 217, kInk);
}

void ButtonFace(QPainter& p, bool pressed, const QColor& accent) {
    const QRectF r(1, 1, 26, 20);
    QLinearGradient g(0, 0, 0, 22);
    g.setColorAt(0, pressed ? accent.darker(125) : accent.lighter(112));
    g.setColorAt(1, pressed ? accent.darker(110) : accent.darker(108));
    p.setPen(QPen(accent.darker(150), 0.8));
    p.setBrush(g);
    p.drawRoundedRect(r, 4, 4);
}

void PaintButtonPicture(QPainter& p, int id) {
    const bool pressed = id == 218 || id == 223;
    const QPointF c(14, 11);
    switch (id) {
        case 230:  // resume
            ButtonFace(p, false, QColor(58, 140, 86));
            p.setPen(Qt::NoPen);
            p.setBrush(Qt::white);
            p.drawPolygon(
                QPolygonF({c + QPointF(-3.5, -5.5), c + QPointF(5.5, 0), c + QPointF(-3.5, 5.5)}));
            break;
        case 231:  // pause
            ButtonFace(p, false, QColor(78, 88, 104));
            p.setPen(Qt::NoPen);
            p.setBrush(Qt::white);
            p.drawRoundedRect(QRectF(c.x() - 4.5, c.y() - 5.5, 3.2, 11), 0.8, 0.8);
            p.drawRoundedRect(QRectF(c.x() + 1.3, c.y() - 5.5, 3.2, 11), 0.8, 0.8);
            break;
        case 223:
        case 224:  // send
            ButtonFace(p, pressed, kBlueInk.lighter(140));
            p.setPen(Qt::NoPen);
            p.setBrush(Qt::white);
            p.drawPolygon(QPolygonF({c + QPointF(-7, -6), c + QPointF(7, 0), c + QPointF(-7, 6),
                                     c + QPointF(-4.5, 0)}));
            break;
        default:  // 218, 219 clear
            ButtonFace(p, pressed, QColor(150, 92, 40));
            p.setPen(QPen(Qt::white, 1.8, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(c + QPointF(-4, -4), c + QPointF(4, 4));
            p.drawLine(c + QPointF(4, -4), c + QPointF(-4, 4));
            break;
    }
    if (pressed) {
        p.setPen(QPen(QColor(0, 0, 0, 70), 1));
        p.setBrush(Qt::NoBrush);
        p.drawLine(QPointF(4, 2.5), QPointF(24, 2.5));
    }
}

// North America for the ionosphere page: equirectangular, longitude -170..-40 and
// latitude 5..80 over 240 x 165 pixels from y 25.
QPointF MapPoint(double lon, double lat) {
    return QPointF((lon + 170.0) * 240.0 / 130.0, 25.0 + (80.0 - lat) * 165.0 / 75.0);
}

void PaintMap(QPainter& p, int) {
    p.fillRect(QRectF(0, 0, 240, 190), QColor(214, 228, 240));
    p.setPen(QPen(QColor(255, 255, 255, 170), 0.6));
    for (int lon = -160; lon <= -40; lon += 20) p.drawLine(MapPoint(lon, 80), MapPoint(lon, 5));
    for (int lat = 10; lat <= 80; lat += 10) p.drawLine(MapPoint(-170, lat), MapPoint(-40, lat));
    static const double kMainland[][2] = {
        {-168, 65}, {-163, 69}, {-156, 71}, {-141, 70}, {-128, 70}, {-115, 68}, {-100, 68},
        {-94, 71},  {-86, 69},  {-82, 66},  {-88, 64},  {-94, 60},  {-93, 57},  {-87, 55},
        {-82, 53},  {-79, 55},  {-78, 60},  {-73, 62},  {-65, 60},  {-61, 56},  {-56, 52},
        {-59, 48},  {-65, 45},  {-70, 43},  {-70, 41},  {-74, 40},  {-76, 37},  {-76, 35},
        {-81, 31},  {-80, 26},  {-81, 25},  {-83, 28},  {-85, 30},  {-89, 30},  {-94, 29},
        {-97, 27},  {-97, 22},  {-95, 19},  {-91, 19},  {-87, 21},  {-88, 16},  {-84, 15},
        {-83, 11},  {-80, 9},   {-78, 8},   {-80, 7},   {-86, 11},  {-92, 14},  {-96, 16},
        {-105, 20}, {-106, 23}, {-110, 24}, {-112, 29}, {-110, 23}, {-115, 30}, {-117, 32},
        {-121, 35}, {-124, 40}, {-124, 46}, {-125, 49}, {-130, 54}, {-136, 58}, {-144, 60},
        {-152, 59}, {-158, 57}, {-164, 55}, {-159, 58}, {-165, 61},
    };
    static const double kGreenland[][2] = {{-55, 60}, {-43, 60}, {-37, 65}, {-22, 70}, {-20, 78},
                                           {-40, 83}, {-62, 81}, {-72, 78}, {-60, 75}, {-54, 70}};
    static const double kCuba[][2] = {{-85, 22}, {-80, 23}, {-74, 20}, {-78, 20}, {-82, 22}};
    auto shape = [&](const auto& pts) {
        QPolygonF poly;
        for (const auto& pt : pts) poly << MapPoint(pt[0], pt[1]);
        p.setPen(QPen(QColor(120, 112, 92), 0.8));
        p.setBrush(QColor(236, 230, 212));
        p.drawPolygon(poly);
    };
    shape(kMainland);
    shape(kGreenland);
    shape(kCuba);
    p.setPen(QPen(QColor(150, 150, 150), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0.5, 25.5, 239, 164));
}

void PaintLogo(QPainter& p, int) {
    // A globe with an orbit and the name beside it.
    const QPointF c(30, 30);
    QRadialGradient g(QPointF(24, 22), 26);
    g.setColorAt(0, kBlueInk.lighter(190));
    g.setColorAt(1, kBlueInk);
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawEllipse(c, 20, 20);
    p.setPen(QPen(QColor(255, 255, 255, 120), 0.8));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, 8, 20);
    p.drawLine(QPointF(10, 30), QPointF(50, 30));
    p.drawLine(QPointF(13, 20), QPointF(47, 20));
    p.drawLine(QPointF(13, 40), QPointF(47, 40));
    p.save();
    p.translate(c);
    p.rotate(-25);
    p.setPen(QPen(kOrangeInk, 1.6));
    p.drawEllipse(QPointF(0, 0), 28, 9);
    p.setPen(Qt::NoPen);
    p.setBrush(kOrangeInk);
    p.drawEllipse(QPointF(27, -3), 3, 3);
    p.restore();
    p.setFont(Font(18, true));
    p.setPen(kInk);
    p.drawText(QRectF(64, 10, 100, 24), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Tessaray"));
    p.setFont(Font(9));
    p.setPen(QColor(90, 96, 106));
    p.drawText(QRectF(65, 33, 100, 14), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("GNSS receiver console"));
}

// ---------------------------------------------------------------------------------------
// Icons.

void PaintAppIcon(QPainter& p, int id) {
    const double s = id == 128 ? 32 : 16;
    p.scale(s / 32.0, s / 32.0);
    QLinearGradient g(0, 0, 0, 32);
    g.setColorAt(0, kBodyTop);
    g.setColorAt(1, kBodyBottom);
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRoundedRect(QRectF(1, 1, 30, 30), 7, 7);
    p.setPen(QPen(QColor(255, 255, 255, 150), 1.2));
    p.setBrush(kBlueInk.lighter(130));
    p.drawEllipse(QPointF(16, 16), 9, 9);
    p.setPen(QPen(kOrangeInk, 2.2));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(16, 16), 13, 5);
    p.setPen(Qt::NoPen);
    p.setBrush(kOrangeInk);
    p.drawEllipse(QPointF(27, 13), 2.4, 2.4);
}

void Folder(QPainter& p, bool open) {
    const QColor body(232, 178, 62);
    p.setPen(QPen(body.darker(140), 0.8));
    p.setBrush(body.darker(108));
    p.drawRoundedRect(QRectF(1.5, 3.5, 6, 3), 1, 1);
    p.drawRoundedRect(QRectF(1.5, 4.5, 13, 9.5), 1.2, 1.2);
    p.setBrush(body.lighter(115));
    if (open) {
        p.drawPolygon(QPolygonF(
            {QPointF(3.5, 7.5), QPointF(15.5, 7.5), QPointF(13.5, 14), QPointF(1.5, 14)}));
    } else {
        p.drawRoundedRect(QRectF(1.5, 6.5, 13, 7.5), 1.2, 1.2);
    }
}

void Drive(QPainter& p, bool selected) {
    QLinearGradient g(0, 5, 0, 12);
    g.setColorAt(0, QColor(210, 214, 220));
    g.setColorAt(1, QColor(150, 156, 166));
    p.setPen(QPen(QColor(90, 96, 106), 0.8));
    p.setBrush(g);
    p.drawRoundedRect(QRectF(1.5, 5.5, 13, 6.5), 1.5, 1.5);
    p.setPen(Qt::NoPen);
    p.setBrush(selected ? kOrangeInk : kGood);
    p.drawEllipse(QPointF(11.5, 8.8), 1.3, 1.3);
    p.setBrush(QColor(90, 96, 106));
    p.drawRect(QRectF(3.5, 8.2, 5, 1.2));
}

void FileIcon(QPainter& p, int id) {
    QPainterPath sheet;
    sheet.moveTo(3.5, 1.5);
    sheet.lineTo(10, 1.5);
    sheet.lineTo(13.5, 5);
    sheet.lineTo(13.5, 14.5);
    sheet.lineTo(3.5, 14.5);
    sheet.closeSubpath();
    p.setPen(QPen(QColor(110, 116, 126), 0.8));
    p.setBrush(Qt::white);
    p.drawPath(sheet);
    p.drawLine(QPointF(10, 1.5), QPointF(10, 5));
    p.drawLine(QPointF(10, 5), QPointF(13.5, 5));
    QColor band = QColor(160, 166, 176);
    if (id == kIconTextFile) band = kBlueInk.lighter(150);
    if (id == kIconBinaryFile) band = QColor(90, 96, 106);
    if (id == kIconConfigFile) band = kOrangeInk;
    p.setPen(QPen(band, 1));
    for (int i = 0; i < 3; ++i)
        p.drawLine(QPointF(5.5, 7.5 + 2.3 * i), QPointF(11.5, 7.5 + 2.3 * i));
}

// Marker icons of the plot screens: line, diamond, dot.
void PaintMarker(QPainter& p, int id) {
    p.fillRect(QRectF(0, 0, 32, 32), Qt::transparent);
    p.setPen(QPen(kBlueInk, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(kBlueInk);
    switch (id) {
        case 217:
            p.setBrush(Qt::NoBrush);
            p.drawPolyline(
                QPolygonF({QPointF(4, 22), QPointF(12, 12), QPointF(20, 18), QPointF(28, 8)}));
            break;
        case 218:
            p.drawPolygon(
                QPolygonF({QPointF(16, 10), QPointF(22, 16), QPointF(16, 22), QPointF(10, 16)}));
            break;
        default:
            p.drawEllipse(QPointF(16, 16), 5, 5);
            break;
    }
}

void PaintIcon(QPainter& p, int id) {
    switch (id) {
        case 128:
        case 216:
            PaintAppIcon(p, id);
            break;
        case 131:
            Drive(p, false);
            break;
        case 134:
            Drive(p, true);
            break;
        case 133:
            Folder(p, false);
            break;
        case 132:
            Folder(p, true);
            break;
        case 217:
        case 218:
        case 219:
            PaintMarker(p, id);
            break;
        default:
            FileIcon(p, id);
            break;
    }
}

// ---------------------------------------------------------------------------------------
// The registry of every picture.

using PaintFn = void (*)(QPainter&, int);

struct Entry {
    int id;
    PictureKind kind;
    int width, height;
    PaintFn paint;
    const char* name;
};

std::vector<Entry> BuildEntries() {
    std::vector<Entry> e;
    const auto b = PictureKind::Bitmap;
    const auto i = PictureKind::Icon;
    e.push_back({130, b, 370, 510, PaintBackground, "background"});
    e.push_back({134, b, 12, 12, PaintLamp, "lamp bad"});
    e.push_back({135, b, 12, 12, PaintLamp, "lamp link good"});
    e.push_back({136, b, 12, 12, PaintLamp, "lamp heading good"});
    e.push_back({137, b, 12, 12, PaintLamp, "lamp active"});
    e.push_back({138, b, 12, 12, PaintLamp, "lamp good"});
    for (const auto& nav : Pictures::NavBars())
        e.push_back({nav.id, b, static_cast<int>(kNavBarRect.w), static_cast<int>(kNavBarRect.h),
                     PaintNavBar, "navigation bar"});
    e.push_back({170, b, 12, 12, PaintLegend, "legend tracked SBAS"});
    e.push_back({220, b, 12, 12, PaintLegend, "legend unavailable SBAS"});
    e.push_back({221, b, 12, 12, PaintLegend, "legend tracked GPS"});
    e.push_back({222, b, 12, 12, PaintLegend, "legend unavailable GPS"});
    for (int id = 210; id <= 217; ++id) e.push_back({id, b, 18, 12, PaintSkyLabel, "sky label"});
    for (int id = 232; id <= 235; ++id) e.push_back({id, b, 18, 12, PaintSkyLabel, "ring label"});
    e.push_back({218, b, 28, 22, PaintButtonPicture, "clear pressed"});
    e.push_back({219, b, 28, 22, PaintButtonPicture, "clear"});
    e.push_back({223, b, 28, 22, PaintButtonPicture, "send pressed"});
    e.push_back({224, b, 28, 22, PaintButtonPicture, "send"});
    e.push_back({230, b, 28, 22, PaintButtonPicture, "resume"});
    e.push_back({231, b, 28, 22, PaintButtonPicture, "pause"});
    e.push_back({236, b, 240, 190, PaintMap, "North American map"});
    e.push_back({237, b, static_cast<int>(kNavBarRect.w), static_cast<int>(kNavBarRect.h),
                 PaintBanner, "browser banner OK"});
    e.push_back({238, b, static_cast<int>(kNavBarRect.w), static_cast<int>(kNavBarRect.h),
                 PaintBanner, "browser banner"});
    e.push_back({326, b, 170, 60, PaintLogo, "logo"});

    e.push_back({128, i, 32, 32, PaintIcon, "program"});
    e.push_back({216, i, 16, 16, PaintIcon, "program small"});
    e.push_back({131, i, 16, 16, PaintIcon, "root"});
    e.push_back({134, i, 16, 16, PaintIcon, "root selected"});
    e.push_back({133, i, 16, 16, PaintIcon, "folder"});
    e.push_back({132, i, 16, 16, PaintIcon, "folder selected"});
    e.push_back({217, i, 32, 32, PaintIcon, "marker line"});
    e.push_back({218, i, 32, 32, PaintIcon, "marker diamond"});
    e.push_back({219, i, 32, 32, PaintIcon, "marker dot"});
    e.push_back({kIconFile, i, 16, 16, PaintIcon, "file"});
    e.push_back({kIconTextFile, i, 16, 16, PaintIcon, "text file"});
    e.push_back({kIconBinaryFile, i, 16, 16, PaintIcon, "binary file"});
    e.push_back({kIconConfigFile, i, 16, 16, PaintIcon, "configuration file"});
    std::sort(e.begin(), e.end(), [](const Entry& a, const Entry& c) {
        return std::pair(a.kind, a.id) < std::pair(c.kind, c.id);
    });
    return e;
}

const std::vector<Entry>& Entries() {
    static const std::vector<Entry> entries = BuildEntries();
    return entries;
}

const Entry* Find(int id, PictureKind kind) {
    const auto& e = Entries();
    auto it = std::lower_bound(e.begin(), e.end(), std::pair(kind, id),
                               [](const Entry& a, const std::pair<PictureKind, int>& key) {
                                   return std::pair(a.kind, a.id) < key;
                               });
    return it != e.end() && it->id == id && it->kind == kind ? &*it : nullptr;
}

}  // namespace

const std::vector<NavBarPicture>& Pictures::NavBars() {
    static const std::vector<NavBarPicture> bars = BuildNavBars();
    return bars;
}

std::optional<NavBarPicture> Pictures::NavBar(int id) {
    const auto& bars = NavBars();
    auto it = std::lower_bound(bars.begin(), bars.end(), id,
                               [](const NavBarPicture& a, int key) { return a.id < key; });
    if (it == bars.end() || it->id != id) return std::nullopt;
    return *it;
}

int Pictures::NavBarId(NavFamily family, NavLabel label, bool found, bool heading) {
    auto pick = [&](const NavRow& r) {
        return heading ? (found ? r.headingFound : r.headingLost)
                       : (found ? r.otherFound : r.otherLost);
    };
    auto fromRows = [&](const NavRows& rows) {
        for (const auto& r : rows)
            if (r.label == label) return pick(r);
        return 0;
    };
    switch (family) {
        case NavFamily::Gps:
            return fromRows(kGpsRows);
        case NavFamily::Logs:
            return fromRows(kLogsRows);
        case NavFamily::Terminal:
            return fromRows(kTerminalRows);
        case NavFamily::Heading:
            for (const auto& r : kHeadingRows)
                if (r.label == label) return found ? r.found : r.lost;
            return 0;
        case NavFamily::Base:
            return fromRows(kBaseRows);
        default:
            for (const auto& f : kDiffFamilyRows)
                if (f.family == family && f.row.label == label) return pick(f.row);
            return fromRows(kBaseRows);
    }
}

bool Pictures::Exists(int id, PictureKind kind) {
    return Find(id, kind) != nullptr;
}

QSize Pictures::NaturalSize(int id, PictureKind kind) {
    const Entry* e = Find(id, kind);
    return e ? QSize(e->width, e->height) : QSize();
}

const char* Pictures::Name(int id, PictureKind kind) {
    const Entry* e = Find(id, kind);
    return e ? e->name : "";
}

bool Pictures::Paint(QPainter& painter, const QRectF& target, int id, PictureKind kind) {
    const Entry* e = Find(id, kind);
    if (!e || target.isEmpty()) return false;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.translate(target.topLeft());
    painter.scale(target.width() / e->width, target.height() / e->height);
    painter.setClipRect(QRectF(0, 0, e->width, e->height), Qt::IntersectClip);
    e->paint(painter, id);
    painter.restore();
    return true;
}

QImage Pictures::RenderSized(int id, PictureKind kind, QSize size) {
    if (!Exists(id, kind) || size.isEmpty()) return {};
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    Paint(p, QRectF(0, 0, size.width(), size.height()), id, kind);
    return image;
}

QImage Pictures::Render(int id, PictureKind kind, double scale) {
    const QSize natural = NaturalSize(id, kind);
    return RenderSized(id, kind,
                       QSize(std::max(1, static_cast<int>(std::lround(natural.width() * scale))),
                             std::max(1, static_cast<int>(std::lround(natural.height() * scale)))));
}

std::vector<int> Pictures::Ids(PictureKind kind) {
    std::vector<int> ids;
    for (const auto& e : Entries())
        if (e.kind == kind) ids.push_back(e.id);
    return ids;
}

}  // namespace ui
