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

// The same series in a zone the caller chooses (1..60), not the longitude's:
// what a receiver with the Norway and Svalbard zones shows. Where the series
// is more than 0.75 m off in that zone, as the exact inverse judges it,
// ValueError(OutOfReach), the rule UtmToLatLon keeps for UTM input.
UtmCoordinates LatLonToUtmInZone(double latitude, double longitude, int zone);

// The band letter "C".."X", "A" below -84 and "Z" from 84 up to 90 inclusive;
// the empty text outside -90..90.
std::string ZoneLetter(double latitude);

// The position of a UTM point; a negative northing is south of the equator.
// Any zone is accepted (0 and 61 included) while its central meridian,
// zone * 6 - 183 in 16-bit arithmetic, fits: ValueError(Overflow) otherwise,
// and also when a result is not finite. The result is the inverse series
// below, with its longitude wrapped into -180..180, where the series is
// right: within 0.75 m of an exact inverse and no latitude beyond 90.
// Elsewhere (far from the central meridian at high latitudes, past a pole)
// ValueError(OutOfReach), rather than a wrong or impossible position.
LatLon UtmToLatLon(double northing, double easting, std::int16_t zone);

// The inverse series alone, unjudged and unwrapped: below a millimetre near
// the central meridian, kilometres or absurdly off far from it.
LatLon UtmSeriesToLatLon(double northing, double easting, std::int16_t zone);

// The false northing receivers add south of the equator, which the window's
// northing goes without; the northings within it, either side, are the ones
// a UTM point is written with.
inline constexpr double kFalseNorthing = 10000000;
// The eastings UTM input takes: a zone's width at the equator and a margin.
inline constexpr double kLeastEasting = 160000, kGreatestEasting = 834000;

// The same meridian within -180..180: 190 is -170; 180 and -180 stay.
double WrappedLongitude(double longitude);

}  // namespace quillet
