#pragma once
// The status strip along the top of every screen: three lamp pairs (a good and a bad lamp at
// the same place, exactly one shown) and three labels, chosen from the navigation mode and
// the fix quality.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

enum class LampState { Unchanged, Good, Bad };

// Which copy of the strip a screen runs.
enum class StripVariant {
    Standard,     // every screen
    OutputSetup,  // CGPS_3: only the low three bits of a non-zero navigation mode count
    Main,         // the welcome page: no ShowDiffSourceStatus, only the source name
};

struct StripState {
    std::array<LampState, 3> pair{LampState::Unchanged, LampState::Unchanged, LampState::Unchanged};
    std::optional<std::string> label1;  // label 2 "GPS" and label 3 "SBAS" come with it
};

StripState ComputeStatusStrip(StripVariant variant, uint16_t usNavMode, int32_t iFixQuality,
                              bool bReceiverFound);

// Control ids of one strip.
struct StripIds {
    int label1, good1, bad1;
    int label2, good2, bad2;
    int label3, good3, bad3;
};
// CGPS_1, CGPS_3, CXREF_1, TSpanDlg1, TSpanRover.
inline constexpr StripIds kStripIdsWide{1001, 1043, 1044, 1042, 1045, 1046, 1002, 1047, 1048};
// The welcome page and every other screen.
inline constexpr StripIds kStripIdsNarrow{1001, 1018, 1043, 1016, 1019, 1044, 1002, 1020, 1045};

// The heading screens' fourth lamp pair.
inline constexpr int kHeadingLampGood = 1021;
inline constexpr int kHeadingLampBad = 1144;

// The welcome page's source label for a source; nullopt leaves the label as it is.
std::optional<std::string> MainWindowSourceLabel(int eCurCorrSource);
