// Reading whole positions from any text: nothing crashes, whatever is read
// lies within the field checks' bounds, and every text the writers produce
// reads back to its position within the written precision.
#include "values/values.h"
#include "convert/output_format.h"
#include "convert/position_text.h"
#include "fuzz_support.h"

using namespace quillet;
using quillet::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const std::string text = fuzz::Text(input);
    if (const std::optional<PositionText> read = ReadPositionText(text)) {
        if (read->notation == Utm)
            Require(read->utm.zone >= 1 && read->utm.zone <= 60 && read->utm.easting >= 160000 &&
                        read->utm.easting <= 834000 && std::fabs(read->utm.northing) <= 10000000,
                    "UTM within bounds", text);
        else
            Require(std::fabs(read->latitude) <= 90 && std::fabs(read->longitude) <= 180, "angles within bounds", text);
    }
    if (const std::optional<AngleValue> angle = ReadAngleText(text, true))
        Require(std::fabs(angle->value) <= 90, "a latitude within bounds", text);

    const auto notation = static_cast<InputFormat>(input.ConsumeIntegralInRange(0, 2));
    const bool letters = input.ConsumeBool();
    const UnitMarks marks = input.ConsumeBool() ? MarksWithUnits() : MarksWithoutUnits();
    const double latitude = input.ConsumeFloatingPointInRange(-90.0, 90.0);
    const double longitude = input.ConsumeFloatingPointInRange(-180.0, 180.0);
    // Half a unit of the last written place, in degrees, plus the rounding of
    // the arithmetic on the angle.
    const double half = notation == DegreesMinutesSeconds ? 0.0005 / 3600
                        : notation == DegreesMinutes      ? 0.000005 / 60
                                                          : 5e-8;
    const auto near = [&](double read, double value) {
        return std::fabs(read - value) <= half * (1 + 1e-9) + 1e-12 * std::fabs(value);
    };
    const LatLonTexts texts = FormatLatLon({latitude, longitude}, notation, letters, marks);
    const std::string line = *PositionLine(texts);
    const std::optional<PositionText> pair = ReadPositionText(line);
    Require(pair && pair->notation == notation, "a written position reads in its notation", line);
    Require(near(pair->latitude, latitude) && near(pair->longitude, longitude), "a written position reads back", line);
    const std::optional<AngleValue> alone = ReadAngleText(*texts.longitude, false);
    Require(alone && near(alone->value, longitude), "a written angle reads back",
            *texts.longitude);

    const UtmTexts utm = *FormatUtm({latitude, longitude});
    const std::string utmLine = *UtmLine(utm);
    const std::optional<PositionText> point = ReadPositionText(utmLine);
    Require(point && point->notation == Utm && utm.zone.starts_with(NumberToText(point->utm.zone) + ' ') &&
                NumberToText(point->utm.easting) == utm.easting && NumberToText(point->utm.northing) == utm.northing,
            "a written UTM point reads back", utmLine);
    return 0;
}
