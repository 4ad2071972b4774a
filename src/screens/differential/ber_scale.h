#pragma once
// The value scale of the bit-error-rate plots (L-band and SBAS): 500, 200 or 40, chosen from
// the newest samples each time ten new seconds have been written.

#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

struct BerScaleDecision {
    int32_t lastIndex = 0;  // ring write index at the last decision, 0..3599
    int32_t largest = 500;  // largest sample then
    int32_t scale = 0;      // 0 span 500, 1 span 200, 2 span 40
};

// The scale for the largest recent rate: 0 from 201 up, 2 below 41, else 1.
int32_t BerScaleFor(int32_t largest);
// Decides again once the write index has moved on at least 10 positions round the ring since
// the last decision, from the 11 newest samples of every ring; otherwise `last` stands.
BerScaleDecision DecideBerScale(std::initializer_list<const std::vector<double>*> rings,
                                int32_t writeIndex, const BerScaleDecision& last);

struct BerScaleMode {
    int span;
    std::array<std::string, 5> labels;  // bottom to top
};
// A scale outside 0..2 reads as 0.
const BerScaleMode& BerScale(int32_t scale);
// A ring position brought into 0..3599.
int32_t BerRingPos(int64_t index);
