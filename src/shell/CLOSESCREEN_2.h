#pragma once
// The configuration report: reads the receiver's configuration back and shows it on one
// page (rates of eleven messages on both ports, mask, age, baud rates, the differential
// source and its details).

#include <cstdint>
#include <string>

#include "ui/dialog.h"

// Rate text of an eRateCode on the report (" OFF", " 5 S", "1 Hz", "5 Hz", "10Hz", "20Hz";
// "NA" for any other value).
const char* ReportRateText(int rateCode);
// The beacon bit rate of an eBeaconBitRate ("Auto" for 0, else the code times 100).
std::string BeaconBitRateText(int bitRate);

class CCLOSESCREEN_2 : public ui::Dialog {
public:
    CCLOSESCREEN_2();

    ui::BOOL OnInitDialog() override;
    // The window's close button acts as "Close".
    void OnClose() override;
    void OnMove(int x, int y) override;

private:
    void ShowDetails(int source);
    void FillReport(int source);
    void OnCloseButton();
    void OnGoBack();

    std::string m_strThisRate[11];
    std::string m_strOtherRate[11];
    std::string m_strElevation;
    std::string m_strAge;
    std::string m_strThisBaud;
    std::string m_strOtherBaud;
    std::string m_strSource;
    std::string m_strDetail[3];
};

// Runs the report on top of the current page and returns its result. At the end of the exit
// sequence "Go Back" gives IDOK (the exit is called off) and "Close" ends the process. In the
// start-up phase (bStartupPhase set) the button reads "Continue" and gives IDCANCEL with
// bSaveOnExit set again, after which the start-up dialog hands over to the position screen;
// "Close" ends the process there too.
int RunConfigReport();
