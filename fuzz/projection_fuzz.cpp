// The projection both ways with any doubles, the extremes included: a finite
// result or the program's own overflow, never a non-finite number.
#include "values/values.h"
#include "fuzz_support.h"
#include "geodesy/utm.h"

using namespace quillet;
using quillet::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const double latitude = input.ConsumeFloatingPoint<double>();
    const double longitude = input.ConsumeFloatingPoint<double>();
    const double northing = input.ConsumeFloatingPoint<double>();
    const double easting = input.ConsumeFloatingPoint<double>();
    const auto zone = input.ConsumeIntegral<std::int16_t>();

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
        Require(std::isfinite(position.latitude) && std::isfinite(position.longitude), "finite position");
    } catch (const ValueError& error) {
        Require(error.kind() != ValueError::Kind::TypeMismatch, "no type mismatch from numbers");
        Require(!(zone >= 1 && zone <= 60 && std::fabs(easting - 500000) <= 400000 && std::fabs(northing) <= 1e7),
                "a point of a real zone converts");
    }
    return 0;
}
