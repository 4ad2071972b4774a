#pragma once
// A screen test that walks through pages: each body runs once its screen shows, and the wire
// reads as one string (lines with their CR LF, pauses as "~<ms>").

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "support/qt/screen_harness.h"

namespace shelltest {

class WalkTest : public ScreenTest {
protected:
    using Step = std::pair<eScreen, std::function<void()>>;
    // Opens the first step's screen; every loop ends at the end of the last body (a body that
    // opens a screen's loop returns only when that loop ends, while the next steps run in it).
    void Walk(const std::vector<Step>& steps) {
        Open(steps.front().first);
        ui::StepRunner run;
        for (size_t i = 0; i < steps.size(); ++i) {
            WaitShown(run, steps[i].first);
            run.Add([this, body = steps[i].second, last = i + 1 == steps.size()] {
                body();
                if (last) EndAll();
            });
        }
        Run(run);
    }
    std::string Sent() const {
        std::string s;
        for (const std::string& e : Wire()) s += e;
        return s;
    }
    // What one tick of the page's timer sends.
    std::string TickSent(ui::UINT timer = 1) {
        ClearWire();
        Tick(timer);
        return Sent();
    }
    void SelectTab(int tabId, int index) {
        ASSERT_TRUE(ui::UserSelectTab(Page()->GetDlgItem(tabId), index));
        ui::ProcessPending();
    }
};

}  // namespace shelltest
