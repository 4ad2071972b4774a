#pragma once
// The t-Span base screen: the base's reference position and the port its corrections leave
// by; "Initialize" sends them and shows what the receiver took.

#include <cstdint>

#include "screens/differential/diff_page.h"

enum : int {
    IDC_TSPAN_TAB = 1006,
    IDC_TSPAN_LAT = 1007,
    IDC_TSPAN_LON = 1022,
    IDC_TSPAN_HEIGHT = 1023,
    IDC_TSPAN_INITIALIZE = 1036,
    IDC_TSPAN_PORT = 1079,
};

class TSpanDlg1 : public CSetupPage {
public:
    TSpanDlg1();

    ui::BOOL OnInitDialog() override;

    double m_dLat = 0.0;
    double m_dLon = 0.0;
    double m_dHeight = 0.0;

protected:
    void OnSetupTick(ui::UINT id) override;

private:
    // The saved reference and port into the edits, the members and the port combo.
    void ShowSaved();
    // ShowSaved, then the member-to-control transfer, keeping texts the edits take back.
    void ShowAnswered();
    // "$JRTK,6" and "$JRTK"; the saved record takes the receiver's answer. False when no
    // answer came, which leaves the saved record as it is.
    bool QueryAndSaveReference();
    void OnInitialize();
    void OnCoordinateChange(int id);
    // Usable only with a complete position in range and a port other than NONE.
    void EnableInitialize();
};
