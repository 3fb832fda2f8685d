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

TEST(AngleBoxes, LettersAreUpperCasedAndMustBelongToTheCoordinate) {
    const char* latitude = "Error: You cannot have any direction other than North (N) or South (S) for latitude.";
    for (const Check check : {&CheckDecimalDegreeBox, &CheckDegreeMinuteBox, &CheckDegreeMinuteSecondBox})
        ExpectVerdicts(check, {
                                  {Lat, {"", "", "", ""}, 0, nullptr, false},
                                  {Lat, {"n", "45", "", ""}, 0, nullptr, false, "N"},
                                  {Lat, {"w", "", "", ""}, 0, latitude, false, "W"},
                                  {Lon, {"N", "", "", ""}, 0,
                                   "Error: You cannot have any direction other than East (E) or West (W) for longitude.",
                                   false},
                              });
}

TEST(AngleBoxes, DegreesAreNumbersWithinTheCoordinatesBound) {
    ExpectVerdicts(&CheckDecimalDegreeBox, {
                                               {Lat, {"", "-90"}, 1, nullptr, true},
                                               {Lat, {"N", "-45"}, 1, nullptr, true},
                                               {Lat, {"", "90.0000001"}, 1,
                                                "Error: Latitudes must be between -90 and 90 degrees.", false},
                                               {Lat, {"", "45abc"}, 1,
                                                "Error: Latitudes must be between -90 and 90 degrees.", false},
                                               {Lat, {"", ""}, 1, nullptr, false},
                                               {Lon, {"", "180"}, 1, nullptr, true},
                                           });
    ExpectVerdicts(&CheckDegreeMinuteBox, {
                                              {Lat, {"", "1e400", ""}, 1,
                                               "Error: Latitude degrees must be between -90 and 90.", false},
                                              {Lon, {"", "181", ""}, 1,
                                               "Error: Longitude degrees must be between -180 and 180.", false},
                                          });
    // An empty longitude degree box recomputes (and so empties its output).
    ExpectVerdicts(&CheckDegreeMinuteSecondBox, {
                                                    {Lat, {"", "", "", ""}, 1, nullptr, false},
                                                    {Lon, {"", "", "", ""}, 1, nullptr, true},
                                                });
}

TEST(AngleBoxes, MinutesAndSecondsLoseTheirSignAndRecomputeAfterNumericDegrees) {
    const char* minutes = "Error: Latitude minutes must be between 0 and 60.";
    ExpectVerdicts(&CheckDegreeMinuteBox, {
                                              {Lat, {"", "10", "-12.5"}, 2, nullptr, true, "12.5"},
                                              {Lat, {"", "10", "-75"}, 2, minutes, false, "75"},
                                              {Lat, {"", "10", "-5x"}, 2, nullptr, true, "5"},
                                              {Lat, {"", "10", "-0"}, 2, nullptr, true},
                                              {Lat, {"", "10", "60.001"}, 2, minutes, false},
                                              {Lat, {"", "", "30"}, 2, nullptr, false},
                                              {Lat, {"", "10", ""}, 2, nullptr, false},
                                          });
    const char* parts = "Error: Latitude minutes and seconds must be between 0 and 60.";
    ExpectVerdicts(&CheckDegreeMinuteSecondBox, {
                                                    {Lat, {"", "33", "61", ""}, 2, parts, false},
                                                    {Lat, {"", "33", "", ""}, 2, nullptr, true},
                                                    {Lat, {"", "", "30", ""}, 2, nullptr, false},
                                                    {Lat, {"", "33", "5", "-75"}, 3, parts, false, "75"},
                                                    {Lat, {"", "33", "5", "60.0"}, 3, nullptr, true},
                                                    {Lat, {"", "33", "5", ""}, 3, nullptr, true},
                                                    {Lat, {"", "33", "", "30"}, 3, nullptr, false},
                                                });
}

// No latitude past a pole, no longitude past the antimeridian through minutes and seconds; each box's own
// rule first, the sum read as the converter reads it (after the rewrite), letters never held to it.
TEST(AngleBoxes, DegreesMinutesAndSecondsTogetherStayWithinTheBound) {
    const char* latitude = "Error: Latitude degrees must be between -90 and 90.";
    const char* longitude = "Error: Longitude degrees must be between -180 and 180.";
    ExpectVerdicts(&CheckDegreeMinuteBox, {
                                              {Lat, {"", "90", "30"}, 2, latitude, false},
                                              {Lat, {"", "90", "30"}, 1, latitude, false},
                                              {Lat, {"", "95", "30"}, 2, latitude, false},
                                              {Lat, {"", "90", "61"}, 2, "Error: Latitude minutes must be between 0 and 60.", false},
                                              {Lon, {"", "180", "-0.001"}, 2, longitude, false, "0.001"},
                                              {Lon, {"", "-179", "60"}, 2, nullptr, true},
                                              {Lat, {"", "-90", "0"}, 1, nullptr, true},
                                          });
    ExpectVerdicts(&CheckDegreeMinuteSecondBox, {
                                                    {Lat, {"", "90", "0", "0"}, 3, nullptr, true},
                                                    {Lon, {"", "-180", "0", "0"}, 1, nullptr, true},
                                                    {Lon, {"", "-180", "0", "0.001"}, 3, longitude, false},
                                                    {Lat, {"", "89", "59", "60.001"}, 3,
                                                     "Error: Latitude minutes and seconds must be between 0 and 60.", false},
                                                    {Lat, {"", "89", "60", "1"}, 2, latitude, false},
                                                    {Lat, {"N", "90", "30", ""}, 0, nullptr, false},
                                                });
}

TEST(UtmBoxes, EastingAndNorthingBoundsIncludeTheirEnds) {
    for (const char* text : {"160000", "834000", ""}) EXPECT_FALSE(CheckEasting(text).refusal) << text;
    for (const char* text : {"159999.99", "834000.01", "abc"})
        EXPECT_EQ(CheckEasting(text).refusal, "Error: That is not a valid easting value.") << text;
    for (const char* text : {"0", "10000000", "-10000000", "-3749052"}) EXPECT_FALSE(CheckNorthing(text).refusal) << text;
    for (const char* text : {"-10000000.5", "10000000.5", "12a"})
        EXPECT_EQ(CheckNorthing(text).refusal, "Error: That is not a valid northing value.") << text;
    EXPECT_FALSE(CheckEasting("500000").recompute || CheckNorthing("0").recompute);
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
