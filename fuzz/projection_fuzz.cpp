// The projection with any doubles, the extremes included: a finite result or
// the program's own overflow, never undefined behaviour (the inverse meets any
// doubles through the text target's UTM boxes). Over the UTM input the boxes accept, GeographicLib's
// exact inverse is the oracle: a position within a metre of it, or a refusal
// where the series is wrong.
#include "values/values.h"
#include "fuzz_support.h"
#include "geodesy/utm.h"

#include <GeographicLib/Geodesic.hpp>
#include <GeographicLib/TransverseMercatorExact.hpp>

using namespace quillet;
using quillet::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const double latitude = input.ConsumeFloatingPoint<double>(), longitude = input.ConsumeFloatingPoint<double>();
    try {
        const UtmCoordinates utm = LatLonToUtm(latitude, longitude);
        const bool zoned = std::fabs(longitude) > 180 || (utm.zoneNumber >= 1 && utm.zoneNumber <= 60);
        Require(std::isfinite(utm.easting + utm.northing) && zoned, "finite UTM in zones 1 to 60");
    } catch (const ValueError& error) {
        const bool onGlobe = std::fabs(longitude) <= 180 && std::fabs(latitude) <= 90;
        Require(error.kind() == ValueError::Kind::Overflow && !onGlobe, "only a position off the globe overflows");
    }

    const double easting = input.ConsumeFloatingPointInRange(160000.0, 834000.0);
    const double northing = input.ConsumeFloatingPointInRange(-10000000.0, 10000000.0);
    const auto zone = input.ConsumeIntegralInRange<std::int16_t>(1, 60);
    double lat = 0, lon = 0;
    GeographicLib::TransverseMercatorExact::UTM().Reverse(6 * zone - 183, easting - 500000, northing, lat, lon);
    const auto metresOff = [&](const LatLon& position) {
        double metres = 0;
        GeographicLib::Geodesic::WGS84().Inverse(lat, lon, position.latitude, position.longitude, metres);
        return metres;
    };
    try {
        const LatLon position = UtmToLatLon(northing, easting, zone);
        Require(metresOff(position) <= 1 && std::fabs(position.longitude) <= 180, "on the globe, a metre from exact");
    } catch (const ValueError& error) {
        const LatLon series = UtmSeriesToLatLon(northing, easting, zone);
        const bool wrong = std::fabs(series.latitude) > 90 || metresOff(series) > 0.5;
        Require(error.kind() == ValueError::Kind::OutOfReach && wrong, "refused only where the series is wrong");
    }
    return 0;
}
