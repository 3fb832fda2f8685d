#include "convert/forms/code_forms.h"
#include "convert/grids/national_grid.h"
#include "convert/read/position_text.h"
#include "geodesy/proj_systems.h"

#include <GeographicLib/Geocentric.hpp>
#include <GeographicLib/OSGB.hpp>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
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

// Every Irish letter names its own square, counted from the top left as
// the British letters are, both ways: one reference in each square, read
// and written, against cs2cs of each square's centre:
//   L=ABCDEFGHJKLMNOPQRSTUVWXYZ; for i in $(seq 0 24); do
//     echo "$((i % 5 * 100000 + 33825)).5 $(((4 - i / 5) * 100000 + 74388)).5"; done |
//   cs2cs -f %.9f EPSG:29903 EPSG:4326
// Squares beyond the system's area are read all the same (extrapolated),
// and written only from their own metres.
TEST(IrishGrid, EveryLetterReadAndWrittenAsCs2cs) {
    const struct { const char* reference; double latitude, longitude; bool inArea; } rows[] = {
        {"A 33825 74388", 55.487716632, -10.629689832, false}, {"B 33825 74388", 55.511466940, -9.048178207, false},
        {"C 33825 74388", 55.514779962, -7.465324191, false},  {"D 33825 74388", 55.497646527, -5.883155668, false},
        {"E 33825 74388", 55.460113994, -4.303695025, false},  {"F 33825 74388", 54.590397089, -10.571534408, false},
        {"G 33825 74388", 54.613372354, -9.024976235, true},   {"H 33825 74388", 54.616577121, -7.477173772, true},
        {"J 33825 74388", 54.600002839, -5.930006690, true},   {"K 33825 74388", 54.563693671, -4.385349826, false},
        {"L 33825 74388", 53.692903884, -10.516497426, true},  {"M 33825 74388", 53.715137368, -9.003020136, true},
        {"N 33825 74388", 53.718238531, -7.488387162, true},   {"O 33825 74388", 53.702199384, -5.974344311, true},
        {"P 33825 74388", 53.667061186, -4.462633117, false},  {"Q 33825 74388", 52.795238473, -10.464357059, true},
        {"R 33825 74388", 52.816760991, -8.982221116, true},   {"S 33825 74388", 52.819762858, -7.499009719, true},
        {"T 33825 74388", 52.804236598, -6.016347465, true},   {"U 33825 74388", 52.770220824, -4.535855169, false},
        {"V 33825 74388", 51.897402173, -10.414912428, true},  {"W 33825 74388", 51.918242318, -8.962498786, true},
        {"X 33825 74388", 51.921148887, -7.509082503, true},   {"Y 33825 74388", 51.906114871, -6.056178172, true},
        {"Z 33825 74388", 51.873176465, -4.605297033, false},
    };
    const double nanodegrees = 1e-8;  // about a millimetre
    for (const auto& row : rows) {
        const PositionReading read = ReadPosition(row.reference);
        ASSERT_TRUE(read.position) << row.reference << ": " << read.why;
        EXPECT_EQ(read.position->code, Code::IrishGrid);
        EXPECT_NEAR(read.position->latitude, row.latitude, nanodegrees) << row.reference;
        EXPECT_NEAR(read.position->longitude, row.longitude, nanodegrees) << row.reference;
        EXPECT_EQ(read.position->extrapolated, !row.inArea) << row.reference;
        EXPECT_EQ(FormatGridPoint(Code::IrishGrid, read.position->grid, 10), row.reference);
        const std::optional<std::string> written = FormatGridCode(Code::IrishGrid, row.latitude, row.longitude, 10);
        EXPECT_EQ(written, row.inArea ? std::optional<std::string>(row.reference) : std::nullopt);
    }
}

// The note on the British datum shift: due exactly where PROJ lacks OSTN15
// in its usual places; none for the Irish grids, whose seven parameters
// are stated as good as their grid file (1 m).
TEST(NationalGrids, AccuracyNoteOnlyWithoutTheGridFile) {
    const char* const grid = "uk_os_OSTN15_NTv2_OSGBtoETRS.tif";
    const char* const home = std::getenv("HOME");
    const bool installed = std::filesystem::exists(std::filesystem::path("/usr/share/proj") / grid) ||
                           (home && std::filesystem::exists(std::filesystem::path(home) / ".local/share/proj" / grid));
    EXPECT_EQ(GridAccuracyNote(Code::BritishGrid),
              installed ? std::nullopt : std::optional<std::string>(kBritishAccuracyNote));
    for (const Code code : {Code::IrishGrid, Code::IrishTm, Code::Mgrs}) EXPECT_FALSE(GridAccuracyNote(code));
    // TM75's grid file is missing too, but stated no better than its shift.
    EXPECT_EQ(proj::BetterGrids("EPSG:4326", "EPSG:29903"), std::vector<std::string>());

    // With the grid file where PROJ looks (a PROJ that starts in a thread of
    // its own), nothing is said.
    const std::filesystem::path data = testing::TempDir() + "proj_with_ostn15";
    std::filesystem::create_directories(data);
    std::filesystem::remove(data / "proj.db");
    std::filesystem::create_symlink("/usr/share/proj/proj.db", data / "proj.db");
    std::ofstream(data / grid) << "OSTN15";
    ::setenv("PROJ_DATA", data.c_str(), 1);
    std::thread([] {
        EXPECT_EQ(GridAccuracyNote(Code::BritishGrid), std::nullopt);
        const proj::TransformationInfo info = proj::DescribeTransformation("EPSG:4326", "EPSG:27700");
        ASSERT_FALSE(info.operations.empty()) << info.why;  // PROJ did start there
        EXPECT_EQ(info.operations.front().accuracy, 1) << info.operations.front().name;
    }).join();
    ::unsetenv("PROJ_DATA");
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
