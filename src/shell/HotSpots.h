#pragma once

// Painted buttons of a picture are found by rectangles in design units, scaled like the
// picture (ui::ScaleEdges).

#include <span>

#include "ui/types.h"

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
        if (ui::ScaleEdges(h.left, h.top, h.right, h.bottom, scaleX, scaleY).Contains({x, y}))
            return static_cast<int>(i);
    }
    return -1;
}
