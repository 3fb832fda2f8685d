// A second, independent inverse of the transverse Mercator projection on
// WGS 84: Krüger's series in the third flattening n to n^6 (as Karney gives
// it). Good to a few nanometres anywhere within 4000 km of the central
// meridian, across the poles too, so far wider than any UTM input reaches.
// The program never shows its result: it only judges whether the classic
// series in utm.cpp is still right for a given input. Plain C++.
#pragma once

#include <cstdint>

namespace quillet {

struct EarthPoint {
    double latitude;   // degrees, -90..90
    double longitude;  // degrees, the central meridian plus -180..180
};

// The position of a UTM point (easting with its false 500000 m, northing
// negative south of the equator) on the central meridian given in degrees.
EarthPoint ExactUtmInverse(double northing, double easting, double centralMeridian);

// The straight-line distance in metres between two points on the ellipsoid's
// surface; within a few metres it is the distance along the ground. Any
// longitudes: 190 and -170 are the same meridian. Latitudes beyond 90 are
// taken as the formulas give them, so check them first.
double MetresApart(double latitude1, double longitude1, double latitude2, double longitude2);

}  // namespace quillet
