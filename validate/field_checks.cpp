#include "validate/field_checks.h"

#include "values/values.h"
#include "convert/input_reading.h"
#include "geodesy/utm.h"

#include <cmath>

namespace quillet {

namespace {

struct CoordinateRules {
    const char* letters[2];
    double degreeBound;
    const char* letterMessage;
};

const CoordinateRules& RulesOf(Coordinate coordinate) {
    static const CoordinateRules latitude{
        {"N", "S"}, 90, "Error: You cannot have any direction other than North (N) or South (S) for latitude."};
    static const CoordinateRules longitude{
        {"E", "W"}, 180, "Error: You cannot have any direction other than East (E) or West (W) for longitude."};
    return coordinate == Coordinate::Latitude ? latitude : longitude;
}

bool IsLatitude(Coordinate coordinate) { return coordinate == Coordinate::Latitude; }

// A non-empty number whose leading number lies within +-bound.
bool WithinBound(const std::string& text, double bound) {
    return IsNumericText(text) && std::fabs(LeadingNumber(text)) <= bound;
}

bool IsNonEmptyNumber(const std::string& text) { return !text.empty() && IsNumericText(text); }

// The steps every angle box shares: a direction letter is upper-cased and
// must be one of the coordinate's two letters; minutes and seconds lose a
// minus sign (and whatever follows their number). Returns the text the box
// holds afterwards.
std::string CommonSteps(Coordinate coordinate, int left, const std::string& text, bool hasSubdivisions,
                        FieldVerdict& verdict) {
    std::string current = text;
    if (left == 0 && !current.empty()) current = UpperText(current);
    if (hasSubdivisions && left >= 2 && !current.empty() && LeadingNumber(current) < 0)
        current = NumberToText(std::fabs(LeadingNumber(current)));
    if (current != text) verdict.rewrite = current;

    const CoordinateRules& rules = RulesOf(coordinate);
    if (left == 0 && !current.empty() && current != rules.letters[0] && current != rules.letters[1])
        verdict.refusal = rules.letterMessage;
    return current;
}

const char* DegreeMessage(Coordinate coordinate) {
    return IsLatitude(coordinate) ? "Error: Latitude degrees must be between -90 and 90."
                                  : "Error: Longitude degrees must be between -180 and 180.";
}

// Degrees, minutes and seconds each within their own range can still add up
// to a latitude past a pole (90° 30') or a longitude past the antimeridian.
// The sum is taken as the converter reads the boxes, with the left box's
// text as it stands after its rewrite. Only number boxes are held to it: a
// direction letter cannot mend the sum, so holding the focus there would
// trap it.
bool PassesBoundTogether(Coordinate coordinate, int left, const std::string& leftText,
                         std::span<const std::string> texts) {
    if (left == 0) return false;
    const auto number = [&](std::size_t element) {
        return LeadingNumber(static_cast<int>(element) == left ? leftText : texts[element]);
    };
    double magnitude = std::fabs(number(1));
    if (texts.size() > 3)
        magnitude += (number(3) / 60 + number(2)) / 60;
    else
        magnitude += number(2) / 60;
    return magnitude > RulesOf(coordinate).degreeBound;
}

// In direction entry a minus beside a letter would turn the letter round
// (the reader lets two negatives cancel), and no person means north by
// "S -33.5": the degrees are refused rather than read as the other
// hemisphere. Signed entry always has an empty letter box.
bool NegativeBesideLetter(Coordinate coordinate, const std::string& degrees, std::span<const std::string> texts) {
    const std::string letter = UpperText(texts[0]);
    const CoordinateRules& rules = RulesOf(coordinate);
    return (letter == rules.letters[0] || letter == rules.letters[1]) && std::signbit(LeadingNumber(degrees));
}

// The letter typed after the negative degrees: the same refusal, given to
// the degree box. Holding the letter box instead would trap the person, who
// mends the minus in the other box.
void RefuseDegreesBesideLetter(Coordinate coordinate, int left, std::span<const std::string> texts,
                               const char* message, FieldVerdict& verdict) {
    if (left != 0 || verdict.refusal || !IsNumericText(texts[1]) || !NegativeBesideLetter(coordinate, texts[1], texts))
        return;
    verdict.refusal = message;
    verdict.refusedElement = 1;
}

const char* DecimalDegreeMessage(Coordinate coordinate) {
    return IsLatitude(coordinate) ? "Error: Latitudes must be between -90 and 90 degrees."
                                  : "Error: Longitudes must be between -180 and 180 degrees.";
}

}  // namespace

FieldVerdict CheckDecimalDegreeBox(Coordinate coordinate, int left, std::span<const std::string> texts) {
    FieldVerdict verdict;
    const std::string text = CommonSteps(coordinate, left, texts[left], false, verdict);
    if (left == 1 && !text.empty()) {
        if (!WithinBound(text, RulesOf(coordinate).degreeBound) || NegativeBesideLetter(coordinate, text, texts))
            verdict.refusal = DecimalDegreeMessage(coordinate);
        else
            verdict.recompute = true;
    }
    RefuseDegreesBesideLetter(coordinate, left, texts, DecimalDegreeMessage(coordinate), verdict);
    return verdict;
}

FieldVerdict CheckDegreeMinuteBox(Coordinate coordinate, int left, std::span<const std::string> texts) {
    FieldVerdict verdict;
    const std::string text = CommonSteps(coordinate, left, texts[left], true, verdict);
    const bool latitude = IsLatitude(coordinate);
    if (left == 1 && !text.empty()) {
        if (!WithinBound(text, RulesOf(coordinate).degreeBound) || NegativeBesideLetter(coordinate, text, texts))
            verdict.refusal = DegreeMessage(coordinate);
        else
            verdict.recompute = true;
    } else if (left == 2 && !text.empty()) {
        if (!IsNumericText(text) || LeadingNumber(text) > 60)
            verdict.refusal = latitude ? "Error: Latitude minutes must be between 0 and 60."
                                       : "Error: Longitude minutes must be between 0 and 60.";
        else
            // The degrees need only be a number here; one beyond its range
            // is caught by the sum below.
            verdict.recompute = IsNonEmptyNumber(texts[1]);
    }
    if (!verdict.refusal && PassesBoundTogether(coordinate, left, text, texts)) {
        verdict.refusal = DegreeMessage(coordinate);
        verdict.recompute = false;
    }
    RefuseDegreesBesideLetter(coordinate, left, texts, DegreeMessage(coordinate), verdict);
    return verdict;
}

FieldVerdict CheckDegreeMinuteSecondBox(Coordinate coordinate, int left, std::span<const std::string> texts) {
    FieldVerdict verdict;
    const std::string text = CommonSteps(coordinate, left, texts[left], true, verdict);
    const bool latitude = IsLatitude(coordinate);
    if (left == 1) {
        if (!text.empty() &&
            (!WithinBound(text, RulesOf(coordinate).degreeBound) || NegativeBesideLetter(coordinate, text, texts)))
            verdict.refusal = DegreeMessage(coordinate);
        else
            // An empty longitude degree box recomputes too (and so empties
            // the longitude output); an empty latitude one does not.
            verdict.recompute = !latitude || IsNonEmptyNumber(text);
    } else if (left >= 2) {
        if (!text.empty() && !WithinBound(text, 60))
            verdict.refusal = latitude ? "Error: Latitude minutes and seconds must be between 0 and 60."
                                       : "Error: Longitude minutes and seconds must be between 0 and 60.";
        else if (left == 3)
            verdict.recompute = IsNonEmptyNumber(texts[1]) && IsNonEmptyNumber(texts[2]);
        else
            verdict.recompute = IsNonEmptyNumber(texts[1]);
    }
    if (!verdict.refusal && PassesBoundTogether(coordinate, left, text, texts)) {
        verdict.refusal = DegreeMessage(coordinate);
        verdict.recompute = false;
    }
    RefuseDegreesBesideLetter(coordinate, left, texts, DegreeMessage(coordinate), verdict);
    return verdict;
}

namespace {

FieldVerdict CheckMetres(const std::string& text, double lowest, double highest, const char* message) {
    FieldVerdict verdict;
    if (!text.empty() && !(IsNumericText(text) && ParseNumber(text) >= lowest && ParseNumber(text) <= highest))
        verdict.refusal = message;
    return verdict;
}

// The zone text with its first character that is not a digit replaced by a
// code-0 character. That character is no number, so "12N", "1.5" or "3 "
// are refused here, rather than passing this check and failing later, when
// the zone is converted.
std::string MarkFirstNonDigit(std::string text) {
    for (char& c : text)
        if (c < '0' || c > '9') {
            c = '\0';
            break;
        }
    return text;
}

}  // namespace

FieldVerdict CheckEasting(const std::string& text) {
    return CheckMetres(text, kLeastEasting, kGreatestEasting, "Error: That is not a valid easting value.");
}

FieldVerdict CheckNorthing(const std::string& text) {
    return CheckMetres(text, -kFalseNorthing, kFalseNorthing, "Error: That is not a valid northing value.");
}

FieldVerdict CheckZone(const std::string& zone, const std::string& easting, const std::string& northing) {
    FieldVerdict verdict;
    if (zone.empty()) return verdict;
    // The band letter a receiver writes after the zone is the reader's to
    // judge against the northing; the zone before it is held to the rule.
    const std::string marked = MarkFirstNonDigit(SplitZoneBand(zone).zone);
    if (!IsNumericText(marked)) {
        verdict.refusal = "Error: A zone must be contain a number.";
        return verdict;
    }
    const double number = FloorOf(ParseNumber(marked));
    if (number < 1 || number > 60)
        verdict.refusal = "Error: You did not enter a valid zone.";
    else
        verdict.recompute = !easting.empty() && !northing.empty();
    return verdict;
}

}  // namespace quillet
