// The projection exactly as it was before it was tuned for speed: the same
// formulas, constants and order of arithmetic, recomputed on every call. The
// benchmarks time it as the plain transcription, and the tests hold the
// tuned functions to its results bit for bit. Never edit the formulas here.
#pragma once

#include <cstdint>

#include "geodesy/utm.h"

namespace quillet::reference {

UtmCoordinates LatLonToUtm(double latitude, double longitude);
LatLon UtmToLatLon(double northing, double easting, std::int16_t zone);

}  // namespace quillet::reference
