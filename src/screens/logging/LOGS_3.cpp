#include "screens/logging/LOGS_3.h"

#include <array>

#include "engine/gps.h"
#include "engine/wizardinfo.h"
#include "resources/dlg_logs.h"

namespace {

constexpr LogFileKind kBinLogFile{true, RECENT_BIN_LOG, LOGFILE_BIN, 3, 1034};

constexpr int IDC_LOGS3_BIN1 = 1035;
constexpr int kBin1FiveHzPosition = 2;
constexpr int kBin1FiveHzRate = 5;
constexpr int kBin1DefaultRate = 1;

struct RateCombo {
    int id;
    int32_t BINLogRateInfo::*field;
    int items;
};

constexpr std::array<RateCombo, 9> kRates{{
    {IDC_LOGS3_BIN1, &BINLogRateInfo::eBIN1, 4},
    {1036, &BINLogRateInfo::eBIN2, 2},
    {1037, &BINLogRateInfo::eBIN80, 2},
    {1038, &BINLogRateInfo::eBIN95, 2},
    {1039, &BINLogRateInfo::eBIN96, 2},
    {1040, &BINLogRateInfo::eBIN97, 2},
    {1041, &BINLogRateInfo::eBIN98, 2},
    {1049, &BINLogRateInfo::eBIN99, 2},
    {1050, &BINLogRateInfo::eD1, 2},
}};

// The two-item combos show only "OFF" and "1 Hz"; any other code leaves them as they are.
std::optional<int> BinRatePosition(const RateCombo& r, int code) {
    if (r.items == 4) return RatePosition(code, r.items, false);
    if (code == 0) return 0;
    if (code == 2) return 1;
    return std::nullopt;
}

}  // namespace

CLOGS_3::CLOGS_3()
    : CThreadLogScreen(Logs3DialogTemplate(), SCR_LOGS_3, kBinLogFile,
                       {&AppShared::bBinLogOn, LOG_BIN}) {
    for (size_t i = 0; i < kRates.size(); ++i)
        OnControl(kRates[i].id, ui::CBN_SELCHANGE, [this, i] { OnRateChange(i); });
}

void CLOGS_3::FillControls() {
    const BINLogRateInfo& rates = g_GPS.Info.Settings.BinLogRates;
    for (const RateCombo& r : kRates) {
        FillRateCombo(*this, r.id, r.items);
        if (const auto pos = BinRatePosition(r, LoadRate(rates.*r.field))) SetCurSel(r.id, *pos);
    }
    FillRecent(IDC_LOGS_FILE, RECENT_BIN_LOG);
    SendBinRates();
}

void CLOGS_3::SendBinRates() {
    const GPSSettings& settings = g_GPS.Info.Settings;
    BINLogRateInfo sent{};
    for (const RateCombo& r : kRates) sent.*r.field = LoadRate(settings.BinLogRates.*r.field);
    if (App().bRawLogOn.load()) {
        sent.eBIN95 = FasterRate(sent.eBIN95, LoadRate(settings.NMEALogConfig.eBIN95));
        sent.eBIN96 = FasterRate(sent.eBIN96, LoadRate(settings.NMEALogConfig.eBIN96));
    }
    sent.Send(PORT_THIS);
}

void CLOGS_3::OnRateChange(size_t row) {
    const RateCombo& r = kRates[row];
    const std::optional<int> code = ChosenRate(r.id, r.items);
    if (!code) return;
    StoreRate(g_GPS.Info.Settings.BinLogRates.*r.field, *code);
    SendBinRates();
}

void CLOGS_3::OnStarted() {
    const bool fiveHz = GetCurSel(IDC_LOGS3_BIN1) == kBin1FiveHzPosition;
    App().iBin1Rate.store(fiveHz ? kBin1FiveHzRate : kBin1DefaultRate);
}

void CLOGS_3::AfterStop() {
    App().iBin1Rate.store(kBin1DefaultRate);
}
