// Geohash: 1 to 12 characters of a base-32 alphabet without a, i, l and o,
// each adding five bits, longitude and latitude in turn ("u4pruydqqvj").
// Plain C++, no Qt.
#pragma once

#include "convert/codes/cell_index.h"

#include <optional>
#include <string>
#include <string_view>

namespace quillet::codes {

// The cell a Geohash names, in any case.
CellReading GeohashCell(std::string_view text);

// The Geohash of that many characters, in small letters, holding the position.
std::optional<std::string> GeohashOf(double latitude, double longitude, int characters = 9);

}  // namespace quillet::codes
