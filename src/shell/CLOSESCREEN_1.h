#pragma once
// The saving screen: timed progress lines while the receiver stores its configuration, then
// the configuration report; Retry and Close Anyway when the receiver is gone.

#include <cstdint>
#include <optional>
#include <string>

#include "ui/dialog.h"

class CCLOSESCREEN_1 : public ui::Dialog {
public:
    static constexpr ui::UINT kTickTimer = 1;
    static constexpr ui::UINT kTickMs = 750;
    static constexpr int kLines = 5;

    CCLOSESCREEN_1();

    // The receiver counts as found only if something came from it (a reply, a sentence, a
    // binary frame) after the reader's frame count stood at `heardBefore`.
    void ListenSince(uint32_t heardBefore) { m_heardBefore = heardBefore; }
    // Something came from the receiver since then (true when no mark was given).
    bool ReceiverHeard() const;
    // The receiver's settings were never read, so none were sent or saved: the progress says
    // so instead of reporting a save.
    void SetSettingsUnread(bool unread) { m_bSettingsUnread = unread; }
    // The shutdown commands did not all reach the port: whatever the receiver still says, it
    // did not save them, and the progress offers Retry.
    void SetSendFailed(bool failed) { m_bSendFailed = failed; }

    ui::BOOL OnInitDialog() override;
    void OnTimer(ui::UINT id) override;
    // The window's close button acts as "Close Anyway" once that is offered.
    void OnClose() override;
    void OnMove(int x, int y) override;

    int Ticks() const { return m_iTick; }
    const std::string& Line(int index) const { return m_strLine[index]; }

private:
    void OnRetry();
    void OnCloseAnyway();

    ui::UINT m_nTimer = 0;
    int32_t m_iTick = 0;
    std::optional<uint32_t> m_heardBefore;
    bool m_bSettingsUnread = false;
    bool m_bSendFailed = false;
    bool m_bNotFoundShown = false;
    std::string m_strLine[kLines];
};
