#include "screens/differential/LBND_3.h"

#include <cstring>

#include "engine/cp1252.h"
#include "engine/gps.h"
#include "engine/txnmea.h"
#include "platform/numbers.h"
#include "resources/dlg_lbnd3.h"
#include "screens/differential/diff_page.h"
#include "screens/differential/lband_pages.h"
#include "shell/Tessaray_PC.h"

namespace {

constexpr ui::UINT kRefreshTimer = 1;
constexpr ui::UINT kRefreshMs = 1000;

// A text field of the record as screen text; the field need not end in a NUL.
std::string FieldText(const char (&field)[20]) {
    return Cp1252ToPrintableUtf8(std::string_view(field, strnlen(field, sizeof field)));
}

}  // namespace

std::string SubscriptionCountdownText(uint32_t seconds) {
    const uint32_t hours = seconds / 3600;
    const uint32_t minutes = seconds % 3600 / 60;
    const uint32_t rest = seconds - (hours * 60 + minutes) * 60;
    return platform::Format("%02u:%02u:%02u", hours, minutes, rest);
}

CLBND_3::CLBND_3() : CBaseDialog(Lbnd3DialogTemplate(), ScreenFamily::LBand, SCR_LBND_3) {
    DDX_Text(IDC_LBND3_BEGIN, m_strBegin);
    DDX_Text(IDC_LBND3_EXPIRY, m_strExpiry);
    DDX_Text(IDC_LBND3_SERIAL, m_strSerial);
    DDX_Text(IDC_LBND3_COUNTDOWN, m_strCountdown);
    SetTabScreens(IDC_LBND3_TAB, kLBandTabScreens);
}

ui::BOOL CLBND_3::OnInitDialog() {
    CBaseDialog::OnInitDialog();
    if (FirstActivation()) {
        FillLBandTabs(*this, IDC_LBND3_TAB);
        SetPageFont(*this, Template());
        UpdateStatusStrip();
    }
    RefreshSubscription();
    SelectOwnTab();
    m_nTimer1 = SetTimer(kRefreshTimer, kRefreshMs);
    g_TxNMEA.QueryDiff();
    g_TxNMEA.QueryOMS();
    g_TxNMEA.QueryInfo();
    ActivationDone();
    return ui::TRUE;
}

void CLBND_3::OnCancel() {
    KillTimer(m_nTimer1);
    CBaseDialog::OnCancel();
}

void CLBND_3::OnTimer(ui::UINT id) {
    if (!BeginScreenTick(id)) return;
    if (id != kRefreshTimer) {
        CBaseDialog::OnTimer(id);
        return;
    }
    RefreshSubscription();
    EndScreenTick();
    g_TxNMEA.QueryDiff();
    g_TxNMEA.QueryOMS();
    g_TxNMEA.QueryInfo();
}

void CLBND_3::RefreshSubscription() {
    if (theApp().bDemoMode.load()) {
        m_strBegin = m_strExpiry = m_strSerial = m_strCountdown = "NA";
    } else {
        char begin[20], expiry[20];
        int32_t serial;
        uint32_t countdown;
        {
            const LBandInfo& lb = g_GPS.Info.LBand;
            RecordLock lock(g_GPS.Info.LBand.ulLBandLock);
            std::memcpy(begin, lb.szSubscriptionBegin, sizeof begin);
            std::memcpy(expiry, lb.szSubscriptionExpiry, sizeof expiry);
            serial = lb.lSerialNumber;
            countdown = lb.ulSubscriptionCountdown;
        }
        m_strBegin = FieldText(begin);
        m_strExpiry = FieldText(expiry);
        m_strSerial = platform::Format("%ld", static_cast<long>(serial));
        m_strCountdown = SubscriptionCountdownText(countdown);
    }
    UpdateStatusStrip();
    UpdateData(ui::FALSE);
}
