#pragma once
// The output setup screen: the third tab of the GPS group. Output rates of eleven messages
// and the baud rate of both receiver ports, the elevation mask, the maximum differential age,
// and loading and saving receiver configuration files (".rcf"). Every change goes into the
// live settings and is sent at once; only what differs from what the receiver was last given
// is sent.

#include <string>

#include "shell/BaseDialog.h"

enum : int {
    IDC_GPS3_ELEVATION = 1007,
    IDC_GPS3_MAX_AGE = 1034,
    IDC_GPS3_PROFILE = 1074,
    IDC_GPS3_LOAD = 1075,
    IDC_GPS3_SAVE = 1072,
    IDC_GPS3_ALL_OFF_THIS = 1064,
    IDC_GPS3_ALL_OFF_OTHER = 1065,
    IDC_GPS3_BAUD_THIS = 1068,
    IDC_GPS3_BAUD_OTHER = 1069,
    IDC_GPS3_TAB = 1006,
};

// The rate combos of the eleven rows, this port and the other port.
extern const int kGps3ThisPortCombos[11];
extern const int kGps3OtherPortCombos[11];

class CGPS_3 : public CBaseDialog {
public:
    CGPS_3();
    ~CGPS_3() override;

    ui::BOOL OnInitDialog() override;
    void OnCancel() override;
    void OnTimer(ui::UINT id) override;

    // Browses for an ".rcf" file starting from `name` and writes the receiver configuration
    // there; `name` becomes the file written. The exit dialog saves a profile the same way.
    static bool SaveProfileAs(std::string& name);

    // Fills every control from the live settings, correcting the mask and age there.
    void FillControls();

    int m_iElevation = 0;
    int m_iMaxAge = 0;
    std::string m_strProfile;

private:
    void OnRate(int row, bool otherPort);
    void OnAllOff(bool otherPort);
    void OnThisPortBaud();
    void OnOtherPortBaud();
    void OnElevation();
    void OnMaxAge();
    void OnLoadProfile();
    void OnSaveProfile();
    // Moves the receiver and the port to `baud`; restores `oldBaud` when that cannot be done.
    void ChangeThisPortBaud(int baud, int oldBaud);
    void SelectThisPortBaud();
};
