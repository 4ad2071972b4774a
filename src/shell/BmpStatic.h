#pragma once

#include <QPointer>
#include <QSize>

#include "ui/controls.h"

// A picture control that shows a bitmap chosen by id at the navigation bar's size: every
// screen's navigation bar and the file browser's banner.
class CBmpStatic {
public:
    CBmpStatic() = default;
    explicit CBmpStatic(ui::Picture* control) : control_(control) {}

    void Attach(ui::Picture* control) { control_ = control; }
    ui::Picture* control() const { return control_; }

    // The size pictures are shown at; without one the host's scaled navigation-bar size.
    void SetNavBarSize(QSize size) { navBarSize_ = size; }

    // 1 when the bitmap exists and is shown; 0 otherwise (also for -1), leaving the picture
    // shown before in place.
    int SetBitmapId(int id);
    int GetBitmapId() const;

private:
    QSize NavBarSize() const;

    QPointer<ui::Picture> control_;
    QSize navBarSize_;
};
