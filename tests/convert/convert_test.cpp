#include "values/values.h"
#include "convert/direction_mode.h"
#include "convert/input_reading.h"
#include "convert/output_format.h"

#include <gtest/gtest.h>

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
    EXPECT_THROW(ReadPosition(UtmInput("12N", "500000", "0")), ValueError);
    EXPECT_THROW(ReadPosition(UtmInput("9999", "500000", "0")), ValueError);  // 16-bit meridian
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

}  // namespace
