#pragma once

// Off-screen drawing with the conventions the plots and dials were written for: a rectangle
// excludes its right and bottom edges, LineTo does not draw its end pixel, text is placed by
// the top-left corner of its cell, and the pen and brush stay selected until changed.

#include <QFont>
#include <QImage>
#include <algorithm>
#include <cmath>
#include <span>
#include <string_view>

#include "ui/pictures.h"
#include "ui/types.h"

namespace ui {

// A computed coordinate as a pixel within low..high: clamped while still a double, so a value
// far outside (or infinite) never overflows the conversion; NaN gives low.
inline int ClampToPixel(double value, int low, int high) {
    if (std::isnan(value) || high < low) return low;
    return static_cast<int>(std::clamp(value, static_cast<double>(low), static_cast<double>(high)));
}

enum class PenStyle { Solid, Dash, Dot, Null };
enum class BkMode { Transparent, Opaque };

class Canvas {
public:
    Canvas(int width, int height, Rgb fill = Rgb{255, 255, 255});

    int Width() const { return image_.width(); }
    int Height() const { return image_.height(); }
    const QImage& Image() const { return image_; }

    // Smooth edges on ellipses, polygons, slanted lines and text; off gives the plain
    // pixel rules everywhere (used where a test or a grid needs exact pixels).
    void SetSmooth(bool smooth) { smooth_ = smooth; }

    void SetPen(Rgb colour, int width = 1, PenStyle style = PenStyle::Solid);
    void SetNullPen() { penStyle_ = PenStyle::Null; }
    void SetBrush(Rgb colour);
    void SetHollowBrush() { hollow_ = true; }

    void MoveTo(int x, int y) { pos_ = {x, y}; }
    Point GetCurrentPosition() const { return pos_; }
    // A line from the current position to (x, y) without its end pixel; the end becomes the
    // current position.
    void LineTo(int x, int y);

    // Outline with the pen and inside with the brush, within left..right-1, top..bottom-1.
    void Rectangle(int left, int top, int right, int bottom);
    // Brush-free fill of left..right-1, top..bottom-1.
    void FillRect(const Rect& r, Rgb colour);
    void Ellipse(int left, int top, int right, int bottom);
    void Polygon(std::span<const Point> points);
    void SetPixel(int x, int y, Rgb colour);
    Rgb GetPixel(int x, int y) const;

    void SetTextColor(Rgb colour) { textColour_ = colour; }
    void SetBkColor(Rgb colour) { bkColour_ = colour; }
    void SetBkMode(BkMode mode) { bkMode_ = mode; }
    void SetFont(const QFont& font) { font_ = font; }
    const QFont& Font() const { return font_; }
    // Text (UTF-8) with the top-left of its cell at (x, y); in opaque mode the cell is
    // filled with the background colour first.
    void TextOut(int x, int y, std::string_view text);
    // Text drawn opaque into a box, clipped to it, left-aligned from its top-left corner (or
    // with the top of its cell at textTop).
    void ExtTextOutOpaque(const Rect& box, std::string_view text) {
        ExtTextOutOpaque(box, text, box.top);
    }
    void ExtTextOutOpaque(const Rect& box, std::string_view text, int textTop);
    Point GetTextExtent(std::string_view text) const;

    void DrawPicture(int id, const Rect& target, PictureKind kind = PictureKind::Bitmap);
    // Copies a part of another canvas (or of this one) to (x, y).
    void BitBlt(int x, int y, int width, int height, const Canvas& src, int srcX, int srcY);

private:
    void PlotLine(int x0, int y0, int x1, int y1);
    QImage image_;
    bool smooth_ = true;
    Point pos_;
    Rgb pen_{0, 0, 0};
    int penWidth_ = 1;
    PenStyle penStyle_ = PenStyle::Solid;
    Rgb brush_{255, 255, 255};
    bool hollow_ = false;
    Rgb textColour_{0, 0, 0};
    Rgb bkColour_{255, 255, 255};
    BkMode bkMode_ = BkMode::Opaque;
    QFont font_;
};

}  // namespace ui
