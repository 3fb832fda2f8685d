// The accurate projections on WGS 84, beside the window's UTM series in
// utm.h and never mixed with it:
// - the transverse Mercator as Krüger's series in the third flattening n to
//   n^6 (as Karney gives it), both ways. Good to a few nanometres anywhere
//   within 4000 km of the central meridian, across the poles too. Its inverse
//   judges whether the window's series is still right for a UTM input; its
//   forward gives MGRS its digits, which must agree with every other MGRS tool.
// - the universal polar stereographic (UPS) of the polar caps, both ways.
// Plain C++.
#pragma once

#include <cstdint>

namespace quillet {

struct EarthPoint {
    double latitude;   // degrees, -90..90
    double longitude;  // degrees, the central meridian plus -180..180
};

// A point on a projected grid, with its false easting; the northing has no
// false northing in UTM (negative south of the equator), 2,000,000 m in UPS.
struct GridPoint {
    double easting;
    double northing;
};

// The UTM point (easting with its false 500000 m, northing negative south of
// the equator) of a position, on the central meridian given in degrees; the
// longitude may lie up to 90 degrees either side of it.
GridPoint ExactUtmForward(double latitude, double longitude, double centralMeridian);

// The position of a UTM point (easting with its false 500000 m, northing
// negative south of the equator) on the central meridian given in degrees.
EarthPoint ExactUtmInverse(double northing, double easting, double centralMeridian);

// UPS of the north or the south polar cap: scale 0.994 at the pole, false
// easting and northing 2,000,000 m, the north pole's 0 meridian pointing down
// the grid and the south pole's up it. Any latitude of the cap's hemisphere.
GridPoint UpsForward(bool north, double latitude, double longitude);
EarthPoint UpsInverse(bool north, double easting, double northing);

// The straight-line distance in metres between two points on the ellipsoid's
// surface; within a few metres it is the distance along the ground. Any
// longitudes: 190 and -170 are the same meridian. Latitudes beyond 90 are
// taken as the formulas give them, so check them first.
double MetresApart(double latitude1, double longitude1, double latitude2, double longitude2);

}  // namespace quillet
