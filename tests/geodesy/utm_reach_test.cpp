// UTM input over everything the field checks accept, not only near the
// central meridian: whole zones, both poles and beyond them, both edges of
// the zone numbers. GeographicLib's exact transverse Mercator is the oracle.
#include "geodesy/utm.h"

#include <GeographicLib/Geodesic.hpp>
#include <GeographicLib/TransverseMercatorExact.hpp>
#include <gtest/gtest.h>

#include <cmath>

#include "values/values.h"

namespace {

using namespace quillet;

TEST(UtmToLatLon, ShowsOnlyRealPlacesWithinAMetreAndRefusesOnlyWhereTheSeriesIsWrong) {
    const GeographicLib::TransverseMercatorExact exact(GeographicLib::Constants::WGS84_a(),
                                                       GeographicLib::Constants::WGS84_f(), 0.9996);
    const auto metresFrom = [](double lat, double lon, const LatLon& other) {
        double metres = 0;
        GeographicLib::Geodesic::WGS84().Inverse(lat, lon, other.latitude, other.longitude, metres);
        return metres;
    };
    int refused = 0, shown = 0;
    for (int row = 0; row <= 400; ++row)
        for (int column = 0; column <= 337; ++column) {  // 500000 among them
            const double northing = -10000000 + 50000.0 * row, easting = 160000 + 2000.0 * column;
            double lat = 0, lon = 0;  // on meridian 0; each zone only shifts the longitude
            exact.Reverse(0, easting - 500000, northing, lat, lon);
            for (const int zone : {1, 60, 1 + (row * 338 + column) % 60}) {
                const double centralMeridian = 6 * zone - 183;
                const auto where = ::testing::Message() << "zone " << zone << " E " << easting << " N " << northing;
                try {
                    const LatLon position = UtmToLatLon(northing, easting, std::int16_t(zone));
                    ++shown;
                    ASSERT_LE(std::fabs(position.latitude), 90) << where;
                    ASSERT_LE(std::fabs(position.longitude), 180) << where;
                    ASSERT_LE(metresFrom(lat, lon + centralMeridian, position), 1.0) << where;
                } catch (const ValueError& error) {
                    ++refused;
                    ASSERT_EQ(error.kind(), ValueError::Kind::OutOfReach) << where;
                    const LatLon series = UtmSeriesToLatLon(northing, easting, std::int16_t(zone));
                    if (std::fabs(series.latitude) <= 90) {  // beyond a pole it is wrong whatever the distance
                        ASSERT_GT(metresFrom(lat, lon + centralMeridian, series), 0.5) << where;
                    }
                }
            }
        }
    // Most of the grid lies where the series is right; the refusals reach in from the polar corners.
    EXPECT_GT(shown, 8 * refused);
    EXPECT_GT(refused, 0);
}

}  // namespace
