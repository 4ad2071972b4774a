#pragma once
// The x-Ref screen: starts the receiver's single-receiver differential runs (at an unknown
// point, at a typed control point, or a single run), re-sends the run every 10 s until the
// receiver reports it ready, and tells the user when x-Ref is not subscribed.

#include <cstdint>
#include <string>

#include "screens/differential/diff_page.h"

enum : int {
    IDC_XREF_TAB = 1006,
    IDC_XREF_LAT = 1007,
    IDC_XREF_LON = 1022,
    IDC_XREF_HEIGHT = 1023,
    IDC_XREF_STATUS = 1009,
    IDC_XREF_INIT_UNKNOWN = 1036,
    IDC_XREF_RECAL_UNKNOWN = 1037,
    IDC_XREF_INIT_KNOWN = 1038,
    IDC_XREF_RECAL_KNOWN = 1039,
    IDC_XREF_INIT_SINGLE = 1049,
    IDC_XREF_LAMP_WAIT = 1140,
    IDC_XREF_LAMP_READY = 1050,
};

enum eXRefRun : int32_t {
    XREF_RUN_NONE = 0,
    XREF_RUN_UNKNOWN_POINT = 1,
    XREF_RUN_KNOWN_POINT = 2,
    XREF_RUN_SINGLE = 3,
};

// JRADInfo.bXRefSubscribed from activation until the receiver answers.
inline constexpr uint32_t kXRefSubscriptionUnknown = 2;

class CXREF_1 : public CSetupPage {
public:
    CXREF_1();

    ui::BOOL OnInitDialog() override;

    double m_dLat = 0.0;
    double m_dLon = 0.0;
    double m_dHeight = 0.0;
    std::string m_strStatus = "Please select x-Ref mode above.";
    int32_t m_bWarned = 0;
    int32_t m_iPendingRun = XREF_RUN_NONE;

protected:
    void OnSetupTick(ui::UINT id) override;

private:
    void CheckSubscription();
    void EnableKnownPoint();
    // JRADInfo.bXRefReady.
    static bool Ready();
    void WatchRun();
    void StartRun(eXRefRun run);
    // The status text, with the ready lamp for "x-Ref now ready" and the waiting one else.
    void ShowRunState(const char* status);
    void OnCoordinateChange(int id);
    void OnInitKnownPoint();

    // The refused subscription disabled the run buttons; which of them were enabled before,
    // one bit each. Both outlive a leave, as the disabled buttons do.
    bool m_bRunsBlocked = false;
    uint32_t m_uRunsEnabled = 0;
};
