#include "geodesy/utm.h"

#include <GeographicLib/Geodesic.hpp>
#include <GeographicLib/TransverseMercator.hpp>
#include <GeographicLib/TransverseMercatorExact.hpp>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>

#include "geodesy/exact_inverse.h"
#include "values/values.h"

namespace {

using namespace quillet;

TEST(LatLonToUtm, GivesThePublishedDigits) {
    const struct { double lat, lon, zone, easting, northing; } cases[] = {
        {40, -75, 18, 500000, 4427757.2187}, {-33.8688, 151.2093, 56, 334368.6318, -3749051.6545},
        {51.5, -0.1276, 30, 699362.4528, 5709341.5565}, {90, 3, 31, 500000, 9997964.9430},
        {-90, 3, 31, 500000, -9997964.9430}, {45, 3, 31, 500000, 4982950.4002}, {45, -3, 30, 500000, 4982950.4002},
        // Regression: 180 fell into a zone 61 centred on 183. It is the east edge of zone 60, mirroring 174.
        {0.5, 180, 60, 833965.7951, 55341.3881}, {0.5, 174, 60, 166034.2049, 55341.3881}};
    for (const auto& c : cases) {  // printed to 0.1 mm: allow half a last digit
        const UtmCoordinates utm = LatLonToUtm(c.lat, c.lon);
        EXPECT_EQ(utm.zoneNumber, c.zone) << c.lat << ", " << c.lon;
        EXPECT_NEAR(utm.easting, c.easting, 0.5e-4) << c.lat << ", " << c.lon;
        EXPECT_NEAR(utm.northing, c.northing, 0.5e-4) << c.lat << ", " << c.lon;
    }
}

// A zone's west edge and a band's south edge belong to it.
TEST(LatLonToUtm, ZonesAndBandsIncludeTheirLowerBound) {
    const struct { double lon, zone; } zones[] = {{-180, 1}, {-174.0001, 1}, {-174, 2}, {-6, 30}, {-0.0001, 30},
        {0.5, 31}, {5.9999, 31}, {6, 32}, {173.9999, 59}, {174, 60}, {180, 60}, {180.0001, 61}};
    for (const auto& c : zones) EXPECT_EQ(LatLonToUtm(-10, c.lon).zoneNumber, c.zone) << c.lon;
    const struct { double lat; const char* letter; } edges[] = {{-90, "A"}, {-84.0001, "A"}, {-84, "C"},
        {83.9999, "X"}, {84, "Z"}, {90, "Z"}, {90.0001, ""}, {-90.0001, ""}, {std::nan(""), ""}};
    for (const auto& c : edges) EXPECT_EQ(ZoneLetter(c.lat), c.letter) << c.lat;
    const std::string letters = "CDEFGHJKLMNPQRSTUVWX";  // the 8-degree bands D to X start at -72
    for (std::size_t band = 1; band < letters.size(); ++band) {
        const double from = -72.0 + 8.0 * double(band - 1);
        EXPECT_EQ(ZoneLetter(from), letters.substr(band, 1)) << from;
        EXPECT_EQ(ZoneLetter(std::nextafter(from, -90.0)), letters.substr(band - 1, 1)) << from;
    }
}

TEST(UtmToLatLon, GivesThePublishedDigits) {
    const struct { std::int16_t zone; double easting, northing, lat, lon; } cases[] = {
        {18, 500000, 4427757.2187, 39.999999999, -75}, {18, 500000, 4427757, 39.999998029, -75},
        {56, 334368.6318, -3749051.6545, -33.868799998, 151.209299980},
        {30, 699362.4528, 5709341.5565, 51.499999990, -0.127599516}, {31, 500000, 0, 0, 3},
        {33, 400000, 1000000, 9.045433262, 14.090120468}, {61, 500000, 0, 0, -177}, {0, 500000, 0, 0, 177},
        // Regression: the pole as written, 6 cm past it, was refused as off the earth.
        {31, 500000, -9997965, -89.999999491, -177},
        // A metre past a pole is still read, as the point that far down the opposite meridian.
        {31, 500000, 9997965.943, 89.999991045, -177}, {31, 500000, -9997965.943, -89.999991045, -177},
        {31, 208500, 8200000, 73.687337812, -6.332575175}};  // 0.742 m from the accurate inverse: still read
    for (const auto& c : cases) {  // printed to 1e-9 degree: allow half a last digit
        const LatLon position = UtmToLatLon(c.northing, c.easting, c.zone);
        EXPECT_NEAR(position.latitude, c.lat, 0.5e-9) << c.zone << ' ' << c.easting << ' ' << c.northing;
        EXPECT_NEAR(position.longitude, c.lon, 0.5e-9) << c.zone << ' ' << c.easting << ' ' << c.northing;
    }
}

// Zones 1, 31, 32 (a Norway exception in real UTM, not here) and 60, from 84 S to 84 N and from 3 degrees west of
// the central meridian to 3 east (180 included, for zone 60). GeographicLib's series is good to nanometres here.
// The judge: further past a pole than about a metre, or with the series further
// than 0.75 m from the accurate inverse, nothing is read.
TEST(UtmToLatLon, RefusesBeyondThePolesSlackAndTheJudgesDistance) {
    // 1.2 m past either pole; 0.760 m from the accurate inverse (0.742 m is read: see the digits above).
    for (const auto& [northing, easting] : {std::pair{9997966.143, 500000.0}, {-9997966.143, 500000.0},
                                            {8200000.0, 207500.0}}) {
        try {
            UtmToLatLon(northing, easting, 31);
            ADD_FAILURE() << easting << ' ' << northing << " read";
        } catch (const ValueError& error) {
            EXPECT_EQ(error.kind(), ValueError::Kind::OutOfReach) << easting << ' ' << northing;
        }
    }
    // The distance it measures is the ground's, also across a pole and the antimeridian.
    const struct { double lat1, lon1, lat2, lon2; } pairs[] = {{0, 0, 0, 1e-5}, {45, 10, 45.00001, 10},
        {89.999999, 0, 89.999999, 180}, {0, 179.999995, 0, -179.999995}, {-60, 190, -60, -170},
        {73.68, -6.3, 73.680004, -6.30002}};
    for (const auto& p : pairs) {
        double metres = 0;
        GeographicLib::Geodesic::WGS84().Inverse(p.lat1, p.lon1, p.lat2, p.lon2, metres);
        EXPECT_NEAR(MetresApart(p.lat1, p.lon1, p.lat2, p.lon2), metres, 1e-6) << p.lat1 << ", " << p.lon1;
    }
}

TEST(UtmConversions, AgreeWithGeographicLibAndRoundTrip) {
    const auto metresBetween = [](double lat1, double lon1, const LatLon& other) {
        double metres = 0;
        GeographicLib::Geodesic::WGS84().Inverse(lat1, lon1, other.latitude, other.longitude, metres);
        return metres;
    };
    for (int zone : {1, 31, 32, 60})
        for (double lat = -84; lat <= 84; lat += 7)
            for (double offset : {-3.0, -2.0, -1.0, -0.25, 0.0, 0.5, 1.5, 2.5, 2.999, 3.0}) {
                const double lon = 6.0 * zone - 183 + offset;
                if (offset == 3 && lon != 180) continue;  // the next zone's west edge
                double x = 0, y = 0;
                GeographicLib::TransverseMercator::UTM().Forward(6 * zone - 183, lat, lon, x, y);
                const UtmCoordinates utm = LatLonToUtm(lat, lon);
                ASSERT_EQ(utm.zoneNumber, zone) << lat << ", " << lon;
                // The series stops at p^3 in easting: up to 0.107 m off at the equator 3 degrees out.
                EXPECT_LE(std::hypot(utm.easting - 500000 - x, utm.northing - y), 0.15) << lat << ", " << lon;
                EXPECT_LE(metresBetween(lat, lon, UtmToLatLon(utm.northing, utm.easting, std::int16_t(zone))), 0.15)
                    << "round trip " << lat << ", " << lon;
                // The inverse series goes to D^6 and is below a millimetre; 1 cm still catches any dropped term
                // big enough to matter at the whole metres shown.
                EXPECT_LE(metresBetween(lat, lon, UtmToLatLon(y, x + 500000, std::int16_t(zone))), 0.01)
                    << "inverse " << lat << ", " << lon;
            }
}

TEST(UtmConversions, OverflowWhenTheMeridianLeaves16BitsOrAResultIsNotFinite) {
    const double inf = std::numeric_limits<double>::infinity(), nan = std::numeric_limits<double>::quiet_NaN();
    const std::function<void()> overflowing[] = {[] { LatLonToUtm(10, 200000); }, [] { LatLonToUtm(10, 32766); },
        [] { LatLonToUtm(10, -32766.0001); }, [&] { LatLonToUtm(10, nan); }, [] { LatLonToUtm(1e308, 3); },
        [&] { LatLonToUtm(inf, 3); }, [] { UtmToLatLon(0, 500000, 5462); }, [] { UtmToLatLon(0, 500000, -5431); },
        [] { UtmToLatLon(0, 1e300, 31); }, [&] { UtmToLatLon(inf, 500000, 31); }, [&] { UtmToLatLon(0, nan, 31); },
        [] { UtmToLatLon(1000000, -1e67, 31); }};  // the last: D^6 overflows, the longitude alone stays finite
    for (std::size_t i = 0; i < std::size(overflowing); ++i) {
        try {
            overflowing[i]();
            ADD_FAILURE() << "case " << i << " gave a result";
        } catch (const ValueError& error) {
            EXPECT_EQ(error.kind(), ValueError::Kind::Overflow) << "case " << i;
        }
    }
    // The outermost meridians that still fit (32583 and -32763, wrapped).
    EXPECT_EQ(LatLonToUtm(10, 32765.9).zoneNumber, 5491);
    EXPECT_EQ(LatLonToUtm(10, -32766).zoneNumber, -5430);
    EXPECT_EQ(UtmToLatLon(0, 500000, 5461).longitude, -177);
    EXPECT_EQ(UtmToLatLon(0, 500000, -5430).longitude, -3);
}

// UTM input over everything the field checks accept, not only near the
// central meridian: whole zones, both poles and beyond them, both edges of
// the zone numbers. GeographicLib's exact transverse Mercator is the oracle.
TEST(UtmToLatLon, ShowsOnlyRealPlacesWithinAMetreAndRefusesOnlyWhereTheSeriesIsWrong) {
    const GeographicLib::TransverseMercatorExact exact(GeographicLib::Constants::WGS84_a(),
                                                       GeographicLib::Constants::WGS84_f(), 0.9996);
    const auto metresFrom = [](double lat, double lon, const LatLon& other) {
        double metres = 0;
        GeographicLib::Geodesic::WGS84().Inverse(lat, lon, other.latitude, other.longitude, metres);
        return metres;
    };
    int refused = 0;
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
    EXPECT_GT(refused, 0);  // the grid reaches where the series goes wrong
}

}  // namespace
