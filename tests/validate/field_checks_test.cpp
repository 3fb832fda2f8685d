#include "validate/field_checks.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

using namespace quillet;

namespace {

constexpr auto Lat = Coordinate::Latitude;
constexpr auto Lon = Coordinate::Longitude;

// One departure: the boxes' texts, the box left, and what should follow.
struct Departure {
    Coordinate coordinate;
    std::vector<std::string> texts;
    int left;
    const char* refusal;  // nullptr: accepted
    bool recompute;
    const char* rewrite = nullptr;
};

using Check = FieldVerdict (*)(Coordinate, int, std::span<const std::string>);

void ExpectVerdicts(Check check, std::initializer_list<Departure> departures) {
    for (const Departure& d : departures) {
        const FieldVerdict verdict = check(d.coordinate, d.left, d.texts);
        const std::string where = "box " + std::to_string(d.left) + " with \"" + d.texts[d.left] + '"';
        if (d.refusal)
            EXPECT_EQ(verdict.refusal, d.refusal) << where;
        else
            EXPECT_FALSE(verdict.refusal) << where << ": " << *verdict.refusal;
        EXPECT_EQ(verdict.recompute, d.recompute) << where;
        if (d.rewrite)
            EXPECT_EQ(verdict.rewrite, d.rewrite) << where;
        else
            EXPECT_FALSE(verdict.rewrite) << where;
    }
}

const char* const kLatitudeLetter =
    "Error: You cannot have any direction other than North (N) or South (S) for latitude.";
const char* const kLongitudeLetter =
    "Error: You cannot have any direction other than East (E) or West (W) for longitude.";

TEST(DirectionLetters, AreUpperCasedAndMustBelongToTheCoordinate) {
    for (const Check check : {&CheckDecimalDegreeBox, &CheckDegreeMinuteBox, &CheckDegreeMinuteSecondBox})
        ExpectVerdicts(check, {
                                  {Lat, {"", "", "", ""}, 0, nullptr, false},
                                  {Lat, {"n", "45", "", ""}, 0, nullptr, false, "N"},
                                  {Lat, {"S", "", "", ""}, 0, nullptr, false},
                                  {Lat, {"E", "", "", ""}, 0, kLatitudeLetter, false},
                                  {Lat, {"w", "", "", ""}, 0, kLatitudeLetter, false, "W"},
                                  {Lon, {"w", "", "", ""}, 0, nullptr, false, "W"},
                                  {Lon, {"N", "", "", ""}, 0, kLongitudeLetter, false},
                                  {Lon, {"\xC3\xA9", "", "", ""}, 0, kLongitudeLetter, false},
                              });
}

TEST(DecimalDegreeBox, AcceptsNumbersWithinTheCoordinatesBound) {
    const char* lat = "Error: Latitudes must be between -90 and 90 degrees.";
    const char* lon = "Error: Longitudes must be between -180 and 180 degrees.";
    ExpectVerdicts(&CheckDecimalDegreeBox, {
                                               {Lat, {"", "90"}, 1, nullptr, true},
                                               {Lat, {"", "-90"}, 1, nullptr, true},
                                               {Lat, {"", "90.0"}, 1, nullptr, true},
                                               {Lat, {"N", "-45"}, 1, nullptr, true},
                                               {Lat, {"", "90.0000001"}, 1, lat, false},
                                               {Lat, {"", "45abc"}, 1, lat, false},
                                               {Lat, {"", "1e400"}, 1, lat, false},
                                               {Lat, {"", ""}, 1, nullptr, false},
                                               {Lon, {"", "180"}, 1, nullptr, true},
                                               {Lon, {"", "-180"}, 1, nullptr, true},
                                               {Lon, {"", "180.5"}, 1, lon, false},
                                           });
}

TEST(DegreeMinuteBox, DropsTheMinutesSignAndRecomputesWithNumericDegrees) {
    const char* degrees = "Error: Latitude degrees must be between -90 and 90.";
    const char* minutes = "Error: Latitude minutes must be between 0 and 60.";
    ExpectVerdicts(&CheckDegreeMinuteBox,
                   {
                       {Lat, {"", "90", ""}, 1, nullptr, true},
                       {Lat, {"", "-90", "30"}, 1, nullptr, true},
                       {Lat, {"", "90.5", ""}, 1, degrees, false},
                       {Lat, {"", "", ""}, 1, nullptr, false},
                       {Lon, {"", "181", ""}, 1, "Error: Longitude degrees must be between -180 and 180.", false},
                       {Lat, {"", "10", "-12.5"}, 2, nullptr, true, "12.5"},
                       {Lat, {"", "10", "-75"}, 2, minutes, false, "75"},
                       {Lat, {"", "10", "-5x"}, 2, nullptr, true, "5"},
                       {Lat, {"", "10", "-0"}, 2, nullptr, true},
                       {Lat, {"", "10", "60"}, 2, nullptr, true},
                       {Lat, {"", "10", "60.001"}, 2, minutes, false},
                       {Lat, {"", "10", "12abc"}, 2, minutes, false},
                       {Lat, {"", "", "30"}, 2, nullptr, false},
                       {Lat, {"", "95", "30"}, 2, nullptr, true},  // degrees need only be a number
                       {Lat, {"", "10", ""}, 2, nullptr, false},
                       {Lon, {"", "10", "61"}, 2, "Error: Longitude minutes must be between 0 and 60.", false},
                   });
}

TEST(DegreeMinuteSecondBox, RecomputesWhenTheEarlierBoxesHoldNumbers) {
    const char* degrees = "Error: Latitude degrees must be between -90 and 90.";
    const char* parts = "Error: Latitude minutes and seconds must be between 0 and 60.";
    ExpectVerdicts(&CheckDegreeMinuteSecondBox,
                   {
                       {Lat, {"", "-90", "", ""}, 1, nullptr, true},
                       {Lat, {"", "91", "", ""}, 1, degrees, false},
                       {Lat, {"", "", "", ""}, 1, nullptr, false},
                       {Lon, {"", "", "", ""}, 1, nullptr, true},  // an empty longitude recomputes
                       {Lon, {"", "-180", "", ""}, 1, nullptr, true},
                       {Lon, {"", "181", "", ""}, 1, "Error: Longitude degrees must be between -180 and 180.", false},
                       {Lat, {"", "33", "-5", ""}, 2, nullptr, true, "5"},
                       {Lat, {"", "33", "61", ""}, 2, parts, false},
                       {Lat, {"", "33", "", ""}, 2, nullptr, true},  // an empty minute box too
                       {Lat, {"", "", "30", ""}, 2, nullptr, false},
                       {Lat, {"", "33", "5", "-5.25"}, 3, nullptr, true, "5.25"},
                       {Lat, {"", "33", "5", "-75"}, 3, parts, false, "75"},
                       {Lat, {"", "33", "5", "60.0"}, 3, nullptr, true},
                       {Lat, {"", "33", "5", "60.01"}, 3, parts, false},
                       {Lat, {"", "33", "5", ""}, 3, nullptr, true},
                       {Lat, {"", "33", "", "30"}, 3, nullptr, false},
                       {Lat, {"", "x", "5", "30"}, 3, nullptr, false},
                       {Lon, {"", "1", "2", "1 2"}, 3, "Error: Longitude minutes and seconds must be between 0 and 60.",
                        false},
                   });
}

TEST(UtmBoxes, EastingAndNorthingBoundsIncludeTheirEnds) {
    const struct {
        FieldVerdict (*check)(const std::string&);
        const char* text;
        bool refused;
    } cases[] = {
        {&CheckEasting, "160000", false},      {&CheckEasting, "834000", false},
        {&CheckEasting, "159999.99", true},    {&CheckEasting, "834000.01", true},
        {&CheckEasting, "abc", true},          {&CheckEasting, "", false},
        {&CheckNorthing, "0", false},          {&CheckNorthing, "10000000", false},
        {&CheckNorthing, "-3749052", false},   {&CheckNorthing, "-10000000", false},
        {&CheckNorthing, "-10000000.5", true}, {&CheckNorthing, "10000000.5", true},
        {&CheckNorthing, "12a", true},
    };
    for (const auto& row : cases) {
        const FieldVerdict verdict = row.check(row.text);
        EXPECT_EQ(verdict.refusal.has_value(), row.refused) << row.text;
        EXPECT_FALSE(verdict.recompute);
    }
    EXPECT_EQ(CheckEasting("1").refusal, "Error: That is not a valid easting value.");
    EXPECT_EQ(CheckNorthing("x").refusal, "Error: That is not a valid northing value.");
}

TEST(UtmBoxes, ZoneIsAWholeNumberFromOneToSixtyInDigitsOnly) {
    const char* range = "Error: You did not enter a valid zone.";
    const char* digits = "Error: A zone must be contain a number.";
    const struct {
        const char* zone;
        const char* refusal;
    } cases[] = {{"1", nullptr}, {"01", nullptr}, {"60", nullptr}, {"0060", nullptr}, {"", nullptr},
                 {"0", range},   {"61", range},   {"9999", range}, {"N", digits},     {"-5", digits},
                 {" 5", digits}, {"12N", digits}, {"1.5", digits}, {"3 ", digits}};
    for (const auto& row : cases) {
        const FieldVerdict verdict = CheckZone(row.zone, "500000", "0");
        if (row.refusal)
            EXPECT_EQ(verdict.refusal, row.refusal) << row.zone;
        else
            EXPECT_FALSE(verdict.refusal) << row.zone;
        EXPECT_EQ(verdict.recompute, !row.refusal && *row.zone != '\0') << row.zone;
        EXPECT_FALSE(verdict.rewrite);
    }
    EXPECT_TRUE(CheckZone("33", "x", "y").recompute);  // any text will do
    EXPECT_FALSE(CheckZone("33", "500000", "").recompute);
    EXPECT_FALSE(CheckZone("33", "", "0").recompute);
}

}  // namespace
