#pragma once
// Positions as signed decimal degrees from the record's degrees, minutes and letter.

#include <cstdint>

// With signedDegrees (binary message 1 in use) the degrees carry the sign, and the letter 'S'
// or 'W' tells it only when the degrees are 0 (a value between 0 and -1 degree); otherwise
// 'S' and 'W' make the value negative. The magnitude is |deg| + min / 60.
double SignedDegrees(int32_t deg, double min, char dir, bool signedDegrees);
