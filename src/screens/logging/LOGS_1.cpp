#include "screens/logging/LOGS_1.h"

#include <array>

#include "engine/gps.h"
#include "engine/txnmea.h"
#include "resources/dlg_logs.h"

namespace {

constexpr LogFileKind kNmeaLogFile{false, RECENT_NMEA_LOG, LOGFILE_NMEA, 1, 1034};
constexpr int kSlowestFreeBaud = 38400;

struct RateCombo {
    int id;
    int32_t PortConfig::*field;
    int items;
    bool heading;
};

constexpr std::array<RateCombo, 12> kRates{{
    {1035, &PortConfig::eGGA, 4, false},
    {1036, &PortConfig::eGLL, 4, false},
    {1037, &PortConfig::eGSA, 2, false},
    {1038, &PortConfig::eGST, 2, false},
    {1039, &PortConfig::eGSV, 2, false},
    {1040, &PortConfig::eRMC, 4, false},
    {1041, &PortConfig::eRRE, 2, false},
    {1049, &PortConfig::eVTG, 4, false},
    {1050, &PortConfig::eZDA, 4, false},
    {1053, &PortConfig::eHEHDT, 5, true},
    {1054, &PortConfig::eHEROT, 5, true},
    {1055, &PortConfig::eHPR, 5, true},
}};

// The order the receiver is told the rates in.
struct SentRate {
    const char* name;
    int32_t PortConfig::*field;
};
constexpr SentRate kSendOrder[] = {
    {"GPGGA", &PortConfig::eGGA},   {"GPGLL", &PortConfig::eGLL},   {"GPGST", &PortConfig::eGST},
    {"GPGSV", &PortConfig::eGSV},   {"GPRMC", &PortConfig::eRMC},   {"GPRRE", &PortConfig::eRRE},
    {"GPVTG", &PortConfig::eVTG},   {"GPZDA", &PortConfig::eZDA},   {"GPGSA", &PortConfig::eGSA},
    {"HEHDT", &PortConfig::eHEHDT}, {"HEROT", &PortConfig::eHEROT}, {"HPR", &PortConfig::eHPR},
};

}  // namespace

CLOGS_1::CLOGS_1()
    : CThreadLogScreen(Logs1DialogTemplate(), SCR_LOGS_1, kNmeaLogFile,
                       {&AppShared::bNMEALogOn, LOG_NMEA}) {
    for (size_t i = 0; i < kRates.size(); ++i)
        OnControl(kRates[i].id, ui::CBN_SELCHANGE, [this, i] { OnRateChange(i); });
}

ui::BOOL CLOGS_1::OnInitDialog() {
    if (FirstActivation() && g_GPS.Info.Comm.iOpenBaudRate < kSlowestFreeBaud) bBaudNotePending = 1;
    return CThreadLogScreen::OnInitDialog();
}

void CLOGS_1::FillControls() {
    const PortConfig& cfg = g_GPS.Info.Settings.NMEALogConfig;
    for (const RateCombo& r : kRates) {
        FillRateCombo(*this, r.id, r.items);
        if (const auto pos = RatePosition(LoadRate(cfg.*r.field), r.items, r.heading))
            SetCurSel(r.id, *pos);
    }
    FillRecent(IDC_LOGS_FILE, RECENT_NMEA_LOG);
    const bool heading = g_GPS.ReceiverType() == RECEIVER_HEADING;
    for (const RateCombo& r : kRates) {
        if (r.heading) EnableItem(r.id, heading);
    }
    SendLogRates();
}

void CLOGS_1::SendLogRates() {
    const PortConfig& cfg = g_GPS.Info.Settings.NMEALogConfig;
    for (const SentRate& s : kSendOrder)
        g_TxNMEA.SetMessageRate(LoadRate(cfg.*s.field), s.name, false);
}

void CLOGS_1::OnRateChange(size_t row) {
    const RateCombo& r = kRates[row];
    const std::optional<int> code = ChosenRate(r.id, r.items);
    if (!code) return;
    StoreRate(g_GPS.Info.Settings.NMEALogConfig.*r.field, *code);
    SendLogRates();
}
