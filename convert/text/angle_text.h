// Angles and pairs of angles read from tokens: degrees, minutes and seconds
// with any marks, colons or none, signs or hemisphere letters before or
// after, and a pair in either order when its letters say so.
#pragma once

#include "convert/reading.h"
#include "convert/text/text_tokens.h"

#include <optional>
#include <string>

namespace quillet::text {

struct Angle {
    int parts = 0;      // 1 degrees, 2 with minutes, 3 with seconds
    double value = 0;   // signed: south and west negative
    char letter = 0;    // 'N', 'S', 'E', 'W', or 0 for none
};

bool IsLatitudeLetter(char letter);
bool WithinBound(double value, bool latitude);
InputFormat NotationOf(int parts);

// One angle, the whole of `tokens`; nothing when they are not exactly one.
// Where they have an angle's shape but more than 60 minutes or seconds,
// `why` (when given) says so.
std::optional<Angle> ReadAngle(Tokens tokens, std::string* why = nullptr);

// The pair the tokens hold, Ambiguous when they split into two pairs that are
// two different places, Refused with the reason when the only readings lie
// beyond a bound. A number after the letter that closes a pair is a height,
// ignored, as cs2cs writes it ("113dW\t27d7'20.892\"N 0.000").
PositionReading ReadPair(Tokens tokens);

// "latitude 91 is beyond 90°".
std::string BeyondBound(double value, bool latitude);

// A place as `why` says it: "10, 20.5", or "33 500000 5000000".
std::string PlaceText(const PositionText& place);

// Two readings of one text, as `why` says them: "10, 20.5 or 10.333333, 30".
std::string TwoReadings(const PositionText& one, const PositionText& other);

}  // namespace quillet::text
