// Latitude/longitude to UTM and back on the WGS 84 ellipsoid, and the
// latitude-band letter. Plain C++ (no Qt).
//
// The projection is the classic arc-second series of the transverse Mercator
// projection; the inverse goes through the footpoint latitude. Both reproduce
// the digits this program has always printed, so the constants and the order
// of the arithmetic in utm.cpp are part of the behaviour: do not "improve" them.
//
// Every zone is 6 degrees wide (no Norway or Svalbard exceptions) and there is
// no false northing: a northing south of the equator is negative, and its sign
// carries the hemisphere into UtmToLatLon.
#pragma once

#include <cstdint>
#include <string>

namespace quillet {

struct UtmCoordinates {
    double zoneNumber;  // a whole number
    double easting;     // metres, 500000 on the central meridian
    double northing;    // metres from the equator, negative in the south
};

struct LatLon {
    double latitude;   // decimal degrees, north positive
    double longitude;  // decimal degrees, east positive
};

// Projects a position the caller has already judged present. Any latitude and
// longitude are projected, the poles included; a longitude of exactly 180
// belongs to zone 60. Throws ValueError(Overflow) when the central meridian
// leaves the 16-bit range (a longitude beyond about +-32766) or when a result
// is not finite.
UtmCoordinates LatLonToUtm(double latitude, double longitude);

// The band letter "C".."X", "A" below -84 and "Z" from 84 up to 90 inclusive;
// the empty text outside -90..90.
std::string ZoneLetter(double latitude);

// The position of a UTM point; a negative northing is south of the equator.
// Any zone is accepted (0 and 61 included) while its central meridian,
// zone * 6 - 183 in 16-bit arithmetic, fits: ValueError(Overflow) otherwise,
// and also when a result is not finite.
LatLon UtmToLatLon(double northing, double easting, std::int16_t zone);

}  // namespace quillet
