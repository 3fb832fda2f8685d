#include "convert/forms/code_forms.h"
#include "convert/codes/gars.h"
#include "convert/codes/geohash.h"
#include "convert/codes/georef.h"
#include "convert/codes/maidenhead.h"
#include "convert/codes/plus_code.h"

#include <GeographicLib/GARS.hpp>
#include <GeographicLib/Geohash.hpp>
#include <GeographicLib/Georef.hpp>
#include <gtest/gtest.h>

#include <cmath>
#include <random>

using namespace quillet;
using namespace quillet::codes;

namespace {

// The reference implementation's published encoding examples.
TEST(PlusCode, WritesThePublishedCodes) {
    const struct { double latitude, longitude; int digits; const char* code; } rows[] = {
        {20.375, 2.775, 6, "7FG49Q00+"},
        {20.3700625, 2.7821875, 10, "7FG49QCJ+2V"},
        {20.3701125, 2.782234375, 11, "7FG49QCJ+2VX"},
        {20.3701135, 2.78223535156, 13, "7FG49QCJ+2VXGJ"},
        {47.0000625, 8.0000625, 10, "8FVC2222+22"},
        {-41.2730625, 174.7859375, 10, "4VCPPQGP+Q9"},
        {0.5, -179.5, 4, "62G20000+"},
        {-89.5, -179.5, 4, "22220000+"},
        {20.5, 2.5, 4, "7FG40000+"},
        {-89.9999375, -179.9999375, 10, "22222222+22"},
        {0.5, 179.5, 4, "6VGX0000+"},
        {1, 1, 11, "6FH32222+222"},
        {90, 1, 4, "CFX30000+"},   // latitude 90 is in the last row
        {92, 1, 4, "CFX30000+"},
        {1, 180, 4, "62H20000+"},  // longitudes wrap
        {1, 181, 4, "62H30000+"},
        {90, 180, 4, "C2X20000+"},
        {90, 1, 10, "CFX3X2X2+X2"},
        {40.6, 129.7, 8, "8QGFJP22+"},  // on an edge in its decimal text: north and east
    };
    for (const auto& row : rows)
        EXPECT_EQ(PlusCodeOf(row.latitude, row.longitude, row.digits).value_or("-"), row.code)
            << row.latitude << ", " << row.longitude;
    EXPECT_FALSE(PlusCodeOf(1, 1, 7));
    EXPECT_FALSE(PlusCodeOf(1, 1, 9));
    EXPECT_FALSE(PlusCodeOf(1, 1, 16));
}

// The reference implementation's decoding examples: the cell's edges.
TEST(PlusCode, ReadsThePublishedCells) {
    const struct { const char* code; double south, west, north, east; } rows[] = {
        {"7FG49Q00+", 20.35, 2.75, 20.4, 2.8},
        {"7FG49QCJ+2V", 20.37, 2.782125, 20.370125, 2.78225},
        {"7fg49qcj+2vx", 20.3701, 2.78221875, 20.370125, 2.78225},
        {"7FG49QCJ+2VXGJ", 20.370113, 2.782234375, 20.370114, 2.78223632813},
        {"8FVC2222+22", 47.0, 8.0, 47.000125, 8.000125},
        {"4VCPPQGP+Q9", -41.273125, 174.785875, -41.273, 174.786},
        {"62G20000+", 0.0, -180.0, 1, -179},
        {"22222222+22", -90.0, -180.0, -89.999875, -179.999875},
        {"6VGX0000+", 0, 179, 1, 180},
        {"CFX30000+", 89, 1, 90, 2},
    };
    for (const auto& row : rows) {
        const CellReading read = PlusCodeCell(row.code);
        ASSERT_TRUE(read.cell) << row.code << ": " << read.why;
        EXPECT_NEAR(read.cell->south, row.south, 1e-8) << row.code;
        EXPECT_NEAR(read.cell->west, row.west, 1e-8) << row.code;
        EXPECT_NEAR(read.cell->north, row.north, 1e-8) << row.code;
        EXPECT_NEAR(read.cell->east, row.east, 1e-8) << row.code;
    }
    // Digits beyond the 15th are ignored.
    const CellReading fifteen = PlusCodeCell("849VGJQF+VX7QR3J"), more = PlusCodeCell("849VGJQF+VX7QR3J7QRR");
    ASSERT_TRUE(fifteen.cell && more.cell);
    EXPECT_EQ(fifteen.cell->Latitude(), more.cell->Latitude());
    EXPECT_EQ(fifteen.cell->Longitude(), more.cell->Longitude());
}

// The reference implementation's recovery examples: a short code near a reference.
TEST(PlusCode, RecoversShortCodesNearAReference) {
    const struct { const char* code; double latitude, longitude; const char* full; } rows[] = {
        {"+2VX", 51.3701125, -1.217765625, "9C3W9QCJ+2VX"},
        {"CJ+2VX", 51.3708675, -1.217765625, "9C3W9QCJ+2VX"},
        {"CJ+2VX", 51.3693575, -1.217765625, "9C3W9QCJ+2VX"},
        {"CJ+2VX", 51.3701125, -1.218520625, "9C3W9QCJ+2VX"},
        {"CJ+2VX", 51.3701125, -1.217010625, "9C3W9QCJ+2VX"},
        {"9QCJ+2VX", 51.6721125, -1.217765625, "9C3W9QCJ+2VX"},
        {"9QCJ+2VX", 51.0681125, -1.217765625, "9C3W9QCJ+2VX"},
        {"9QCJ+2VX", 51.3701125, -1.519765625, "9C3W9QCJ+2VX"},
        {"9QCJ+2VX", 51.3701125, -0.915765625, "9C3W9QCJ+2VX"},
        {"9G8F+6X", 47.4, 8.6, "8FVC9G8F+6X"},
        {"9g8f+6x", 47.4, 8.6, "8FVC9G8F+6X"},
        {"2222+22", 89.6, 0.0, "CFX22222+22"},  // never beyond the pole
    };
    for (const auto& row : rows) {
        const CellReading read = PlusCodeCell(row.code, std::pair(row.latitude, row.longitude));
        const CellReading full = PlusCodeCell(row.full);
        ASSERT_TRUE(read.cell && full.cell) << row.code << ": " << read.why;
        EXPECT_DOUBLE_EQ(read.cell->Latitude(), full.cell->Latitude()) << row.code << " near " << row.latitude;
        EXPECT_DOUBLE_EQ(read.cell->Longitude(), full.cell->Longitude()) << row.code << " near " << row.longitude;
    }
    EXPECT_FALSE(PlusCodeCell("9G8F+6X").cell);
}

TEST(Maidenhead, WritesAndReadsThePublishedLocators) {
    const struct { double latitude, longitude; const char* locator; } rows[] = {
        {48.14666, 11.60833, "JN58td"},   // Munich
        {41.714775, -72.727260, "FN31pr"},  // Newington, Connecticut
        {51.50735, -0.12776, "IO91wm"},    // London
        {-90, -180, "AA00aa"},
        {90, 180, "AR09ax"},  // +180 is -180; latitude 90 is in the last row
    };
    for (const auto& row : rows) {
        EXPECT_EQ(MaidenheadOf(row.latitude, row.longitude).value_or("-"), row.locator) << row.locator;
        const CellReading read = MaidenheadCell(row.locator);
        ASSERT_TRUE(read.cell) << row.locator;
        EXPECT_TRUE(read.cell->south <= row.latitude && row.latitude <= read.cell->north) << row.locator;
    }
    EXPECT_EQ(MaidenheadOf(48.14666, 11.60833, 2).value_or("-"), "JN");
    EXPECT_EQ(MaidenheadOf(48.14666, 11.60833, 4).value_or("-"), "JN58");
    EXPECT_FALSE(MaidenheadOf(0, 0, 5));
}

// Every code at every length: what it writes reads back as a cell of the
// size its length promises that holds the point.
TEST(Codes, EveryWrittenCodeReadsBackToACellHoldingThePoint) {
    const struct { CellReading (*read)(std::string_view); std::optional<std::string> (*write)(double, double, int);
                   std::vector<int> lengths; double (*height)(int); double (*width)(int); } codes[] = {
        {[](std::string_view text) { return PlusCodeCell(text); }, PlusCodeOf, {2, 4, 6, 8, 10, 11, 12, 13, 14, 15},
         [](int n) { return n <= 10 ? 20 / std::pow(20.0, n / 2 - 1) : 0.000125 / std::pow(5.0, n - 10); },
         [](int n) { return n <= 10 ? 20 / std::pow(20.0, n / 2 - 1) : 0.000125 / std::pow(4.0, n - 10); }},
        {MaidenheadCell, MaidenheadOf, {2, 4, 6, 8, 10},
         [](int n) { return std::vector<double>{10, 1, 1 / 24.0, 1 / 240.0, 1 / 5760.0}[n / 2 - 1]; },
         [](int n) { return std::vector<double>{20, 2, 1 / 12.0, 1 / 120.0, 1 / 2880.0}[n / 2 - 1]; }},
        {GeohashCell, GeohashOf, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12},
         [](int n) { return 180 / std::pow(2.0, 5 * n / 2); },
         [](int n) { return 360 / std::pow(2.0, (5 * n + 1) / 2); }},
        {GeorefCell, GeorefOf, {2, 4, 8, 10, 12, 14},
         [](int n) { return n == 2 ? 15 : n == 4 ? 1 : std::pow(10.0, 4 - n / 2) / 60; },
         [](int n) { return n == 2 ? 15 : n == 4 ? 1 : std::pow(10.0, 4 - n / 2) / 60; }},
        {GarsCell, GarsOf, {30, 15, 5}, [](int n) { return n / 60.0; }, [](int n) { return n / 60.0; }},
    };
    std::mt19937_64 random(20261207);
    std::uniform_real_distribution<double> latitudes(-90, 90), longitudes(-180, 180);
    for (const auto& code : codes)
        for (int i = 0; i < 2000; ++i) {
            const double latitude = i == 0 ? 90 : latitudes(random), longitude = i == 0 ? 180 : longitudes(random);
            for (const int length : code.lengths) {
                const std::optional<std::string> text = code.write(latitude, longitude, length);
                ASSERT_TRUE(text);
                const CellReading read = code.read(*text);
                ASSERT_TRUE(read.cell) << *text << ": " << read.why;
                const Cell& cell = *read.cell;
                EXPECT_NEAR(cell.north - cell.south, code.height(length), 1e-9) << *text;
                EXPECT_NEAR(cell.east - cell.west, code.width(length), 1e-9) << *text;
                const double wrapped = longitude == 180 ? -180 : longitude;
                EXPECT_TRUE(cell.south <= latitude && (latitude < cell.north || latitude == 90) && cell.west <= wrapped &&
                            wrapped < cell.east)
                    << *text << " for " << latitude << ", " << longitude;
            }
        }
}

// Positions that test every edge: the poles, +-180, the equator, and cell
// edges that doubles hold exactly.
std::vector<std::pair<double, double>> EdgesAndRandomPoints() {
    std::vector<std::pair<double, double>> points;
    for (const double latitude : {-90.0, -89.75, -45.0, -0.25, -0.0, 0.0, 0.5, 22.5, 45.0, 89.5, 90.0})
        for (const double longitude : {-180.0, -179.5, -90.0, -22.5, -0.0, 0.0, 0.25, 1.0, 45.0, 179.75, 180.0})
            points.emplace_back(latitude, longitude);
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> latitudes(-90, 90), longitudes(-180, 180);
    for (int i = 0; i < 3000; ++i) points.emplace_back(latitudes(random), longitudes(random));
    return points;
}

// A code read back names the cell whose centre GeographicLib gives.
void ExpectCentre(const CellReading& cell, double latitude, double longitude, const std::string& code) {
    ASSERT_TRUE(cell.cell) << code;
    EXPECT_NEAR(cell.cell->Latitude(), latitude, 1e-11) << code;
    EXPECT_NEAR(cell.cell->Longitude(), longitude, 1e-11) << code;
}

TEST(Geohash, AgreesWithGeographicLibBothWays) {
    for (const auto& [latitude, longitude] : EdgesAndRandomPoints())
        for (int length = 1; length <= 12; ++length) {
            std::string expected;
            GeographicLib::Geohash::Forward(latitude, longitude, length, expected);
            ASSERT_EQ(GeohashOf(latitude, longitude, length).value_or("-"), expected) << latitude << ", " << longitude;
            double centreLatitude = 0, centreLongitude = 0;
            int read = 0;
            GeographicLib::Geohash::Reverse(expected, centreLatitude, centreLongitude, read);
            ExpectCentre(GeohashCell(expected), centreLatitude, centreLongitude, expected);
        }
}

TEST(Georef, AgreesWithGeographicLibBothWays) {
    const struct { int characters, precision; } lengths[] = {{2, -1}, {4, 0}, {8, 2}, {10, 3}, {12, 4}, {14, 5}};
    for (const auto& [latitude, longitude] : EdgesAndRandomPoints())
        for (const auto& length : lengths) {
            std::string expected;
            // This GeographicLib writes a NUL for the band of +180, which is -180.
            GeographicLib::Georef::Forward(latitude, longitude == 180 ? -180 : longitude, length.precision, expected);
            ASSERT_EQ(GeorefOf(latitude, longitude, length.characters).value_or("-"), expected)
                << latitude << ", " << longitude;
            double centreLatitude = 0, centreLongitude = 0;
            int precision = 0;
            GeographicLib::Georef::Reverse(expected, centreLatitude, centreLongitude, precision);
            ExpectCentre(GeorefCell(expected), centreLatitude, centreLongitude, expected);
        }
    EXPECT_EQ(GeorefOf(40.1, 129.7, 10).value_or("-"), "WJKL420060");  // a decimal edge: north and east
}

TEST(Gars, AgreesWithGeographicLibBothWays) {
    const struct { int minutes, precision; } lengths[] = {{30, 0}, {15, 1}, {5, 2}};
    for (const auto& [latitude, longitude] : EdgesAndRandomPoints())
        for (const auto& length : lengths) {
            std::string expected;
            GeographicLib::GARS::Forward(latitude, longitude, length.precision, expected);
            ASSERT_EQ(GarsOf(latitude, longitude, length.minutes).value_or("-"), expected)
                << latitude << ", " << longitude;
            double centreLatitude = 0, centreLongitude = 0;
            int precision = 0;
            GeographicLib::GARS::Reverse(expected, centreLatitude, centreLongitude, precision);
            ExpectCentre(GarsCell(expected), centreLatitude, centreLongitude, expected);
        }
}

// The lengths each code writes, as the converter's length option checks them.
TEST(Codes, LengthsAreTheCodesOwn) {
    EXPECT_TRUE(ValidCodeLength(Code::PlusCode, 11));
    EXPECT_FALSE(ValidCodeLength(Code::PlusCode, 9));
    EXPECT_FALSE(ValidCodeLength(Code::Georef, 6));
    EXPECT_TRUE(ValidCodeLength(Code::Gars, 15));
    EXPECT_FALSE(ValidCodeLength(Code::Gars, 7));
    EXPECT_EQ(FormatCode(Code::PlusCode, 47.365590, 8.524997).value_or("-"), "8FVC9G8F+6X");
    EXPECT_EQ(FormatCode(Code::Gars, -0.0, -0.0).value_or("-"), "361HN37");
}

}  // namespace
