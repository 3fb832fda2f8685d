// What the window writes is something a person can type back: every written
// latitude and longitude, its parts typed into the boxes of its notation, is
// accepted by every box's check and reads back as the same position within
// the precision written.
#include "convert/input_reading.h"
#include "convert/output_format.h"
#include "validate/field_checks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace quillet;

// The written text cut into the boxes: direction letter, degrees, minutes, seconds.
std::vector<std::string> Boxes(std::string written, bool letters, int parts) {
    for (char& c : written)  // the marks, the two bytes of the degree sign among them
        if (c == '\'' || c == '"' || c == '\xC2' || c == '\xB0') c = ' ';
    std::istringstream words(written);
    std::vector<std::string> boxes(letters ? 0 : 1);
    for (std::string word; words >> word;) boxes.push_back(word);
    boxes.resize(parts + 1);
    return boxes;
}

AngleTexts Angle(std::vector<std::string> boxes) {
    boxes.resize(4);
    return {boxes[0], boxes[1], boxes[2], boxes[3]};
}

TEST(WrittenPositions, TypedBackAreAcceptedAndGiveThePositionWithinTheWrittenPrecision) {
    using CheckFn = FieldVerdict (*)(Coordinate, int, std::span<const std::string>);
    const struct { InputFormat notation; CheckFn check; int parts; double precision; } notations[] = {
        {DegreesMinutesSeconds, &CheckDegreeMinuteSecondBox, 3, 0.5e-3 / 3600},
        {DegreesMinutes, &CheckDegreeMinuteBox, 2, 0.5e-5 / 60}, {DecimalDegrees, &CheckDecimalDegreeBox, 1, 0.5e-7}};
    std::vector<double> latitudes = {90, -90, 89.99999999999, -89.9999999999, 0, -1e-9, -0.5, 10.99999999, 45.00000001};
    for (int i = 0; i <= 997; ++i) latitudes.push_back(std::fmin(90, -90 + 180.0 * i / 997 + 1e-7 * (i % 7)));
    for (const auto& n : notations)
        for (const bool letters : {false, true})
            for (const UnitMarks& marks : {MarksWithUnits(), MarksWithoutUnits()})
                for (const double latitude : latitudes) {
                    const double longitude = std::fmax(-180, std::fmin(180, 2 * latitude));
                    const LatLonTexts written = FormatLatLon({latitude, longitude}, n.notation, letters, marks);
                    const std::vector<std::string> lat = Boxes(*written.latitude, letters, n.parts);
                    const std::vector<std::string> lon = Boxes(*written.longitude, letters, n.parts);
                    for (int box = 0; box <= n.parts; ++box) {
                        ASSERT_FALSE(n.check(Coordinate::Latitude, box, lat).refusal) << *written.latitude;
                        ASSERT_FALSE(n.check(Coordinate::Longitude, box, lon).refusal) << *written.longitude;
                    }
                    const Position read = ReadPosition({n.notation, Angle(lat), Angle(lon), "", "", ""});
                    ASSERT_NEAR(*read.latitude, latitude, n.precision * (1 + 1e-9)) << *written.latitude;
                    ASSERT_NEAR(*read.longitude, longitude, n.precision * (1 + 1e-9)) << *written.longitude;
                }
}

}  // namespace
