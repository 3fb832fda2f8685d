#include "app/values.h"
#include "convert/direction_mode.h"
#include "convert/input_reading.h"
#include "convert/output_format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <sstream>
#include <vector>

using namespace quillet;

namespace {

InputTexts Angles(InputFormat notation, AngleTexts latitude, AngleTexts longitude = {}) {
    InputTexts texts;
    texts.notation = notation;
    texts.latitude = std::move(latitude);
    texts.longitude = std::move(longitude);
    return texts;
}

InputTexts UtmInput(std::string zone, std::string easting, std::string northing) {
    InputTexts texts;
    texts.notation = Utm;
    texts.zone = std::move(zone);
    texts.easting = std::move(easting);
    texts.northing = std::move(northing);
    return texts;
}

ValueError::Kind KindOfError(const std::function<void()>& call) {
    try {
        call();
    } catch (const ValueError& error) {
        return error.kind();
    }
    ADD_FAILURE() << "no error";
    return ValueError::Kind::DivisionByZero;
}

TEST(ReadPosition, SexagesimalNotationsHonourLettersAndSignsTogether) {
    const struct {
        InputFormat notation;
        AngleTexts latitude;
        double expected;
    } cases[] = {
        {DegreesMinutesSeconds, {"S", "33", "52", "7.68"}, -33.8688},
        {DegreesMinutesSeconds, {"", "-33", "52", "7.68"}, -33.8688},
        {DegreesMinutesSeconds, {"S", "-33", "52", "7.68"}, 33.8688},  // two negations
        {DegreesMinutesSeconds, {"s", "33", "52", "7.68"}, -33.8688},
        {DegreesMinutesSeconds, {"South", "33", "52", "7.68"}, 33.8688},
        {DegreesMinutesSeconds, {"N", "0", "30", ""}, 0.5},
        {DegreesMinutesSeconds, {"", "-0", "30", ""}, -0.5},  // the way -0.5 is written
        {DegreesMinutes, {"", "", "30", ""}, 0.5},             // minutes alone count
        {DegreesMinutes, {"", "12abc", "", ""}, 12.0},
        {DegreesMinutes, {"S", "1", "", ""}, -1.0},
        {DegreesMinutes, {"", "-0", "30", ""}, -0.5},
    };
    for (const auto& row : cases) {
        const Position position = ReadPosition(Angles(row.notation, row.latitude));
        ASSERT_TRUE(position.latitude) << row.latitude.degrees;
        EXPECT_NEAR(*position.latitude, row.expected, 1e-12) << row.latitude.direction << ' ' << row.latitude.degrees;
        EXPECT_FALSE(position.longitude);
    }
    const Position west = ReadPosition(Angles(DegreesMinutesSeconds, {}, {"w", "151", "12", "33.48"}));
    EXPECT_NEAR(*west.longitude, -151.2093, 1e-12);
}

TEST(ReadPosition, ACoordinateIsAbsentExactlyWhenItsInputDoesNotGiveIt) {
    // An empty degree box in degrees-minutes-seconds, whatever the minutes say.
    EXPECT_FALSE(ReadPosition(Angles(DegreesMinutesSeconds, {"", "", "30", "5"})).latitude);
    EXPECT_FALSE(ReadPosition(Angles(DegreesMinutes, {"S", "", "", ""})).latitude);
    EXPECT_FALSE(ReadPosition(Angles(DecimalDegrees, {"", "", "", ""}, {"", "100", "", ""})).latitude);
    for (const InputTexts& texts : {UtmInput("", "500000", "0"), UtmInput("31", "", "0"), UtmInput("31", "500000", "")}) {
        const Position position = ReadPosition(texts);
        EXPECT_FALSE(position.latitude || position.longitude);
    }
    // 0 and 1 are ordinary values: the equator, the prime meridian, 1° N and 1° E.
    const Position origin = ReadPosition(Angles(DecimalDegrees, {"", "0", "", ""}, {"", "1", "", ""}));
    EXPECT_EQ(origin.latitude, 0.0);
    EXPECT_EQ(origin.longitude, 1.0);
    EXPECT_EQ(ReadPosition(Angles(DegreesMinutesSeconds, {"", "1", "", ""})).latitude, 1.0);
}

TEST(ReadPosition, DecimalDegreesAreNumbersWithTheirOwnSign) {
    const Position typed = ReadPosition(Angles(DecimalDegrees, {"", "-12.5", "", ""}, {"", "100", "", ""}));
    EXPECT_EQ(typed.latitude, -12.5);
    EXPECT_EQ(typed.longitude, 100.0);
    EXPECT_EQ(ReadPosition(Angles(DecimalDegrees, {"S", "12.5", "", ""})).latitude, -12.5);
    EXPECT_EQ(ReadPosition(Angles(DecimalDegrees, {"S", "-12.5", "", ""})).latitude, 12.5);
    EXPECT_EQ(KindOfError([] { ReadPosition(Angles(DecimalDegrees, {"", "abc", "", ""})); }),
              ValueError::Kind::TypeMismatch);
    EXPECT_EQ(KindOfError([] { ReadPosition(Angles(DecimalDegrees, {}, {"", "1,5", "", ""})); }),
              ValueError::Kind::TypeMismatch);
}

TEST(ReadPosition, UtmGoesThroughTheInverseProjection) {
    const Position position = ReadPosition(UtmInput("18", "500000", "4427757.2187"));
    EXPECT_NEAR(*position.latitude, 39.999999999, 5e-10);
    EXPECT_EQ(position.longitude, -75.0);
    const Position south = ReadPosition(UtmInput("56", "334368.6318", "-3749051.6545"));
    EXPECT_NEAR(*south.latitude, -33.868799998, 5e-10);
    EXPECT_EQ(KindOfError([] { ReadPosition(UtmInput("12N", "500000", "0")); }), ValueError::Kind::TypeMismatch);
    EXPECT_EQ(KindOfError([] { ReadPosition(UtmInput("9999", "500000", "0")); }), ValueError::Kind::Overflow);
    EXPECT_EQ(KindOfError([] { ReadPosition(UtmInput("31", "abc", "0")); }), ValueError::Kind::TypeMismatch);
}

TEST(FormatLatLon, WritesEveryNotationSignedAndWithLetters) {
    const Position sydney{-33.8688, 151.2093};
    const struct {
        InputFormat notation;
        bool letters;
        const char* latitude;
        const char* longitude;
    } cases[] = {
        {DegreesMinutesSeconds, true, "S 33° 52' 7.68\"", "E 151° 12' 33.48\""},
        {DegreesMinutesSeconds, false, "-33° 52' 7.68\"", "151° 12' 33.48\""},
        {DegreesMinutes, true, "S 33° 52.128' ", "E 151° 12.558' "},
        {DegreesMinutes, false, "-33° 52.128' ", "151° 12.558' "},
        {DecimalDegrees, true, "S 33.8688° ", "E 151.2093° "},
        {DecimalDegrees, false, "-33.8688° ", "151.2093° "},
    };
    for (const auto& row : cases) {
        const LatLonTexts texts = FormatLatLon(sydney, row.notation, row.letters, MarksWithUnits());
        EXPECT_EQ(texts.latitude, row.latitude);
        EXPECT_EQ(texts.longitude, row.longitude);
    }
    const UnitMarks none = MarksWithoutUnits();
    EXPECT_EQ(FormatLatLon(sydney, DegreesMinutesSeconds, false, none).latitude, "-33 52 7.68");
    EXPECT_EQ(FormatLatLon(sydney, DegreesMinutes, false, none).latitude, "-33 52.128 ");
    EXPECT_EQ(FormatLatLon(sydney, DecimalDegrees, false, none).latitude, "-33.8688 ");
}

TEST(FormatLatLon, RoundsCarriesAndPlacesTheSign) {
    const UnitMarks marks = MarksWithUnits();
    const auto latitude = [&](double value, InputFormat notation, bool letters = false) {
        return FormatLatLon({value, std::nullopt}, notation, letters, marks).latitude.value_or("(absent)");
    };
    EXPECT_EQ(latitude(-33.8675, DegreesMinutesSeconds), "-33° 52' 3\"");
    EXPECT_EQ(latitude(-0.5, DegreesMinutesSeconds), "-0° 30' 0\"");
    EXPECT_EQ(latitude(-0.5, DecimalDegrees), "-0.5° ");
    EXPECT_EQ(latitude(-0.5, DegreesMinutesSeconds, true), "S 0° 30' 0\"");
    EXPECT_EQ(latitude(-0.5, DecimalDegrees, true), "S 0.5° ");
    EXPECT_EQ(latitude(45, DegreesMinutesSeconds), "45° 0' 0\"");
    EXPECT_EQ(latitude(45, DegreesMinutes), "45° 0' ");
    EXPECT_EQ(latitude(45, DecimalDegrees, true), "N 45° ");
    EXPECT_EQ(latitude(0, DegreesMinutesSeconds, true), "N 0° 0' 0\"");
    EXPECT_EQ(latitude(1, DecimalDegrees), "1° ");
    EXPECT_EQ(latitude(-0.00000001, DecimalDegrees), "0° ");  // rounds to 0, never "-0"
    // Seconds or minutes that round to 60 carry into the next part.
    EXPECT_EQ(latitude(10.99999999, DegreesMinutesSeconds), "11° 0' 0\"");
    EXPECT_EQ(latitude(10.99999999, DegreesMinutes), "11° 0' ");
    EXPECT_EQ(latitude(-179.9999999999, DegreesMinutesSeconds, true), "S 180° 0' 0\"");
    EXPECT_EQ(latitude(10.9999, DegreesMinutesSeconds), "10° 59' 59.64\"");

    const LatLonTexts westOnly = FormatLatLon({std::nullopt, -1.0}, DegreesMinutesSeconds, true, marks);
    EXPECT_FALSE(westOnly.latitude);
    EXPECT_EQ(westOnly.longitude, "W 1° 0' 0\"");
    EXPECT_EQ(KindOfError([&] { FormatLatLon({40000.0, 0.0}, DegreesMinutes, false, marks); }),
              ValueError::Kind::Overflow);
}

TEST(FormatUtm, WritesWholeMetresAndTheZoneWithItsBand) {
    const std::optional<UtmTexts> sydney = FormatUtm({-33.8688, 151.2093});
    ASSERT_TRUE(sydney);
    EXPECT_EQ(sydney->easting, "334369");
    EXPECT_EQ(sydney->northing, "-3749052");
    EXPECT_EQ(sydney->zone, "56 H");
    EXPECT_EQ(FormatUtm({0.0, 3.0})->northing, "0");
    EXPECT_EQ(FormatUtm({95.0, 3.0})->zone, "31 ");  // no band beyond the pole
    EXPECT_FALSE(FormatUtm({45.0, std::nullopt}));
    EXPECT_FALSE(FormatUtm({std::nullopt, 3.0}));
    EXPECT_EQ(KindOfError([] { FormatUtm({10.0, 200000.0}); }), ValueError::Kind::Overflow);
}

// A position written in one notation and typed back in, digit groups into
// their boxes, gives the same position within the written precision.
TEST(RoundTrip, WrittenTextsReadBackToThePosition) {
    const auto boxesOf = [](const std::string& text) {
        std::istringstream words(text);
        AngleTexts texts;
        words >> texts.degrees >> texts.minutes >> texts.seconds;
        return texts;
    };
    const struct {
        InputFormat notation;
        double tolerance;  // half a unit of the last written place, in degrees
    } notations[] = {{DegreesMinutesSeconds, 0.0005 / 3600}, {DegreesMinutes, 0.000005 / 60}, {DecimalDegrees, 5e-8}};
    for (const double latitude : {-89.99, -33.8688, -0.5, -0.0001, 0.0, 0.99999999, 1.0, 45.0, 89.5})
        for (const double longitude : {-180.0, -75.0, -1.0, 0.25, 151.2093, 179.9999999, 180.0})
            for (const auto& [notation, tolerance] : notations) {
                const LatLonTexts texts =
                    FormatLatLon({latitude, longitude}, notation, false, MarksWithoutUnits());
                const Position back = ReadPosition(Angles(notation, boxesOf(*texts.latitude), boxesOf(*texts.longitude)));
                EXPECT_NEAR(*back.latitude, latitude, tolerance) << *texts.latitude;
                EXPECT_NEAR(*back.longitude, longitude, tolerance) << *texts.longitude;
            }
    // UTM, written in whole metres, comes back within a metre.
    for (const double latitude : {-79.5, -33.8688, 0.5, 40.0, 83.9})
        for (const double longitude : {-177.5, -75.0, 2.9, 151.2093}) {
            const UtmTexts utm = *FormatUtm({latitude, longitude});
            const std::string zone = utm.zone.substr(0, utm.zone.find(' '));
            const Position back = ReadPosition(UtmInput(zone, utm.easting, utm.northing));
            EXPECT_NEAR(*back.latitude, latitude, 1.0 / 111000) << utm.northing;
            EXPECT_NEAR(*back.longitude, longitude, 1.0 / 111000 / std::cos(latitude * M_PI / 180)) << utm.easting;
        }
}

TEST(DirectionEntry, CarriesTheSignIntoALetterAndBack) {
    const struct {
        AngleEntry typed;
        HemisphereLetters letters;
        AngleEntry direction;
    } toDirection[] = {
        {{"", "-45"}, kLatitudeLetters, {"S", "45"}},
        {{"", "-07.5"}, kLatitudeLetters, {"S", "7.5"}},
        {{"", "045"}, kLatitudeLetters, {"N", "045"}},
        {{"", "100"}, kLongitudeLetters, {"E", "100"}},
        {{"", "-0"}, kLatitudeLetters, {"", "-0"}},
        {{"", ""}, kLongitudeLetters, {"", ""}},
    };
    for (const auto& row : toDirection) {
        const AngleEntry entry = ToDirectionEntry(row.typed, row.letters);
        EXPECT_EQ(entry.direction, row.direction.direction) << row.typed.degrees;
        EXPECT_EQ(entry.degrees, row.direction.degrees) << row.typed.degrees;
    }
    const struct {
        AngleEntry typed;
        HemisphereLetters letters;
        const char* degrees;
    } toSigned[] = {
        {{"S", "45"}, kLatitudeLetters, "-45"}, {{"W", "120"}, kLongitudeLetters, "-120"},
        {{"N", "45"}, kLatitudeLetters, "45"},  {{"s", "45"}, kLatitudeLetters, "45"},
        {{"S", ""}, kLatitudeLetters, ""},      {{"S", "0"}, kLatitudeLetters, "-0"},
        {{"E", "-5"}, kLongitudeLetters, "-5"},
    };
    for (const auto& row : toSigned) {
        const AngleEntry entry = ToSignedEntry(row.typed, row.letters);
        EXPECT_EQ(entry.degrees, row.degrees) << row.typed.direction << ' ' << row.typed.degrees;
        EXPECT_EQ(entry.direction, "");
    }
    EXPECT_EQ(KindOfError([] { ToDirectionEntry({"", "12a"}, kLatitudeLetters); }), ValueError::Kind::TypeMismatch);
    EXPECT_EQ(KindOfError([] { ToSignedEntry({"S", "x"}, kLatitudeLetters); }), ValueError::Kind::TypeMismatch);
}

TEST(DirectionEntry, DegreeLimitsMakeRoomForTheMinusSign) {
    EXPECT_EQ(DegreeLimit(DegreesMinutesSeconds, true, true), 2);
    EXPECT_EQ(DegreeLimit(DegreesMinutesSeconds, false, true), 3);
    EXPECT_EQ(DegreeLimit(DegreesMinutesSeconds, true, false), 3);
    EXPECT_EQ(DegreeLimit(DegreesMinutesSeconds, false, false), 4);
    EXPECT_EQ(DegreeLimit(DegreesMinutes, true, true), 2);
    EXPECT_EQ(DegreeLimit(DegreesMinutes, false, true), std::nullopt);
    EXPECT_EQ(DegreeLimit(DecimalDegrees, true, false), std::nullopt);
}

}  // namespace
