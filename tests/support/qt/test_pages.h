#pragma once
// Pages built on the screen base for framework tests: the common screen pattern with a tab
// control of two screens, a status strip and one timer of their own.

#include <memory>

#include "shell/BaseDialog.h"

namespace shelltest {

class TestPage : public CBaseDialog {
public:
    TestPage(eScreen screen, ScreenFamily family, const char* title);

    ui::BOOL OnInitDialog() override;
    void OnCancel() override;
    void OnTimer(ui::UINT id) override;

    int inits = 0;
    int ticks = 0;
    int leaves = 0;

    using CBaseDialog::BeginScreenTick;
    using CBaseDialog::EndScreenTick;
};

// Registers test pages for the GPS tabs 1 and 2, the terminal, the logging and the heading
// home screens.
void RegisterTestPages();
TestPage* Page(eScreen screen);

}  // namespace shelltest
