#pragma once
// The terminal: what the receiver sends, a command line with its history, and nine hot keys
// on each of four levels whose stored commands go out with one click.

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "engine/terminal_text.h"
#include "shell/BaseDialog.h"

inline constexpr ui::UINT kTerminalPollTimer = 1;
inline constexpr ui::UINT kTerminalPollMs = 500;
inline constexpr ui::UINT kTerminalStatusTimer = 2;
inline constexpr ui::UINT kTerminalStatusMs = 10000;
// Paces the lines of a stored command.
inline constexpr ui::UINT kTerminalLineTimer = 3;
inline constexpr ui::UINT kTerminalLineMs = 500;
// The view keeps this many lines.
inline constexpr int kTerminalViewLines = 2000;

class CTERMINAL_1 : public CBaseDialog {
public:
    CTERMINAL_1();
    ~CTERMINAL_1() override;

    ui::BOOL OnInitDialog() override;
    void OnCancel() override;
    void OnTimer(ui::UINT id) override;
    void OnCloseBox() override;

    void FillControls();
    void ShowHotKeyLabels();
    void PollReceived();
    void OnSend();
    void OnClear();
    // The lines of a command to send, and whether the pause follows its last line.
    struct Outgoing {
        std::vector<std::string> lines;
        bool pauseAfterLast = false;
        bool typed = false;  // a Send: the user saw it go, so leaving never drops it
    };

    // Sends a stored command line by line, the lines 500 ms apart.
    void SendStoredCommand(std::string_view command);
    // A stored command is still going out; hot keys clicked meanwhile wait for it.
    bool SendingStoredCommand() const {
        return nextLine_ < lines_.size() || pausing_ || !queued_.empty();
    }

    int32_t m_bPaused = 0;
    int32_t m_bClearOnFirstTick = 0;
    int32_t m_bFirstTickNotice = 0;

private:
    void FirstActivationSetup();
    void OnHotKey(size_t entry);
    void OnLevel();
    void OnPause(bool pause);
    void ReleasePictureButtons();
    // The start-up dialog took the port: nothing waiting or half sent goes on.
    void OnTimersStopped() override;
    // Takes up a command to send; its first line goes at the next SendNextLine.
    void StartStoredCommand(Outgoing command);
    // Sends the next line of the stored command, or the first of the next one waiting;
    // pausing_ says whether a pause follows it.
    void SendNextLine();
    // What is left of the stored command going out goes out now, its pauses kept, so that
    // nothing sent after it (a typed command, the commands of leaving) comes between or before
    // its lines. Commands still waiting behind it are dropped: leaving never waits for them.
    void FinishStoredCommand();
    // Drops the hot-key commands still waiting; returns the lines of typed ones among them.
    std::vector<std::string> DropQueued();
    // What is left of the pause after the last line sent.
    uint32_t PauseLeft() const;
    void StopStoredCommand();
    void ShowCommandLength();

    TerminalViewFeed feed_;
    std::vector<std::string> lines_;
    // Hot keys clicked and commands typed while a stored command went out, oldest first.
    std::deque<Outgoing> queued_;
    size_t nextLine_ = 0;
    bool pauseAfterLast_ = false;
    bool pausing_ = false;
    uint32_t lastLineTick_ = 0;
};

// Registers the terminal, its hot-key editor and the program's end-of-run save of the file.
void RegisterTerminalScreens();
