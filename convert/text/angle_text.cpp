#include "convert/text/angle_text.h"

#include "values/values.h"

#include <algorithm>
#include <cmath>

namespace quillet::text {

namespace {

// The mark a letter glued to a number stands for, or -1: "d", "m", and "s"
// for seconds only in lower case after minutes written "m" ("41d53m24s");
// a capital S after a number is South ("50d4m17.698S").
int LetterMark(const Token& token, bool lettersMarkMinutes) {
    if (token.letter == 'D') return 0;
    if (token.letter == 'M') return 1;
    if (token.letter == 'S' && token.lower && lettersMarkMinutes) return 2;
    return -1;
}

// Whether the tokens hold a mark: asked only where a colon is met, which
// is rare, so that marked angles pay nothing for it.
bool HasMark(Tokens tokens) {
    for (const Token& token : tokens)
        if (token.kind == Token::Mark) return true;
    return false;
}

}  // namespace

bool IsLatitudeLetter(char letter) { return letter == 'N' || letter == 'S'; }

bool WithinBound(double value, bool latitude) { return std::fabs(value) <= (latitude ? 90 : 180); }

InputFormat NotationOf(int parts) {
    return parts == 3 ? DegreesMinutesSeconds : parts == 2 ? DegreesMinutes : DecimalDegrees;
}

std::string BeyondBound(double value, bool latitude) {
    return std::string(latitude ? "latitude " : "longitude ") + NumberToText(RoundHalfEven(value, 6)) + " is beyond " +
           (value < 0 ? "-" : "") + (latitude ? "90\u00B0" : "180\u00B0");
}

std::optional<Angle> ReadAngle(Tokens tokens, std::string* why) {
    Angle angle;
    std::size_t at = 0;
    const std::size_t size = tokens.size();
    const auto next = [&](Token::Kind kind) { return at < size && tokens[at].kind == kind; };
    if (next(Token::Letter)) {
        if (!IsHemisphereLetter(tokens[at].letter)) return std::nullopt;
        angle.letter = tokens[at++].letter;
    }
    double parts[3] = {0, 0, 0};
    bool lettersMarkMinutes = false;
    const Token* first = nullptr;
    const Token* last = nullptr;
    while (next(Token::Number)) {
        if (angle.parts == 3) return std::nullopt;
        const Token& number = tokens[at++];
        if (angle.parts > 0 && (number.signedNumber || last->fraction)) return std::nullopt;
        if (!first) first = &number;
        last = &number;
        parts[angle.parts] = number.magnitude;
        if (next(Token::Mark)) {
            if (tokens[at++].mark != angle.parts) return std::nullopt;
        } else if (next(Token::Colon)) {
            // "40:26:46": a colon stands for the mark of its number, and a
            // number follows it; no mark before or after.
            if (HasMark(tokens.first(at++))) return std::nullopt;
            if (!next(Token::Number) || (at + 1 < size && tokens[at + 1].kind == Token::Mark)) return std::nullopt;
        } else if (next(Token::Letter) && tokens[at].glued) {
            const int mark = LetterMark(tokens[at], lettersMarkMinutes);
            if (mark >= 0) {
                if (mark != angle.parts) return std::nullopt;
                lettersMarkMinutes = mark == 1;
                ++at;
            }
        }
        ++angle.parts;
    }
    if (angle.parts == 0) return std::nullopt;
    if (next(Token::Letter) && !angle.letter && IsHemisphereLetter(tokens[at].letter)) angle.letter = tokens[at++].letter;
    if (at != size) return std::nullopt;
    // Minus and a letter together would each say which side: too unclear.
    if (first->negative && angle.letter) return std::nullopt;
    // Up to sixty minutes or seconds, as the boxes take them.
    if (parts[1] > 60 || parts[2] > 60) {
        if (why) {
            const bool minutes = parts[1] > 60;
            *why = NumberToText(minutes ? parts[1] : parts[2]) + (minutes ? " minutes" : " seconds") +
                   " are more than 60";
        }
        return std::nullopt;
    }
    const double magnitude = parts[0] + (parts[2] / 60 + parts[1]) / 60;
    const bool negative = first->negative || angle.letter == 'S' || angle.letter == 'W';
    angle.value = negative ? -magnitude : magnitude;
    return angle;
}

namespace {

// Two angles split at `at`, a comma or semicolon allowed between them. Where
// both have an angle's shape but one is out of bounds, `why` (when given)
// says which.
std::optional<PositionText> ReadPairAt(Tokens tokens, std::size_t at, std::string* why) {
    Tokens second = tokens.subspan(at);
    if (second.front().kind == Token::Separator) second = second.subspan(1);
    // An angle begins with a number or a letter: a split anywhere else
    // cannot be read, and its first half need not be tried.
    if (second.empty() || (second.front().kind != Token::Number && second.front().kind != Token::Letter))
        return std::nullopt;
    // An angle's first number is its degrees, right after its letter: a
    // split before minutes or seconds, or before a closing letter, cannot
    // be read (most splits of a marked pair end here).
    const std::size_t degrees = second.front().kind == Token::Letter;
    if (degrees >= second.size() || second[degrees].kind != Token::Number ||
        (degrees + 1 < second.size() && second[degrees + 1].kind == Token::Mark && second[degrees + 1].mark != 0))
        return std::nullopt;
    // "24s" after "53m" is seconds, never the letter of the angle after it.
    const Token& start = second.front();
    if (start.kind == Token::Letter && start.glued && start.lower && start.letter == 'S' && at >= 2 &&
        tokens[at - 2].kind == Token::Letter && tokens[at - 2].letter == 'M')
        return std::nullopt;
    // Most splits fail on their first half: the second is then never read.
    std::optional<Angle> one, two;
    if (!why) {
        if (!(one = ReadAngle(tokens.first(at), nullptr)) || !(two = ReadAngle(second, nullptr))) return std::nullopt;
    } else {
        std::string oneWhy, twoWhy;
        one = ReadAngle(tokens.first(at), &oneWhy);
        if (!one && oneWhy.empty()) return std::nullopt;
        two = ReadAngle(second, &twoWhy);
        if (!one || !two) {
            if (two || !twoWhy.empty()) *why = oneWhy.empty() ? twoWhy : oneWhy;  // both have an angle's shape
            return std::nullopt;
        }
    }
    // Marks after one angle's degrees and a colon after the other's
    // ("1\u22182\u201B3: 0"): no one writes a pair so, and no split of it
    // is what was meant.
    if (degrees + 1 < second.size()) {
        const Token::Kind twoAfter = second[degrees + 1].kind;
        if (twoAfter == Token::Mark || twoAfter == Token::Colon) {
            // The text's first three tokens, which the two angles hold.
            const Token::Kind oneAfter = tokens[tokens[0].kind == Token::Letter ? 2 : 1].kind;
            if ((oneAfter == Token::Mark || oneAfter == Token::Colon) && oneAfter != twoAfter) return std::nullopt;
        }
    }
    // Latitude first, unless the letters say otherwise.
    bool firstIsLatitude = true;
    if (one->letter && two->letter) {
        if (IsLatitudeLetter(one->letter) == IsLatitudeLetter(two->letter)) return std::nullopt;
        firstIsLatitude = IsLatitudeLetter(one->letter);
    } else if (one->letter) {
        firstIsLatitude = IsLatitudeLetter(one->letter);
    } else if (two->letter) {
        firstIsLatitude = !IsLatitudeLetter(two->letter);
    }
    PositionText position;
    position.notation = NotationOf(std::max(one->parts, two->parts));
    position.latitude = firstIsLatitude ? one->value : two->value;
    position.longitude = firstIsLatitude ? two->value : one->value;
    if (!WithinBound(position.latitude, true) || !WithinBound(position.longitude, false)) {
        const bool latitude = !WithinBound(position.latitude, true);
        const double value = latitude ? position.latitude : position.longitude;
        // Thousands of degrees are no degrees meant ("4060.0N": packed minutes of 60).
        if (why && std::fabs(value) < 1000) *why = BeyondBound(value, latitude);
        return std::nullopt;
    }
    return position;
}

// Every split of the tokens into two angles: one place, two (Ambiguous), or
// none, with (when `reasons` is asked for) the reason of the first split
// that has a pair's shape.
PositionReading ReadSplits(Tokens tokens, bool reasons) {
    PositionReading reading;
    std::string reason, why;
    for (std::size_t at = 1; at < tokens.size(); ++at) {
        why.clear();
        if (std::optional<PositionText> pair = ReadPairAt(tokens, at, reasons ? &why : nullptr)) {
            if (reading.position && (pair->latitude != reading.position->latitude ||
                                     pair->longitude != reading.position->longitude)) {
                reading.failure = ReadFailure::Ambiguous;
                reading.why = TwoReadings(*reading.position, *pair);
                reading.position.reset();
                return reading;
            }
            reading.position = pair;
            reading.failure = ReadFailure::None;
        } else if (reason.empty() && !why.empty()) {
            reason.swap(why);
        }
    }
    if (!reading.position && !reason.empty()) {
        reading.failure = ReadFailure::Refused;
        reading.why = reason;
    }
    return reading;
}

// The splits without reasons first: a text that gives a place needs none,
// and most texts read give one.
PositionReading ReadSplits(Tokens tokens) {
    PositionReading reading = ReadSplits(tokens, false);
    if (reading.position || reading.failure == ReadFailure::Ambiguous) return reading;
    return ReadSplits(tokens, true);
}

}  // namespace

std::string PlaceText(const PositionText& place) {
    if (place.notation == Utm)
        return NumberToText(place.utm.zone) + " " + NumberToText(place.utm.easting) + " " +
               NumberToText(place.utm.northing);
    return NumberToText(RoundHalfEven(place.latitude, 6)) + ", " + NumberToText(RoundHalfEven(place.longitude, 6));
}

std::string TwoReadings(const PositionText& one, const PositionText& other) {
    return PlaceText(one) + " or " + PlaceText(other);
}

PositionReading ReadPair(Tokens tokens) {
    PositionReading reading = ReadSplits(tokens);
    // A height after a pair closed by its letter, as cs2cs writes it. "41d53m24s
    // 12d30m0s 5": a seconds "s" closes no pair.
    const std::size_t n = tokens.size();
    if (reading.failure == ReadFailure::Ambiguous || n < 4 || tokens[n - 1].kind != Token::Number) return reading;
    const Token& letter = tokens[n - 2];
    if (letter.kind != Token::Letter || !IsHemisphereLetter(letter.letter) ||
        (letter.letter == 'S' && letter.lower && letter.glued))
        return reading;
    PositionReading height = ReadSplits(tokens.first(n - 1));
    if (reading.position && height.failure == ReadFailure::Ambiguous) {
        reading = height;
    } else if (reading.position && height.position &&
               (height.position->latitude != reading.position->latitude ||
                height.position->longitude != reading.position->longitude)) {
        reading.failure = ReadFailure::Ambiguous;
        reading.why = TwoReadings(*reading.position, *height.position);
        reading.position.reset();
    } else if (!reading.position && (height.failure != ReadFailure::NotAPosition || reading.why.empty())) {
        reading = height;
    }
    return reading;
}

}  // namespace quillet::text
