// Maidenhead locators, as radio amateurs exchange them: a field of 20 x 10
// degrees (A-R), a square (0-9), a subsquare (a-x), an extended square (0-9)
// and an extended subsquare (a-x): "JN58td", "JO62qm48". Plain C++, no Qt.
#pragma once

#include "convert/codes/cell_index.h"

#include <optional>
#include <string>
#include <string_view>

namespace quillet::codes {

// The cell a locator of 2, 4, 6, 8 or 10 characters names, in any case.
CellReading MaidenheadCell(std::string_view text);

// The locator of that many characters holding the position, the field in
// capitals and the subsquares in small letters. Nothing for another length.
std::optional<std::string> MaidenheadOf(double latitude, double longitude, int characters = 6);

}  // namespace quillet::codes
