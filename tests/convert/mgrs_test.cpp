#include "convert/grids/mgrs.h"

#include <GeographicLib/MGRS.hpp>
#include <GeographicLib/UTMUPS.hpp>
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <tuple>

using namespace quillet;

namespace {

// GeographicLib's MGRS is the oracle: the same text at every precision, and
// the same centre read back, over the whole earth and where the rules bend.
TEST(Mgrs, AgreesWithGeographicLibBothWaysAtEveryPrecision) {
    const struct { double latFrom, latTo, lonFrom, lonTo; int points; } regions[] = {
        {-90, 90, -180, 180, 20000},  // the whole earth
        {55.5, 64.5, 2, 13, 2000},     // Norway's 32V and its neighbours
        {71.5, 84, -1, 43, 3000},      // Svalbard's 31X, 33X, 35X, 37X, and the edge of UPS
        {83.5, 90, -180, 180, 2000},   // the north cap and its edge
        {-90, -79.5, -180, 180, 2000}, // the south cap and its edge
        {-1e-6, 1e-6, -180, 180, 500}, // the equator, between rows M and N
        {63.9, 64.1, 2, 10, 1000}};    // squares that straddle two bands
    // Points on lines: the poles, the equator and -0, the antimeridian, zone and band edges.
    std::vector<std::pair<double, double>> points = {{90, 0},  {-90, 0}, {0, 3},  {-0.0, 3}, {0, 180},
                                                     {0, -180}, {84, 10}, {-80, 10}, {72, 9},  {56, 3},
                                                     {64, 3},  {-8, -6}, {90, 180}, {-90, -90}};
    std::mt19937_64 random(20);
    for (const auto& r : regions)
        for (int i = 0; i < r.points; ++i)
            points.emplace_back(std::uniform_real_distribution(r.latFrom, r.latTo)(random),
                                std::uniform_real_distribution(r.lonFrom, r.lonTo)(random));
    int zone = 0, centreZone = 0, precision = 0;
    bool north = false, centreNorth = false;
    double x = 0, y = 0, centreX = 0, centreY = 0;
    for (const auto& [lat, lon] : points) {
        GeographicLib::UTMUPS::Forward(lat, lon, zone, north, x, y);
        for (int digits = 0; digits <= 5; ++digits) {
            const auto where = ::testing::Message() << lat << ", " << lon << " digits " << digits;
            std::string expected;
            GeographicLib::MGRS::Forward(zone, north, x, y, lat, digits, expected);
            const std::optional<std::string> written = FormatMgrs(lat, lon, digits);
            ASSERT_TRUE(written) << where;
            std::string compact = *written;
            std::erase(compact, ' ');
            ASSERT_EQ(compact, expected) << where << ": " << *written;
            GeographicLib::MGRS::Reverse(expected, centreZone, centreNorth, centreX, centreY, precision, true);
            const std::optional<PositionText> read = ReadMgrsText(*written);
            ASSERT_TRUE(read && read->code == Code::Mgrs) << where << ": " << *written;
            const bool inBoxes = centreZone != 0 && centreX >= 160000 && centreX <= 834000;
            ASSERT_EQ(read->notation, inBoxes ? Utm : DecimalDegrees) << where << ": degrees beyond the UTM boxes";
            if (inBoxes) {
                EXPECT_EQ(std::tuple(read->utm.zone, read->utm.easting, read->utm.northing),
                          std::tuple(centreZone, centreX, centreNorth ? centreY : centreY - 1e7)) << where;
            }
            // The centre's position from the accurate inverse, in the boxes' UTM too.
            double centreLat = 0, centreLon = 0;
            GeographicLib::UTMUPS::Reverse(centreZone, centreNorth, centreX, centreY, centreLat, centreLon);
            EXPECT_NEAR(read->latitude, centreLat, 1e-10) << where;
            EXPECT_NEAR(std::remainder(read->longitude - centreLon, 360), 0, 1e-10 / std::cos(lat / 57.3)) << where;
        }
    }
}

// A UTM point's MGRS as GeoConvert writes it: from the point's own numbers
// where its zone is the one MGRS uses there, else from its position in the
// zone MGRS uses (Norway, Svalbard, a neighbouring zone, the polar caps).
TEST(FormatMgrsFromUtm, AgreesWithGeographicLibOnAGridOfEveryZoneAndBothHemispheres) {
    int tried = 0, otherZone = 0;
    for (int zone = 1; zone <= 60; ++zone)
        for (const double easting : {160000.0, 271000.0, 333999.0, 500000.0, 500000.5, 666001.0, 834000.0})
            for (double northing = -9000000; northing <= 9300000; northing += 300000 + zone) {
                const bool north = northing >= 0;
                const double y = north ? northing : northing + 1e7;
                double lat = 0, lon = 0, x = 0;
                GeographicLib::UTMUPS::Reverse(zone, north, easting, y, lat, lon);
                int mgrsZone = zone;
                bool mgrsNorth = north;
                double mgrsX = easting, mgrsY = y;
                if (GeographicLib::UTMUPS::StandardZone(lat, lon) != zone) {
                    GeographicLib::UTMUPS::Forward(lat, lon, mgrsZone, mgrsNorth, x, mgrsY);
                    mgrsX = x, ++otherZone;
                }
                for (int digits = 0; digits <= 5; ++digits) {
                    const auto where = ::testing::Message() << zone << " " << easting << " " << northing << " digits "
                                                            << digits;
                    std::string expected;
                    GeographicLib::MGRS::Forward(mgrsZone, mgrsNorth, mgrsX, mgrsY, lat, digits, expected);
                    std::string written = FormatMgrsFromUtm({zone, easting, northing}, digits).value_or("none");
                    std::erase(written, ' ');
                    ASSERT_EQ(written, expected) << where;
                    ++tried;
                }
            }
    EXPECT_GT(otherZone, 1000) << "of " << tried / 6;
    EXPECT_FALSE(FormatMgrsFromUtm({61, 500000, 0}));
    EXPECT_FALSE(FormatMgrsFromUtm({33, 500000, 10000001}));
}

TEST(ReadMgrsText, AnyCaseAndBlanksAndRefusesAnythingElse) {
    const struct { const char* text; int zone; double easting, northing; } rows[] = {
        {"38SMB4488", 38, 444500, 3688500},  {" 38s mb\u2009 44\u202F88\t", 38, 444500, 3688500},
        {"38SMB 4488", 38, 444500, 3688500}, {"4QFJ1234567890", 4, 612345.5, 2367890.5},
        {"33U XP", 33, 650000, 5350000},     {"56H LH 1234", 56, 312500, -3765500},  // south: negative
        {"31N EA 12345 00000", 31, 512345.5, 0.5}};
    for (const auto& row : rows) {
        const std::optional<PositionText> read = ReadMgrsText(row.text);
        ASSERT_TRUE(read && read->notation == Utm && read->code == Code::Mgrs) << row.text;
        EXPECT_EQ(std::tuple(read->utm.zone, read->utm.easting, read->utm.northing),
                  std::tuple(row.zone, row.easting, row.northing)) << row.text;
    }
    for (const char* text : {"", "61U BP", "0U XP", "033U XP", "33I XP", "33U XO", "33U IP",
                             "33U AP" /* A is a column of zones 1, 4, 7.. */,
                             "33U XK" /* rows K miss band U */, "C AA", "Y AQ", "B DA", "33U", "33U X", "33 U XP",
                             "33U X P", "33U XP 123", "33U XP 123 4567", "33U XP 12 34 56", "33U XP 123456 123456",
                             "33U XP 05000 10000 x", "33U XP 05000 10000.", "33U XP -5000 10000"})
        EXPECT_FALSE(ReadMgrsText(text)) << text;
}

TEST(FormatMgrs, NothingOutsideTheBoundsOrPrecisions) {
    for (const auto& [lat, lon, digits] : {std::tuple{0.0, 0.0, -1}, {0.0, 0.0, 6}, {90.0001, 0.0, 5},
                                           {0.0, 180.0001, 5}, {std::nan(""), 0.0, 5}, {0.0, std::nan(""), 5}})
        EXPECT_FALSE(FormatMgrs(lat, lon, digits)) << lat << ", " << lon << ", " << digits;
    EXPECT_EQ(FormatMgrs(-89.9, 45, 2), "B AN 07 07");  // grouped for reading, in UPS too
}

}  // namespace
