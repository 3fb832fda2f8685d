// GARS, the Global Area Reference System: a 30-minute cell as a longitude
// band (001-720) and a latitude band (AA-QZ), then a 15-minute quadrant (1-4)
// and a 5-minute keypad cell (1-9): "361HN37". Plain C++, no Qt.
#pragma once

#include "convert/codes/cell_index.h"

#include <optional>
#include <string>
#include <string_view>

namespace quillet::codes {

// The cell a GARS of 5, 6 or 7 characters names, its letters in any case.
CellReading GarsCell(std::string_view text);

// The GARS of the 30-, 15- or 5-minute cell holding the position.
std::optional<std::string> GarsOf(double latitude, double longitude, int minutes = 5);

}  // namespace quillet::codes
