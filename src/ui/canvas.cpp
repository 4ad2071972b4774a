#include "ui/canvas.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPolygonF>
#include <algorithm>
#include <cstdlib>

#include "ui/fonts.h"

namespace ui {

namespace {

QColor ToQ(Rgb c) {
    return QColor(c.r, c.g, c.b);
}

QString FromUtf8(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// Dash patterns of the cosmetic pens as on-off run lengths.
bool PatternOn(PenStyle style, int step) {
    switch (style) {
        case PenStyle::Dash:
            return step % 8 < 6;
        case PenStyle::Dot:
            return step % 2 == 0;
        default:
            return true;
    }
}

}  // namespace

Canvas::Canvas(int width, int height, Rgb fill)
    : image_(std::max(1, width), std::max(1, height), QImage::Format_RGB32), font_(DialogFont()) {
    image_.fill(ToQ(fill));
}

void Canvas::SetPen(Rgb colour, int width, PenStyle style) {
    pen_ = colour;
    penWidth_ = std::max(1, width);
    penStyle_ = style;
}

void Canvas::SetBrush(Rgb colour) {
    brush_ = colour;
    hollow_ = false;
}

void Canvas::SetPixel(int x, int y, Rgb colour) {
    if (x < 0 || y < 0 || x >= image_.width() || y >= image_.height()) return;
    image_.setPixel(x, y, qRgb(colour.r, colour.g, colour.b));
}

Rgb Canvas::GetPixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= image_.width() || y >= image_.height()) return {};
    const QRgb p = image_.pixel(x, y);
    return Rgb{static_cast<std::uint8_t>(qRed(p)), static_cast<std::uint8_t>(qGreen(p)),
               static_cast<std::uint8_t>(qBlue(p))};
}

// Bresenham from (x0, y0) toward (x1, y1), stopping before the end pixel.
void Canvas::PlotLine(int x0, int y0, int x1, int y1) {
    const int dx = std::abs(x1 - x0);
    const int dy = -std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1;
    const int sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    int step = 0;
    while (x0 != x1 || y0 != y1) {
        if (PatternOn(penStyle_, step++)) SetPixel(x0, y0, pen_);
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
}

void Canvas::LineTo(int x, int y) {
    const Point from = pos_;
    pos_ = {x, y};
    if (penStyle_ == PenStyle::Null) return;
    const bool straight = from.x == x || from.y == y;
    if (penWidth_ == 1 && (straight || !smooth_)) {
        PlotLine(from.x, from.y, x, y);
        return;
    }
    QPainter p(&image_);
    p.setRenderHint(QPainter::Antialiasing, smooth_);
    QPen pen(ToQ(pen_), penWidth_,
             penStyle_ == PenStyle::Dash  ? Qt::DashLine
             : penStyle_ == PenStyle::Dot ? Qt::DotLine
                                          : Qt::SolidLine,
             penWidth_ > 1 ? Qt::RoundCap : Qt::FlatCap, Qt::RoundJoin);
    p.setPen(pen);
    p.drawLine(QPointF(from.x + 0.5, from.y + 0.5), QPointF(x + 0.5, y + 0.5));
}

void Canvas::FillRect(const Rect& r, Rgb colour) {
    const int left = std::max(0, r.left);
    const int right = std::min(image_.width(), r.right);
    const int top = std::max(0, r.top);
    const int bottom = std::min(image_.height(), r.bottom);
    if (right <= left || bottom <= top) return;
    QPainter(&image_).fillRect(QRect(left, top, right - left, bottom - top), ToQ(colour));
}

void Canvas::Rectangle(int left, int top, int right, int bottom) {
    if (right <= left || bottom <= top) return;
    if (penStyle_ == PenStyle::Null) {
        // Without a pen the filled area is one pixel smaller on the right and bottom.
        if (!hollow_) FillRect(Rect{left, top, right - 1, bottom - 1}, brush_);
        return;
    }
    const int w = std::min(penWidth_, std::min(right - left, bottom - top));
    if (!hollow_) FillRect(Rect{left + w, top + w, right - w, bottom - w}, brush_);
    for (int i = 0; i < w; ++i) {
        const int l = left + i, t = top + i, r = right - 1 - i, b = bottom - 1 - i;
        for (int x = l; x <= r; ++x)
            if (PatternOn(penStyle_, x - l)) {
                SetPixel(x, t, pen_);
                SetPixel(x, b, pen_);
            }
        for (int y = t; y <= b; ++y)
            if (PatternOn(penStyle_, y - t)) {
                SetPixel(l, y, pen_);
                SetPixel(r, y, pen_);
            }
    }
}

void Canvas::Ellipse(int left, int top, int right, int bottom) {
    if (right <= left || bottom <= top) return;
    QPainter p(&image_);
    p.setRenderHint(QPainter::Antialiasing, smooth_);
    if (penStyle_ == PenStyle::Null)
        p.setPen(Qt::NoPen);
    else
        p.setPen(QPen(ToQ(pen_), penWidth_));
    p.setBrush(hollow_ ? QBrush(Qt::NoBrush) : QBrush(ToQ(brush_)));
    const double inset = penStyle_ == PenStyle::Null ? 0.0 : penWidth_ / 2.0;
    p.drawEllipse(
        QRectF(left + inset, top + inset, right - left - 2 * inset, bottom - top - 2 * inset));
}

void Canvas::Polygon(std::span<const Point> points) {
    if (points.size() < 2) return;
    QPolygonF poly;
    for (const Point& pt : points) poly << QPointF(pt.x + 0.5, pt.y + 0.5);
    QPainter p(&image_);
    p.setRenderHint(QPainter::Antialiasing, smooth_);
    if (penStyle_ == PenStyle::Null)
        p.setPen(Qt::NoPen);
    else
        p.setPen(QPen(ToQ(pen_), penWidth_, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    p.setBrush(hollow_ ? QBrush(Qt::NoBrush) : QBrush(ToQ(brush_)));
    p.drawPolygon(poly, Qt::OddEvenFill);
}

Point Canvas::GetTextExtent(std::string_view text) const {
    const QFontMetrics fm(font_);
    return Point{fm.horizontalAdvance(FromUtf8(text)), fm.height()};
}

void Canvas::TextOut(int x, int y, std::string_view text) {
    const QString s = FromUtf8(text);
    const QFontMetrics fm(font_);
    QPainter p(&image_);
    p.setRenderHint(QPainter::TextAntialiasing, smooth_);
    if (!smooth_) {
        QFont f = font_;
        f.setStyleStrategy(QFont::NoAntialias);
        p.setFont(f);
    } else {
        p.setFont(font_);
    }
    if (bkMode_ == BkMode::Opaque)
        p.fillRect(QRect(x, y, fm.horizontalAdvance(s), fm.height()), ToQ(bkColour_));
    p.setPen(ToQ(textColour_));
    p.drawText(QPoint(x, y + fm.ascent()), s);
}

void Canvas::ExtTextOutOpaque(const Rect& box, std::string_view text, int textTop) {
    FillRect(box, bkColour_);
    QPainter p(&image_);
    p.setRenderHint(QPainter::TextAntialiasing, smooth_);
    p.setFont(font_);
    p.setClipRect(QRect(box.left, box.top, box.Width(), box.Height()));
    p.setPen(ToQ(textColour_));
    const QFontMetrics fm(font_);
    p.drawText(QPoint(box.left, textTop + fm.ascent()), FromUtf8(text));
}

void Canvas::DrawPicture(int id, const Rect& target, PictureKind kind) {
    QPainter p(&image_);
    Pictures::Paint(p, QRectF(target.left, target.top, target.Width(), target.Height()), id, kind);
}

void Canvas::BitBlt(int x, int y, int width, int height, const Canvas& src, int srcX, int srcY) {
    if (width <= 0 || height <= 0) return;
    const QImage part = src.image_.copy(srcX, srcY, width, height);
    QPainter p(&image_);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(QPoint(x, y), part);
}

}  // namespace ui
