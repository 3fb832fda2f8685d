#include "convert/forms/code_forms.h"
#include "convert/grids/national_grid.h"
#include "convert/read/position_text.h"
#include "geodesy/proj_systems.h"

#include <GeographicLib/Geocentric.hpp>
#include <GeographicLib/OSGB.hpp>
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>
#include <thread>

using namespace quillet;

namespace {

constexpr double kMillimetre = 0.001;

std::string WithoutBlanks(std::string text) {
    std::erase(text, ' ');
    return text;
}

// The National Grid and its letters on OSGB36 latitude and longitude, as
// GeographicLib's OSGB has them, over Great Britain at every figure count;
// and each reference read back to the centre of GeographicLib's square
// (inland enough for the centre of a 100 km square to lie in the grid's area).
TEST(BritishGrid, ProjectionAndLettersAsGeographicLib) {
    std::mt19937 random(27700);
    std::uniform_real_distribution<double> latitudes(50.3, 58.6), longitudes(-5.7, 0.6);
    for (int i = 0; i < 300; ++i) {
        const double latitude = latitudes(random), longitude = longitudes(random);
        double x, y;
        GeographicLib::OSGB::Forward(latitude, longitude, x, y);
        const proj::Transformed grid = proj::Transform("EPSG:4277", "EPSG:27700", {longitude, latitude});
        ASSERT_EQ(grid.failure, proj::Failure::None) << grid.why;
        EXPECT_NEAR(grid.point.x, x, kMillimetre);
        EXPECT_NEAR(grid.point.y, y, kMillimetre);
        for (int figures = 0; figures <= 10; figures += 2) {
            std::string expected;
            GeographicLib::OSGB::GridReference(x, y, figures / 2, expected);
            const std::optional<std::string> written = BritishGridLetters(x, y, figures);
            ASSERT_TRUE(written) << expected;
            EXPECT_EQ(WithoutBlanks(*written), expected);

            double centreX, centreY;
            int precision;
            GeographicLib::OSGB::GridReference(expected, centreX, centreY, precision);
            const std::optional<PositionReading> read = ReadGridReference(*written, {.only = Code::BritishGrid});
            ASSERT_TRUE(read && read->position) << *written << (read ? read->why : "");
            EXPECT_EQ(read->position->code, Code::BritishGrid);
            const proj::Transformed back =
                proj::FromWgs84("EPSG:27700", read->position->latitude, read->position->longitude);
            EXPECT_NEAR(back.point.x, centreX, 2 * kMillimetre) << *written;  // there and back
            EXPECT_NEAR(back.point.y, centreY, 2 * kMillimetre) << *written;
        }
    }
}

// Without the OSTN15 grid PROJ shifts WGS 84 to OSGB36 by the Ordnance
// Survey's published seven parameters, good to a few metres: computed here
// on the cartesian coordinates.
TEST(BritishGrid, DatumShiftIsThePublishedHelmert) {
    const GeographicLib::Geocentric wgs84(6378137, 1 / 298.257223563);
    const GeographicLib::Geocentric airy(6377563.396, 1 / 299.3249646);
    const double arcSecond = std::numbers::pi / 180 / 3600;
    const double tx = -446.448, ty = 125.157, tz = -542.060, s = 20.4894e-6;
    const double rx = -0.1502 * arcSecond, ry = -0.2470 * arcSecond, rz = -0.8421 * arcSecond;
    std::mt19937 random(4277);
    std::uniform_real_distribution<double> latitudes(50.0, 58.6), longitudes(-5.7, 1.7);
    for (int i = 0; i < 100; ++i) {
        const double latitude = latitudes(random), longitude = longitudes(random);
        double x, y, z;
        wgs84.Forward(latitude, longitude, 0, x, y, z);
        const double x2 = tx + (1 + s) * x - rz * y + ry * z;
        const double y2 = ty + rz * x + (1 + s) * y - rx * z;
        const double z2 = tz - ry * x + rx * y + (1 + s) * z;
        double osgbLatitude, osgbLongitude, height;
        airy.Reverse(x2, y2, z2, osgbLatitude, osgbLongitude, height);
        const proj::Transformed shifted = proj::Transform("EPSG:4326", "EPSG:4277", {longitude, latitude});
        ASSERT_EQ(shifted.failure, proj::Failure::None) << shifted.why;
        const double metresPerDegree = 111320;
        EXPECT_NEAR(shifted.point.y, osgbLatitude, 2 / metresPerDegree);
        EXPECT_NEAR(shifted.point.x, osgbLongitude, 2 / metresPerDegree / std::cos(latitude * std::numbers::pi / 180));
    }
}

// Facts: the Ordnance Survey's worked example of the projection (Caister
// water tower), and the false origins of the Irish grids.
TEST(NationalGrids, PublishedPoints) {
    const struct { const char* from; const char* to; double x, y, easting, northing; } rows[] = {
        {"EPSG:4277", "EPSG:27700", 1 + 43 / 60.0 + 4.5177 / 3600, 52 + 39 / 60.0 + 27.2531 / 3600, 651409.903,
         313177.270},
        {"EPSG:4300", "EPSG:29903", -8, 53.5, 200000, 250000},
        {"EPSG:4258", "EPSG:2157", -8, 53.5, 600000, 750000},
    };
    for (const auto& row : rows) {
        const proj::Transformed grid = proj::Transform(row.from, row.to, {row.x, row.y});
        EXPECT_NEAR(grid.point.x, row.easting, kMillimetre) << row.to;
        EXPECT_NEAR(grid.point.y, row.northing, kMillimetre) << row.to;
    }
    EXPECT_EQ(BritishGridLetters(651409.903, 313177.270, 10), "TG 51409 13177");
    EXPECT_EQ(IrishGridLetters(200000, 250000, 10), "N 00000 50000");
}

// The Irish letters: 25 squares of 100 km, V at the origin, no I.
TEST(IrishGrid, LettersAndTheirSquares) {
    const struct { double easting, northing; const char* reference; } rows[] = {
        {315500, 234500, "O 15500 34500"}, {0, 0, "V 00000 00000"}, {499999, 499999, "E 99999 99999"},
        {100000, 400000, "B 00000 00000"}, {312345, 222345, "O 1 2"}};
    for (const auto& row : rows) {
        const std::string reference = row.reference;
        const int figures = reference.size() > 8 ? 10 : 2;
        EXPECT_EQ(IrishGridLetters(row.easting, row.northing, figures), reference);
    }
    EXPECT_FALSE(IrishGridLetters(500000, 0, 10));
    EXPECT_FALSE(IrishGridLetters(0, -1, 10));
    EXPECT_FALSE(BritishGridLetters(700000, 0, 10));
    EXPECT_FALSE(BritishGridLetters(0, 1300000, 10));
    EXPECT_FALSE(BritishGridLetters(0, 0, 3));
}

// Writing refuses a position outside the grid's area, never extrapolating.
TEST(NationalGrids, WrittenOnlyWithinTheirArea) {
    EXPECT_EQ(FormatCode(Code::BritishGrid, 51.5, -0.1275), "TQ 30070 79557");
    EXPECT_EQ(FormatCode(Code::BritishGrid, 51.5, -0.1275, 4), "TQ 30 79");
    EXPECT_EQ(FormatCode(Code::IrishGrid, 53.3498, -6.2603, 8), "O 1590 3467");
    EXPECT_EQ(FormatCode(Code::IrishTm, 53.3498, -6.2603), "715827 734698");
    EXPECT_FALSE(FormatCode(Code::BritishGrid, 48.8566, 2.3522));  // Paris
    EXPECT_FALSE(FormatCode(Code::IrishGrid, 51.5, -0.1275));      // London
    EXPECT_FALSE(FormatCode(Code::IrishTm, -33.8688, 151.2093));
    EXPECT_FALSE(FormatCode(Code::BritishGrid, 51.5, -0.1275, 5));
    EXPECT_FALSE(ValidCodeLength(Code::BritishGrid, 12));
}

// Ordinary positions and codes never start PROJ; a grid reference does.
TEST(NationalGrids, ProjStartsOnlyForAGrid) {
    std::thread([] {
        for (const char* text : {"-33.8688, 151.2093", "56H LH 34368 50948", "NN16", "TQ", "geo:1,2", "N 10 E 20"})
            ReadPosition(text);
        EXPECT_TRUE(FormatCode(Code::Mgrs, 51.5, 0));
        EXPECT_FALSE(proj::Started());
        EXPECT_TRUE(ReadPositionText("TQ 3008 8098"));
        EXPECT_TRUE(proj::Started());
    }).join();
}

}  // namespace
