#include "screens/differential/ber_scale.h"

#include <algorithm>
#include <cmath>

#include "engine/gps.h"

namespace {

constexpr int kScaleStep = 10;
constexpr int kScaleWindow = 11;

}  // namespace

int32_t BerRingPos(int64_t index) {
    return static_cast<int32_t>(((index % kHistorySize) + kHistorySize) % kHistorySize);
}

BerScaleDecision DecideBerScale(std::initializer_list<const std::vector<double>*> rings,
                                int32_t writeIndex, const BerScaleDecision& last) {
    // The distance round the ring: a write index that wrapped past 3599 still moves on.
    if (BerRingPos(int64_t{writeIndex} - last.lastIndex) < kScaleStep) return last;
    BerScaleDecision next{BerRingPos(writeIndex), 0, 0};
    for (const std::vector<double>* ring : rings) {
        if (ring == nullptr || ring->size() != static_cast<size_t>(kHistorySize)) continue;
        for (int back = 1; back <= kScaleWindow; ++back) {
            const double v = (*ring)[static_cast<size_t>(BerRingPos(int64_t{writeIndex} - back))];
            if (std::isfinite(v)) next.largest = std::max(next.largest, static_cast<int32_t>(v));
        }
    }
    next.scale = BerScaleFor(next.largest);
    return next;
}

int32_t BerScaleFor(int32_t largest) {
    if (largest >= 201) return 0;
    if (largest < 41) return 2;
    return 1;
}

const BerScaleMode& BerScale(int32_t scale) {
    static const BerScaleMode kModes[] = {
        {500, {"0", "125", "250", "375", "500"}},
        {200, {"0", "50", "100", "150", "200"}},
        {40, {"0", "10", "20", "30", "40"}},
    };
    return kModes[scale >= 0 && scale <= 2 ? scale : 0];
}
