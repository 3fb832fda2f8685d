// The projection both ways with any doubles, the extremes included: a finite
// result or the program's own overflow, never a non-finite number. Over the
// UTM input the boxes accept, GeographicLib's exact inverse is the oracle:
// a position within a metre of it, or a refusal where the series is wrong.
#include "values/values.h"
#include "fuzz_support.h"
#include "geodesy/utm.h"

#include <GeographicLib/Geodesic.hpp>
#include <GeographicLib/TransverseMercatorExact.hpp>

using namespace quillet;
using quillet::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const double latitude = input.ConsumeFloatingPoint<double>();
    const double longitude = input.ConsumeFloatingPoint<double>();
    const double northing = input.ConsumeFloatingPoint<double>();
    const double easting = input.ConsumeFloatingPoint<double>();
    const auto zone = input.ConsumeIntegral<std::int16_t>();
    const double boxEasting = input.ConsumeFloatingPointInRange(160000.0, 834000.0);
    const double boxNorthing = input.ConsumeFloatingPointInRange(-10000000.0, 10000000.0);
    const auto boxZone = input.ConsumeIntegralInRange<std::int16_t>(1, 60);

    try {
        const UtmCoordinates utm = LatLonToUtm(latitude, longitude);
        Require(std::isfinite(utm.easting) && std::isfinite(utm.northing), "finite UTM");
        Require(utm.zoneNumber == FloorOf(utm.zoneNumber) && std::fabs(utm.zoneNumber) < 5500, "a whole 16-bit zone");
        if (std::fabs(longitude) <= 180) Require(utm.zoneNumber >= 1 && utm.zoneNumber <= 60, "zones 1 to 60");
    } catch (const ValueError& error) {
        Require(error.kind() == ValueError::Kind::Overflow, "projection fails only by overflow");
        Require(!(std::fabs(longitude) <= 180 && std::fabs(latitude) <= 90), "a position on the globe projects");
    }

    const std::string band = ZoneLetter(latitude);
    Require(band.size() == (std::fabs(latitude) <= 90 ? 1u : 0u), "a band exactly on the globe", band);

    try {
        const LatLon position = UtmToLatLon(northing, easting, zone);
        Require(std::fabs(position.latitude) <= 90 && std::fabs(position.longitude) <= 180, "a place on the earth");
    } catch (const ValueError& error) {
        Require(error.kind() != ValueError::Kind::TypeMismatch, "no type mismatch from numbers");
    }

    static const GeographicLib::TransverseMercatorExact exact(GeographicLib::Constants::WGS84_a(),
                                                              GeographicLib::Constants::WGS84_f(), 0.9996);
    double lat = 0, lon = 0;
    exact.Reverse(6 * boxZone - 183, boxEasting - 500000, boxNorthing, lat, lon);
    const auto metresOff = [&](const LatLon& position) {
        double metres = 0;
        GeographicLib::Geodesic::WGS84().Inverse(lat, lon, position.latitude, position.longitude, metres);
        return metres;
    };
    try {
        const LatLon position = UtmToLatLon(boxNorthing, boxEasting, boxZone);
        Require(metresOff(position) <= 1, "shown within a metre of the exact position");
    } catch (const ValueError& error) {
        const LatLon series = UtmSeriesToLatLon(boxNorthing, boxEasting, boxZone);
        Require(error.kind() == ValueError::Kind::OutOfReach, "only refused, never overflowing");
        Require(std::fabs(series.latitude) > 90 || metresOff(series) > 0.5, "refused only where the series is wrong");
    }
    return 0;
}
