#include "convert/output_format.h"
#include "convert/position_text.h"

#include <gtest/gtest.h>

#include <cmath>

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
        {"-0\u00B0 30', 0\u00B0 0' 1\"", DegreesMinutesSeconds, -0.5, 1 / 3600.0},
        {"33d52m7.68 s 151d12m33.48 e", DegreesMinutesSeconds, lat, lon},  // a letter after a blank is no mark
        {"50d4m17.698S 14d24m2.826E", DegreesMinutesSeconds, -50.071582777777778, 14.400785},  // South
        {"41d53m24s 12d30m0s", DegreesMinutesSeconds, 41.89, 12.5},
        {"+33.8688 N, 151.2093", DecimalDegrees, 33.8688, kSydneyLon},
        {"151.2093, 33.8688 S", DecimalDegrees, kSydneyLat, kSydneyLon},  // one letter decides the order
        {"10 59 60, 20 60", DegreesMinutesSeconds, 11, 21},
        {"33:52:7.68S 151:12.558E", DegreesMinutesSeconds, lat, kSydneyLon},
        {"151d12'33.48\"E\t33dS", DegreesMinutesSeconds, -33, lon},  // as cs2cs writes
        {"33\u02DA52\u00B47.68\u201DS 151\u00BA12\u201833.48\u201CE", DegreesMinutesSeconds, lat, lon},
        {"33\u00B052\u20197.68\u2019\u2019S 151\u00B012'33.48''E", DegreesMinutesSeconds, lat, lon},
        {"33 Deg 52 MIN 7.68 sec South 151 deg 12 min 33.48 sec EAST", DegreesMinutesSeconds, lat, lon},
        {"\u201033.8688\u00A0\u2009\u202F\u2007\t\r\n\u2013151.2093", DecimalDegrees, kSydneyLat, -kSydneyLon},
        {" (-33.8688, 151.2093)", DecimalDegrees, kSydneyLat, kSydneyLon},
        {"[-33.8688, 151.2093]", DecimalDegrees, kSydneyLat, kSydneyLon},
        {"geo:-33.8688,151.2093", DecimalDegrees, kSydneyLat, kSydneyLon},
        {"GEO:-33.8688,151.2093,58;crs=wgs84;u=10", DecimalDegrees, kSydneyLat, kSydneyLon},
        {"3352.1280,S,15112.5580,E", DegreesMinutes, kSydneyLat, kSydneyLon},
        {"3352.128S 15112.558E", DegreesMinutes, kSydneyLat, kSydneyLon},
        {"$GPGGA,123519,3352.128,S,15112.558,E,1,08,0.9,545.4,M,46.9,M,,*5A", DegreesMinutes, kSydneyLat, kSydneyLon},
        {"$GNRMC,123519,A,3352.128,S,15112.558,E,022.4,084.4,230394,003.1,W", DegreesMinutes, kSydneyLat, kSydneyLon},
        {"$GLGLL,3352.128,S,15112.558,E,225444,A\r\n", DegreesMinutes, kSydneyLat, kSydneyLon}};
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
        {"19s 544805 3927030", 19, -6072970},    // as GeoConvert writes: south, not band S
        {"19 south 544805 3927030", 19, -6072970}, {"18T 445454mE 5030012mN", 18, 5030012},
        {"18 T 445454 mE 5030012 mN", 18, 5030012}, {"1 160000 -10000000", 1, -10000000},
        {"60 834000 10000000", 60, 10000000}};
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
                             "S -33.8688, 151.2093",    // minus and a letter
                             "33.5 30, 151", "33 -30, 151", "33.8688 151.2093 x", "1.2.3, 4", "33-5",
                             "33\u00B0 52\u2033, 151", "-33.8688,, 151.2093",
                             "56 H 334369 3749052",     // H lies south
                             "56 N 334369 -3749052", "56 B 334369 6250948", "61 500000 0", "0 500000 0",
                             "56.5 334369 6250948", "56 159999 6250948", "56 334369 10000001",
                             "56 834001 0", "56 334369 -10000001", "(1, 2]", "geo:1,2;u=5;CRS=nad27", "geo:1;2",
                             "5960.0000N 00000.0000E", "33.8688 Norths, 151.2093",
                             "1e1, 5", "33,8688 151,2093 7"})
        EXPECT_FALSE(ReadPositionText(text)) << text;
}

TEST(ReadPosition, SaysWhyATextGivesNoPosition) {
    const struct { const char* text; ReadFailure failure; } rows[] = {
        {"10 20 30", ReadFailure::Ambiguous},  // 10, 20° 30' or 10° 20', 30
        {"0030.5000S 00015.2500E", ReadFailure::Ambiguous},  // packed, or decimal degrees
        {"$GPGGA,123519,3352.128,S,15112.558,E,1,08,0.9,545.4,M,46.9,M,,*5B", ReadFailure::Checksum},
        {"$GPGGA,123519,,,,,0,00,,,M,,M,,*6B", ReadFailure::NoFix},
        {"$GPRMC,123519,V,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*7D", ReadFailure::NoFix},
        {"$GLGLL,4916.45,N,12311.12,W,225444,V*3A", ReadFailure::NoFix},
        {"$GPVTG,054.7,T,034.4,M,005.5,N,010.2,K*48", ReadFailure::NoPosition},
        {"$GPGGA,1,3352.128,S*", ReadFailure::NotAPosition}};
    for (const auto& row : rows) {
        const PositionReading read = ReadPosition(row.text);
        EXPECT_FALSE(read.position) << row.text;
        EXPECT_EQ(read.failure, row.failure) << row.text;
        EXPECT_EQ(read.why.empty(), row.failure != ReadFailure::Ambiguous) << row.text;
    }
}

// A comma between digits is a decimal comma only when asked.
TEST(ReadPosition, DecimalCommasOnlyWhenAsked) {
    const struct { const char* text; bool asked; double latitude, longitude; } rows[] = {
        {"45,5; 7,25", true, 45.5, 7.25}, {"45,5, 7,25", true, 45.5, 7.25}, {"45,5 -7,25", true, 45.5, -7.25},
        {"48,5\u00B0 N, 2,25\u00B0 E", true, 48.5, 2.25}, {"45,5", false, 45, 5}, {"45,5", true, NAN, NAN},
        {"45,5; 7,25", false, NAN, NAN}, {"45,5,7,25", true, NAN, NAN}, {"4,5.5, 7", true, NAN, NAN}};
    for (const auto& row : rows) {
        const std::optional<PositionText> read = ReadPositionText(row.text, {row.asked});
        ASSERT_EQ(read.has_value(), !std::isnan(row.latitude)) << row.text;
        if (read) {
            EXPECT_EQ(std::pair(read->latitude, read->longitude), std::pair(row.latitude, row.longitude)) << row.text;
        }
    }
}

TEST(ReadAngleText, OneAngleOfTheAskedCoordinate) {
    EXPECT_NEAR(ReadAngleText("W 151 12.558", false).value().value, -151.2093, 1e-12);
    EXPECT_EQ(ReadAngleText("33\u00B052'07.68\"S", true).value().notation, DegreesMinutesSeconds);
    for (const auto& [text, latitude] : {std::pair{"33.8688 E", true}, {"W 151", true}, {"91", true},
                                         {"180.1", false}, {"1, 2", true}, {"", false}})
        EXPECT_FALSE(ReadAngleText(text, latitude)) << text;
}

}  // namespace

namespace {

// Every code by its shape: the centre of its cell, or the reason it is refused.
TEST(ReadPosition, CodesByTheirShapeOrTheChosenCode) {
    const std::pair<double, double> zurich{47.4, 8.6};
    const struct {
        const char* text;
        Code only;
        Code code;  // None: not a position; with `why`: refused
        double latitude, longitude;
        const char* why = "";
        bool near = false;
    } rows[] = {
        {"8FVC2222+22", Code::None, Code::PlusCode, 47.0000625, 8.0000625},
        {" 7fg49qcj+2v ", Code::None, Code::PlusCode, 20.3700625, 2.7821875},
        {"7FG40000+\u00A0\r\n", Code::None, Code::PlusCode, 20.5, 2.5},
        {"9G8F+6X", Code::None, Code::PlusCode, 47.3655625, 8.5249375, "", true},
        {"9G8F+6X22222222", Code::PlusCode, Code::PlusCode, 47.36550002, 8.524875061, "", true},
        {"JO62QM", Code::None, Code::Maidenhead, 52.5208333333, 13.375},
        {"JN58td", Code::None, Code::Maidenhead, 48.1458333333, 11.625},
        {"FN31", Code::None, Code::Maidenhead, 41.5, -73},
        {"JO", Code::Maidenhead, Code::Maidenhead, 55, 10},
        {"jn58td", Code::Maidenhead, Code::Maidenhead, 48.1458333333, 11.625},
        {"geohash:u4pruydqqvj", Code::None, Code::Geohash, 57.64911063, 10.40743969},
        {"https://geohash.org/u4pruydqqvj", Code::None, Code::Geohash, 57.64911063, 10.40743969},
        {"bed", Code::Geohash, Code::Geohash, 65.390625, -153.984375},
        {"SKNA2342", Code::None, Code::Georef, 45.7083333333, 72.3916666667},
        {"SKNA", Code::Georef, Code::Georef, 45.5, 72.5},
        {"361HN37", Code::None, Code::Gars, 1 / 24.0, 1 / 24.0},
        {"361HN", Code::None, Code::Gars, 0.25, 0.25},
        // Ordinary words and numbers are no code without --from.
        {"JO", Code::None, Code::None, 0, 0},
        {"jn58td", Code::None, Code::None, 0, 0},
        {"bed", Code::None, Code::None, 0, 0},
        {"u4pruydqqvj", Code::None, Code::None, 0, 0},
        {"HEAD", Code::None, Code::None, 0, 0},
        {"OK", Code::None, Code::None, 0, 0},
        // Refused, with the reason.
        {"8FVC2I22+22", Code::None, Code::None, 0, 0, "outside the Plus Code alphabet"},
        {"8FVC222+22", Code::None, Code::None, 0, 0, "+ comes after 8 digits"},
        {"8FVC22222+2", Code::None, Code::None, 0, 0, "+ comes after 8 digits"},
        {"8FVC2222+2", Code::None, Code::None, 0, 0, "no single digit"},
        {"7FG40000+22", Code::None, Code::None, 0, 0, "ends at its +"},
        {"7F0G0000+", Code::None, Code::None, 0, 0, "no digits after its padding"},
        {"WFVC2222+22", Code::None, Code::None, 0, 0, "beyond latitude 90"},
        {"9G8F+6X", Code::None, Code::None, 0, 0, "a full code or a reference is needed"},
        {"9G8F+6X Sydney NSW", Code::None, Code::None, 0, 0, "needs a place database", true},
        {"JS62QM", Code::None, Code::None, 0, 0, "field runs from A to R"},
        {"JN58tz", Code::None, Code::None, 0, 0, "subsquare runs from a to x"},
        {"JN58t", Code::None, Code::None, 0, 0, "2, 4, 6, 8 or 10 characters"},
        {"geohash:u4pruydqqva", Code::None, Code::None, 0, 0, "Geohash alphabet"},
        {"geohash:u4pruydqqvjxy", Code::None, Code::None, 0, 0, "1 to 12 characters"},
        {"SKNA6042", Code::None, Code::None, 0, 0, "minutes run from 00 to 59"},
        {"SKNA234", Code::None, Code::None, 0, 0, "2, 4, 8, 10, 12 or 14"},
        {"SINA2342", Code::None, Code::None, 0, 0, "second letter"},
        {"721HN37", Code::None, Code::None, 0, 0, "001 to 720"},
        {"361RA", Code::None, Code::None, 0, 0, "AA to QZ"},
        {"361HN57", Code::None, Code::None, 0, 0, "quadrant is 1 to 4"},
        {"361HN30", Code::None, Code::None, 0, 0, "keypad"},
    };
    for (const auto& row : rows) {
        ReadOptions options{.only = row.only};
        if (row.near) options.near = zurich;
        const PositionReading read = ReadPosition(row.text, options);
        const std::string why = row.why;
        if (!why.empty()) {
            EXPECT_EQ(read.failure, ReadFailure::Refused) << row.text;
            EXPECT_NE(read.why.find(why), std::string::npos) << row.text << ": " << read.why;
        } else if (row.code == Code::None) {
            EXPECT_EQ(read.failure, ReadFailure::NotAPosition) << row.text << ": " << read.why;
        } else {
            ASSERT_TRUE(read.position) << row.text << ": " << read.why;
            EXPECT_EQ(read.position->code, row.code) << row.text;
            EXPECT_EQ(read.position->notation, DecimalDegrees) << row.text;
            EXPECT_NEAR(read.position->latitude, row.latitude, 1e-8) << row.text;
            EXPECT_NEAR(read.position->longitude, row.longitude, 1e-8) << row.text;
        }
    }
}

}  // namespace
