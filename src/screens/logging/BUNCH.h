#pragma once
// The command-bunch editor: the command of one hot key as several lines, which the terminal
// sends one after the other.

#include <array>
#include <string>

#include "ui/dialog.h"

class CBUNCH : public ui::Dialog {
public:
    CBUNCH();
    ~CBUNCH() override;

    ui::BOOL OnInitDialog() override;
    // Save: stores the text into the selected key; the dialog stays open.
    void OnOK() override;
    void OnMove(int x, int y) override;

    void FillEntries();

private:
    void OnLevel();
    void OnEntry();
    void ShowCommandOf(int position);

    std::string m_strCommand;
    // Position in the entry combo → hot-key entry.
    std::array<int, 9> map_{};
};
