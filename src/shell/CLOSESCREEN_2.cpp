#include "shell/CLOSESCREEN_2.h"

#include "engine/beacon_tables.h"
#include "engine/gps.h"
#include "engine/txnmea.h"
#include "platform/numbers.h"
#include "resources/dlg_exit.h"
#include "shell/CHECK.h"
#include "shell/DiffSource.h"
#include "shell/ExitInstance.h"
#include "shell/Tessaray_PC.h"
#include "ui/fonts.h"

using namespace resources;

namespace {

const int kFreqLabels[] = {IDC_REPORT_FREQ_LABEL, IDC_REPORT_MSK_LABEL, IDC_REPORT_STATION_LABEL,
                           IDC_REPORT_DETAIL1,    IDC_REPORT_DETAIL2,   IDC_REPORT_DETAIL3};
const int kSbasRows[] = {IDC_REPORT_PRN1_LABEL, IDC_REPORT_PRN2_LABEL, IDC_REPORT_PRN1,
                         IDC_REPORT_PRN2};

// Rates of one port in the report's message order.
void RatesOf(const PortConfig& p, std::string (&out)[kReportRows]) {
    const int32_t codes[kReportRows] = {p.eGGA, p.eGLL, p.eGSA, p.eGST,   p.eGSV,  p.eRMC,
                                        p.eRRE, p.eVTG, p.eZDA, p.eBIN95, p.eBIN96};
    for (int i = 0; i < kReportRows; ++i) out[i] = ReportRateText(codes[i]);
}

}  // namespace

const char* ReportRateText(int rateCode) {
    switch (rateCode) {
        case 0:
            return " OFF";
        case 1:
            return " 5 S";
        case 2:
            return "1 Hz";
        case 3:
            return "5 Hz";
        case 4:
            return "10Hz";
        case 5:
            return "20Hz";
        default:
            return "NA";
    }
}

std::string BeaconBitRateText(int bitRate) {
    return bitRate == 0 ? std::string("Auto") : platform::FormatInt(int64_t{bitRate} * 100);
}

CCLOSESCREEN_2::CCLOSESCREEN_2() : ui::Dialog(CloseScreen2Template()) {
    for (int i = 0; i < kReportRows; ++i) {
        DDX_Text(kReportThisRate[i], m_strThisRate[i]);
        DDX_Text(kReportOtherRate[i], m_strOtherRate[i]);
    }
    DDX_Text(IDC_REPORT_ELEVATION, m_strElevation);
    DDX_Text(IDC_REPORT_AGE, m_strAge);
    DDX_Text(IDC_REPORT_THIS_BAUD, m_strThisBaud);
    DDX_Text(IDC_REPORT_OTHER_BAUD, m_strOtherBaud);
    DDX_Text(IDC_REPORT_SOURCE, m_strSource);
    DDX_Text(IDC_REPORT_DETAIL1, m_strDetail[0]);
    DDX_Text(IDC_REPORT_DETAIL2, m_strDetail[1]);
    DDX_Text(IDC_REPORT_DETAIL3, m_strDetail[2]);
}

ui::BOOL CCLOSESCREEN_2::OnInitDialog() {
    ui::Dialog::OnInitDialog();
    CTessaray_PCApp& app = theApp();
    GPSInfo& info = g_GPS.Info;
    // The pauses of the read-back block this thread for seconds.
    RepaintNow();
    g_GPS.ReadConfig(info.Settings.WizardLive);

    int source = 0;
    {
        RecordLock lock(info.ulPart1Lock);
        source = info.eCurCorrSource;
    }
    const QFont small = ui::MakeFont("Tahoma", 8);
    for (QWidget* w : Widget()->findChildren<QWidget*>()) {
        if (const int id = ui::ControlId(w); id > 0 && id != 1000) SetItemFont(id, small);
    }
    QFont heading = small;
    heading.setBold(true);
    for (int id : {1076, 1066, 1067, IDC_REPORT_SOURCE}) SetItemFont(id, heading);
    SetDlgItemText(IDC_REPORT_ELEVATION_UNIT, "\u00BA");
    // Nothing answered the read-back: what follows is what the program held, not the receiver.
    if (app.bReadBackUnanswered.load()) SetDlgItemText(1076, "Receiver settings were never read");
    ShowDetails(source);
    SetWindowText("Tessaray PC");
    FillReport(source);

    if (app.bStartupPhase.load()) {
        app.bSaveOnExit = 0;
        SetDlgItemText(IDC_REPORT_GO_BACK, "Continue");
    }
    OnControl(IDC_REPORT_CLOSE, ui::BN_CLICKED, [this] { OnCloseButton(); });
    OnControl(IDC_REPORT_GO_BACK, ui::BN_CLICKED, [this] { OnGoBack(); });
    PlaceOnSharedRectangle(*this);
    return ui::TRUE;
}

void CCLOSESCREEN_2::ShowDetails(int source) {
    if (source == CORR_LBND) {
        SetDlgItemText(IDC_REPORT_MSK_LABEL, "Data Rate:");
        SetDlgItemText(IDC_REPORT_STATION_LABEL, "Spot:");
    }
    const bool details = source == CORR_BEACON || source == CORR_LBND;
    for (int id : kFreqLabels) ShowItem(id, details);
    for (int id : kSbasRows) ShowItem(id, source == CORR_SBAS);
}

void CCLOSESCREEN_2::FillReport(int source) {
    GPSInfo& info = g_GPS.Info;
    // A copy: a beacon status reply may still write the settings while the report is filled.
    const WizardInfo w = [&] {
        RecordLock lock(info.ulPart1Lock);
        return info.Settings.WizardLive;
    }();
    RatesOf(w.ThisPortConfig, m_strThisRate);
    RatesOf(w.OtherPortConfig, m_strOtherRate);
    m_strElevation = platform::FormatInt(w.iElevation);
    m_strAge = platform::FormatInt(w.iMaxAge);
    m_strThisBaud = platform::FormatInt(w.iNMEABaudRate);
    m_strOtherBaud = platform::FormatInt(w.iRTCMBaudRate);
    if (source == CORR_BEACON) {
        m_strDetail[0] = platform::FormatFixed(w.fFreq, 1);
        m_strDetail[1] = BeaconBitRateText(w.iBitRate);
        m_strDetail[2] = platform::FormatInt(w.iStationId);
    } else if (source == CORR_LBND || source == CORR_SBAS) {
        RecordLock lock(info.LBand.ulLBandLock);
        const LBandInfo& lb = info.LBand;
        if (source == CORR_LBND) {
            m_strDetail[0] = platform::FormatUInt(lb.ulGeoFreqKhz);
            m_strDetail[1] = platform::FormatInt(lb.iGeoId);
            m_strDetail[2] = LBandBeamName(lb.ulGeoFreqKhz, lb.fGeoLongitude);
        } else {
            SetDlgItemText(IDC_REPORT_PRN1, platform::FormatInt(lb.iSBASPRN1));
            SetDlgItemText(IDC_REPORT_PRN2, platform::FormatInt(lb.iSBASPRN2));
        }
    }
    DiffSourceName(source, m_strSource);
    UpdateData(ui::FALSE);
}

void CCLOSESCREEN_2::OnClose() {
    OnCloseButton();
}

void CCLOSESCREEN_2::OnMove(int x, int y) {
    StoreSharedPosition(x, y);
}

void CCLOSESCREEN_2::OnCloseButton() {
    EndDialog(ui::IDCANCEL);
    ShowWindow(ui::SW_SHOW);
    PlaceOnSharedRectangle(*this);
    CTessaray_PCApp::EndProcess(0);
}

void CCLOSESCREEN_2::OnGoBack() {
    CTessaray_PCApp& app = theApp();
    if (app.bStartupPhase.load()) {
        EndDialog(ui::IDCANCEL);
        app.bSaveOnExit = 1;
        return;
    }
    EndDialog(ui::IDOK);
    ShowWindow(ui::SW_HIDE);
    CancelExit(true);
}

int RunConfigReport() {
    CCLOSESCREEN_2 dlg;
    return dlg.DoModal();
}
