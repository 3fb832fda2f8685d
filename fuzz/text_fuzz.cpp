// Whatever a person types: the boxes' checks give a verdict (never an
// exception), what they accept lies within its bounds, the numbers in the
// texts read and write back, and the texts read into a finite position that
// agrees with long double arithmetic.
#include "values/values.h"
#include "convert/direction_mode.h"
#include "convert/input_reading.h"
#include "fuzz_support.h"
#include "validate/field_checks.h"

#include <cstdlib>
#include <cstring>
#include <vector>

using namespace quillet;
using quillet::fuzz::Require;

namespace {

// A finite number is written in at most 15 significant digits that read back
// within half a unit of the 15th, and the text is a fixed point of writing.
void CheckWritten(double value) {
    std::string text;
    try {
        text = NumberToText(value);
    } catch (const ValueError& error) {
        Require(!std::isfinite(value) && error.kind() == ValueError::Kind::Overflow, "only inf and nan overflow");
        return;
    }
    Require(!fuzz::HasNanOrInf(text) && IsNumericText(text), "written text is a number", text);
    const double back = ParseNumber(text);
    Require(std::fabs(back - value) <= 5.3e-15 * std::fabs(value), "15 digits read back", text);
    Require(NumberToText(back) == text, "written text writes itself", text);
}

void CheckNumber(const std::string& text) {
    std::optional<double> parsed;
    try {
        parsed = ParseNumber(text);
    } catch (const ValueError& error) {
        Require(error.kind() == ValueError::Kind::TypeMismatch, "a text that is no number is a type mismatch");
    }
    Require(parsed.has_value() == IsNumericText(text), "IsNumericText agrees with ParseNumber", text);
    const double leading = LeadingNumber(text);
    Require(std::isfinite(leading) && (!parsed || *parsed == leading), "a whole number is its own leading number", text);
    CheckWritten(leading);
    const std::string upper = UpperText(text);
    Require(upper.size() == text.size() && upper.find_first_of("abcdefghijklmnopqrstuvwxyz") == std::string::npos,
            "upper case keeps the length", text);
}

bool Within(const std::string& text, double lowest, double highest) {
    return IsNumericText(text) && ParseNumber(text) >= lowest && ParseNumber(text) <= highest;
}

// The text a box keeps once the verdict is applied; nothing for a refusal.
std::optional<std::string> Kept(const FieldVerdict& verdict, const std::string& text) {
    if (!verdict.refusal) return verdict.rewrite.value_or(text);
    Require(verdict.refusal->rfind("Error: ", 0) == 0 && verdict.refusal->back() == '.', "a refusal's form",
            *verdict.refusal);
    return std::nullopt;
}

void CheckAngleBoxes(const AngleTexts& angle, InputFormat notation, bool latitude) {
    const std::vector<std::string> texts = {angle.direction, angle.degrees, angle.minutes, angle.seconds};
    const auto check = notation == DegreesMinutesSeconds ? CheckDegreeMinuteSecondBox
                       : notation == DegreesMinutes      ? CheckDegreeMinuteBox
                                                         : CheckDecimalDegreeBox;
    const int count = 4 - notation;
    const Coordinate coordinate = latitude ? Coordinate::Latitude : Coordinate::Longitude;
    for (int left = 0; left < count; ++left) {
        const FieldVerdict verdict = check(coordinate, left, std::span(texts.data(), static_cast<std::size_t>(count)));
        Require(!verdict.rewrite || left != 1, "the degree box is never rewritten");
        const std::optional<std::string> kept = Kept(verdict, texts[left]);
        if (!kept || kept->empty()) continue;
        if (left == 0)
            Require(*kept == (latitude ? "N" : "E") || *kept == (latitude ? "S" : "W"), "an accepted letter", *kept);
        else if (left == 1)
            Require(Within(*kept, latitude ? -90 : -180, latitude ? 90 : 180), "accepted degrees within bounds", *kept);
        else
            Require(Within(*kept, 0, 60), "accepted minutes and seconds within 0..60", *kept);
    }
}

// The sexagesimal angle in long double arithmetic, read by the C library,
// for plain decimal numerals.
void CheckAgainstLongDouble(const AngleTexts& texts, InputFormat notation, const char* negative, double read) {
    const auto plain = [](const std::string& text) {
        return !text.empty() && text.find_first_of(" \t\r\n") == std::string::npos && IsNumericText(text) &&
               std::fabs(ParseNumber(text)) < 1e30;
    };
    const bool seconds = notation == DegreesMinutesSeconds;
    if (!plain(texts.degrees) || !plain(texts.minutes) || (seconds && !plain(texts.seconds))) return;
    const long double degrees = std::strtold(texts.degrees.c_str(), nullptr);
    long double magnitude = std::fabs(degrees) + std::strtold(texts.minutes.c_str(), nullptr) / 60;
    if (seconds) magnitude += std::strtold(texts.seconds.c_str(), nullptr) / 3600;
    const bool south = UpperText(texts.direction) == negative;
    const long double expected = south != std::signbit(degrees) ? -magnitude : magnitude;
    Require(std::fabs(read - expected) <= 1e-12L * (1 + std::fabs(expected)), "sexagesimal reading",
            texts.degrees + " " + texts.minutes + " " + texts.seconds);
}

// Signed degrees carried into a letter and back keep their value.
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
    if (size >= sizeof(double)) {
        double raw = 0;
        std::memcpy(&raw, data, sizeof raw);
        CheckWritten(raw);
    }
    FuzzedDataProvider input(data, size);
    InputTexts texts;
    texts.notation = static_cast<InputFormat>(input.ConsumeIntegralInRange(0, kInputFormatCount - 1));
    for (AngleTexts* angle : {&texts.latitude, &texts.longitude}) {
        angle->direction = input.ConsumeBool() ? fuzz::Text(input) : std::string(input.PickValueInArray({"N", "S", "e", "W"}));
        if (texts.notation == Utm) continue;
        angle->degrees = fuzz::Text(input);
        if (texts.notation <= DegreesMinutes) angle->minutes = fuzz::Text(input);
        if (texts.notation == DegreesMinutesSeconds) angle->seconds = fuzz::Text(input);
    }
    if (texts.notation == Utm) {
        texts.easting = fuzz::Text(input);
        texts.northing = fuzz::Text(input);
        texts.zone = fuzz::Text(input);
        const auto accepted = [](const FieldVerdict& verdict, const std::string& text, double lowest, double highest) {
            const std::optional<std::string> box = Kept(verdict, text);
            Require(!box || box->empty() || Within(*box, lowest, highest), "accepted UTM within bounds", text);
            return box;
        };
        accepted(CheckEasting(texts.easting), texts.easting, 160000, 834000);
        accepted(CheckNorthing(texts.northing), texts.northing, -1e7, 1e7);
        const std::optional<std::string> zone =
            accepted(CheckZone(texts.zone, texts.easting, texts.northing), texts.zone, 1, 60);
        Require(!zone || zone->find_first_not_of("0123456789") == std::string::npos, "a zone in digits only", *zone);
    } else {
        CheckAngleBoxes(texts.latitude, texts.notation, true);
        CheckAngleBoxes(texts.longitude, texts.notation, false);
    }
    for (const std::string& text : {texts.latitude.direction, texts.latitude.degrees, texts.latitude.minutes,
                                    texts.longitude.seconds, texts.easting, texts.northing, texts.zone})
        CheckNumber(text);
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
