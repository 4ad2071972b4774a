#include "ui/automation.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QSlider>
#include <QTabBar>
#include <QTimer>
#include <algorithm>

#include "ui/dialog.h"

namespace ui {

namespace {

void SendMouse(QWidget* w, QEvent::Type type, QPoint pos) {
    const QPointF local(pos);
    const QPointF global(w->mapToGlobal(pos));
    const Qt::MouseButtons buttons =
        type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(Qt::LeftButton);
    QMouseEvent e(type, local, local, global, Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

// The widget a click at `pos` of `w` lands on: children that let the mouse through are
// skipped, as the window system does.
std::pair<QWidget*, QPoint> HitTest(QWidget* w, QPoint pos) {
    QWidget* child = w->childAt(pos);
    if (!child) return {w, pos};
    return {child, child->mapFrom(w, pos)};
}

}  // namespace

void UserClick(QWidget* widget) {
    UserClick(widget, widget->rect().center());
}

void UserClick(QWidget* widget, QPoint pos) {
    if (!widget) return;
    SendMouse(widget, QEvent::MouseButtonPress, pos);
    SendMouse(widget, QEvent::MouseButtonRelease, pos);
}

void UserDoubleClick(QWidget* widget, QPoint pos) {
    if (!widget) return;
    SendMouse(widget, QEvent::MouseButtonPress, pos);
    SendMouse(widget, QEvent::MouseButtonRelease, pos);
    SendMouse(widget, QEvent::MouseButtonDblClick, pos);
    SendMouse(widget, QEvent::MouseButtonRelease, pos);
}

void UserClickDesign(double x, double y) {
    Host* host = Host::Existing();
    Dialog* top = host ? host->TopPage() : nullptr;
    if (!top || !top->Widget()) return;
    const QPoint p(ScaleX(x, host->fScaleX()), ScaleY(y, host->fScaleY()));
    auto [target, local] = HitTest(top->Widget(), p);
    UserClick(target, local);
}

bool UserSelectCombo(QWidget* widget, int index) {
    auto* combo = qobject_cast<QComboBox*>(widget);
    if (!combo || index < 0 || index >= combo->count() || !combo->isEnabled()) return false;
    // What the drop-down list does when the user picks an item.
    combo->setCurrentIndex(index);
    emit combo->activated(index);
    return true;
}

bool UserSlide(QWidget* widget, int pos) {
    auto* slider = qobject_cast<QSlider*>(widget);
    if (!slider || !slider->isEnabled()) return false;
    slider->setSliderDown(true);
    slider->setSliderPosition(std::clamp(pos, slider->minimum(), slider->maximum()));
    slider->setSliderDown(false);
    return true;
}

bool UserSelectTab(QWidget* widget, int index) {
    auto* bar = qobject_cast<QTabBar*>(widget);
    if (!bar || index < 0 || index >= bar->count()) return false;
    UserClick(bar, bar->tabRect(index).center());
    return true;
}

void UserType(QWidget* widget, const std::string& text) {
    if (auto* combo = qobject_cast<QComboBox*>(widget); combo && combo->lineEdit())
        widget = combo->lineEdit();
    if (!widget) return;
    const QString s = QString::fromStdString(text);
    for (const QChar c : s) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &release);
    }
}

void UserKey(QWidget* widget, int qtKey) {
    if (!widget) return;
    QKeyEvent press(QEvent::KeyPress, qtKey, Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, qtKey, Qt::NoModifier);
    QApplication::sendEvent(widget, &release);
}

void UserCloseWindow() {
    if (Host* host = Host::Existing()) host->close();
}

void ProcessPending() {
    for (int i = 0; i < 10; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
}

// ---------------------------------------------------------------------------------------

void StepRunner::Add(std::function<void()> step) {
    Step s;
    s.action = std::move(step);
    steps_.push_back(std::move(s));
}

void StepRunner::AddWait(std::function<bool()> ready, int deadlineMs,
                         std::function<void()> onTimeout) {
    Step s;
    s.ready = std::move(ready);
    s.deadlineMs = deadlineMs;
    s.onTimeout = std::move(onTimeout);
    steps_.push_back(std::move(s));
}

void StepRunner::Start() {
    if (running_) return;
    running_ = true;
    ScheduleNext(0);
}

void StepRunner::ScheduleNext(int delayMs) {
    // A fresh single-shot timer per step: a timer whose handler is still on the stack (in a
    // step that opened a modal loop) would not fire again.
    QTimer::singleShot(delayMs, context_.get(), [this] { RunOne(); });
}

void StepRunner::RunOne() {
    if (steps_.empty()) {
        running_ = false;
        return;
    }
    Step& front = steps_.front();
    if (front.ready) {
        if (!front.waited.isValid()) front.waited.start();
        if (!front.ready()) {
            if (front.waited.elapsed() > front.deadlineMs) {
                auto onTimeout = std::move(front.onTimeout);
                steps_.clear();
                running_ = false;
                if (onTimeout) onTimeout();
                return;
            }
            ScheduleNext(5);
            return;
        }
        steps_.pop_front();
        ++executed_;
        ScheduleNext(0);
        return;
    }
    auto action = std::move(front.action);
    steps_.pop_front();
    ++executed_;
    ScheduleNext(0);
    action();
}

}  // namespace ui
