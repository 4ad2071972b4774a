#pragma once
// Latitude and longitude read-outs in the three formats the screens offer.

#include <cstdint>
#include <string>

// eCoordFormat of the record.
enum eCoordFormat : int32_t {
    COORD_DMM = 0,  // "DM.M": degrees and decimal minutes
    COORD_DD = 1,   // "D.D": decimal degrees
    COORD_DMS = 2,  // "DMS": degrees, minutes and seconds
};

// One coordinate as the record holds it: whole degrees, minutes and the direction letter.
// With bSignedDegrees (binary message 1 in use) the degrees carry the sign and the letter
// only tells the sign of a value between 0 and -1 degree; otherwise 'N' and 'E' are positive
// and every other letter negative.
struct CoordValue {
    int32_t iDeg = 0;
    double dMin = 0.0;
    char cDir = 0;
    bool bSignedDegrees = false;
};

// "%4d %09.6lf" (DM.M), "%12.7lf" (D.D, and any unknown format) or "%4d %02d %07.4lf" (DMS).
// Minutes and seconds are rounded to the printed precision first and carried into the next
// unit, so no read-out shows 60 minutes or 60 seconds; a negative value keeps its sign when
// it has no whole degree ("  -0 30.000000").
std::string FormatCoordinate(int format, const CoordValue& value);

// The message that refuses a latitude beyond ±90 or a longitude beyond ±180 degrees; empty for
// a value on the globe.
std::string LatitudeRangeError(double degrees);
std::string LongitudeRangeError(double degrees);
