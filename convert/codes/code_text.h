// Which texts the position reader takes as a code. An ordinary word or
// number is never one: without a chosen code (the converter's --from), a
// code is read only where its shape says so.
//   - Plus Codes with a "+" after at least two digits, in any case;
//   - Maidenhead locators of 4 to 10 characters whose field is in capitals;
//   - GEOREF of 8 to 14 characters, in capitals;
//   - GARS, its letters in capitals;
//   - Geohash after "geohash:" or in a geohash.org link.
// With a chosen code, only that code is read, in any case and in its short
// forms too ("JO", "SKNA", a bare Geohash). Plain C++, no Qt.
#pragma once

#include "convert/reading.h"

#include <optional>
#include <string_view>

namespace quillet::text {

// Nothing when the text is none of the codes; otherwise the centre of the
// cell it names, or a refusal with the reason (Refused and `why`).
std::optional<PositionReading> ReadCodeText(std::string_view text, const ReadOptions& options);

// Whether `code` is one of those read here.
bool IsCellCode(Code code);

}  // namespace quillet::text
