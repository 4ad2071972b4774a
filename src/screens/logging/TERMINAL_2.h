#pragma once
// The hot-key editor: the label and command of the nine hot keys of one level. Every
// keystroke goes into the terminal block at once; the file is written when the page is left.

#include <cstddef>

#include "shell/BaseDialog.h"

inline constexpr ui::UINT kHotKeysTimer = 1;
inline constexpr ui::UINT kHotKeysMs = 1000;

class CTERMINAL_2 : public CBaseDialog {
public:
    CTERMINAL_2();
    ~CTERMINAL_2() override;

    ui::BOOL OnInitDialog() override;
    void OnCancel() override;
    void OnTimer(ui::UINT id) override;
    void OnCloseBox() override;

    void FillRows();
    // One row as the block holds it; a free key shows "NAME" and "COMMAND".
    void ShowRow(size_t row);
    void OnBunchCommands();

private:
    void FirstActivationSetup();
    void OnLevel();
    void OnLabelChange(size_t row);
    void OnCommandChange(size_t row);
};
