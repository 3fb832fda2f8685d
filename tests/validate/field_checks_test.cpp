#include "validate/field_checks.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace quillet;

namespace {

constexpr auto Lat = Coordinate::Latitude;
constexpr auto Lon = Coordinate::Longitude;

// A coordinate's boxes, left at box `left`: two boxes are decimal degrees,
// three degrees and minutes, four degrees, minutes and seconds.
FieldVerdict Leave(Coordinate coordinate, std::vector<std::string> texts, int left) {
    const auto check = texts.size() == 2 ? CheckDecimalDegreeBox
                       : texts.size() == 3 ? CheckDegreeMinuteBox
                                           : CheckDegreeMinuteSecondBox;
    return check(coordinate, left, texts);
}

// Every message a check raises, each beside one case of the rule that raises it, and accepted
// texts at the rules' edges: what is rewritten, and whether leaving the box recomputes the output.
TEST(FieldChecks, EachRuleRefusesWithItsOwnMessageAndRewritesAndRecomputesAsItSays) {
    const char* latitude = "Error: Latitude degrees must be between -90 and 90.";
    const struct {
        FieldVerdict verdict;
        const char* refusal;
        bool recompute = false;
        const char* rewrite = "";
        int refusedElement = -1;  // the box left
    } cases[] = {
        {Leave(Lat, {"e", "", "", ""}, 0),
         "Error: You cannot have any direction other than North (N) or South (S) for latitude.", false, "E"},
        {Leave(Lon, {"N", "", ""}, 0),
         "Error: You cannot have any direction other than East (E) or West (W) for longitude."},
        {Leave(Lat, {"", "1e400", "", ""}, 1), latitude},
        {Leave(Lon, {"", "181", ""}, 1), "Error: Longitude degrees must be between -180 and 180."},
        {Leave(Lat, {"", "45abc"}, 1), "Error: Latitudes must be between -90 and 90 degrees."},
        {Leave(Lon, {"", "180.0000001"}, 1), "Error: Longitudes must be between -180 and 180 degrees."},
        {Leave(Lat, {"", "10", "60.001"}, 2), "Error: Latitude minutes must be between 0 and 60."},
        {Leave(Lon, {"", "10", "-75"}, 2), "Error: Longitude minutes must be between 0 and 60.", false, "75"},
        {Leave(Lat, {"", "90", "61", ""}, 2), "Error: Latitude minutes and seconds must be between 0 and 60."},
        {Leave(Lon, {"", "33", "5", "60.001"}, 3), "Error: Longitude minutes and seconds must be between 0 and 60."},
        {CheckEasting("159999.99"), "Error: That is not a valid easting value."},
        {CheckNorthing("12a"), "Error: That is not a valid northing value."},
        {CheckZone("12Z", "500000", "0"), "Error: A zone must be contain a number."},
        {CheckZone("61", "500000", "0"), "Error: You did not enter a valid zone."},
        {Leave(Lat, {"", "", "", ""}, 0), ""},
        {Leave(Lat, {"n", "45", ""}, 0), "", false, "N"},
        {Leave(Lat, {"", "-90"}, 1), "", true},
        {Leave(Lon, {"", "180"}, 1), "", true},
        {Leave(Lat, {"", "", "", ""}, 1), ""},
        {Leave(Lon, {"", "", "", ""}, 1), "", true},  // and so empties its output
        {Leave(Lat, {"", "10", "60"}, 2), "", true},
        {Leave(Lat, {"", "10", "-12.5"}, 2), "", true, "12.5"},
        {Leave(Lat, {"", "10", "-5x"}, 2), "", true, "5"},
        {Leave(Lat, {"", "10", "-0"}, 2), "", true},
        {Leave(Lat, {"", "", "30"}, 2), ""},  // minutes recompute only after numeric degrees
        {Leave(Lat, {"", "10", ""}, 2), ""},
        {Leave(Lat, {"", "33", "", ""}, 2), "", true},
        {Leave(Lat, {"", "33", "5", "60.0"}, 3), "", true},
        {Leave(Lat, {"", "33", "", "30"}, 3), ""},
        // Degrees, minutes and seconds together stay within the bound, read as
        // the converter reads them; each box's own rule comes first.
        {Leave(Lat, {"", "90", "0", "0"}, 3), "", true},
        {Leave(Lon, {"", "-180", "0", "0"}, 1), "", true},
        {Leave(Lon, {"", "-179", "60"}, 2), "", true},
        {Leave(Lat, {"", "90", "30"}, 1), latitude},
        {Leave(Lat, {"", "-89", "60", "1"}, 2), latitude},
        {Leave(Lon, {"", "180", "-0.001"}, 2), "Error: Longitude degrees must be between -180 and 180.", false, "0.001"},
        {Leave(Lat, {"", "90", "61"}, 2), "Error: Latitude minutes must be between 0 and 60."},
        {Leave(Lat, {"N", "90", "30", ""}, 0), ""},  // a letter is never held to it
        // A minus beside a direction letter would turn it round: refused in
        // each notation; signed entry has no letter and keeps its minus.
        {Leave(Lat, {"S", "-33.5"}, 1), "Error: Latitudes must be between -90 and 90 degrees."},
        {Leave(Lon, {"E", "-10", ""}, 1), "Error: Longitude degrees must be between -180 and 180."},
        {Leave(Lat, {"N", "-0", "30", ""}, 1), latitude},
        {Leave(Lat, {"", "-33.5"}, 1), "", true},
        {Leave(Lat, {"S", "33", "", ""}, 1), "", true},
        // The letter typed after the minus: the degrees are refused, where the minus is mended.
        {Leave(Lat, {"s", "-33.5"}, 0), "Error: Latitudes must be between -90 and 90 degrees.", false, "S", 1},
        {Leave(Lon, {"W", "-0", "5"}, 0), "Error: Longitude degrees must be between -180 and 180.", false, "", 1},
        {Leave(Lat, {"N", "-5", "1", "2"}, 0), latitude, false, "", 1},
        {Leave(Lat, {"x", "-5"}, 0), "Error: You cannot have any direction other than North (N) or South (S) for latitude.",
         false, "X"},
        {Leave(Lat, {"", "-5", "", ""}, 0), ""},
    };
    for (std::size_t row = 0; row < std::size(cases); ++row) {
        const FieldVerdict& verdict = cases[row].verdict;
        EXPECT_EQ(verdict.refusal.value_or(""), cases[row].refusal) << "row " << row;
        EXPECT_EQ(verdict.recompute, cases[row].recompute) << "row " << row;
        EXPECT_EQ(verdict.rewrite.value_or(""), cases[row].rewrite) << "row " << row;
        EXPECT_EQ(verdict.refusedElement.value_or(-1), cases[row].refusedElement) << "row " << row;
    }
}

TEST(FieldChecks, EveryLetterIsUpperCasedInEachDirectionBox) {
    for (char letter = 'a'; letter <= 'z'; ++letter)
        for (std::size_t boxes = 2; boxes <= 4; ++boxes) {
            std::vector<std::string> texts(boxes);
            texts[0] = std::string(1, letter);
            EXPECT_EQ(Leave(Lon, texts, 0).rewrite, std::string(1, static_cast<char>(letter - 'a' + 'A'))) << boxes;
        }
}

TEST(UtmBoxes, BoundsIncludeTheirEndsAndZonesAreDigitsFromOneToSixty) {
    for (const char* text : {"160000", "834000", ""}) EXPECT_FALSE(CheckEasting(text).refusal) << text;
    EXPECT_TRUE(CheckEasting("834000.01").refusal && CheckEasting("abc").refusal);
    for (const char* text : {"0", "10000000", "-10000000", ""}) EXPECT_FALSE(CheckNorthing(text).refusal) << text;
    EXPECT_TRUE(CheckNorthing("-10000000.5").refusal && CheckNorthing("10000000.5").refusal);
    EXPECT_FALSE(CheckEasting("500000").recompute || CheckNorthing("0").recompute);
    for (const char* zone : {"1", "01", "60", "0060"}) {
        EXPECT_FALSE(CheckZone(zone, "500000", "0").refusal) << zone;
        EXPECT_TRUE(CheckZone(zone, "x", "y").recompute) << zone;  // any text will do
    }
    // A receiver's band after the zone is the reader's to judge.
    for (const char* zone : {"56H", "56 h", "1C", "60X"}) EXPECT_TRUE(CheckZone(zone, "1", "2").recompute) << zone;
    for (const char* zone : {"0", "9999", "N", "-5", " 5", "1.5", "3 ", "56I", "56o", "56Z", "56  H", "61H", "H5"})
        EXPECT_TRUE(CheckZone(zone, "500000", "0").refusal) << zone;
    EXPECT_FALSE(CheckZone("", "500000", "0").refusal || CheckZone("", "500000", "0").recompute);
    EXPECT_FALSE(CheckZone("33", "500000", "").recompute || CheckZone("33", "", "0").recompute);
}

}  // namespace
