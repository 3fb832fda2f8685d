#include "convert/forms/code_forms.h"
#include "convert/output_format.h"
#include "convert/read/position_text.h"
#include "geodesy/proj_systems.h"

#include <GeographicLib/DMS.hpp>
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
        {"$GLGLL,3352.128,S,15112.558,E,225444,A\r\n", DegreesMinutes, kSydneyLat, kSydneyLon},
        // Real receivers' measured fixes: differential, float RTK; a checksum in either case.
        {"$GNRMC,120213.000,A,5957.0062,N,01100.6429,E,0.00,0.00,310722,,,D,V*0A", DegreesMinutes, 59.95010333333333,
         11.010715},
        {"$GNRMC,120213.000,A,5957.0062,N,01100.6429,E,0.00,0.00,310722,,,D,V*0a", DegreesMinutes, 59.95010333333333,
         11.010715},
        {"$GPGGA,003832.000,4404.1271062,N,12118.8438377,W,5,14,0.8,1127.630,M,-20.300,M,1.000,0000*74",
         DegreesMinutes, 44.06878510333333, -121.31406396166667},
        {"$GNRMC,003832.000,A,4404.1271062,N,12118.8438377,W,000.0,171.0,290322,,,F,V*10", DegreesMinutes,
         44.06878510333333, -121.31406396166667},
        {"$GNGLL,4404.1271062,N,12118.8438377,W,003832.000,A,D*50", DegreesMinutes, 44.06878510333333,
         -121.31406396166667},
        {"$GPGLL,3352.128,S,15112.558,E,225444,A,P", DegreesMinutes, kSydneyLat, kSydneyLon},
        {"$GPRMC,123519,A,3352.128,S,15112.558,E,1,2,230394,,,R", DegreesMinutes, kSydneyLat, kSydneyLon},
        // cs2cs's own output: a tab, the pair, and the height it always writes.
        {"151d12'33.48\"E\t33d52'7.68\"S 0.000", DegreesMinutesSeconds, lat, lon},
        {"33.8688S 151.2093E -12.5", DecimalDegrees, kSydneyLat, kSydneyLon},
        // Exponents as Python, pandas and JSON write them.
        {"-8e-05, 14.343156", DecimalDegrees, -8e-5, 14.343156},
        {"1.5E-3, 2e+01", DecimalDegrees, 0.0015, 20},
        {"-3.38688E+01 1.512093e+02", DecimalDegrees, kSydneyLat, kSydneyLon},
        {"8E 14N", DecimalDegrees, 14, 8},  // an E without a signed number after it is East
        {"151E33S", DecimalDegrees, -33, 151},
        // Packed degrees with minutes or seconds, glued to their letters.
        {"3352.128S15112.558E", DegreesMinutes, kSydneyLat, kSydneyLon},
        {"4007.38N7407.38W", DegreesMinutes, 40.123, -74.123},
        {"335207.68S1511233.48E", DegreesMinutesSeconds, lat, lon},
        {"335207.68S 1511233.48E", DegreesMinutesSeconds, lat, lon},
        // Dots between degrees, minutes and seconds.
        {"33.52.07S 151.12.33E", DegreesMinutesSeconds, -(33 + 52 / 60.0 + 7 / 3600.0), 151 + 12 / 60.0 + 33 / 3600.0},
        {"-33.52.07 151.12.33", DegreesMinutesSeconds, -(33 + 52 / 60.0 + 7 / 3600.0), 151 + 12 / 60.0 + 33 / 3600.0},
        // GeographicLib's marks: superscript zero, ring operator, reversed primes, backticks, the GRiD "*".
        {"33\u207052\u20357.68\u02DDS 151\u221812\u201B33.48\u201FE", DegreesMinutesSeconds, lat, lon},
        {"33*52`7.68``S 151D12\u00B433.48\u00B4\u00B4E", DegreesMinutesSeconds, lat, lon},
        {"33\u00B052\u02B97.68\u02BAS 151\u00B012\u02CA33.48\u2036E", DegreesMinutesSeconds, lat, lon}};
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
                             "1e1, 5", "33,8688 151,2093 7",
                             "8E-05",                   // 0.00008 alone, never 8 E, 5 S
                             "1e+999, 5", "4025N0743860W", "402505N07438W",  // DMS with DM: no pair
                             "500N 1000E",              // unpadded without a point: perhaps metres
                             "33.5.7S 151.12.33E", "33.52.07.5S 151.12.33E", "33.52.071 18",  // two digits each
                             "41d53m24s 12d30m0s 5",    // seconds close no pair: no height
                             // Marks mixed with colons: no split of them is what was meant.
                             "1\u22182\u201B3: 0", "33\u00B052'7.68\"S 151:12:33.48E", "33\u00B052:7.68, 151",
                             "33:52\u2032, 151"})
        EXPECT_FALSE(ReadPositionText(text)) << text;
}

TEST(ReadPosition, SaysWhyATextGivesNoPosition) {
    const struct { const char* text; ReadFailure failure; const char* why = ""; } rows[] = {
        {"10 20 30", ReadFailure::Ambiguous},  // 10, 20° 30' or 10° 20', 30
        // A letter and two small numbers: a pair, an angle, and a 2-figure Irish grid reference.
        {"S 6 6", ReadFailure::Ambiguous, "-6, 6, the latitude -6.1\u00B0 or an Irish grid reference"},
        {"N 0 4", ReadFailure::Ambiguous, "0, 4, the latitude 0.066667\u00B0 or an Irish grid reference"},
        {"W 12 5", ReadFailure::Ambiguous, "5, -12, the longitude -12.083333\u00B0"},
        {"0030.5000S 00015.2500E", ReadFailure::Ambiguous},  // packed, or decimal degrees
        {"$GPGGA,123519,3352.128,S,15112.558,E,1,08,0.9,545.4,M,46.9,M,,*5B", ReadFailure::Checksum},
        {"$GPGGA,123519,,,,,0,00,,,M,,M,,*6B", ReadFailure::NoFix},
        {"$GPRMC,123519,V,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*7D", ReadFailure::NoFix},
        {"$GLGLL,4916.45,N,12311.12,W,225444,V*3A", ReadFailure::NoFix},
        // A position only from a measured fix: status A, mode A D P R F, quality 1-5.
        {"$GPGLL,3728.0549,N,12213.8639,W,014413.076,N,V*50", ReadFailure::NoFix},  // a handheld's
        {"$GPGLL,5201.0687,N,00832.0645,E,142818.899,V,N*4E", ReadFailure::NoFix},
        {"$GPGLL,3728.0549,N,12213.8639,W,014413,X", ReadFailure::NoFix},
        {"$GPGLL,3728.0549,N,12213.8639,W,014413,", ReadFailure::NoFix},
        {"$GPGLL,3728.0549,N,12213.8639,W,014413,A,N", ReadFailure::NoFix},
        {"$GPGLL,3728.0549,N,12213.8639,W,014413,A,E", ReadFailure::NoFix},  // estimated
        {"$GPGLL,3854.5087,N,07726.4523,W,125106,V,S*55", ReadFailure::NoFix},  // a simulator's
        {"$GPRMC,135659.997,V,5543.0324,N,03724.7207,E,00.79,159.0,051209,,,N*72", ReadFailure::NoFix},
        {"$GPRMC,123519,,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W", ReadFailure::NoFix},
        {"$GPRMC,123519,X,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W", ReadFailure::NoFix},
        {"$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W,N", ReadFailure::NoFix},
        {"$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W,M", ReadFailure::NoFix},  // manual
        {"$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W,S", ReadFailure::NoFix},
        {"$GPGGA,123519,4807.038,N,01131.000,E,X,08,0.9,545.4,M,46.9,M,,", ReadFailure::NoFix},
        {"$GPGGA,123519,4807.038,N,01131.000,E,6,08,0.9,545.4,M,46.9,M,,", ReadFailure::NoFix},  // estimated
        {"$GPGGA,123519,4807.038,N,01131.000,E,7,08,0.9,545.4,M,46.9,M,,", ReadFailure::NoFix},  // manual
        {"$GPGGA,125106,3854.5087,N,07726.4523,W,8,10,2.0,268.8,M,-33.9,M,,*7F", ReadFailure::NoFix},
        {"$GPGGA,123519,4807.038,N,01131.000,E,9,08,0.9,545.4,M,46.9,M,,", ReadFailure::NoFix},
        {"$GPGGA,123519,4807.038,N,01131.000,E,12,08,0.9,545.4,M,46.9,M,,", ReadFailure::NoFix},
        {"$GPVTG,054.7,T,034.4,M,005.5,N,010.2,K*48", ReadFailure::NoPosition},
        {"$GPGGA,1,3352.128,S*", ReadFailure::NotAPosition},
        // An exponent that East could also read as another place.
        {"8E-05 14.3", ReadFailure::Ambiguous},       // 0.00008, 14.3 or 5° 14.3' S, 8° E
        {"+8e-05 14.3", ReadFailure::Ambiguous},
        {"2e+01 3", ReadFailure::Ambiguous},          // 20, 3 or 2 E with 1° 3'
        {"10 20 W 5", ReadFailure::Ambiguous},        // a height, or a pair with it
        {"0030.30N00015.15E", ReadFailure::Ambiguous},  // packed, or decimal degrees
        {"4060.0N 07400.0W", ReadFailure::NotAPosition}};  // packed minutes of 60, no latitude of 4060
    for (const auto& row : rows) {
        const PositionReading read = ReadPosition(row.text);
        EXPECT_FALSE(read.position) << row.text;
        EXPECT_EQ(read.failure, row.failure) << row.text;
        EXPECT_EQ(read.why.empty(), row.failure != ReadFailure::Ambiguous) << row.text;
        EXPECT_NE(read.why.find(row.why), std::string::npos) << row.text << ": " << read.why;
    }
}

TEST(ReadPosition, SaysTheReasonWhereItIsKnown) {
    const struct { const char* text; const char* why; } rows[] = {
        {"91 0", "latitude 91 is beyond 90\u00B0"},
        {"95 20 30", "latitude 95 is beyond 90\u00B0"},  // small numbers are no UTM
        {"91.5S, 0", "latitude -91.5 is beyond -90\u00B0"},
        {"113dW\t91d7'20.892\"N 0.000", "latitude 91.12247 is beyond 90\u00B0"},
        {"0, -180.25", "longitude -180.25 is beyond -180\u00B0"},
        {"33 61, 151", "61 minutes are more than 60"},
        {"33 52 60.5, 151", "60.5 seconds are more than 60"},
        {"61 500000 0", "UTM zone 61 is outside 1\u201360"},
        {"0N 500000 0", "UTM zone 0 is outside 1\u201360"},
        {"56.5 334369 6250948", "UTM zone 56.5 is not a whole number"},
        {"56 H 159999 6250948", "easting 159999 is outside 160000\u2013834000"},
        {"56 834001mE 0mN", "easting 834001 is outside 160000\u2013834000"},
        {"56 334369 -10000001", "northing -10000001 is beyond -10000000"}};
    for (const auto& row : rows) {
        const PositionReading read = ReadPosition(row.text);
        EXPECT_FALSE(read.position) << row.text;
        EXPECT_EQ(read.failure, ReadFailure::Refused) << row.text;
        EXPECT_EQ(read.why, row.why) << row.text;
    }
}

// A grid reference gives the centre of its square; the short forms and the
// plain numbers only when the grid is asked for.
TEST(ReadPosition, GridReferencesAsTheCentreOfTheirSquare) {
    const struct { const char* text; Code only; Code code; double easting, northing; } rows[] = {
        {"TQ 30080 80987", Code::None, Code::BritishGrid, 530080.5, 180987.5},
        {" tq3008080987 ", Code::None, Code::BritishGrid, 530080.5, 180987.5},
        {"TQ 3008 8098", Code::None, Code::BritishGrid, 530085, 180985},
        {"TQ 300809", Code::None, Code::BritishGrid, 530050, 180950},
        {"NN 16 71", Code::None, Code::BritishGrid, 216500, 771500},
        {"hp\t40 10", Code::None, Code::BritishGrid, 440500, 1210500},
        {"TQ38", Code::BritishGrid, Code::BritishGrid, 535000, 185000},
        {"TQ", Code::BritishGrid, Code::BritishGrid, 550000, 150000},
        {"530080, 180987", Code::BritishGrid, Code::BritishGrid, 530080, 180987},
        {"O 15500 34500", Code::None, Code::IrishGrid, 315500.5, 234500.5},
        {"o1534", Code::None, Code::IrishGrid, 315500, 234500},
        {"O", Code::IrishGrid, Code::IrishGrid, 350000, 250000},
        {"315500 234500", Code::IrishGrid, Code::IrishGrid, 315500, 234500},
        {"715830, 734697", Code::IrishTm, Code::IrishTm, 715830, 734697}};
    for (const auto& row : rows) {
        const PositionReading read = ReadPosition(row.text, {.only = row.only});
        ASSERT_TRUE(read.position) << row.text << ": " << read.why;
        EXPECT_EQ(read.position->code, row.code) << row.text;
        EXPECT_EQ(read.position->notation, DecimalDegrees) << row.text;
        const char* system = row.code == Code::BritishGrid ? "EPSG:27700"
                             : row.code == Code::IrishGrid ? "EPSG:29903" : "EPSG:2157";
        const proj::Transformed back = proj::FromWgs84(system, read.position->latitude, read.position->longitude);
        EXPECT_NEAR(back.point.x, row.easting, 0.002) << row.text;  // there and back through the datum shift
        EXPECT_NEAR(back.point.y, row.northing, 0.002) << row.text;
    }
}

TEST(ReadPosition, GridReferencesRefused) {
    const struct { const char* text; Code only; ReadFailure failure; } rows[] = {
        {"TZ 1234 5678", Code::None, ReadFailure::Refused},        // no such square
        {"NN16", Code::None, ReadFailure::Ambiguous},              // also a Maidenhead square
        {"JO62", Code::BritishGrid, ReadFailure::Refused},         // no locator when a grid is asked for
        {"II 1234 5678", Code::None, ReadFailure::Refused},
        {"I 1234 5678", Code::None, ReadFailure::Refused},         // no I in Ireland
        {"TQ 123 4567", Code::None, ReadFailure::Refused},         // two lengths
        {"TQ 12345", Code::None, ReadFailure::Refused},            // odd
        {"TQ 123456 123456", Code::None, ReadFailure::Refused},    // beyond the square
        {"800000, 100000", Code::BritishGrid, ReadFailure::Refused},  // outside the grid
        {"N 90 10", Code::None, ReadFailure::Ambiguous},           // also the pair 90° N, 10° E
        {"S 0000", Code::None, ReadFailure::Ambiguous},            // also the angle 0° S
        {"TQ38", Code::None, ReadFailure::NotAPosition},           // a Maidenhead square too
        {"TQ", Code::None, ReadFailure::NotAPosition},
        {"530080, 180987", Code::None, ReadFailure::NotAPosition},
        {"TQ 3008 8098 x", Code::None, ReadFailure::NotAPosition},
        {"O 15500 34500", Code::BritishGrid, ReadFailure::NotAPosition}};
    for (const auto& row : rows) {
        const PositionReading read = ReadPosition(row.text, {.only = row.only});
        EXPECT_FALSE(read.position) << row.text;
        EXPECT_EQ(read.failure, row.failure) << row.text;
        EXPECT_EQ(read.why.empty(), row.failure == ReadFailure::NotAPosition) << row.text << ": " << read.why;
    }
}

// A comma between digits is a decimal comma only when asked.
TEST(ReadPosition, DecimalCommasOnlyWhenAsked) {
    const struct { const char* text; bool asked; double latitude, longitude; } rows[] = {
        {"45,5; 7,25", true, 45.5, 7.25}, {"45,5, 7,25", true, 45.5, 7.25}, {"45,5 -7,25", true, 45.5, -7.25},
        {"48,5\u00B0 N, 2,25\u00B0 E", true, 48.5, 2.25}, {"45,5", false, 45, 5}, {"45,5", true, NAN, NAN},
        {"45,5; 7,25", false, NAN, NAN}, {"45,5,7,25", true, NAN, NAN}, {"4,5.5, 7", true, NAN, NAN},
        // Two numbers with points and one comma between them: a pair, as maps write it.
        {"48.1372,11.5755", true, 48.1372, 11.5755}, {"48.1372,11", true, NAN, NAN},
        {"48,1372,11.5755", true, NAN, NAN}, {"1,5e-3; 2", true, 0.0015, 2}};
    for (const auto& row : rows) {
        const std::optional<PositionText> read = ReadPositionText(row.text, {row.asked});
        ASSERT_EQ(read.has_value(), !std::isnan(row.latitude)) << row.text;
        if (read) {
            EXPECT_EQ(std::pair(read->latitude, read->longitude), std::pair(row.latitude, row.longitude)) << row.text;
        }
    }
}

// Map links as browsers show them, and GIS snippets: the place they name,
// the pin or marker before the view.
TEST(ReadPosition, MapLinksAndSnippets) {
    constexpr double lat = -33.8567844, lon = 151.2152967;  // the Sydney Opera House
    const std::string google = "https://www.google.com/maps/place/Sydney+Opera+House/@-33.8567844,151.2127218,17z/"
                               "data=!3m1!4b1!4m6!3m5!1s0x6b12ae665e892fdd:0x3133f8d75a1ac251!8m2!3d-33.8567844!4d"
                               "151.2152967!16zL20vMDZfbnk?entry=ttu&g_ep=EgoyMDI0MTAwMi4xIKXMDSoASAFQAw%3D%3D";
    const std::string osm = "https://www.openstreetmap.org/?mlat=-33.8567844&mlon=151.2152967#map=15/-33.85000/151.20000";
    const struct { std::string text; Code code; } rows[] = {
        {google, Code::GoogleLink},
        {"https://www.google.com/maps/@-33.8567844,151.2152967,17.25z/data=!3m1!1e3!5m1!1e4?entry=ttu", Code::GoogleLink},
        {"https://www.google.com/maps/place/33%C2%B051'24.4%22S+151%C2%B012'55.1%22E/@-33.8567844,151.2127218,17z/"
         "data=!3m1!4b1!4m4!3m3!8m2!3d-33.8567844!4d151.2152967?entry=ttu",
         Code::GoogleLink},
        {"https://www.google.com/maps/search/-33.8567844,+151.2152967?entry=tts&g_ep=EgoyMDI0MTAwMi4xIKXMDSoASAFQAw%3D%3D",
         Code::GoogleLink},
        {"https://maps.google.com/?q=-33.8567844%2C151.2152967+(Sydney+Opera+House)&z=17", Code::GoogleLink},
        {"https://www.google.com/maps?ll=-33.8567844,151.2152967&amp;z=17&amp;t=m", Code::GoogleLink},
        {"https://www.google.com/maps/search/?api=1&query=-33.8567844%2C151.2152967", Code::GoogleLink},
        {osm, Code::OsmLink},
        {"https://www.openstreetmap.org/#map=19/-33.8567844/151.2152967&layers=N", Code::OsmLink},
        {"<" + osm + ">", Code::OsmLink},
        {"\"" + osm + "\"", Code::OsmLink},
        {"'" + osm + "'", Code::OsmLink},
        {"Sydney Opera House \u2013 " + google + " (shared today)", Code::GoogleLink},
        {"openstreetmap.org/?mlat=-33.8567844&amp;mlon=151.2152967", Code::OsmLink},
        {"https://maps.apple.com/?ll=-33.8567844,151.2152967&q=Sydney%20Opera%20House&spn=0.0081,0.0124&t=m", Code::None},
        {"https://maps.apple.com/?q=-33.8567844,151.2152967&z=17", Code::None},
        {"https://maps.apple.com/?q=Opera+House&sll=-33.8567844,151.2152967&z=10&t=s", Code::None},
        {"https://www.bing.com/maps?osid=5e7c6f10-8d4d-4a4e-9b1a-0a0f7e1c2b3d&cp=-33.8567844~151.2152967&lvl=17&style=r",
         Code::None},
        {"https://wego.here.com/?map=-33.8567844,151.2152967,17,normal&x=ep", Code::None},
        {"https://www.waze.com/ul?ll=-33.8567844%2C151.2152967&navigate=yes&zoom=17", Code::None},
        {"https://yandex.ru/maps/?ll=151.2152967%2C-33.8567844&mode=search&z=17", Code::None},
        {"https://yandex.com/maps/?pt=151.2152967,-33.8567844,pm2rdm&ll=151.2,-33.8&z=15", Code::None},
        {"POINT (151.2152967 -33.8567844)", Code::Wkt},
        {"point z(151.2152967 -33.8567844 4.5)", Code::Wkt},
        {"SRID=4326;POINT(151.2152967 -33.8567844)", Code::Wkt},
        {R"({"type": "Point", "coordinates": [151.2152967, -33.8567844]})", Code::GeoJson},
        {R"({"type":"Feature","properties":{"name":"Opera House"},"geometry":{"type":"Point","coordinates":[151.2152967,-33.8567844,4]}})",
         Code::GeoJson},
        {R"({"type":"FeatureCollection","features":[{"type":"Feature","geometry":{"type":"Point","coordinates":[151.2152967,-33.8567844]},"properties":null}]})",
         Code::GeoJson},
        {R"({"type":"Point","crs":{"type":"name","properties":{"name":"urn:ogc:def:crs:EPSG::4326"}},"coordinates":[151.2152967,-33.8567844]})",
         Code::GeoJson},
        {"<Placemark><name>Opera House</name><Point><coordinates>151.2152967,-33.8567844,0</coordinates></Point></Placemark>",
         Code::None},
        {"<kml:coordinates>\n  151.2152967,-33.8567844\n</kml:coordinates>", Code::None},
        {R"(<wpt lat="-33.8567844" lon="151.2152967"><ele>4</ele><name>Opera House</name></wpt>)", Code::None},
        {"<trkpt lon='151.2152967' lat='-33.8567844'/>", Code::None}};
    for (const auto& row : rows) {
        const PositionReading read = ReadPosition(row.text);
        ASSERT_TRUE(read.position) << row.text << ": " << read.why;
        EXPECT_EQ(read.position->code, row.code) << row.text;
        EXPECT_EQ(read.position->notation, DecimalDegrees) << row.text;
        EXPECT_EQ(read.position->latitude, lat) << row.text;
        EXPECT_EQ(read.position->longitude, lon) << row.text;
    }
}

// Each format's own axis order, with a point whose coordinates both lie
// within ±90 (the Colosseum), where a swap would still be a place.
TEST(ReadPosition, EachFormatKeepsItsAxisOrder) {
    for (const char* text :
         {"https://www.google.com/maps/place/Colosseo/@41.89,12.49,17z/data=!4m6!3m5!8m2!3d41.8902!4d12.4922",
          "https://www.openstreetmap.org/?mlat=41.8902&mlon=12.4922", "https://www.openstreetmap.org/#map=18/41.8902/12.4922",
          "https://maps.apple.com/?ll=41.8902,12.4922", "https://www.bing.com/maps?cp=41.8902~12.4922",
          "https://wego.here.com/?map=41.8902,12.4922,17", "https://www.waze.com/ul?ll=41.8902,12.4922",
          "https://yandex.ru/maps/?ll=12.4922%2C41.8902&z=17", "POINT(12.4922 41.8902)",
          R"({"type":"Point","coordinates":[12.4922,41.8902]})", "<coordinates>12.4922,41.8902</coordinates>",
          R"(<wpt lon="12.4922" lat="41.8902"/>)"}) {
        const std::optional<PositionText> read = ReadPositionText(text);
        ASSERT_TRUE(read) << text;
        EXPECT_EQ(std::pair(read->latitude, read->longitude), std::pair(41.8902, 12.4922)) << text;
    }
}

// The links people share, and the mends of links once read into another
// place: each the Colosseum (or a code's published example) with both
// coordinates within ±90, so that a swap would show.
TEST(ReadPosition, LinksPeopleShare) {
    constexpr double lat = 41.8902, lon = 12.4922;
    constexpr double cell = 1.4e-3;  // an 18-bit OpenStreetMap short code's
    const struct { std::string text; double latitude = lat, longitude = lon, within = 0; } rows[] = {
        // Android's geo: with its query: q= is the place, over the path's centre.
        {"geo:0,0?q=41.8902,12.4922"},
        {"geo:0,0?z=14&q=41.8902,12.4922(Colosseo%20di%20Roma)"},
        {"geo:0,0?q=41.8902%2C%2012.4922"},
        {"geo:0,0?q=41.8902, 12.4922 (Colosseo)"},
        {"geo:41.9,12.5?q=41.8902,12.4922"},
        {"geo:?q=41.8902,12.4922"},
        // Organic Maps and MAPS.ME; ge0 codes as the decoder's README decodes them.
        {"https://omaps.app/41.8902,12.4922/Colosseo"},
        {"https://omaps.app/B4srhdHVVt/Name", 64.5234, 12.1234, 1e-5},
        {"ge0://B4srhdHVVt/Name", 64.5234, 12.1234, 1e-5},
        {"http://ge0.me/B4srhdHVVt/Name_of_it", 64.5234, 12.1234, 1e-5},
        {"https://omaps.app/Umse5f0H8a/Nova_Iorque", 40.7128, -74.0060, 1e-3},  // New York
        // OpenStreetMap: the wiki's short link is the view 51.511, 0.055.
        {"https://osm.org/go/0EEQjE--", 51.511, 0.055, cell},
        {"https://www.openstreetmap.org/go/0EEQjE--?m", 51.511, 0.055, cell},
        {"https://www.openstreetmap.org/search?query=41.8902%2C12.4922"},
        {"https://www.openstreetmap.org/#17/41.8902/12.4922"},
        {"https://www.openstreetmap.de/karte/?zoom=17&lat=41.8902&lon=12.4922&layers=B000TF"},
        {"https://www.openstreetmap.org/directions?from=&to=41.8902%2C12.4922"},
        {"https://www.openstreetmap.org/directions?to=41.8902,12.4922"},
        // Google: one destination, the navigation intent, a named pair, the
        // map's centre, the search page, a full Plus Code, a short link that
        // carries its full address.
        {"https://www.google.com/maps/dir/Current+Location/41.8902,12.4922"},
        {"https://www.google.com/maps/dir//41.8902,12.4922/@41.89,12.49,17z"},
        {"https://maps.google.com/maps?daddr=Colosseo@41.8902,12.4922"},
        {"https://maps.google.com/maps?f=d&saddr=My+Location&daddr=41.8902,12.4922"},
        {"google.navigation:q=41.8902,12.4922"},
        {"https://maps.google.com/?q=Colosseo@41.8902,12.4922"},
        {"https://www.google.com/maps/@?api=1&map_action=map&center=41.8902,12.4922&zoom=17"},
        {"www.google.com/?q=41.8902,12.4922"},
        {"https://www.google.com/maps/place/8FHJVFRR%2B3V", lat, lon, 1e-4},
        {"https://maps.app.goo.gl/?link=https%3A%2F%2Fwww.google.com%2Fmaps%2Fplace%2F%4041.89%2C12.49%2C17z%2Fdata%3D"
         "!4m6!3m5!8m2!3d41.8902!4d12.4922"},
        // OsmAnd, Waze's Geohash, HERE, Apple, Magic Earth, Mapy.cz, 2GIS and Urbi (longitude first).
        {"https://osmand.net/map?pin=41.8902,12.4922#17/41.9/12.5"},
        {"https://osmand.net/go?lat=41.8902&lon=12.4922&z=17"},
        {"https://waze.com/ul/sr2yk3bs17", lat, lon, 1e-5},
        {"https://share.here.com/l/41.8902,12.4922,Colosseo?z=17&t=normal"},
        {"https://maps.apple.com/?daddr=41.8902,12.4922"},
        {"https://maps.apple.com/search?center=41.8902,12.4922&query=Colosseo"},
        {"https://magicearth.com/?lat=41.8902&lon=12.4922&name=Colosseo"},
        {"https://mapy.cz/zakladni?x=12.4922&y=41.8902&z=17"},
        {"https://mapy.com/en/zakladni?source=coor&id=12.4922%2C41.8902&x=12.49&y=41.89&z=17"},
        {"https://2gis.ru/rome/geo/70030076123456789/12.4922%2C41.8902"},
        {"https://2gis.com/?m=12.4922%2C41.8902%2F17"},
        {"https://maps.urbi.ae/dubai/geo/70030076123456789/12.4922,41.8902"},
        // Yandex: the pin asked about, never the view around it.
        {"https://yandex.ru/maps/?ll=12.4%2C41.8&mode=whatshere&whatshere%5Bpoint%5D=12.4922%2C41.8902&"
         "whatshere%5Bzoom%5D=17&z=17"}};
    for (const auto& row : rows) {
        const PositionReading read = ReadPosition(row.text);
        ASSERT_TRUE(read.position) << row.text << ": " << read.why;
        EXPECT_NEAR(read.position->latitude, row.latitude, row.within) << row.text;
        EXPECT_NEAR(read.position->longitude, row.longitude, row.within) << row.text;
    }
}

// A link or snippet that holds no position, more than one, or a broken one,
// says why.
TEST(ReadPosition, RefusesLinksAndSnippetsWithTheReason) {
    const struct { const char* text; const char* why; } rows[] = {
        {"https://www.google.com/maps/dir/Sydney+Opera+House/Bondi+Beach/@-33.87,151.23,13z/data=!4m14!4m13!1m5",
         "more than one place"},
        {"https://maps.app.goo.gl/5VjwC8P2bV1nq8xV7", "open it in a browser and copy the full address"},
        {"https://goo.gl/maps/AbCdEf12345", "open it in a browser"},
        {"https://www.google.com/maps/place/@-33.8,151.2,17z/data=!8m2!3d-33.85!4d151.21!8m2!3d-33.86!4d151.22",
         "more than one place (two markers)"},
        {"https://www.google.com/maps?q=Sydney+Opera+House", "holds no position"},
        {"https://www.openstreetmap.org/node/2405391463#map=19/-33.85678/151.21530", "object link holds no position"},
        {"https://yandex.ru/maps/?pt=151.21,-33.85~151.27,-33.89&z=12", "more than one place"},
        {"LINESTRING (151.2 -33.8, 151.3 -33.9)", "more than one place (a LINESTRING)"},
        {"MULTIPOLYGON (((1 1, 2 1, 2 2, 1 1)))", "more than one place"},
        {R"({"type":"LineString","coordinates":[[151.2,-33.8],[151.3,-33.9]]})", "more than one place (a LineString)"},
        {"<coordinates>151.2,-33.8,0 151.3,-33.9,0</coordinates>", "more than one place"},
        {"<trkseg><trkpt lat=\"-33.8\" lon=\"151.2\"/><trkpt lat=\"-33.9\" lon=\"151.3\"/></trkseg>", "more than one place"},
        {"see https://www.openstreetmap.org/?mlat=1&mlon=2 or https://www.openstreetmap.org/?mlat=3&mlon=4",
         "more than one place"},
        {"SRID=999999;POINT(1 2)", "SRID=999999: no system PROJ knows"},
        {"SRID=27700;POINT(5300800 180987)", "SRID=27700: outside the system's area"},
        {"https://www.openstreetmap.org/?mlat=-91&mlon=151.2", "latitude -91 beyond ±90"},
        {"POINT (181 -33.8)", "longitude 181 beyond ±180"},
        {"https://maps.google.com/?q=-33.8%2G151.2", "broken percent escape"},
        {"https://www.waze.com/ul?ll=-33.8%2C151.2&q=caf%C3%A", "broken percent escape"},  // in any part
        {R"({"type":"Point","coordinates":[151.2,-33.8])", "invalid JSON"},
        {R"({"type":"Feature","geometry":null})", "holds no position"},
        {"POINT EMPTY", "holds no position"},
        // A search, a route, or a name: no place of the link's own.
        {"geo:0,0?q=1600+Amphitheatre+Parkway%2C+Mountain+View", "holds no position (a search text)"},
        {"geo:0,0?q=", "holds no position (a search text)"},
        {"https://yandex.ru/maps/?ll=12.49%2C41.89&mode=routes&rtext=41.89%2C12.49~41.90%2C12.50~41.91%2C12.51",
         "more than one place (a route)"},
        {"https://yandex.ru/maps/?text=Colosseo&ll=12.49%2C41.89&z=17", "a place by its name"},
        {"https://maps.google.com/?saddr=41.9,12.5&daddr=48.85,2.35&q=41.9,12.5", "more than one place (a route)"},
        {"https://www.google.com/maps/dir//Colosseo/@41.89,12.49,17z", "a place by its name"},
        {"https://www.openstreetmap.org/directions?from=41.9%2C12.5&to=41.8902%2C12.4922", "more than one place"},
        {"https://www.openstreetmap.org/search?query=Colosseo#map=17/41.89/12.49", "a search text"},
        {"https://osmand.net/map?start=41.9,12.5&finish=41.89,12.49", "more than one place"},
        {"https://2gis.ru/rome/firm/70000001012345678?m=12.49%2C41.89%2F17", "a place by its number"},
        {"https://mapy.cz/zakladni?source=firm&id=13144564&x=12.49&y=41.89&z=17", "a place by its number"},
        {"https://osm.org/go/0E!Q", "code is broken"},
        {"ge0://B4sr*dHVVt/Name", "ge0 code that is broken"},
        {"https://maps.app.goo.gl/?link=https%3A%2F%2Fmaps.app.goo.gl%2F%3Flink%3Dx", "a link inside a link"},
        // The Chinese maps' offset coordinates are never read as WGS 84.
        {"https://uri.amap.com/marker?position=116.473195,39.993253&name=Park", "GCJ-02"},
        {"https://apis.map.qq.com/uri/v1/marker?marker=coord:39.892326,116.342763;title:A", "GCJ-02"},
        {"https://api.map.baidu.com/marker?location=39.916979,116.410049&title=A", "BD-09"}};
    for (const auto& row : rows) {
        const PositionReading read = ReadPosition(row.text);
        EXPECT_FALSE(read.position) << row.text;
        EXPECT_EQ(read.failure, ReadFailure::Refused) << row.text;
        EXPECT_NE(read.why.find(row.why), std::string::npos) << row.text << ": " << read.why;
    }
}

// EWKT of another system is read through PROJ, x then y (cs2cs EPSG:27700
// EPSG:4326 and EPSG:3857 EPSG:4326 give these digits).
TEST(ReadPosition, EwktOfAnotherSystemThroughProj) {
    const struct { const char* text; double latitude, longitude; } rows[] = {
        {"SRID=27700;POINT(530080 180987)", 51.5128423, -0.1268382},
        {"SRID=3857;POINT(16832380.5 -4009770.2)", -33.8581448, 151.2078467}};
    for (const auto& row : rows) {
        const PositionReading read = ReadPosition(row.text);
        ASSERT_TRUE(read.position) << row.text << ": " << read.why;
        EXPECT_EQ(read.position->code, Code::Wkt);
        EXPECT_NEAR(read.position->latitude, row.latitude, 5e-8) << row.text;
        EXPECT_NEAR(read.position->longitude, row.longitude, 5e-8) << row.text;
    }
}

// What each link and snippet writer gives reads back to the written digits
// (7 places), as that form.
TEST(FormatCode, LinksAndSnippetsReadBack) {
    for (const Code code : {Code::GeoUri, Code::Wkt, Code::GeoJson, Code::OsmLink, Code::GoogleLink})
        for (const auto& [latitude, longitude] : {std::pair{-33.85678444, 151.21529671}, {41.8902, 12.4922},
                                                  {-90.0, -180.0}, {89.99999996, 179.99999996}, {-1e-9, 0.0}}) {
            const std::optional<std::string> text = FormatCode(code, latitude, longitude);
            ASSERT_TRUE(text);
            const PositionReading read = ReadPosition(*text);
            ASSERT_TRUE(read.position) << *text << ": " << read.why;
            EXPECT_EQ(read.position->code, code) << *text;
            EXPECT_NEAR(read.position->latitude, latitude, 5e-8) << *text;
            EXPECT_NEAR(read.position->longitude, longitude, 5e-8) << *text;
        }
    EXPECT_EQ(FormatCode(Code::OsmLink, -33.8688, 151.2093),
              "https://www.openstreetmap.org/?mlat=-33.8688&mlon=151.2093#map=17/-33.8688/151.2093");
    EXPECT_EQ(FormatCode(Code::GeoJson, 0.000000049, -0.5), R"({"type":"Point","coordinates":[-0.5,0]})");
}

// Each mark GeographicLib's decoder takes reads as that decoder reads it.
TEST(ReadAngleText, MarksAsGeographicLibDecodesThem) {
    for (const char* text : {"33\u207052\u20357.68\u02DDS", "151\u221812\u201B33.48\u201FE", "33*52`7.68``S",
                             "151D12\u00B433.48\u00B4\u00B4E", "33\u00B052\u02B97.68\u02BAS",
                             "151\u00B012\u02CA33.48\u2036E", "151d12\u02CB33.48\u02CB\u02CBW",
                             "S33\u00BA7\u203252\u2032\u2032", "N33\u02DA52.128\u2035"}) {
        GeographicLib::DMS::flag ind;
        const double decoded = GeographicLib::DMS::Decode(text, ind);
        const std::optional<AngleValue> read = ReadAngleText(text, ind == GeographicLib::DMS::LATITUDE);
        ASSERT_TRUE(read) << text;
        EXPECT_NEAR(read->value, decoded, 1e-12) << text;
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
    const std::pair<double, double> zurich{47.4, 8.6}, newbury{51.3701125, -1.217765625};
    const struct {
        const char* text;
        Code only;
        Code code;  // None: not a position; with `why`: refused
        double latitude, longitude;
        const char* why = "";
        const std::pair<double, double>* near = nullptr;
    } rows[] = {
        {"8FVC2222+22", Code::None, Code::PlusCode, 47.0000625, 8.0000625},
        {" 7fg49qcj+2v ", Code::None, Code::PlusCode, 20.3700625, 2.7821875},
        {"7FG40000+\u00A0\r\n", Code::None, Code::PlusCode, 20.5, 2.5},
        {"9G8F+6X", Code::None, Code::PlusCode, 47.3655625, 8.5249375, "", &zurich},
        {"9G8F+6X22222222", Code::PlusCode, Code::PlusCode, 47.36550002, 8.524875061, "", &zurich},
        {" +2VX", Code::None, Code::PlusCode, 51.3701125, -1.217765625, "", &newbury},  // 9C3W9QCJ+2VX
        {"JO62QM", Code::None, Code::Maidenhead, 52.5208333333, 13.375},
        {"JN58td", Code::None, Code::Maidenhead, 48.1458333333, 11.625},
        {"FN31", Code::None, Code::Maidenhead, 41.5, -73},
        {"JO", Code::Maidenhead, Code::Maidenhead, 55, 10},
        {"jn58td", Code::Maidenhead, Code::Maidenhead, 48.1458333333, 11.625},
        {"geohash:u4pruydqqvj", Code::None, Code::Geohash, 57.64911063, 10.40743969},
        {"https://geohash.org/u4pruydqqvj", Code::None, Code::Geohash, 57.64911063, 10.40743969},
        {"https://geohash.org/u4pruydqqvj?format=osm", Code::None, Code::Geohash, 57.64911063, 10.40743969},
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
        {"+22", Code::None, Code::None, 0, 0, "", &newbury},
        {"OK", Code::None, Code::None, 0, 0},
        // Refused, with the reason.
        {"8FVC2I22+22", Code::None, Code::None, 0, 0, "outside the Plus Code alphabet"},
        {"8FVC222+22", Code::None, Code::None, 0, 0, "+ comes after 8 digits"},
        {"8FVC22222+2", Code::None, Code::None, 0, 0, "+ comes after 8 digits"},
        {"8FVC2222+2", Code::None, Code::None, 0, 0, "no single digit"},
        {"7FG40000+22", Code::None, Code::None, 0, 0, "ends at its +"},
        {"7F0G0000+", Code::None, Code::None, 0, 0, "no digits after its padding"},
        {"WFVC2222+22", Code::None, Code::None, 0, 0, "beyond latitude 90"},
        {"F2000000+", Code::None, Code::None, 0, 0, "beyond latitude 90"},
        {"8FWC2345+G6+", Code::None, Code::None, 0, 0, "only one +"},
        {"8FWC2345", Code::None, Code::None, 0, 0, "a + after its 8th digit"},
        {"8fwc2345", Code::PlusCode, Code::None, 0, 0, "a + after its 8th digit"},
        {"9G8F+6X", Code::None, Code::None, 0, 0, "a full code or a reference is needed"},
        {"9G8F+6X Sydney NSW", Code::None, Code::None, 0, 0, "needs a place database", &zurich},
        {"JS62QM", Code::None, Code::None, 0, 0, "field runs from A to R"},
        {"JN58tz", Code::None, Code::None, 0, 0, "subsquare runs from a to x"},
        {"JN58t", Code::None, Code::None, 0, 0, "2, 4, 6, 8 or 10 characters"},
        {"geohash:u4pruydqqva", Code::None, Code::None, 0, 0, "Geohash alphabet"},
        {"geohash:u4pruydqqvjxy", Code::None, Code::None, 0, 0, "1 to 12 characters"},
        {"SKNA6042", Code::None, Code::None, 0, 0, "minutes run from 00 to 59"},
        {"MKPG12346500", Code::None, Code::None, 0, 0, "minutes run from 00 to 59"},
        {"SKNA234", Code::None, Code::None, 0, 0, "2, 4, 8, 10, 12 or 14"},
        {"SINA2342", Code::None, Code::None, 0, 0, "second letter"},
        {"721HN37", Code::None, Code::None, 0, 0, "001 to 720"},
        {"361RA", Code::None, Code::None, 0, 0, "AA to QZ"},
        {"361HN57", Code::None, Code::None, 0, 0, "quadrant is 1 to 4"},
        {"361HN30", Code::None, Code::None, 0, 0, "keypad"},
    };
    for (const auto& row : rows) {
        ReadOptions options{.only = row.only};
        if (row.near) options.near = *row.near;
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
