// Reading input texts into a position, in every notation, and carrying a
// typed angle between signed and direction entry.
#include "values/values.h"
#include "convert/direction_mode.h"
#include "convert/input_reading.h"
#include "fuzz_support.h"

#include <cstdlib>

using namespace quillet;
using quillet::fuzz::Require;

namespace {

// A plain decimal numeral, so that strtold can be the independent reader.
bool IsPlainNumeral(const std::string& text) {
    return !text.empty() && text.find_first_of(" \t\r\n") == std::string::npos && IsNumericText(text) &&
           std::fabs(ParseNumber(text)) < 1e30;
}

// The sexagesimal angle in long double arithmetic, read by the C library.
void CheckAgainstLongDouble(const AngleTexts& texts, InputFormat notation, const char* negative, double read) {
    const bool seconds = notation == DegreesMinutesSeconds;
    if (!IsPlainNumeral(texts.degrees) || !IsPlainNumeral(texts.minutes) || (seconds && !IsPlainNumeral(texts.seconds)))
        return;
    const long double degrees = std::strtold(texts.degrees.c_str(), nullptr);
    long double magnitude = std::fabs(degrees) + std::strtold(texts.minutes.c_str(), nullptr) / 60;
    if (seconds) magnitude += std::strtold(texts.seconds.c_str(), nullptr) / 3600;
    const bool south = UpperText(texts.direction) == negative;
    const long double expected = south != std::signbit(degrees) ? -magnitude : magnitude;
    Require(std::fabs(read - expected) <= 1e-12L * (1 + std::fabs(expected)), "sexagesimal reading",
            texts.degrees + " " + texts.minutes + " " + texts.seconds);
}

void CheckDirectionRoundTrip(const std::string& degrees, HemisphereLetters letters) {
    if (degrees.empty() || !IsNumericText(degrees)) return;
    const double value = ParseNumber(degrees);
    const AngleEntry lettered = ToDirectionEntry({"", degrees}, letters);
    Require(value == 0 || lettered.direction == (value < 0 ? letters.negative : letters.positive), "letter of the sign");
    const AngleEntry back = ToSignedEntry(lettered, letters);
    Require(back.direction.empty() && IsNumericText(back.degrees), "signed entry is a number", back.degrees);
    Require(std::fabs(ParseNumber(back.degrees) - value) <= 5.3e-15 * std::fabs(value),
            "letter and back keeps the value", degrees + " -> " + back.degrees);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    InputTexts texts;
    texts.notation = static_cast<InputFormat>(input.ConsumeIntegralInRange(0, kInputFormatCount - 1));
    for (AngleTexts* angle : {&texts.latitude, &texts.longitude}) {
        angle->direction = input.ConsumeBool() ? fuzz::Text(input) : std::string(input.PickValueInArray({"N", "S", "e", "W"}));
        angle->degrees = fuzz::Text(input);
        angle->minutes = fuzz::Text(input);
        angle->seconds = fuzz::Text(input);
    }
    texts.easting = fuzz::Text(input);
    texts.northing = fuzz::Text(input);
    texts.zone = fuzz::Text(input);
    if (texts.notation == DecimalDegrees || texts.notation == DegreesMinutes) {
        texts.latitude.seconds.clear();
        texts.longitude.seconds.clear();
    }
    if (texts.notation == DecimalDegrees) {
        texts.latitude.minutes.clear();
        texts.longitude.minutes.clear();
    }

    Position position;
    try {
        position = ReadPosition(texts);
    } catch (const ValueError&) {
        return 0;  // the program's own error; anything else escapes and is a finding
    }
    for (const std::optional<double>& value : {position.latitude, position.longitude})
        Require(!value || std::isfinite(*value), "a read coordinate is finite");

    const auto given = [&](const AngleTexts& angle) {
        switch (texts.notation) {
        case DegreesMinutes: return !angle.degrees.empty() || !angle.minutes.empty();
        case Utm: return !texts.easting.empty() && !texts.northing.empty() && !texts.zone.empty();
        default: return !angle.degrees.empty();
        }
    };
    Require(position.latitude.has_value() == given(texts.latitude), "latitude present when given");
    Require(position.longitude.has_value() == given(texts.longitude), "longitude present when given");

    if (texts.notation == DegreesMinutesSeconds || texts.notation == DegreesMinutes) {
        if (position.latitude) CheckAgainstLongDouble(texts.latitude, texts.notation, "S", *position.latitude);
        if (position.longitude) CheckAgainstLongDouble(texts.longitude, texts.notation, "W", *position.longitude);
    }
    CheckDirectionRoundTrip(texts.latitude.degrees, kLatitudeLetters);
    CheckDirectionRoundTrip(texts.longitude.degrees, kLongitudeLetters);
    return 0;
}
