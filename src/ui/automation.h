#pragma once

// Acting as the user would, for tests and the test driver: real input events delivered to
// the widgets, and a step runner that runs scripted steps inside whatever modal loop is
// innermost when each step is due.

#include <QElapsedTimer>
#include <QObject>
#include <QWidget>
#include <deque>
#include <functional>
#include <memory>
#include <string>

#include "ui/types.h"

namespace ui {

class Dialog;

// A left click (press and release) at `pos` in the widget's coordinates; the centre when
// `pos` is not given.
void UserClick(QWidget* widget);
void UserClick(QWidget* widget, QPoint pos);
// A double click: press, release, double-click press, release.
void UserDoubleClick(QWidget* widget, QPoint pos);
// A click on the topmost page of the host at a point in design units.
void UserClickDesign(double x, double y);
// Chooses a combo item as the user does with the keyboard.
bool UserSelectCombo(QWidget* combo, int index);
// Drags a slider's thumb to a position (pinned into its range) as the user does; false for
// anything but an enabled slider.
bool UserSlide(QWidget* slider, int pos);
// Clicks a tab of a tab strip.
bool UserSelectTab(QWidget* tabBar, int index);
// Types text into an edit or editable combo (replacing what is selected) and one key.
void UserType(QWidget* widget, const std::string& text);
void UserKey(QWidget* widget, int qtKey);
// Asks the host window to close, as the title bar's close button does.
void UserCloseWindow();
// Runs posted events (queued notifications) until none are left.
void ProcessPending();

// Steps run one after the other, each from a fresh zero-delay timer, so a step that opens a
// modal loop does not block the next one: it runs inside that loop.
class StepRunner {
public:
    StepRunner() = default;
    StepRunner(const StepRunner&) = delete;
    StepRunner& operator=(const StepRunner&) = delete;

    void Add(std::function<void()> step);
    // A step that waits (re-checking from the event loop) until `ready` holds; when it does
    // not within `deadlineMs`, `onTimeout` runs and the remaining steps are dropped.
    void AddWait(std::function<bool()> ready, int deadlineMs, std::function<void()> onTimeout);
    void Start();
    bool Done() const { return steps_.empty() && !running_; }
    int Executed() const { return executed_; }

private:
    struct Step {
        std::function<void()> action;
        std::function<bool()> ready;
        int deadlineMs = 0;
        std::function<void()> onTimeout;
        QElapsedTimer waited;
    };
    void ScheduleNext(int delayMs);
    void RunOne();
    std::deque<Step> steps_;
    bool running_ = false;
    int executed_ = 0;
    // Timers of a runner that is gone are dropped with it.
    std::unique_ptr<QObject> context_ = std::make_unique<QObject>();
};

}  // namespace ui
