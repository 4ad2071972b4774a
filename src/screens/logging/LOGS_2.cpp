#include "screens/logging/LOGS_2.h"

#include <QString>

#include "engine/gps.h"
#include "engine/txnmea.h"
#include "platform/textfile.h"
#include "resources/dlg_logs.h"

namespace {

constexpr LogFileKind kRawLogFile{true, RECENT_RAW_LOG, LOGFILE_RAW, 2, 1036};
constexpr int kRateItems = 4;

}  // namespace

std::string StationLineBytes(const std::string& stationIdUtf8) {
    const QString line = QStringLiteral("Station ID: ") + QString::fromUtf8(stationIdUtf8);
    std::string bytes;
    bytes.reserve(static_cast<size_t>(line.size()) * 2 + 2);
    for (const QChar c : line) {
        const char16_t unit = c.unicode();
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    bytes += "\r\n";
    return bytes;
}

CLOGS_2::CLOGS_2()
    : CThreadLogScreen(Logs2DialogTemplate(), SCR_LOGS_2, kRawLogFile,
                       {&AppShared::bRawLogOn, LOG_RAW}) {
    OnControl(IDC_LOGS2_RATE, ui::CBN_SELCHANGE, [this] { OnRateChange(); });
    OnControl(IDC_LOGS2_ADD, ui::BN_CLICKED, [this] { OnAddStationId(); });
}

void CLOGS_2::FillControls() {
    FillRateCombo(*this, IDC_LOGS2_RATE, kRateItems);
    const PortConfig& cfg = g_GPS.Info.Settings.NMEALogConfig;
    if (const auto pos = RatePosition(LoadRate(cfg.eBIN95), kRateItems, false))
        SetCurSel(IDC_LOGS2_RATE, *pos);
    FillRecent(IDC_LOGS_FILE, RECENT_RAW_LOG);
    FillRecent(IDC_LOGS2_STATION, RECENT_STATION_ID);
    SendRawRates();
}

void CLOGS_2::SendRawRates() {
    const GPSSettings& settings = g_GPS.Info.Settings;
    int rate96 = LoadRate(settings.NMEALogConfig.eBIN96);
    int rate95 = LoadRate(settings.NMEALogConfig.eBIN95);
    if (App().bBinLogOn.load()) {
        rate96 = FasterRate(rate96, LoadRate(settings.BinLogRates.eBIN96));
        rate95 = FasterRate(rate95, LoadRate(settings.BinLogRates.eBIN95));
    }
    g_TxNMEA.SetBinaryRate(rate96, 96, false);
    g_TxNMEA.SetBinaryRate(rate95, 95, false);
}

void CLOGS_2::OnRateChange() {
    const std::optional<int> code = ChosenRate(IDC_LOGS2_RATE, kRateItems);
    if (!code) return;
    PortConfig& cfg = g_GPS.Info.Settings.NMEALogConfig;
    StoreRate(cfg.eBIN95, *code);
    StoreRate(cfg.eBIN96, *code);
    SendRawRates();
}

void CLOGS_2::OnAddStationId() {
    RememberRecent(IDC_LOGS2_STATION, RECENT_STATION_ID);
}

bool CLOGS_2::WriteHead(const std::string& path) {
    platform::RawFileWriter file;
    std::string error;
    const std::string line = StationLineBytes(GetDlgItemText(IDC_LOGS2_STATION));
    if (!file.Open(path, true, &error) || !file.Write(line, &error) || !file.Flush(&error) ||
        !file.Close(&error)) {
        ReportStartFailure(error);
        return false;
    }
    return true;
}
