// Plus Codes (Open Location Code): a cell of 2 to 15 digits, the "+" after
// the 8th ("8FVC9G8F+6X", padded "7FG40000+"), and the short codes a map
// shows beside a place ("9G8F+6X"), recovered near a reference position as
// the reference implementation recovers them. Plain C++, no Qt.
#pragma once

#include "convert/codes/cell_index.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace quillet::codes {

// Whether `text` is shaped like a short code: a valid code's "+" before the 8th digit.
bool IsShortPlusCode(std::string_view text);

// Whether `c` is a digit of the code's alphabet, in any case (the padding 0 is not).
bool IsPlusCodeDigit(char c);

// Why a text shaped like a full code in capitals without its "+" ("8FWC2345")
// is none; empty for any other text.
std::string MissingPlus(std::string_view text);

// The cell a full code names, in any case; digits beyond the 15th are
// ignored. With `near`, a short code is recovered near that latitude and
// longitude; without, it is refused.
CellReading PlusCodeCell(std::string_view text, const std::optional<std::pair<double, double>>& near = {});

// The full code of the cell holding the position: 2, 4, 6, 8 or 10 to 15
// digits; latitude 90 is in the last row, longitudes wrap into -180..180.
// Nothing for another length or a position that is not finite.
std::optional<std::string> PlusCodeOf(double latitude, double longitude, int digits = 10);

}  // namespace quillet::codes
