#include "convert/position_text.h"

#include "convert/mgrs.h"
#include "values/values.h"
#include "geodesy/exact_inverse.h"
#include "geodesy/utm.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <span>
#include <vector>

namespace quillet {

namespace {

// The pieces a text is cut into. Blanks only separate pieces; what they
// separate is remembered, since "7.68s" (seconds) and "7.68 s" differ.
struct Token {
    enum Kind { Number, Mark, Letter, Separator } kind;
    // Number: its magnitude, its sign, and whether it has a fraction. The
    // digits never hold a comma, so the number rules read them as they are.
    double magnitude = 0;
    bool negative = false;
    bool signedNumber = false;
    bool fraction = false;
    // Mark: 0 degrees, 1 minutes, 2 seconds.
    int mark = 0;
    // Letter: upper case; glued when it follows a number without a blank.
    char letter = 0;
    bool glued = false;
};

bool StartsWith(std::string_view text, std::size_t at, std::string_view piece) {
    // The first byte alone settles most tries without a call to memcmp.
    return at < text.size() && text[at] == piece.front() && text.substr(at, piece.size()) == piece;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Marks as people type and print them: ASCII, typographic primes, curly
// quotes, and the ordinal sign some fonts show for a degree.
struct Spelling {
    std::string_view text;
    int mark;
};
constexpr Spelling kMarks[] = {{"\u00B0", 0}, {"\u00BA", 0}, {"''", 2},       {"'", 1},       {"\u2032", 1},
                               {"\u2019", 1},  {"\"", 2},    {"\u2033", 2},    {"\u201D", 2}};
constexpr std::string_view kBlanks[] = {" ", "\t", "\u00A0"};
constexpr std::string_view kMinusSigns[] = {"-", "\u2212"};

// The tokens of the text, or nothing when it holds a character no position
// is written with, or a word of letters.
std::optional<std::vector<Token>> Tokens(std::string_view text) {
    std::vector<Token> tokens;
    tokens.reserve(16);  // a position has fewer: one allocation a text
    std::size_t at = 0;
    bool afterNumber = false;  // the previous piece is a number, with no blank since
    while (at < text.size()) {
        const auto matches = [&](std::string_view piece) {
            if (!StartsWith(text, at, piece)) return false;
            at += piece.size();
            return true;
        };
        const char c = text[at];
        // No blank, separator or mark begins with a digit or a letter: most
        // characters skip the spelling tables.
        const bool digitOrLetter = IsDigit(c) || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        if (!digitOrLetter) {
            bool blank = false;
            for (std::string_view spelling : kBlanks) blank = blank || matches(spelling);
            if (blank) {
                afterNumber = false;
                continue;
            }
            if (matches(",") || matches(";")) {
                tokens.push_back({Token::Separator});
                afterNumber = false;
                continue;
            }
            bool marked = false;
            for (const Spelling& spelling : kMarks)
                if (!marked && matches(spelling.text)) {
                    Token token{Token::Mark};
                    token.mark = spelling.mark;
                    tokens.push_back(token);
                    marked = true;
                }
            if (marked) {
                afterNumber = false;
                continue;
            }
        }
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) {
            ++at;
            if (at < text.size() && ((text[at] >= 'A' && text[at] <= 'Z') || (text[at] >= 'a' && text[at] <= 'z')))
                return std::nullopt;
            Token token{Token::Letter};
            token.letter = c >= 'a' ? static_cast<char>(c - 'a' + 'A') : c;
            token.glued = afterNumber;
            tokens.push_back(token);
            afterNumber = false;
            continue;
        }
        // A number: an optional sign right before the digits, digits with
        // at most one ".", and at least one digit. Two numbers need something
        // between them: "1.2.3" and "33-5" are no pair.
        if (afterNumber) return std::nullopt;
        Token token{Token::Number};
        for (std::string_view sign : kMinusSigns)
            if (!token.signedNumber && matches(sign)) token.signedNumber = token.negative = true;
        if (!token.signedNumber && matches("+")) token.signedNumber = true;
        const std::size_t start = at;
        std::size_t digits = 0;
        while (at < text.size() && (IsDigit(text[at]) || (text[at] == '.' && !token.fraction))) {
            if (text[at] == '.') token.fraction = true;
            else ++digits;
            ++at;
        }
        if (digits == 0) return std::nullopt;
        // Plain digits read directly; anything from_chars leaves over goes
        // through the number rules, which decide as before.
        const auto [end, error] = std::from_chars(text.data() + start, text.data() + at, token.magnitude);
        if (error != std::errc() || end != text.data() + at) token.magnitude = ParseNumber(text.substr(start, at - start));
        tokens.push_back(token);
        afterNumber = true;
    }
    return tokens;
}

using Span = std::span<const Token>;

// One angle read from its tokens: a letter before or after, up to three
// numbers (degrees, minutes, seconds) each with its own mark or none.
struct Angle {
    int parts = 0;
    double value = 0;
    char letter = 0;  // 'N', 'S', 'E', 'W', or 0 for none
};

bool IsHemisphere(char letter) { return letter == 'N' || letter == 'S' || letter == 'E' || letter == 'W'; }

std::optional<Angle> ReadAngle(Span tokens) {
    Angle angle;
    std::size_t at = 0;
    if (at < tokens.size() && tokens[at].kind == Token::Letter) {
        if (!IsHemisphere(tokens[at].letter)) return std::nullopt;
        angle.letter = tokens[at++].letter;
    }
    double parts[3] = {0, 0, 0};
    bool lettersMarkMinutes = false;  // "52m": then "7.68s" is seconds, not south
    const Token* first = nullptr;
    const Token* last = nullptr;
    while (at < tokens.size() && tokens[at].kind == Token::Number) {
        if (angle.parts == 3) return std::nullopt;
        const Token& number = tokens[at++];
        if (angle.parts > 0 && (number.signedNumber || last->fraction)) return std::nullopt;
        if (!first) first = &number;
        last = &number;
        parts[angle.parts] = number.magnitude;
        if (at < tokens.size() && tokens[at].kind == Token::Mark) {
            if (tokens[at++].mark != angle.parts) return std::nullopt;
        } else if (at < tokens.size() && tokens[at].kind == Token::Letter && tokens[at].glued) {
            const char letter = tokens[at].letter;
            const int mark = letter == 'D' ? 0 : letter == 'M' ? 1 : letter == 'S' && lettersMarkMinutes ? 2 : -1;
            if (mark >= 0) {
                if (mark != angle.parts) return std::nullopt;
                lettersMarkMinutes = mark == 1;
                ++at;
            }
        }
        ++angle.parts;
    }
    if (angle.parts == 0) return std::nullopt;
    if (at < tokens.size() && tokens[at].kind == Token::Letter && !angle.letter && IsHemisphere(tokens[at].letter))
        angle.letter = tokens[at++].letter;
    if (at != tokens.size()) return std::nullopt;
    // Minus and a letter together would each say which side: too unclear.
    if (first->signedNumber && first->negative && angle.letter) return std::nullopt;
    if (parts[1] > 60 || parts[2] > 60) return std::nullopt;
    const double magnitude = parts[0] + (parts[2] / 60 + parts[1]) / 60;
    const bool negative = first->negative || angle.letter == 'S' || angle.letter == 'W';
    angle.value = negative ? -magnitude : magnitude;
    return angle;
}

bool IsLatitudeLetter(char letter) { return letter == 'N' || letter == 'S'; }

bool WithinBound(double value, bool latitude) { return std::fabs(value) <= (latitude ? 90 : 180); }

InputFormat NotationOf(int parts) {
    return parts == 3 ? DegreesMinutesSeconds : parts == 2 ? DegreesMinutes : DecimalDegrees;
}

// Two angles split at `at`, a comma or semicolon allowed between them.
std::optional<PositionText> ReadPairAt(Span tokens, std::size_t at) {
    Span second = tokens.subspan(at);
    if (second.front().kind == Token::Separator) second = second.subspan(1);
    // An angle begins with a number or a letter: a split anywhere else
    // cannot be read, and its first half need not be tried.
    if (second.empty() || (second.front().kind != Token::Number && second.front().kind != Token::Letter))
        return std::nullopt;
    // Most splits fail on their first half: the second is then never read.
    const std::optional<Angle> one = ReadAngle(tokens.first(at));
    if (!one) return std::nullopt;
    const std::optional<Angle> two = ReadAngle(second);
    if (!two) return std::nullopt;
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
    if (!WithinBound(position.latitude, true) || !WithinBound(position.longitude, false)) return std::nullopt;
    return position;
}

std::optional<PositionText> ReadPair(Span tokens) {
    std::optional<PositionText> found;
    for (std::size_t at = 1; at < tokens.size(); ++at)
        if (std::optional<PositionText> pair = ReadPairAt(tokens, at)) {
            if (found) return std::nullopt;  // two readings: ambiguous
            found = pair;
        }
    return found;
}

constexpr double kFalseNorthing = 10000000;

// Whether the UTM point lies in the band, allowing a couple of metres for
// the whole metres it was written in.
bool InBand(const UtmPoint& point, char band) {
    // The exact inverse, not the window's series: which band a point lies in
    // does not depend on whether the series reaches it (near a pole it may
    // not; converting it is refused later, with its own message).
    const double latitude = ExactUtmInverse(point.northing, point.easting, point.zone * 6.0 - 183).latitude;
    for (double nudge : {0.0, -2e-5, 2e-5})
        if (ZoneLetter(latitude + nudge) == std::string(1, band)) return true;
    return false;
}

// A northing written with the false northing in the south, read back to the
// window's negative one; a negative northing is the window's already.
double WithoutFalseNorthing(double northing) { return northing > 0 ? northing - kFalseNorthing : northing; }

// Zone (with its band or hemisphere letter, or none), easting, northing; the
// easting and northing may carry "E" and "N".
std::optional<PositionText> ReadUtm(Span tokens) {
    std::size_t at = 0;
    const auto next = [&](Token::Kind kind) { return at < tokens.size() && tokens[at].kind == kind; };
    if (!next(Token::Number)) return std::nullopt;
    const Token& zone = tokens[at++];
    if (zone.signedNumber || zone.fraction || zone.magnitude < 1 || zone.magnitude > 60) return std::nullopt;
    char letter = 0;
    if (next(Token::Letter)) letter = tokens[at++].letter;
    if (!next(Token::Number)) return std::nullopt;
    const Token& easting = tokens[at++];
    if (next(Token::Letter) && tokens[at].letter == 'E') ++at;
    if (!next(Token::Number)) return std::nullopt;
    const Token& northing = tokens[at++];
    if (next(Token::Letter) && tokens[at].letter == 'N') ++at;
    if (at != tokens.size()) return std::nullopt;

    PositionText position;
    position.notation = Utm;
    UtmPoint& point = position.utm;
    point.zone = static_cast<int>(zone.magnitude);
    point.easting = easting.negative ? -easting.magnitude : easting.magnitude;
    const double written = northing.negative ? -northing.magnitude : northing.magnitude;
    point.northing = written;
    if (letter) {
        const bool southBand = letter == 'A' || (letter >= 'C' && letter <= 'M');
        const bool northBand = letter == 'Z' || (letter >= 'N' && letter <= 'X');
        if (southBand) point.northing = WithoutFalseNorthing(written);
        if (!((southBand || northBand) && InBand(point, letter))) {
            // Not that band: N or S is then the hemisphere.
            if (letter == 'N' && written >= 0) point.northing = written;
            else if (letter == 'S') point.northing = WithoutFalseNorthing(written);
            else return std::nullopt;
        }
    }
    if (point.easting < 160000 || point.easting > 834000) return std::nullopt;
    if (point.northing < -kFalseNorthing || point.northing > kFalseNorthing) return std::nullopt;
    return position;
}

}  // namespace

PositionReading ReadPosition(std::string_view text, const ReadOptions&) {
    PositionReading reading;
    try {
        if ((reading.position = ReadMgrsText(text))) {
            reading.failure = ReadFailure::None;
            return reading;
        }
        const std::optional<std::vector<Token>> tokens = Tokens(text);
        if (!tokens || tokens->empty()) return reading;
        if (!(reading.position = ReadUtm(*tokens))) reading.position = ReadPair(*tokens);
        if (reading.position) reading.failure = ReadFailure::None;
    } catch (...) {  // a number beyond every double, or no memory left
        reading.position.reset();
    }
    return reading;
}

std::optional<PositionText> ReadPositionText(std::string_view text, const ReadOptions& options) {
    return ReadPosition(text, options).position;
}

std::optional<AngleValue> ReadAngleText(std::string_view text, bool latitude, const ReadOptions&) {
    try {
        const std::optional<std::vector<Token>> tokens = Tokens(text);
        if (!tokens) return std::nullopt;
        const std::optional<Angle> angle = ReadAngle(*tokens);
        if (!angle || (angle->letter && IsLatitudeLetter(angle->letter) != latitude) ||
            !WithinBound(angle->value, latitude))
            return std::nullopt;
        return AngleValue{NotationOf(angle->parts), angle->value};
    } catch (...) {
        return std::nullopt;
    }
}

}  // namespace quillet
