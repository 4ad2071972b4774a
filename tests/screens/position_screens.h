#pragma once
// What the tests of the GPS and heading screens share on top of the screen walk.

#include <QImage>
#include <QWidget>
#include <string>

#include "screens/screen_walk.h"

namespace shelltest {

class PositionTest : public WalkTest {
protected:
    // A pixel of the page as the user sees it: background, pictures and controls together.
    ui::Rgb PagePixel(ui::Point at) const {
        const QRgb p = Page()->Widget()->grab().toImage().pixel(at.x, at.y);
        return {uint8_t(qRed(p)), uint8_t(qGreen(p)), uint8_t(qBlue(p))};
    }
    // The value labels of a strip chart's grid, top to bottom.
    std::string ValueLabels() const { return Texts({1157, 1158, 1159, 1160, 1161}); }
};

}  // namespace shelltest
