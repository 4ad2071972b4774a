#pragma once
// The point log screen: each "Log Point" appends the current position with an ID to a text
// file; the IDs run on from those in the file (Auto) or are typed by the user (Custom).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/paths.h"
#include "screens/logging/logs_frame.h"

enum : int {
    IDC_LOGS4_ID = 1053,
    IDC_LOGS4_AUTO = 1055,
    IDC_LOGS4_CUSTOM = 1056,
    IDC_LOGS4_LOG_POINT = 1059,
};

enum ePointIdMode : int32_t { POINTID_AUTO = 0, POINTID_CUSTOM = 1 };

// Longest point ID in bytes.
inline constexpr size_t kPointIdMaxBytes = 31;

inline constexpr const char* kPointHeader =
    "Lat and Lon are in decimal degrees, alt in meters\r\n"
    "Point ID        Lat             Lon             Alt\r\n";

// One row of the point file; id in Windows-1252.
std::string PointRow(std::string_view id, double lat, double lon, double alt);
// The largest leading decimal integer of the lines of a point file (0 for none), saturated
// at the largest ID.
int32_t LargestPointId(std::string_view fileBytes);

class CLOGS_4 : public CLogsFrame {
public:
    CLOGS_4();

    ui::BOOL OnInitDialog() override;
    void OnLogPoint();

    int32_t ePointIdMode = POINTID_AUTO;
    int32_t iNextPointId = 0;
    int32_t bPointFileChanged = 0;

protected:
    void FillControls() override;
    std::optional<bool> LogRunning() const override;
    void OnFileModeChanged() override {
        bPointFileChanged = 1;
        browsedPointFile_.reset();
    }
    void OnBrowsed(const std::string& path) override {
        // A change already pending for any file named next stays so.
        if (!bPointFileChanged || browsedPointFile_) browsedPointFile_ = platform::ExpandHome(path);
        bPointFileChanged = 1;
    }
    // The file Browse picked while its change is pending: in "Overwrite Existing File" that
    // change counts for this file only.
    std::optional<std::string> browsedPointFile_;

private:
    // autoIdGrown: the running number moved on for this point (an Auto ID is never repeated).
    void WritePoint(const std::string& id, bool autoIdGrown);

    // The file the running number belongs to.
    std::string m_strPointFile;
};
