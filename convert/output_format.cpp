#include "convert/output_format.h"

#include "values/values.h"
#include "geodesy/utm.h"

#include <cmath>

namespace quillet {

namespace {

// The magnitude of an angle written in one notation, without sign or letter.
std::string Body(double magnitude, InputFormat notation, const UnitMarks& marks) {
    if (notation == DecimalDegrees) return NumberToText(RoundHalfEven(magnitude, 7)) + marks.degree;

    // Whole degrees and minutes are 16-bit, as the program always held them.
    int degrees = ToShortInt(FloorOf(magnitude));
    const double rawMinutes = (magnitude - degrees) * 60;
    if (notation == DegreesMinutes) {
        double minutes = RoundHalfEven(rawMinutes, 5);
        if (minutes >= 60) {  // 10.99999999 is 11° 0', not 10° 60'
            minutes -= 60;
            degrees = CheckedShort(degrees + 1LL);
        }
        return std::to_string(degrees) + marks.degree + NumberToText(minutes) + marks.minute;
    }
    int minutes = ToShortInt(FloorOf(rawMinutes));
    double seconds = RoundHalfEven((rawMinutes - minutes) * 60, 3);
    if (seconds >= 60) {
        seconds -= 60;
        ++minutes;
    }
    if (minutes >= 60) {
        minutes -= 60;
        degrees = CheckedShort(degrees + 1LL);
    }
    return std::to_string(degrees) + marks.degree + std::to_string(minutes) + marks.minute + NumberToText(seconds) +
           marks.second;
}

std::string Angle(double value, InputFormat notation, bool directionLetters, const UnitMarks& marks,
                  const char* letters) {
    const bool negative = value < 0;
    if (directionLetters)
        return std::string(1, negative ? letters[0] : letters[1]) + ' ' + Body(std::fabs(value), notation, marks);
    // Signed decimal degrees round the value itself, so a magnitude that
    // rounds to 0 is written 0, never -0.
    if (notation == DecimalDegrees) return NumberToText(RoundHalfEven(value, 7)) + marks.degree;
    return (negative ? "-" : "") + Body(std::fabs(value), notation, marks);
}

}  // namespace

LatLonTexts FormatLatLon(const Position& position, InputFormat notation, bool directionLetters,
                         const UnitMarks& marks) {
    LatLonTexts texts;
    if (position.latitude) texts.latitude = Angle(*position.latitude, notation, directionLetters, marks, "SN");
    if (position.longitude) texts.longitude = Angle(*position.longitude, notation, directionLetters, marks, "WE");
    return texts;
}

std::optional<UtmTexts> FormatUtm(const Position& position, int zone) {
    if (!position.latitude || !position.longitude) return std::nullopt;
    const UtmCoordinates utm = zone == 0 ? LatLonToUtm(*position.latitude, *position.longitude)
                                         : LatLonToUtmInZone(*position.latitude, *position.longitude, zone);
    return UtmTexts{NumberToText(RoundHalfEven(utm.easting, 0)), NumberToText(RoundHalfEven(utm.northing, 0)),
                    NumberToText(utm.zoneNumber) + ' ' + ZoneLetter(*position.latitude)};
}

std::optional<UtmTexts> FormatReceiverUtm(const Position& position, int zone) {
    std::optional<UtmTexts> texts = FormatUtm(position, zone);
    // Added to the whole metres already written, so the digits are exact and
    // agree with the window's northing.
    if (texts && *position.latitude < 0) texts->northing = NumberToText(ParseNumber(texts->northing) + kFalseNorthing);
    return texts;
}

namespace {

std::string_view WithoutTrailingBlanks(std::string_view text) {
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

// The pieces joined in one string, built once: the converter writes a
// line like this for every position it reads.
std::string Joined(std::initializer_list<std::string_view> pieces) {
    std::size_t size = 0;
    for (const std::string_view piece : pieces) size += piece.size();
    std::string line;
    line.reserve(size);
    for (const std::string_view piece : pieces) line.append(piece);
    return line;
}

}  // namespace

std::optional<std::string> PositionLine(const LatLonTexts& texts) {
    if (!texts.latitude || !texts.longitude) return std::nullopt;
    const std::string_view latitude = WithoutTrailingBlanks(*texts.latitude);
    const std::string_view longitude = WithoutTrailingBlanks(*texts.longitude);
    if (latitude.empty() || longitude.empty()) return std::nullopt;
    return Joined({latitude, ", ", longitude});
}

std::optional<std::string> UtmLine(const UtmTexts& texts) {
    const std::string_view zone = WithoutTrailingBlanks(texts.zone);
    if (zone.empty() || texts.easting.empty() || texts.northing.empty()) return std::nullopt;
    return Joined({zone, " ", texts.easting, " ", texts.northing});
}

}  // namespace quillet
