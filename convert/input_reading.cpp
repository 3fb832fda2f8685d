#include "convert/input_reading.h"

#include "values/values.h"
#include "geodesy/utm.h"

#include <cmath>

namespace quillet {

namespace {

double Finite(double value) {
    if (!std::isfinite(value)) throw ValueError(ValueError::Kind::Overflow);
    return value;
}

// The sign of a sexagesimal angle: the letter for negative, then a minus on
// the degrees; both together cancel out. "-0" counts as a minus, so that
// -0° 30', as the program writes half a degree south, reads back as south.
double Signed(double magnitude, const AngleTexts& texts, const char* negativeLetter) {
    double value = magnitude;
    if (UpperText(texts.direction) == negativeLetter) value = -value;
    if (!texts.degrees.empty() && std::signbit(LeadingNumber(texts.degrees))) value = -value;
    return value;
}

std::optional<double> ReadDegreesMinutesSeconds(const AngleTexts& texts, const char* negativeLetter) {
    if (texts.degrees.empty()) return std::nullopt;
    const double magnitude = std::fabs(LeadingNumber(texts.degrees)) +
                             ((LeadingNumber(texts.seconds) / 60 + LeadingNumber(texts.minutes)) / 60);
    return Finite(Signed(magnitude, texts, negativeLetter));
}

std::optional<double> ReadDegreesMinutes(const AngleTexts& texts, const char* negativeLetter) {
    if (texts.degrees.empty() && texts.minutes.empty()) return std::nullopt;
    const double magnitude = std::fabs(LeadingNumber(texts.degrees)) + LeadingNumber(texts.minutes) / 60;
    return Finite(Signed(magnitude, texts, negativeLetter));
}

// The sign typed in the box is part of the number already; only the letter
// for negative turns it round.
std::optional<double> ReadDecimalDegrees(const AngleTexts& texts, const char* negativeLetter) {
    if (texts.degrees.empty()) return std::nullopt;
    const double value = ParseNumber(texts.degrees);
    return UpperText(texts.direction) == negativeLetter ? -value : value;
}

}  // namespace

Position ReadPosition(const InputTexts& texts) {
    switch (texts.notation) {
    case DegreesMinutesSeconds:
        return {ReadDegreesMinutesSeconds(texts.latitude, "S"), ReadDegreesMinutesSeconds(texts.longitude, "W")};
    case DegreesMinutes:
        return {ReadDegreesMinutes(texts.latitude, "S"), ReadDegreesMinutes(texts.longitude, "W")};
    case DecimalDegrees:
        return {ReadDecimalDegrees(texts.latitude, "S"), ReadDecimalDegrees(texts.longitude, "W")};
    case Utm: {
        if (texts.northing.empty() || texts.easting.empty() || texts.zone.empty()) return {};
        const std::int16_t zone = ToShortInt(texts.zone);
        const double easting = ParseNumber(texts.easting);
        const double northing = ParseNumber(texts.northing);
        const LatLon position = UtmToLatLon(northing, easting, zone);
        return {position.latitude, position.longitude};
    }
    }
    return {};
}

}  // namespace quillet
