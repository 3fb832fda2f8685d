// GEOREF, the World Geographic Reference System of aviation: two letters for
// a 15-degree quadrangle, two for a degree, then minutes of longitude and
// latitude with 2 to 5 digits each ("SKNA2342"). Plain C++, no Qt.
#pragma once

#include "convert/codes/cell_index.h"

#include <optional>
#include <string>
#include <string_view>

namespace quillet::codes {

// The cell a GEOREF of 2, 4, 8, 10, 12 or 14 characters names, in any case.
CellReading GeorefCell(std::string_view text);

// The GEOREF of that many characters holding the position.
std::optional<std::string> GeorefOf(double latitude, double longitude, int characters = 8);

}  // namespace quillet::codes
