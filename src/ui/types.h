#pragma once

// Plain value types and the numeric codes the dialogs speak in (button results, show
// commands, notification codes). The numbers are the system's own, so screen code reads the
// same as it was written.

#include <cstdint>

namespace ui {

using UINT = unsigned int;
using BOOL = int;

inline constexpr BOOL TRUE = 1;
inline constexpr BOOL FALSE = 0;

// Dialog and message-box results.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDABORT = 3;
inline constexpr int IDRETRY = 4;
inline constexpr int IDIGNORE = 5;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

// Message-box styles: the low nibble picks the buttons, the next one the icon.
inline constexpr unsigned MB_OK = 0x0;
inline constexpr unsigned MB_OKCANCEL = 0x1;
inline constexpr unsigned MB_ABORTRETRYIGNORE = 0x2;
inline constexpr unsigned MB_YESNOCANCEL = 0x3;
inline constexpr unsigned MB_YESNO = 0x4;
inline constexpr unsigned MB_RETRYCANCEL = 0x5;
inline constexpr unsigned MB_ICONSTOP = 0x10;
inline constexpr unsigned MB_ICONQUESTION = 0x20;
inline constexpr unsigned MB_ICONEXCLAMATION = 0x30;
inline constexpr unsigned MB_ICONINFORMATION = 0x40;

// Show commands.
inline constexpr int SW_HIDE = 0;
inline constexpr int SW_SHOWNORMAL = 1;
inline constexpr int SW_SHOWNOACTIVATE = 4;
inline constexpr int SW_SHOW = 5;
inline constexpr int SW_SHOWNA = 8;

// SetWindowPos flags.
inline constexpr unsigned SWP_NOSIZE = 0x0001;
inline constexpr unsigned SWP_NOMOVE = 0x0002;
inline constexpr unsigned SWP_NOZORDER = 0x0004;
inline constexpr unsigned SWP_NOREDRAW = 0x0008;
inline constexpr unsigned SWP_NOACTIVATE = 0x0010;
inline constexpr unsigned SWP_SHOWWINDOW = 0x0040;
inline constexpr unsigned SWP_HIDEWINDOW = 0x0080;

// Z-order anchors for SetWindowPos.
enum class ZOrder { Keep, Top, Bottom };

// Mouse-message key flags.
inline constexpr unsigned MK_LBUTTON = 0x0001;
inline constexpr unsigned MK_RBUTTON = 0x0002;
inline constexpr unsigned MK_SHIFT = 0x0004;
inline constexpr unsigned MK_CONTROL = 0x0008;

// Check states.
inline constexpr int BST_UNCHECKED = 0;
inline constexpr int BST_CHECKED = 1;

// Error result of the combo, list and tab helpers.
inline constexpr int CB_ERR = -1;
inline constexpr int LB_ERR = -1;

// Control notification codes.
inline constexpr int BN_CLICKED = 0;
// The left button released over a button or a picture that reports clicks (before the
// BN_CLICKED of the same click).
inline constexpr int BN_LBUTTONUP = 0x0202;
inline constexpr int STN_CLICKED = 0;
inline constexpr int CBN_SELCHANGE = 1;
inline constexpr int LBN_SELCHANGE = 1;
inline constexpr int CBN_EDITCHANGE = 5;
inline constexpr int EN_CHANGE = 0x0300;
inline constexpr int NM_CLICK = -2;
inline constexpr int TCN_SELCHANGE = -551;
inline constexpr int TVN_SELCHANGED = -402;
inline constexpr int TVN_ITEMEXPANDING = -405;
inline constexpr int TVN_ITEMEXPANDED = -406;
inline constexpr int LVN_ITEMCHANGED = -101;

// A point and a rectangle in window pixels; the rectangle excludes its right and bottom
// edges, as every rectangle of the drawing code does.
struct Point {
    int x = 0;
    int y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool Contains(Point p) const {
        return left <= p.x && p.x < right && top <= p.y && p.y < bottom;
    }
    friend bool operator==(const Rect&, const Rect&) = default;
};

// A rectangle in design units (the 370 x 510 space of the background picture), given as
// origin and size like a dialog template.
struct DesignRect {
    double x = 0;
    double y = 0;
    double w = 0;
    double h = 0;
};

// Design units to pixels: each edge is scaled and truncated toward zero on its own, so a
// hot spot and the control drawn over it always agree.
inline int ScaleX(double designX, double scaleX) {
    return static_cast<int>(designX * scaleX);
}
inline int ScaleY(double designY, double scaleY) {
    return static_cast<int>(designY * scaleY);
}
inline Rect ScaleRect(const DesignRect& r, double scaleX, double scaleY) {
    return Rect{ScaleX(r.x, scaleX), ScaleY(r.y, scaleY), ScaleX(r.x + r.w, scaleX),
                ScaleY(r.y + r.h, scaleY)};
}
// A hot spot given by its edges, as the hot-spot tables give them: each edge is multiplied
// by the stored single-precision factor in single precision and truncated toward zero, so
// 50 * 1.1f is exactly 55. Hit tests use Rect::Contains: right and bottom edges lie outside.
inline Rect ScaleEdges(int left, int top, int right, int bottom, float scaleX, float scaleY) {
    return Rect{static_cast<int>(static_cast<float>(left) * scaleX),
                static_cast<int>(static_cast<float>(top) * scaleY),
                static_cast<int>(static_cast<float>(right) * scaleX),
                static_cast<int>(static_cast<float>(bottom) * scaleY)};
}

// An RGB colour. The drawing code never takes a packed Windows colour value directly;
// FromColorRef converts one (0x00BBGGRR) where a caller holds such a value.
struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
    static constexpr Rgb FromColorRef(std::uint32_t colorRef) {
        return Rgb{static_cast<std::uint8_t>(colorRef & 0xFF),
                   static_cast<std::uint8_t>((colorRef >> 8) & 0xFF),
                   static_cast<std::uint8_t>((colorRef >> 16) & 0xFF)};
    }
};

// The program's colours, shared by the pictures, the controls and the screens' drawings.
inline constexpr Rgb kWhite{255, 255, 255};
inline constexpr Rgb kBlack{0, 0, 0};
inline constexpr Rgb kOrange{234, 175, 15};   // GPS, needles, the selected tab's mark
inline constexpr Rgb kDarkBlue{30, 28, 119};  // SBAS and corrections, curves, figure boxes

}  // namespace ui
