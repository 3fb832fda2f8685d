// Which texts the position reader takes as a code. An ordinary word or
// number is never one: without a chosen code (the converter's --from), a
// code is read only where its shape says so.
//   - Plus Codes with a "+" after at least two digits, in any case, or
//     first in a short code alone ("+2VX");
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

// Whether the text is a short Plus Code that begins at its "+" ("+2VX", the
// 8 leading digits recovered near a reference): alone, and with a letter
// other than W, so that no signed number ("+22", "+25W") is taken for one.
bool IsPlusFirstCode(std::string_view text);

// A text that would be a code but for a missing mark: a full Plus Code
// without its "+" ("8FWC2345"), refused with the reason. Asked only once
// every other form has declined the text: such a word can be an MGRS
// reference ("4QFJ2345").
std::optional<PositionReading> ReadCodeWithoutMark(std::string_view text);

// Whether `code` is one of those read here.
bool IsCellCode(Code code);

}  // namespace quillet::text
