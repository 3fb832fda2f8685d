// geo: URIs (RFC 5870), as maps and phones share a place:
// "geo:37.8199,-122.4783", with an altitude and parameters that are ignored
// ("geo:27.9881,86.9250,8848;u=10").
#pragma once

#include "convert/reading.h"

#include <optional>
#include <string_view>

namespace quillet::text {

// Nothing when the text is no geo: URI. Otherwise its reading: decimal
// degrees, or NotAPosition when it is malformed, outside the bounds, or on
// another reference system than WGS 84.
std::optional<PositionReading> ReadGeoUri(std::string_view text);

}  // namespace quillet::text
