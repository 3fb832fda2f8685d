// The Military Grid Reference System: a UTM position, or a UPS position
// beyond 84° N and 80° S, written as zone and band, a 100 km square, and up to
// five digits each of easting and northing within it. Its digits come from
// the accurate projections, never from the window's UTM series, so that they
// agree with every other MGRS tool. Plain C++, no Qt.
#pragma once

#include "convert/reading.h"

#include <optional>
#include <string>
#include <string_view>

namespace quillet {

// The centre of the square a reference names, in any case, with or without
// blanks between its parts ("33UXP0500010000", "33u xp 05000 10000"), with 0
// to 5 digits each: always its latitude and longitude through the accurate
// inverse, and besides, as `notation` Utm, the UTM point in the window's
// convention (negative northing in the south), except in the polar regions
// and where the centre's easting lies beyond 160000..834000, which the UTM
// boxes refuse (then `notation` is DecimalDegrees). `code` is Code::Mgrs. Nothing when the text is not one valid
// reference: a zone outside 1..60, a letter outside its set, an odd number of
// digits or two groups of different lengths, a square whose rows all miss the
// band, a zone and band without a square, or anything left over.
std::optional<PositionText> ReadMgrsText(std::string_view text);

// The reference of a position with `digits` (0 to 5) digits each of easting
// and northing, truncated, grouped for reading: "33U XP 05000 10000",
// "04Q FJ 12345 67890" (the zone always in two digits), "33U XP" for 0
// digits, and in the polar regions "Z AH 05000 10000". A latitude of -0 is
// south of the equator. Nothing for a position outside the bounds or digits
// outside 0 to 5.
std::optional<std::string> FormatMgrs(double latitude, double longitude, int digits = 5);

// The reference of a UTM point (the window's convention: negative northing
// in the south). Where MGRS uses the point's own zone there, it is written
// from the point's easting and northing themselves, so that a whole metre
// stays that metre; elsewhere (Norway's and Svalbard's zones, another zone
// than the standard one, the polar caps) from its position through the
// accurate inverse. Nothing for a zone outside 1..60, an easting outside
// 0..1000000 or a northing beyond 10000000.
std::optional<std::string> FormatMgrsFromUtm(const UtmPoint& point, int digits = 5);

}  // namespace quillet
