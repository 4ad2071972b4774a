#pragma once

// Painted buttons of a picture are found by rectangles in design units, scaled like the
// picture: each edge is the design value times the scale as a float, truncated; the right
// and bottom edges lie outside.

#include <span>

struct HotSpot {
    int left;
    int top;
    int right;
    int bottom;
};

// Index of the first rectangle of `table` that holds the point (window pixels), or -1.
inline int HitTest(std::span<const HotSpot> table, int x, int y, float scaleX, float scaleY) {
    for (std::size_t i = 0; i < table.size(); ++i) {
        const HotSpot& h = table[i];
        const int left = static_cast<int>(static_cast<float>(h.left) * scaleX);
        const int top = static_cast<int>(static_cast<float>(h.top) * scaleY);
        const int right = static_cast<int>(static_cast<float>(h.right) * scaleX);
        const int bottom = static_cast<int>(static_cast<float>(h.bottom) * scaleY);
        if (left <= x && x < right && top <= y && y < bottom) return static_cast<int>(i);
    }
    return -1;
}
