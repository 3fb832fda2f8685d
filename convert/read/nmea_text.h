// NMEA 0183, what GPS receivers log: whole GGA, RMC and GLL sentences from
// any talker, and the packed degree-minute fields they hold
// ("5130.0420,N,00007.4760,W": degrees, then two digits of minutes).
#pragma once

#include "convert/reading.h"
#include "convert/text/text_tokens.h"

#include <optional>
#include <string_view>

namespace quillet::text {

// Nothing when the text is no sentence (it does not begin with "$").
// Otherwise the sentence's reading: a position from GGA, RMC or GLL; NoFix
// unless the receiver measured one (GGA quality 1-5; status A and, where
// given, mode A, D, P, R or F); Checksum when a
// checksum is present and does not match; NoPosition for any other
// well-formed sentence; NotAPosition for a malformed one.
std::optional<PositionReading> ReadNmeaSentence(std::string_view text);

// Packed fields with their hemisphere letters, latitude first, a comma,
// blanks or nothing between: "5130.0420,N,00007.4760,W", "3351.9200S
// 15112.3200E", "4007.38N7407.38W". The two whole digits before the point
// are minutes, the digits before them degrees (2 of a latitude, 3 of a
// longitude, or fewer with a point); a latitude of 5 or 6 whole digits
// ("402505.994N0743828.008W") ends in seconds, and so does its longitude: a
// latitude's width alone says which.
std::optional<PositionText> ReadPackedPair(Tokens tokens);

}  // namespace quillet::text
