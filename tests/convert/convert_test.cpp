#include "values/values.h"
#include "convert/direction_mode.h"
#include "convert/input_reading.h"
#include "convert/output_format.h"
#include "validate/field_checks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

using namespace quillet;

namespace {

InputTexts Angles(InputFormat notation, AngleTexts latitude, AngleTexts longitude = {}) {
    return {notation, std::move(latitude), std::move(longitude), "", "", ""};
}

InputTexts UtmInput(std::string zone, std::string easting, std::string northing) {
    return {Utm, {}, {}, std::move(easting), std::move(northing), std::move(zone)};
}

TEST(ReadPosition, SexagesimalNotationsHonourLettersAndSignsTogether) {
    const struct { InputFormat notation; AngleTexts latitude; double expected; } cases[] = {
        {DegreesMinutesSeconds, {"S", "-33", "52", "7.68"}, 33.8688},  // two negations
        {DegreesMinutesSeconds, {"s", "33", "52", "7.68"}, -33.8688},
        {DegreesMinutesSeconds, {"South", "33", "52", "7.68"}, 33.8688},
        {DegreesMinutes, {"", "", "30", ""}, 0.5},             // minutes alone count
        {DegreesMinutes, {"", "12abc", "", ""}, 12.0},
        {DecimalDegrees, {"S", "-12.5", "", ""}, 12.5},
    };
    for (const auto& row : cases) {
        const Position position = ReadPosition(Angles(row.notation, row.latitude));
        ASSERT_TRUE(position.latitude) << row.latitude.degrees;
        EXPECT_NEAR(*position.latitude, row.expected, 1e-12) << row.latitude.direction << ' ' << row.latitude.degrees;
    }
}

TEST(ReadPosition, ACoordinateIsAbsentExactlyWhenItsInputDoesNotGiveIt) {
    EXPECT_FALSE(ReadPosition(Angles(DegreesMinutesSeconds, {"", "", "30", "5"})).latitude);
    EXPECT_FALSE(ReadPosition(Angles(DegreesMinutes, {"S", "", "", ""})).latitude);
    EXPECT_FALSE(ReadPosition(Angles(DecimalDegrees, {}, {"", "100", "", ""})).latitude);
    for (const InputTexts& texts : {UtmInput("", "500000", "0"), UtmInput("31", "", "0"), UtmInput("31", "500000", "")})
        EXPECT_FALSE(ReadPosition(texts).longitude);
    // The equator and the prime meridian are ordinary values.
    EXPECT_EQ(ReadPosition(Angles(DecimalDegrees, {"", "0", "", ""}, {"", "0", "", ""})).longitude, 0.0);
    EXPECT_EQ(ReadPosition(UtmInput("31", "500000", "0")).latitude, 0.0);
}

TEST(ReadPosition, UtmAndDecimalDegreesMustBeNumbers) {
    EXPECT_NEAR(ReadPosition(UtmInput("18", "500000", "4427757.2187")).latitude.value(), 39.999999999, 5e-10);
    EXPECT_THROW(ReadPosition(Angles(DecimalDegrees, {"", "abc", "", ""})), ValueError);
    EXPECT_THROW(ReadPosition(UtmInput("12Z", "500000", "0")), ValueError);
    EXPECT_THROW(ReadPosition(UtmInput("9999", "500000", "0")), ValueError);  // 16-bit meridian
}

// A receiver's zone and band, Sydney's "56H 334369 6250948": a southern band
// takes the false northing off a positive northing; a band the point is not
// in refuses it; a zone alone keeps the northing as the window writes it.
// Latitudes from cs2cs.
TEST(ReadPosition, AZoneWithABandLetterGivesItsHemisphereOrIsRefused) {
    const struct { const char* zone; const char* northing; double latitude; } cases[] = {
        {"56H", "6250948", -33.8688032}, {"56 h", "6250948", -33.8688032}, {"56H", "-3749052", -33.8688032},
        {"56", "-3749052", -33.8688032}, {"56", "6250948", 56.3741171},     {"56V", "6250948", 56.3741171},
        {"31M", "0", 0},                 {"31N", "0", 0},                   {"33C", "1116915", -79.9049333},
    };
    for (const auto& row : cases)
        EXPECT_NEAR(ReadPosition(UtmInput(row.zone, "334369", row.northing)).latitude.value_or(99), row.latitude, 2e-5)
            << row.zone << ' ' << row.northing;
    for (const char* zone : {"56J", "56N", "56G"}) {
        try {
            ReadPosition(UtmInput(zone, "334369", "6250948"));
            ADD_FAILURE() << zone;
        } catch (const ValueError& error) {
            EXPECT_EQ(error.kind(), ValueError::Kind::OutOfReach) << zone;
        }
    }
    EXPECT_THROW(ReadPosition(UtmInput("33T", "500000", "-100")), ValueError);
}

TEST(FormatLatLon, WritesEachNotationSignedOrWithLettersAndCarries) {
    const struct { double value; InputFormat notation; bool letters; const char* text; } cases[] = {
        {-33.8688, DegreesMinutesSeconds, true, "S 33° 52' 7.68\""},
        {-33.8688, DegreesMinutesSeconds, false, "-33° 52' 7.68\""},
        {-33.8688, DegreesMinutes, true, "S 33° 52.128' "},
        {-33.8688, DecimalDegrees, false, "-33.8688° "},
        {-33.8675, DegreesMinutesSeconds, false, "-33° 52' 3\""},
        {-0.5, DegreesMinutesSeconds, false, "-0° 30' 0\""},
        {-0.5, DecimalDegrees, true, "S 0.5° "},
        {0, DegreesMinutesSeconds, true, "N 0° 0' 0\""},
        {-0.00000001, DecimalDegrees, false, "0° "},  // rounds to 0, never "-0"
        {10.99999999, DegreesMinutesSeconds, false, "11° 0' 0\""},
        {10.99999999, DegreesMinutes, false, "11° 0' "},
        {-179.9999999999, DegreesMinutesSeconds, true, "S 180° 0' 0\""},
    };
    for (const auto& row : cases)
        EXPECT_EQ(FormatLatLon({row.value, std::nullopt}, row.notation, row.letters, MarksWithUnits()).latitude,
                  row.text);
    const LatLonTexts noUnits = FormatLatLon({std::nullopt, 151.2093}, DegreesMinutesSeconds, true, MarksWithoutUnits());
    EXPECT_FALSE(noUnits.latitude);
    EXPECT_EQ(noUnits.longitude, "E 151 12 33.48");
    EXPECT_THROW(FormatLatLon({40000.0, 0.0}, DegreesMinutes, false, MarksWithUnits()), ValueError);
    EXPECT_FALSE(FormatUtm({45.0, std::nullopt}));
    EXPECT_EQ(FormatUtm({95.0, 3.0})->zone, "31 ");  // no band beyond the pole
}

TEST(DirectionEntry, CarriesTheSignIntoALetterAndBack) {
    const struct { AngleEntry from; bool toDirection; HemisphereLetters letters; AngleEntry to; } cases[] = {
        {{"", "-07.5"}, true, kLatitudeLetters, {"S", "7.5"}},
        {{"", "045"}, true, kLatitudeLetters, {"N", "045"}},
        {{"", "-0"}, true, kLongitudeLetters, {"", "-0"}},
        {{"", ""}, true, kLongitudeLetters, {"", ""}},
        {{"s", "45"}, false, kLatitudeLetters, {"", "45"}},
        {{"S", "0"}, false, kLatitudeLetters, {"", "-0"}},  // still south
    };
    for (const auto& row : cases) {
        const AngleEntry entry = row.toDirection ? ToDirectionEntry(row.from, row.letters)
                                                 : ToSignedEntry(row.from, row.letters);
        EXPECT_EQ(entry.direction, row.to.direction) << row.from.direction << ' ' << row.from.degrees;
        EXPECT_EQ(entry.degrees, row.to.degrees) << row.from.direction << ' ' << row.from.degrees;
    }
    EXPECT_THROW(ToDirectionEntry({"", "12a"}, kLatitudeLetters), ValueError);
}

// The written text cut into the four boxes: direction letter, degrees, minutes, seconds.
std::vector<std::string> Boxes(std::string written, bool letters) {
    for (char& c : written)  // the marks, the two bytes of the degree sign among them
        if (c == '\'' || c == '"' || c == '\xC2' || c == '\xB0') c = ' ';
    std::istringstream words(written);
    std::vector<std::string> boxes(letters ? 0 : 1);
    for (std::string word; words >> word;) boxes.push_back(word);
    boxes.resize(4);
    return boxes;
}

// What the window writes is something a person can type back: every written
// latitude and longitude, its parts typed into the boxes of its notation, is
// accepted by every box's check and reads back as the same position within
// the precision written.
TEST(WrittenPositions, TypedBackAreAcceptedAndGiveThePositionWithinTheWrittenPrecision) {
    const struct { InputFormat notation; FieldVerdict (*check)(Coordinate, int, std::span<const std::string>);
                   std::size_t boxes; double precision; } notations[] = {
        {DegreesMinutesSeconds, &CheckDegreeMinuteSecondBox, 4, 0.5e-3 / 3600},
        {DegreesMinutes, &CheckDegreeMinuteBox, 3, 0.5e-5 / 60}, {DecimalDegrees, &CheckDecimalDegreeBox, 2, 0.5e-7}};
    std::vector<double> latitudes = {90, -90, 89.99999999999, -89.9999999999, 0, -1e-9, -0.5, 10.99999999, 45.00000001};
    for (int i = 0; i <= 997; ++i) latitudes.push_back(std::min(90.0, -90 + 180.0 * i / 997 + 1e-7 * (i % 7)));
    for (const auto& n : notations)
        for (const bool letters : {false, true})
            for (const UnitMarks& marks : {MarksWithUnits(), MarksWithoutUnits()})
                for (const double latitude : latitudes) {
                    const double longitude = std::clamp(2 * latitude, -180.0, 180.0);
                    const LatLonTexts written = FormatLatLon({latitude, longitude}, n.notation, letters, marks);
                    const auto lat = Boxes(*written.latitude, letters), lon = Boxes(*written.longitude, letters);
                    for (int box = 0; box < int(n.boxes); ++box) {
                        ASSERT_FALSE(n.check(Coordinate::Latitude, box, {lat.data(), n.boxes}).refusal) << *written.latitude;
                        ASSERT_FALSE(n.check(Coordinate::Longitude, box, {lon.data(), n.boxes}).refusal) << *written.longitude;
                    }
                    const Position read = ReadPosition(
                        {n.notation, {lat[0], lat[1], lat[2], lat[3]}, {lon[0], lon[1], lon[2], lon[3]}, "", "", ""});
                    ASSERT_NEAR(*read.latitude, latitude, n.precision * (1 + 1e-9)) << *written.latitude;
                    ASSERT_NEAR(*read.longitude, longitude, n.precision * (1 + 1e-9)) << *written.longitude;
                }
}

}  // namespace
