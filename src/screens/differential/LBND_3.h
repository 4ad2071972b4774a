#pragma once
// The L-band subscription screen: begin and expiry dates, serial number and the remaining
// subscription time, as the receiver reports them.

#include <cstdint>
#include <string>

#include "shell/BaseDialog.h"

enum : int {
    IDC_LBND3_TAB = 1014,
    IDC_LBND3_BEGIN = 1007,
    IDC_LBND3_EXPIRY = 1022,
    IDC_LBND3_SERIAL = 1023,
    IDC_LBND3_COUNTDOWN = 1024,
};

// "HH:MM:SS" of a number of seconds; the hours are not folded into days.
std::string SubscriptionCountdownText(uint32_t seconds);

class CLBND_3 : public CBaseDialog {
public:
    CLBND_3();

    ui::BOOL OnInitDialog() override;
    void OnCancel() override;
    void OnTimer(ui::UINT id) override;

    void RefreshSubscription();

    std::string m_strBegin;
    std::string m_strExpiry;
    std::string m_strSerial;
    std::string m_strCountdown;
};
