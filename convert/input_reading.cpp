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

// Degrees and minutes read minutes alone too; the other notations need the
// degrees.
bool Gives(InputFormat notation, const AngleTexts& texts) {
    return !texts.degrees.empty() || (notation == DegreesMinutes && !texts.minutes.empty());
}

std::optional<double> ReadDegreesMinutesSeconds(const AngleTexts& texts, const char* negativeLetter) {
    if (!Gives(DegreesMinutesSeconds, texts)) return std::nullopt;
    const double magnitude = std::fabs(LeadingNumber(texts.degrees)) +
                             ((LeadingNumber(texts.seconds) / 60 + LeadingNumber(texts.minutes)) / 60);
    return Finite(Signed(magnitude, texts, negativeLetter));
}

std::optional<double> ReadDegreesMinutes(const AngleTexts& texts, const char* negativeLetter) {
    if (!Gives(DegreesMinutes, texts)) return std::nullopt;
    const double magnitude = std::fabs(LeadingNumber(texts.degrees)) + LeadingNumber(texts.minutes) / 60;
    return Finite(Signed(magnitude, texts, negativeLetter));
}

// The sign typed in the box is part of the number already; only the letter
// for negative turns it round.
std::optional<double> ReadDecimalDegrees(const AngleTexts& texts, const char* negativeLetter) {
    if (!Gives(DecimalDegrees, texts)) return std::nullopt;
    const double value = ParseNumber(texts.degrees);
    return UpperText(texts.direction) == negativeLetter ? -value : value;
}

// Allows a couple of metres for the whole metres a receiver writes near a
// band's edge.
bool InBand(double latitude, char band) {
    for (const double nudge : {0.0, -2e-5, 2e-5})
        if (ZoneLetter(latitude + nudge) == std::string(1, band)) return true;
    return false;
}

bool IsBandLetter(char letter) { return letter >= 'C' && letter <= 'X' && letter != 'I' && letter != 'O'; }

}  // namespace

ZoneBand SplitZoneBand(const std::string& text) {
    if (text.size() < 2) return {text};
    const char last = text.back();
    const char band = last >= 'a' && last <= 'z' ? static_cast<char>(last - 'a' + 'A') : last;
    std::size_t end = text.size() - 1;
    if (text[end - 1] == ' ') --end;
    if (!IsBandLetter(band) || end == 0 || text[end - 1] < '0' || text[end - 1] > '9') return {text};
    return {text.substr(0, end), band};
}

Position ReadPosition(const InputTexts& texts) {
    switch (texts.notation) {
    case DegreesMinutesSeconds:
        return {ReadDegreesMinutesSeconds(texts.latitude, "S"), ReadDegreesMinutesSeconds(texts.longitude, "W")};
    case DegreesMinutes:
        return {ReadDegreesMinutes(texts.latitude, "S"), ReadDegreesMinutes(texts.longitude, "W")};
    case DecimalDegrees:
        return {ReadDecimalDegrees(texts.latitude, "S"), ReadDecimalDegrees(texts.longitude, "W")};
    case Utm: {
        const std::optional<UtmPoint> point = ReadUtmPoint(texts);
        if (!point) return {};
        const LatLon position = UtmToLatLon(point->northing, point->easting, static_cast<std::int16_t>(point->zone));
        // A band letter the point does not lie in says the numbers are not
        // what the person meant: no place rather than a wrong one.
        if (const char band = SplitZoneBand(texts.zone).band; band && !InBand(position.latitude, band))
            throw ValueError(ValueError::Kind::OutOfReach);
        return {position.latitude, position.longitude};
    }
    }
    return {};
}

std::optional<UtmPoint> ReadUtmPoint(const InputTexts& texts) {
    if (texts.notation != Utm || !PresenceOf(texts).latitude) return std::nullopt;
    const ZoneBand zoneBand = SplitZoneBand(texts.zone);
    const std::int16_t zone = ToShortInt(zoneBand.zone);
    const double easting = ParseNumber(texts.easting);
    double northing = ParseNumber(texts.northing);
    // A southern band with a positive northing is a receiver's text, with the
    // false northing the boxes otherwise leave out.
    if (zoneBand.band && zoneBand.band <= 'M' && northing > 0) northing -= kFalseNorthing;
    return UtmPoint{zone, easting, northing};
}

Presence PresenceOf(const InputTexts& texts) {
    if (texts.notation == Utm) {
        const bool all = !texts.northing.empty() && !texts.easting.empty() && !texts.zone.empty();
        return {all, all};
    }
    return {Gives(texts.notation, texts.latitude), Gives(texts.notation, texts.longitude)};
}

}  // namespace quillet
