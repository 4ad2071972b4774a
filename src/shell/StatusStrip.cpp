#include "shell/StatusStrip.h"

#include "platform/trace.h"

namespace {

constexpr LampState G = LampState::Good;
constexpr LampState B = LampState::Bad;

StripState Row(LampState p1, LampState p2, LampState p3, const char* label1) {
    StripState s;
    s.pair = {p1, p2, p3};
    s.label1 = label1;
    return s;
}

StripState ByFixQuality(int32_t iFixQuality, bool bReceiverFound) {
    switch (iFixQuality) {
        case 0:
            return Row(bReceiverFound ? G : B, B, B, "COMM");
        case 1:
            return Row(G, G, B, "COMM");
        case 2:
            return Row(G, G, G, "3D+DIFF");
        default:
            return StripState{};
    }
}

StripState ByNavMode(unsigned mode) {
    switch (mode) {
        case 1:
            return Row(B, G, B, "2D+DIFF");
        case 2:
            return Row(B, G, B, "3D+DIFF");
        case 3:
            return Row(G, G, B, "2D+DIFF");
        case 4:
        case 5:
        case 6:
            return Row(G, G, G, "3D+DIFF");
        default:
            return StripState{};
    }
}

}  // namespace

StripState ComputeStatusStrip(StripVariant variant, uint16_t usNavMode, int32_t iFixQuality,
                              bool bReceiverFound) {
    if (usNavMode == 0) return ByFixQuality(iFixQuality, bReceiverFound);
    if (variant != StripVariant::OutputSetup) return ByNavMode(usNavMode);
    const unsigned low = usNavMode & 0x7u;
    if (low == 0) return Row(bReceiverFound ? G : B, B, B, "COMM");
    return ByNavMode(low == 7 ? 4 : low);
}

std::optional<std::string> MainWindowSourceLabel(int eCurCorrSource) {
    switch (eCurCorrSource) {
        case 0:
            return "NONE";
        case 1:
            return "Beacon";
        case 2:
            return "LBand";
        case 3:
            return "SBAS";
        case 4:
            return "EXT";
        case 5:
            return "RTK";
        case 6:
            return "x-Ref";
        case 9:
            return "SubSea7";
        default:
            return std::nullopt;
    }
}
