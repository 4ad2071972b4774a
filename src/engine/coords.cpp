#include "engine/coords.h"

#include <cmath>

double SignedDegrees(int32_t deg, double min, char dir, bool signedDegrees) {
    const double magnitude = std::fabs(static_cast<double>(deg)) + min / 60.0;
    const bool southOrWest = dir == 'S' || dir == 'W';
    const bool negative = signedDegrees ? deg < 0 || (deg == 0 && southOrWest) : southOrWest;
    return negative ? -magnitude : magnitude;
}
