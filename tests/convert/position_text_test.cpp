#include "convert/output_format.h"
#include "convert/position_text.h"

#include <gtest/gtest.h>

using namespace quillet;

namespace {

constexpr double kSydneyLat = -33.8688;
constexpr double kSydneyLon = 151.2093;

// Pairs in every notation, separator, mark and letter place a person or a receiver writes.
TEST(ReadPositionText, PairsWithAnySeparatorMarksAndLetters) {
    const double lat = -(33 + 52 / 60.0 + 7.68 / 3600), lon = 151 + 12 / 60.0 + 33.48 / 3600;
    const struct { const char* text; InputFormat notation; double latitude, longitude; } rows[] = {
        {"-33.8688, 151.2093", DecimalDegrees, kSydneyLat, kSydneyLon},
        {" -33.8688;151.2093 ", DecimalDegrees, kSydneyLat, kSydneyLon},
        {"12,5", DecimalDegrees, 12, 5},  // a comma is never a decimal point
        {"\u221233.8688\u00B0, +151.2093\u00B0", DecimalDegrees, kSydneyLat, kSydneyLon},
        {"s33.8688 e151.2093", DecimalDegrees, kSydneyLat, kSydneyLon},
        {"151.2093E 33.8688S", DecimalDegrees, kSydneyLat, kSydneyLon},
        {"151.2093 W, 33.8688", DecimalDegrees, 33.8688, -151.2093},
        {"S 33\u00B0 52.128' E 151\u00B0 12.558'", DegreesMinutes, kSydneyLat, kSydneyLon},
        {"33\u00B052'07.68\"S 151\u00B012'33.48\"E", DegreesMinutesSeconds, lat, lon},
        {"33\u00B0 52\u2032 7.68\u2033 S, 151\u00B0 12\u2032 33.48\u2033 E", DegreesMinutesSeconds, lat, lon},
        {"33d52m7.68s S 151d12m33.48s E", DegreesMinutesSeconds, lat, lon},
        {"33 52 7.68S 151 12 33.48E", DegreesMinutesSeconds, lat, lon},
        {"-33 52 7.68, 151 12 33.48", DegreesMinutesSeconds, lat, lon},
        {"-0\u00B0 30', 0\u00B0 0' 1\"", DegreesMinutesSeconds, -0.5, 1 / 3600.0}};
    for (const auto& row : rows) {
        const std::optional<PositionText> read = ReadPositionText(row.text);
        ASSERT_TRUE(read) << row.text;
        EXPECT_EQ(read->notation, row.notation) << row.text;
        EXPECT_NEAR(read->latitude, row.latitude, 1e-9) << row.text;
        EXPECT_NEAR(read->longitude, row.longitude, 1e-9) << row.text;
    }
}

TEST(ReadPositionText, UtmAsWrittenAndAsReceiversWriteIt) {
    const struct { const char* text; int zone; double northing; } rows[] = {
        {"56 H 334369 -3749052", 56, -3749052}, {"56H 334369 6250948", 56, -3749052},
        {"56 H 334369E 6250948N", 56, -3749052}, {"56s 334369 6250948", 56, -3749052},  // hemisphere
        {"56 334369 -3749052", 56, -3749052},    {"31N 500000 4000000", 31, 4000000},
        {"31 S 500000 3600000", 31, 3600000},   // band S lies north
        {"1 Z 500000 9500000", 1, 9500000},     {"60 A 500000 -9500000", 60, -9500000},
        {"33M 500000 9999999", 33, -1},          // just south of the equator
    };
    for (const auto& row : rows) {
        const std::optional<PositionText> read = ReadPositionText(row.text);
        ASSERT_TRUE(read) << row.text;
        EXPECT_EQ(read->notation, Utm) << row.text;
        EXPECT_EQ(read->utm.zone, row.zone) << row.text;
        EXPECT_EQ(read->utm.northing, row.northing) << row.text;
    }
    // Whole metres may cross a band's edge: the band still reads.
    for (double edge : {-32.0, -8.0, 0.0, 8.0, 72.0})
        for (double offset : {-4e-6, -2e-6, 2e-6, 4e-6})
            EXPECT_TRUE(ReadPositionText(*UtmLine(*FormatUtm({edge + offset, 151.3})))) << edge + offset;
}

TEST(ReadPositionText, RefusesWhatTheChecksRefuseAndAnythingUnclear) {
    for (const char* text : {"", "  ", "-33.8688", "90.1, 0", "0, 180.5", "33 61, 151", "33 52 60.5, 151",
                             "N 10, S 20",              // two latitudes
                             "10 20 30",                // 10, 20° 30' or 10° 20', 30
                             "S -33.8688, 151.2093",    // minus and a letter
                             "33.5 30, 151", "33 -30, 151", "33.8688 151.2093 x", "1.2.3, 4", "33-5",
                             "33.8688 North, 151.2093", "33\u00B0 52\u2033, 151", "-33.8688,, 151.2093",
                             "56 H 334369 3749052",     // H lies south
                             "56 N 334369 -3749052", "56 B 334369 6250948", "61 500000 0", "0 500000 0",
                             "56.5 334369 6250948", "56 159999 6250948", "56 334369 10000001",
                             "1e1, 5", "33,8688 151,2093 7"})
        EXPECT_FALSE(ReadPositionText(text)) << text;
}

TEST(ReadAngleText, OneAngleOfTheAskedCoordinate) {
    EXPECT_NEAR(ReadAngleText("W 151 12.558", false).value().value, -151.2093, 1e-12);
    EXPECT_EQ(ReadAngleText("33\u00B052'07.68\"S", true).value().notation, DegreesMinutesSeconds);
    for (const auto& [text, latitude] : {std::pair{"33.8688 E", true}, {"W 151", true}, {"91", true},
                                         {"180.1", false}, {"1, 2", true}, {"", false}})
        EXPECT_FALSE(ReadAngleText(text, latitude)) << text;
}

}  // namespace
